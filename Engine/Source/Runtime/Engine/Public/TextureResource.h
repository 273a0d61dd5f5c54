#pragma once

// The render-thread side of textures: UTexture::GetResource() returns an FTextureResource
// whose TextureRHI the renderer binds; a render target's resource is also an FRenderTarget
// that the game thread reads back.

#include "CoreMinimal.h"
#include "RenderResource.h"
#include "UnrealClient.h"

class ENGINE_API FTextureResource : public FTexture
{
public:
	FRHITexture* GetTextureRHI() const { return TextureRHI; }
	FRHITexture* GetTexture2DRHI() const { return TextureRHI; }
};

class ENGINE_API FTextureRenderTargetResource : public FTextureResource, public FRenderTarget
{
public:
	FRHITexture* GetRenderTargetTexture() const override { return TextureRHI; }
};
