#pragma once

#include "Components/Widget.h"
#include "CoreMinimal.h"

#include "ExpandableArea.generated.h"

/**
 * A section that can be folded: a header that is always shown and a body shown under it while
 * the area is expanded. A folded area's body is laid out with no size. The two parts are the
 * named slots "Header" and "Body".
 */
UCLASS()
class UMG_API UExpandableArea : public UWidget
{
	GENERATED_BODY()

public:
	bool GetIsExpanded() const { return bIsExpanded; }
	void SetIsExpanded(bool IsExpanded) { bIsExpanded = IsExpanded; }

	/** The widget in the named slot "Header" or "Body"; null for an empty slot or another name. */
	UWidget* GetContentForSlot(FName SlotName) const;
	/** Puts Content (null empties it) into the named slot "Header" or "Body"; another name changes nothing. */
	void SetContentForSlot(FName SlotName, UWidget* Content);

	void GetChildWidgets(TArray<UWidget*>& OutChildren) const override;
	/** Paints the header, and the body only while expanded. */
	int32 Paint(const FPaintArgs& Args, const FGeometry& Geometry, const FSlateRect& CullingRect, FSlateWindowElementList& OutDrawElements,
		int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const override;

protected:
	FVector2f ComputeDesiredSize() const override;
	void ArrangeChildren(const FGeometry& Geometry) override;

	UPROPERTY(EditAnywhere, Category = "Expansion")
	bool bIsExpanded = false;

	UPROPERTY(Category = "Content")
	TObjectPtr<UWidget> HeaderContent = nullptr;

	UPROPERTY(Category = "Content")
	TObjectPtr<UWidget> BodyContent = nullptr;
};
