#pragma once

// Per-submission upload memory: uniform data of "$Global" buffers and the staging copies of
// texture uploads are placed one after another in host-visible chunks, and all of it is
// released at once when the submission that read it has finished.

#include "VulkanCommon.h"
#include "VulkanHostBuffer.h"

#include <memory>
#include <vector>

class FVulkanDevice;
class FVulkanMemoryPool;

class FVulkanUploadHeap
{
public:
	struct FAllocation
	{
		VkBuffer Buffer = VK_NULL_HANDLE;
		VkDeviceSize Offset = 0;
		uint8* Data = nullptr;
	};

	static constexpr VkDeviceSize DefaultChunkSize = 4 * 1024 * 1024;

	FVulkanUploadHeap(FVulkanDevice& InDevice, FVulkanMemoryPool& InPool);

	/** Size bytes at an offset that is a multiple of Alignment (a power of two), usable as a uniform buffer and a copy source. */
	FAllocation Allocate(VkDeviceSize Size, VkDeviceSize Alignment);

	/** Forgets every allocation; call once the GPU has finished the work that used them. Keeps one default chunk. */
	void Reset();

private:
	FVulkanDevice& Device;
	FVulkanMemoryPool& Pool;
	std::vector<std::unique_ptr<FVulkanHostBuffer>> Chunks;
	/** Bytes used in the last chunk. */
	VkDeviceSize UsedInLast = 0;
};
