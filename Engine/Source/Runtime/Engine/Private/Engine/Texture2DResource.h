#pragma once

#include "CoreMinimal.h"
#include "TextureResource.h"

class UTexture2D;

/**
 * The GPU copy of a UTexture2D's mip 0. The texels are copied when the resource is made, on
 * the game thread, so later changes to the texture's data (or the texture's destruction) do
 * not race the upload on the render thread.
 */
class FTexture2DResource final : public FTextureResource
{
public:
	explicit FTexture2DResource(const UTexture2D& Owner);

	void InitRHI(FRHICommandListImmediate& RHICmdList) override;
	uint32 GetSizeX() const override { return uint32(Size.X); }
	uint32 GetSizeY() const override { return uint32(Size.Y); }

private:
	FString Name;
	FIntPoint Size;
	EPixelFormat Format;
	bool bSRGB;
	bool bFiltered;
	TArray<uint8> Texels;
};
