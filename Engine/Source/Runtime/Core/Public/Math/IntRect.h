#pragma once

// FIntRect: an integer rectangle from Min (inclusive) to Max (exclusive), as texture regions
// and read-back areas are given.

#include "CoreTypes.h"
#include "Math/IntPoint.h"

struct FIntRect
{
	FIntPoint Min;
	FIntPoint Max;

	constexpr FIntRect() = default;
	constexpr FIntRect(int32 X0, int32 Y0, int32 X1, int32 Y1) : Min(X0, Y0), Max(X1, Y1) {}
	constexpr FIntRect(FIntPoint InMin, FIntPoint InMax) : Min(InMin), Max(InMax) {}

	constexpr int32 Width() const { return Max.X - Min.X; }
	constexpr int32 Height() const { return Max.Y - Min.Y; }
	constexpr FIntPoint Size() const { return FIntPoint(Width(), Height()); }
	/** True for the empty rectangle (0, 0)–(0, 0), which the engine's read-backs take as "the whole surface". */
	constexpr bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }

	constexpr bool operator==(const FIntRect&) const = default;
};
