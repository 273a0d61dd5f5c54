#pragma once

#include "CoreMinimal.h"

/** Where a draw element goes in window space: the top-left corner and size of its box, and the layout scale. */
struct FPaintGeometry
{
	FVector2f DrawPosition = FVector2f(0.0f, 0.0f);
	FVector2f DrawSize = FVector2f(0.0f, 0.0f);
	float DrawScale = 1.0f;

	FPaintGeometry() = default;
	FPaintGeometry(FVector2f InDrawPosition, FVector2f InDrawSize, float InDrawScale)
		: DrawPosition(InDrawPosition), DrawSize(InDrawSize), DrawScale(InDrawScale)
	{
	}

	/** A point of the element's local space (layout units from the box's corner) in window pixels. */
	FVector2f LocalToWindow(FVector2f LocalPoint) const { return DrawPosition + LocalPoint * DrawScale; }
};
