#pragma once

#include "CoreMinimal.h"
#include "RHIResources.h"
#include "TextureResource.h"

/** The GPU texture of a UTextureRenderTarget2D, made from the settings the target had when the resource was made. */
class FTextureRenderTarget2DResource final : public FTextureRenderTargetResource
{
public:
	FTextureRenderTarget2DResource(FString InName, const FRHITextureDesc& InDesc);

	/** Creates the texture and clears it. */
	void InitRHI(FRHICommandListImmediate& RHICmdList) override;
	/** Fills the texture with its clear colour (rendering thread). */
	void ClearTexture(FRHICommandListImmediate& RHICmdList);

	FIntPoint GetSizeXY() const override { return Desc.Extent; }
	uint32 GetSizeX() const override { return uint32(Desc.Extent.X); }
	uint32 GetSizeY() const override { return uint32(Desc.Extent.Y); }
	const FRHITextureDesc& GetDesc() const { return Desc; }

private:
	FString Name;
	FRHITextureDesc Desc;
};
