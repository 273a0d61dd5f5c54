#pragma once

// A shader's read-write view: one mip of a texture, or a whole storage buffer. Like the read
// view it only names the resource and the mip.

#include "RHIResources.h"

class FVulkanUnorderedAccessView final : public FRHIUnorderedAccessView
{
public:
	/** Checks that the texture was made with TexCreate_UAV and has the mip. */
	static FUnorderedAccessViewRHIRef Create(FRHITexture* Texture, uint8 MipLevel);
	/** Checks that the buffer was made with BUF_UnorderedAccess. */
	static FUnorderedAccessViewRHIRef Create(FRHIBuffer* Buffer);

	FRHITexture* GetTexture() const override { return Texture; }
	FRHIBuffer* GetBuffer() const override { return Buffer; }
	int32 GetMipLevel() const { return MipLevel; }
	const FString& GetResourceName() const { return Texture ? Texture->GetName() : Buffer->GetName(); }

private:
	FVulkanUnorderedAccessView(FRHITexture* InTexture, FRHIBuffer* InBuffer, int32 InMipLevel) : Texture(InTexture), Buffer(InBuffer), MipLevel(InMipLevel) {}

	FTextureRHIRef Texture;
	FBufferRHIRef Buffer;
	int32 MipLevel;
};
