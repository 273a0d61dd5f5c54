#include "PreviewRenderer.h"

namespace
{
	/** Room left around the framed bounds, as a share of the picture. */
	constexpr double FrameMargin = 1.08;
}

FPreviewView FPreviewView::FrameBounds(const FBoxSphereBounds& Bounds, float YawDegrees, int32 Width, int32 Height)
{
	FPreviewView View;
	View.Width = Width;
	View.Height = Height;

	// Imported characters face +X (GltfImporter.h), so yaw 0 puts the camera on +X looking back.
	const double Yaw = FMath::DegreesToRadians(double(YawDegrees));
	const FVector ToCamera(FMath::Cos(Yaw), FMath::Sin(Yaw), 0.0);
	const FVector Right = (View.Up ^ -ToCamera).GetSafeNormal();
	const FVector& Extent = Bounds.BoxExtent;

	// The box's half sizes across the picture, up it, and towards the camera.
	const double HalfWidth = FMath::Abs(Extent.X * Right.X) + FMath::Abs(Extent.Y * Right.Y);
	const double HalfHeight = Extent.Z;
	const double HalfDepth = FMath::Abs(Extent.X * ToCamera.X) + FMath::Abs(Extent.Y * ToCamera.Y);
	const double TanHalfVertical = FMath::Tan(FMath::DegreesToRadians(double(View.VerticalFieldOfViewDegrees)) * 0.5);
	const double TanHalfHorizontal = TanHalfVertical * double(FMath::Max(Width, 1)) / double(FMath::Max(Height, 1));
	const double Distance = HalfDepth + FrameMargin * FMath::Max(HalfHeight / TanHalfVertical, HalfWidth / TanHalfHorizontal);

	View.Target = Bounds.Origin;
	View.Eye = Bounds.Origin + ToCamera * FMath::Max(Distance, 1.0);
	// A key light above the camera and to its left, so the lit side faces the viewer.
	View.DirectionToLight = ToCamera + View.Up * 0.8 - Right * 0.6;
	return View;
}
