#pragma once

#include "CoreMinimal.h"
#include "Layout/PaintGeometry.h"

/**
 * The box a widget was given by the last layout pass: its size in the widget's own layout
 * units and where it lies in the window, in pixels. Layout units are window pixels divided by
 * the scale, so a widget that asks for 100 units is 150 pixels wide at scale 1.5.
 */
class SLATECORE_API FGeometry
{
public:
	/** A zero-sized box at the window's corner: a widget that was never laid out. */
	FGeometry() = default;

	/** The window's own box: LocalSize layout units at scale Scale, its corner at the window's. */
	static FGeometry MakeRoot(FVector2f LocalSize, float Scale);

	/** A box inside this one, ChildOffset layout units from its corner and ChildSize units large. */
	FGeometry MakeChild(FVector2f ChildOffset, FVector2f ChildSize) const;

	/** The size in the widget's layout units. */
	FVector2D GetLocalSize() const { return FVector2D(Size); }
	/** The size in window pixels. */
	FVector2D GetAbsoluteSize() const { return FVector2D(Size * Scale); }
	/** The top-left corner in window pixels. */
	FVector2D GetAbsolutePosition() const { return FVector2D(AbsolutePosition); }
	/** Window pixels per layout unit. */
	float GetAccumulatedLayoutTransformScale() const { return Scale; }

	/** Where draw elements of this box go; their points are in the box's layout units. */
	FPaintGeometry ToPaintGeometry() const { return FPaintGeometry(AbsolutePosition, Size * Scale, Scale); }

	bool operator==(const FGeometry& Other) const = default;

private:
	FGeometry(FVector2f InSize, FVector2f InAbsolutePosition, float InScale) : Size(InSize), AbsolutePosition(InAbsolutePosition), Scale(InScale) {}

	FVector2f Size = FVector2f(0.0f, 0.0f);
	FVector2f AbsolutePosition = FVector2f(0.0f, 0.0f);
	float Scale = 1.0f;
};
