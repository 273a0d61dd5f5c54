#include "PolygonSliderGeometry.h"

#include <cfloat>
#include <cmath>

FPolygonSliderGeometry::FPolygonSliderGeometry(int32 Sides)
{
	check(Sides >= 3);
	// Float angles, as the slider computes them: corner 0 lies a hair off the vertical axis.
	const float Step = (1.0f / float(Sides)) * 6.2831855f;
	double MinX = FLT_MAX;
	double MaxX = -FLT_MAX;
	double MinY = FLT_MAX;
	double MaxY = -FLT_MAX;
	for (int32 Corner = 0; Corner < Sides; ++Corner)
	{
		const float Angle = float(Corner) * Step - 1.5707964f;
		const FVector2D Point(std::cos(Angle), std::sin(Angle));
		Corners.Add(Point);
		MinX = FMath::Min(MinX, Point.X);
		MaxX = FMath::Max(MaxX, Point.X);
		MinY = FMath::Min(MinY, Point.Y);
		MaxY = FMath::Max(MaxY, Point.Y);
	}
	const FVector2D Middle((MaxX + MinX) * 0.5, (MaxY + MinY) * 0.5);
	// The centre is not rescaled with the corners: for three sides it lies at (0, 0.25), a
	// quarter of the half-height below the middle, where the slider draws its spokes to.
	Center = FVector2D(-Middle.X, -Middle.Y);
	for (FVector2D& Point : Corners)
	{
		Point = FVector2D((Point.X - Middle.X) * (2.0 / (MaxX - MinX)), (Point.Y - Middle.Y) * (2.0 / (MaxY - MinY)));
	}
}

bool FPolygonSliderGeometry::FindWeights(FVector2f Position, FPolygonSliderWeights& OutWeights) const
{
	// Barycentric weights are the same in any scaled copy of the slider, so the triangles are
	// taken in a box of side 2 with the origin at a corner, which is the slider's own space
	// when it is 2 × 2 pixels.
	const FVector2f Half(1.0f, 1.0f);
	const FVector2f Size(2.0f, 2.0f);
	const FVector2f Point(FMath::Max(FMath::Min(Half.X * Position.X + Half.X, Size.X), 0.0f),
		FMath::Max(FMath::Min(Half.Y * Position.Y + Half.Y, Size.Y), 0.0f));
	const FVector2f A = Half * FVector2f(Center) + Half;
	for (int32 Corner = 0; Corner < Corners.Num(); ++Corner)
	{
		const int32 Next = Corner < Corners.Num() - 1 ? Corner + 1 : 0;
		const FVector2f B = Half * FVector2f(Corners[Corner]) + Half;
		const FVector2f C = Half * FVector2f(Corners[Next]) + Half;
		const FVector2f E0 = B - A;
		const FVector2f E1 = C - A;
		const FVector2f E2 = Point - A;
		const float D00 = FVector2f::DotProduct(E0, E0);
		const float D01 = FVector2f::DotProduct(E1, E0);
		const float D11 = FVector2f::DotProduct(E1, E1);
		const float D20 = FVector2f::DotProduct(E2, E0);
		const float D21 = FVector2f::DotProduct(E2, E1);
		const float Inverse = 1.0f / (D11 * D00 - D01 * D01);
		const float W = (D21 * D00 - D20 * D01) * Inverse;
		const float V = (D20 * D11 - D21 * D01) * Inverse;
		const float U = 1.0f - V - W;
		if (FMath::Min(U, FMath::Min(V, W)) > 0.0f)
		{
			OutWeights = {Corner, V, Next, W};
			return true;
		}
	}
	return false;
}
