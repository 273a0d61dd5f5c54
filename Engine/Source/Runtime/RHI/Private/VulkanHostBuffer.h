#pragma once

// A VkBuffer in host-visible, coherent memory from the pool, mapped for its whole life: the
// storage of RHI buffers, of upload chunks and of read-back staging. Coherent memory needs no
// flushes; the command context orders host and device accesses with submissions and barriers.
// Read-back staging asks for cached memory where the device has it: the CPU reads uncached
// (write-combined) memory of discrete GPUs very slowly.

#include "Containers/UnrealString.h"
#include "VulkanCommon.h"
#include "VulkanMemoryPool.h"

class FVulkanDevice;

class FVulkanHostBuffer
{
public:
	FVulkanHostBuffer(FVulkanDevice& InDevice, FVulkanMemoryPool& InPool, VkDeviceSize InSize, VkBufferUsageFlags Usage, const FString& Name,
		bool bReadBack = false);
	~FVulkanHostBuffer();
	FVulkanHostBuffer(const FVulkanHostBuffer&) = delete;
	FVulkanHostBuffer& operator=(const FVulkanHostBuffer&) = delete;

	VkBuffer GetHandle() const { return Buffer; }
	uint8* GetMappedData() const { return Memory.Mapped; }
	VkDeviceSize GetSize() const { return Size; }

private:
	void Release();

	FVulkanDevice& Device;
	FVulkanMemoryPool& Pool;
	VkBuffer Buffer = VK_NULL_HANDLE;
	FVulkanAllocation Memory;
	VkDeviceSize Size;
};
