#pragma once

// A shader's read view: one mip of a texture, or a whole storage buffer. It holds no Vulkan
// object of its own (the texture keeps its views), only the resource and the mip.

#include "RHIResources.h"

class FVulkanShaderResourceView final : public FRHIShaderResourceView
{
public:
	/** Checks that the texture was made with TexCreate_ShaderResource and has the mip. */
	static FShaderResourceViewRHIRef Create(FRHITexture* Texture, uint8 MipLevel);
	/** Checks that the buffer is a structured or byte-address buffer. */
	static FShaderResourceViewRHIRef Create(FRHIBuffer* Buffer);

	FRHITexture* GetTexture() const override { return Texture; }
	FRHIBuffer* GetBuffer() const override { return Buffer; }
	int32 GetMipLevel() const { return MipLevel; }
	/** The viewed resource's name, for messages. */
	const FString& GetResourceName() const { return Texture ? Texture->GetName() : Buffer->GetName(); }

private:
	FVulkanShaderResourceView(FRHITexture* InTexture, FRHIBuffer* InBuffer, int32 InMipLevel) : Texture(InTexture), Buffer(InBuffer), MipLevel(InMipLevel) {}

	FTextureRHIRef Texture;
	FBufferRHIRef Buffer;
	int32 MipLevel;
};
