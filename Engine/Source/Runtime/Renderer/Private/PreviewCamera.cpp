#include "PreviewCamera.h"

#include "PreviewRenderer.h"

namespace
{
	/** The nearest and farthest view depths of the box's corners. */
	void GetDepthRange(const FBox& Bounds, const FVector& Eye, const FVector& Forward, double& OutNear, double& OutFar)
	{
		OutNear = UE_BIG_NUMBER;
		OutFar = -UE_BIG_NUMBER;
		for (int32 Corner = 0; Corner < 8; ++Corner)
		{
			const FVector Point((Corner & 1) ? Bounds.Max.X : Bounds.Min.X, (Corner & 2) ? Bounds.Max.Y : Bounds.Min.Y,
				(Corner & 4) ? Bounds.Max.Z : Bounds.Min.Z);
			const double Depth = (Point - Eye) | Forward;
			OutNear = FMath::Min(OutNear, Depth);
			OutFar = FMath::Max(OutFar, Depth);
		}
	}

	FVector4f MakeRow(const FVector& Axis, double Scale, const FVector& Eye, double Offset)
	{
		return FVector4f(float(Axis.X * Scale), float(Axis.Y * Scale), float(Axis.Z * Scale), float(-(Axis | Eye) * Scale + Offset));
	}
}

FPreviewCamera FPreviewCamera::Make(const FPreviewView& View, const FBox& SceneBounds)
{
	const FVector Forward = (View.Target - View.Eye).GetSafeNormal(UE_SMALL_NUMBER, FVector(1, 0, 0));
	// Left-handed, Z up: up × forward points right.
	FVector Right = (View.Up ^ Forward).GetSafeNormal();
	if (Right.IsNearlyZero())
	{
		Right = (FVector(0, 1, 0) ^ Forward).GetSafeNormal();
	}
	const FVector CameraUp = Forward ^ Right;

	double Near = 1.0;
	double Far = 100000.0;
	if (SceneBounds.IsValid)
	{
		GetDepthRange(SceneBounds, View.Eye, Forward, Near, Far);
		// Float depth keeps its precision over a range of 10⁴; what lies behind the camera is clipped.
		Far = FMath::Max(Far * 1.01 + 1.0, 1.0);
		Near = FMath::Max(Near * 0.99, Far * 1e-4);
	}

	const double FocalY = 1.0 / FMath::Tan(FMath::DegreesToRadians(double(View.VerticalFieldOfViewDegrees)) * 0.5);
	const double FocalX = FocalY * double(View.Height) / double(View.Width);
	const double DepthScale = Far / (Far - Near);

	FPreviewCamera Camera;
	Camera.ClipRows[0] = MakeRow(Right, FocalX, View.Eye, 0.0);
	Camera.ClipRows[1] = MakeRow(CameraUp, FocalY, View.Eye, 0.0);
	Camera.ClipRows[2] = MakeRow(Forward, DepthScale, View.Eye, -Near * DepthScale);
	Camera.ClipRows[3] = MakeRow(Forward, 1.0, View.Eye, 0.0);
	Camera.Position = FVector3f(View.Eye);
	return Camera;
}
