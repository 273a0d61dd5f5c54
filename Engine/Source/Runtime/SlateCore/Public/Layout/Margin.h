#pragma once

#include "CoreMinimal.h"

/** Space around a widget in layout units, one value per side. */
struct FMargin
{
	float Left = 0.0f;
	float Top = 0.0f;
	float Right = 0.0f;
	float Bottom = 0.0f;

	FMargin() = default;
	/** The same space on all four sides. */
	FMargin(float UniformMargin) : Left(UniformMargin), Top(UniformMargin), Right(UniformMargin), Bottom(UniformMargin) {}
	/** Horizontal on the left and right, Vertical above and below. */
	FMargin(float Horizontal, float Vertical) : Left(Horizontal), Top(Vertical), Right(Horizontal), Bottom(Vertical) {}
	FMargin(float InLeft, float InTop, float InRight, float InBottom) : Left(InLeft), Top(InTop), Right(InRight), Bottom(InBottom) {}

	/** Left plus right, top plus bottom. */
	FVector2f GetDesiredSize() const { return FVector2f(Left + Right, Top + Bottom); }
	float GetTotalSpaceAlong(bool bHorizontal) const { return bHorizontal ? Left + Right : Top + Bottom; }

	bool operator==(const FMargin& Other) const = default;
};
