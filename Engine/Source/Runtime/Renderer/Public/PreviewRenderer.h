#pragma once

// The preview renderer: a small forward renderer that draws the skinned mesh components of a
// world, as they are posed and morphed now, and the world's debug lines into a picture. Meshes
// are depth-tested, lit by one directional light plus ambient, coloured by their materials'
// "BC_Texture" (white without one) and culled where the vertex colour's red, or the red of the
// "CM_Texture" cull mask in UV space, is below one half. The scene is drawn at a multiple of the
// picture's size and box-filtered down. Debug lines are drawn over the meshes.
//
// Shaders are read through the virtual folder "/Engine" (Engine/Shaders in the source tree,
// share/vorpex/Engine/Shaders beside the programs), which whoever starts the engine maps.

#include "CoreMinimal.h"
#include "Math/BoxSphereBounds.h"

class UTextureRenderTarget2D;
class UWorld;

/** A camera: where it is, what it looks at, and the picture it makes. */
struct RENDERER_API FPreviewView
{
	FVector Eye = FVector(300, 0, 100);
	FVector Target = FVector(0, 0, 100);
	FVector Up = FVector(0, 0, 1);
	float VerticalFieldOfViewDegrees = 30.0f;
	int32 Width = 512;
	int32 Height = 512;
	/** A mid grey that neither skin nor cloth blends into. */
	FLinearColor Background = FLinearColor(0.18f, 0.18f, 0.2f, 1.0f);

	/** The direction towards the light, in world space (need not be of unit length). */
	FVector DirectionToLight = FVector(1, 0.5, 1);
	float LightIntensity = 0.7f;
	float AmbientIntensity = 0.3f;
	/** Pixels drawn per picture pixel along each axis before box-filtering down (1 to 4). */
	int32 SupersampleFactor = 2;

	/**
	 * A camera that shows Bounds whole and centred, seen from YawDegrees around the vertical (Z) axis:
	 * 0 looks at the character's front, 45 a three-quarter view.
	 */
	static FPreviewView FrameBounds(const FBoxSphereBounds& Bounds, float YawDegrees, int32 Width, int32 Height);
};

class RENDERER_API FPreviewRenderer
{
public:
	/** Queues the drawing of World (its registered, visible skinned mesh components and debug lines) into Target, whose size is the view's. */
	static void Render(const UWorld& World, const FPreviewView& View, UTextureRenderTarget2D& Target);
	/** Draws and reads back: OutPixels gets Width × Height colours, rows top to bottom. False with the reason in OutError. */
	static bool RenderToImage(const UWorld& World, const FPreviewView& View, TArray<FColor>& OutPixels, FString& OutError);
};
