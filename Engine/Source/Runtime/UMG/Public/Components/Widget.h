#pragma once

#include "CoreMinimal.h"
#include "Templates/Casts.h"
#include "UObject/UObjectGlobals.h"
#include "Layout/Geometry.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"

#include "Widget.generated.h"

class FPaintArgs;
class FSlateWindowElementList;
class FWidgetStyle;
class UPanelSlot;
class UPanelWidget;
struct FSlateRect;

/**
 * A piece of user interface. Widgets form a tree through panels and their slots; a layout pass
 * (FWidgetViewport) asks every widget for its desired size, children first, then gives every
 * widget its box from the root down, which widgets read back as their cached geometry when
 * they tick. Painting records draw elements instead of drawing.
 */
UCLASS(Abstract, BlueprintType)
class UMG_API UWidget : public UObject
{
	GENERATED_BODY()

public:
	/** The slot of the panel holding this widget; null for a root. */
	UPROPERTY(Category = "Layout")
	TObjectPtr<UPanelSlot> Slot = nullptr;

	/** The panel holding this widget; null for a root. */
	UPanelWidget* GetParent() const;

	/** The box the last layout pass gave the widget; zero-sized until it was laid out. */
	const FGeometry& GetCachedGeometry() const { return CachedGeometry; }
	/** The box the widget ticks with: the cached one, as nothing here transforms a widget. */
	const FGeometry& GetTickSpaceGeometry() const { return CachedGeometry; }
	/** The size the widget asked for in the last layout pass, in layout units. */
	FVector2D GetDesiredSize() const { return FVector2D(DesiredSize); }

	/** The widgets laid out inside this one, in order. */
	virtual void GetChildWidgets(TArray<UWidget*>& OutChildren) const {}

	/** First layout step: the desired sizes of the children, then this widget's own. */
	void Prepass();
	/** Second layout step: takes Geometry as this widget's box and places the children inside it. */
	void Arrange(const FGeometry& Geometry);
	/**
	 * Records this widget's draw elements, within Geometry, starting at LayerId; returns the
	 * highest layer used. Widgets paint their children at the children's cached boxes.
	 */
	virtual int32 Paint(const FPaintArgs& Args, const FGeometry& Geometry, const FSlateRect& CullingRect, FSlateWindowElementList& OutDrawElements,
		int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const;

protected:
	/** The size this widget asks for, from its content and its children's desired sizes. */
	virtual FVector2f ComputeDesiredSize() const { return FVector2f(0.0f, 0.0f); }
	/** Places the children inside Geometry (their Arrange). */
	virtual void ArrangeChildren(const FGeometry& Geometry) {}

private:
	FGeometry CachedGeometry;
	FVector2f DesiredSize = FVector2f(0.0f, 0.0f);
};
