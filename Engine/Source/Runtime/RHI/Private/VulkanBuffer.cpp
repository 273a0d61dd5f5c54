#include "VulkanBuffer.h"

#include "VulkanDynamicRHI.h"

namespace
{
	constexpr EBufferUsageFlags StorageUsage = BUF_StructuredBuffer | BUF_ByteAddressBuffer | BUF_ShaderResource | BUF_UnorderedAccess;
}

FBufferRHIRef FVulkanBuffer::Create(FVulkanDynamicRHI& RHI, uint32 Size, EBufferUsageFlags Usage, uint32 Stride, ERHIAccess InitialState, const FString& Name)
{
	checkf(Size > 0, TEXT("Buffer '%s' has size 0; an empty buffer still takes 1 byte"), *Name);
	checkf(Stride > 0 || !EnumHasAnyFlags(Usage, BUF_StructuredBuffer), TEXT("Structured buffer '%s' has an element stride of 0"), *Name);

	VkBufferUsageFlags VulkanUsage = VK_BUFFER_USAGE_TRANSFER_SRC_BIT | VK_BUFFER_USAGE_TRANSFER_DST_BIT;
	if (EnumHasAnyFlags(Usage, BUF_VertexBuffer))
	{
		VulkanUsage |= VK_BUFFER_USAGE_VERTEX_BUFFER_BIT;
	}
	if (EnumHasAnyFlags(Usage, BUF_IndexBuffer))
	{
		VulkanUsage |= VK_BUFFER_USAGE_INDEX_BUFFER_BIT;
	}
	if (EnumHasAnyFlags(Usage, StorageUsage))
	{
		VulkanUsage |= VK_BUFFER_USAGE_STORAGE_BUFFER_BIT;
	}

	TRefCountPtr<FVulkanBuffer> Buffer(new FVulkanBuffer(Size, Stride, Usage, Name, InitialState));
	Buffer->Attach(RHI);
	Buffer->Storage = std::make_unique<FVulkanHostBuffer>(RHI.GetDevice(), RHI.GetMemoryPool(), Size, VulkanUsage, Name);
	return FBufferRHIRef(Buffer.GetReference());
}

FVulkanBuffer& FVulkanBuffer::Get(FRHIBuffer* Buffer)
{
	checkf(Buffer, TEXT("A null buffer was passed to the RHI"));
	FVulkanBuffer* VulkanBuffer = dynamic_cast<FVulkanBuffer*>(Buffer);
	checkf(VulkanBuffer, TEXT("Buffer '%s' was not made by the RHI"), *Buffer->GetName());
	checkf(VulkanBuffer->Storage, TEXT("Buffer '%s' belongs to an RHI that has shut down"), *Buffer->GetName());
	return *VulkanBuffer;
}

bool FVulkanBuffer::IsStorageBuffer() const
{
	return EnumHasAnyFlags(GetUsage(), StorageUsage);
}

FVulkanBuffer::~FVulkanBuffer()
{
	ReleaseDeviceObjects();
}

void FVulkanBuffer::ReleaseDeviceObjects()
{
	Storage.reset();
}
