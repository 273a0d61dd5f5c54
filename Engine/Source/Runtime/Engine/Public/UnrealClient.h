#pragma once

// FRenderTarget: a surface the renderer draws into and the game thread can read back.

#include "CoreMinimal.h"
#include "Math/IntRect.h"
#include "RHICommandList.h"
#include "RHIResources.h"

class ENGINE_API FRenderTarget
{
public:
	virtual ~FRenderTarget() = default;

	/** The RHI texture drawn into (rendering thread). */
	virtual FRHITexture* GetRenderTargetTexture() const = 0;
	virtual FIntPoint GetSizeXY() const = 0;

	/**
	 * Reads InRect (empty: the whole surface) into OutImageData, one FColor per texel, rows from
	 * the top (game thread; waits for the render thread and the GPU). Only 8-bit four-channel
	 * surfaces read back; another format, a rectangle outside the surface or a surface without
	 * an RHI texture returns false with an error on LogRHI, leaving OutImageData empty.
	 */
	bool ReadPixels(TArray<FColor>& OutImageData, FReadSurfaceDataFlags InFlags = FReadSurfaceDataFlags(), FIntRect InRect = FIntRect(0, 0, 0, 0));
};
