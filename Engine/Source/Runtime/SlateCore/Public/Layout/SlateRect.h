#pragma once

#include "CoreMinimal.h"

/** An axis-aligned rectangle in window space, by its edges. */
struct FSlateRect
{
	float Left = -1.0f;
	float Top = -1.0f;
	float Right = -1.0f;
	float Bottom = -1.0f;

	FSlateRect() = default;
	FSlateRect(float InLeft, float InTop, float InRight, float InBottom) : Left(InLeft), Top(InTop), Right(InRight), Bottom(InBottom) {}
	FSlateRect(const FVector2f& InStartPos, const FVector2f& InEndPos) : Left(InStartPos.X), Top(InStartPos.Y), Right(InEndPos.X), Bottom(InEndPos.Y) {}

	FVector2f GetTopLeft() const { return FVector2f(Left, Top); }
	FVector2f GetSize() const { return FVector2f(Right - Left, Bottom - Top); }
};
