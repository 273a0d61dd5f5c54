#pragma once

#include "Components/PanelSlot.h"
#include "Components/SlateWrapperTypes.h"
#include "CoreMinimal.h"
#include "Layout/Margin.h"
#include "Types/SlateEnums.h"

#include "VerticalBoxSlot.generated.h"

/** A child's place in a vertical box: space around it, its alignment and its share of the box. */
UCLASS()
class UMG_API UVerticalBoxSlot : public UPanelSlot
{
	GENERATED_BODY()

public:
	const FMargin& GetPadding() const { return Padding; }
	void SetPadding(FMargin InPadding) { Padding = InPadding; }
	EHorizontalAlignment GetHorizontalAlignment() const { return HorizontalAlignment; }
	void SetHorizontalAlignment(EHorizontalAlignment InHorizontalAlignment) { HorizontalAlignment = InHorizontalAlignment; }
	EVerticalAlignment GetVerticalAlignment() const { return VerticalAlignment; }
	void SetVerticalAlignment(EVerticalAlignment InVerticalAlignment) { VerticalAlignment = InVerticalAlignment; }
	const FSlateChildSize& GetSize() const { return Size; }
	void SetSize(FSlateChildSize InSize) { Size = InSize; }

private:
	FMargin Padding;
	EHorizontalAlignment HorizontalAlignment = HAlign_Fill;
	EVerticalAlignment VerticalAlignment = VAlign_Fill;
	/** Children take their desired length unless told otherwise. */
	FSlateChildSize Size = FSlateChildSize(ESlateSizeRule::Automatic);
};
