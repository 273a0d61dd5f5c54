#include "VulkanUnorderedAccessView.h"

#include "VulkanBuffer.h"
#include "VulkanTexture.h"

FUnorderedAccessViewRHIRef FVulkanUnorderedAccessView::Create(FRHITexture* Texture, uint8 MipLevel)
{
	FVulkanTexture& VulkanTexture = FVulkanTexture::Get(Texture);
	checkf(EnumHasAnyFlags(Texture->GetFlags(), TexCreate_UAV),
		TEXT("Texture '%s' was not created with TexCreate_UAV and cannot have an unordered access view"), *Texture->GetName());
	checkf(MipLevel < Texture->GetDesc().NumMips, TEXT("Texture '%s' has no mip %u to view"), *Texture->GetName(), uint32(MipLevel));
	return FUnorderedAccessViewRHIRef(new FVulkanUnorderedAccessView(&VulkanTexture, nullptr, MipLevel));
}

FUnorderedAccessViewRHIRef FVulkanUnorderedAccessView::Create(FRHIBuffer* Buffer)
{
	FVulkanBuffer& VulkanBuffer = FVulkanBuffer::Get(Buffer);
	checkf(EnumHasAnyFlags(Buffer->GetUsage(), BUF_UnorderedAccess),
		TEXT("Buffer '%s' was not created with BUF_UnorderedAccess and cannot have an unordered access view"), *Buffer->GetName());
	return FUnorderedAccessViewRHIRef(new FVulkanUnorderedAccessView(nullptr, &VulkanBuffer, INDEX_NONE));
}
