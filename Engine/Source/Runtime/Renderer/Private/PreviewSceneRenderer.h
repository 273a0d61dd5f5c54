#pragma once

// The render-thread half of the preview renderer: one render graph that clears a supersampled
// colour and depth target, draws the scene's sections (one raster pass each, so that each pass
// reads the textures it binds), draws the debug lines over them and box-filters the result
// into the target.

#include "CoreMinimal.h"

class FRHICommandListImmediate;
class FRHITexture;
struct FPreviewScene;
struct FPreviewView;

class FPreviewSceneRenderer
{
public:
	/**
	 * Draws Scene as View sees it into Target, a render-targetable texture of the view's size
	 * (else a failed check). An 8-bit target without sRGB gets sRGB-encoded colour; sRGB and
	 * float targets get linear colour.
	 */
	static void Render(FRHICommandListImmediate& RHICmdList, const FPreviewScene& Scene, const FPreviewView& View, FRHITexture* Target);
};
