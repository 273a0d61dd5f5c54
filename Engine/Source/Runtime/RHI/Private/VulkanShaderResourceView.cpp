#include "VulkanShaderResourceView.h"

#include "VulkanBuffer.h"
#include "VulkanTexture.h"

FShaderResourceViewRHIRef FVulkanShaderResourceView::Create(FRHITexture* Texture, uint8 MipLevel)
{
	FVulkanTexture& VulkanTexture = FVulkanTexture::Get(Texture);
	checkf(EnumHasAnyFlags(Texture->GetFlags(), TexCreate_ShaderResource),
		TEXT("Texture '%s' was not created with TexCreate_ShaderResource and cannot have a shader resource view"), *Texture->GetName());
	checkf(MipLevel < Texture->GetDesc().NumMips, TEXT("Texture '%s' has no mip %u to view"), *Texture->GetName(), uint32(MipLevel));
	return FShaderResourceViewRHIRef(new FVulkanShaderResourceView(&VulkanTexture, nullptr, MipLevel));
}

FShaderResourceViewRHIRef FVulkanShaderResourceView::Create(FRHIBuffer* Buffer)
{
	FVulkanBuffer& VulkanBuffer = FVulkanBuffer::Get(Buffer);
	checkf(VulkanBuffer.IsStorageBuffer(), TEXT("Buffer '%s' is not a structured or byte-address buffer and cannot have a shader resource view"),
		*Buffer->GetName());
	return FShaderResourceViewRHIRef(new FVulkanShaderResourceView(nullptr, &VulkanBuffer, INDEX_NONE));
}
