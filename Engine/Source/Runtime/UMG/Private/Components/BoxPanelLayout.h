#pragma once

// The layout the vertical and horizontal boxes share: children one after the other along the
// box's axis, automatic ones at their desired length and fill ones sharing what is left by
// their values; across the axis, and inside its share along it, each child takes the space of
// its slot less its padding, or its desired size placed by its alignment.

#include "Components/SlateWrapperTypes.h"
#include "CoreMinimal.h"
#include "Layout/Geometry.h"
#include "Layout/Margin.h"
#include "Types/SlateEnums.h"

class UWidget;

struct FBoxPanelChild
{
	UWidget* Widget = nullptr;
	FMargin Padding;
	EHorizontalAlignment HorizontalAlignment = HAlign_Fill;
	EVerticalAlignment VerticalAlignment = VAlign_Fill;
	FSlateChildSize Size;
};

namespace BoxPanelLayout
{
	/** Along the axis: the padded lengths added; across it: the largest padded size. */
	FVector2f ComputeDesiredSize(const TArray<FBoxPanelChild>& Children, bool bHorizontal);

	/** Arranges every child inside Geometry. */
	void ArrangeChildren(const TArray<FBoxPanelChild>& Children, bool bHorizontal, const FGeometry& Geometry);
}
