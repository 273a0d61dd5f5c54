#pragma once

#include "Components/Widget.h"
#include "CoreMinimal.h"
#include "Fonts/SlateFontInfo.h"

#include "TextBlock.generated.h"

/** A line (or lines) of text; it asks for the size of its text in its font. */
UCLASS()
class UMG_API UTextBlock : public UWidget
{
	GENERATED_BODY()

public:
	const FText& GetText() const { return Text; }
	void SetText(FText InText) { Text = std::move(InText); }

	/** A copy of the font; change it and give it back with SetFont. */
	FSlateFontInfo GetFont() const { return Font; }
	void SetFont(FSlateFontInfo InFontInfo) { Font = InFontInfo; }

protected:
	FVector2f ComputeDesiredSize() const override;

private:
	FText Text;
	/** The engine's default text style: 24 points, bold. */
	FSlateFontInfo Font = FSlateFontInfo(24.0f, FName(TEXT("Bold")));
};
