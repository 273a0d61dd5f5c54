#include "VulkanUploadHeap.h"

#include <algorithm>

FVulkanUploadHeap::FVulkanUploadHeap(FVulkanDevice& InDevice, FVulkanMemoryPool& InPool)
	: Device(InDevice)
	, Pool(InPool)
{
}

FVulkanUploadHeap::FAllocation FVulkanUploadHeap::Allocate(VkDeviceSize Size, VkDeviceSize Alignment)
{
	VkDeviceSize Offset = (UsedInLast + Alignment - 1) & ~(Alignment - 1);
	if (Chunks.empty() || Offset + Size > Chunks.back()->GetSize())
	{
		// Large uploads get a chunk of their own, which the pool can hand out again next time.
		const VkDeviceSize ChunkSize = std::max(DefaultChunkSize, Size);
		Chunks.push_back(std::make_unique<FVulkanHostBuffer>(Device, Pool, ChunkSize,
			VK_BUFFER_USAGE_TRANSFER_SRC_BIT | VK_BUFFER_USAGE_UNIFORM_BUFFER_BIT, FString(TEXT("RHI upload heap"))));
		Offset = 0;
	}
	UsedInLast = Offset + Size;
	return {Chunks.back()->GetHandle(), Offset, Chunks.back()->GetMappedData() + Offset};
}

void FVulkanUploadHeap::Reset()
{
	const auto FirstDefault = std::find_if(Chunks.begin(), Chunks.end(),
		[](const std::unique_ptr<FVulkanHostBuffer>& Chunk) { return Chunk->GetSize() == DefaultChunkSize; });
	std::unique_ptr<FVulkanHostBuffer> Kept = FirstDefault != Chunks.end() ? std::move(*FirstDefault) : nullptr;
	Chunks.clear();
	if (Kept)
	{
		Chunks.push_back(std::move(Kept));
	}
	UsedInLast = 0;
}
