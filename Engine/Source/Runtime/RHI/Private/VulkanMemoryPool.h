#pragma once

// Device memory for textures and buffers, one VkDeviceMemory block per resource. Freed blocks
// are kept, keyed by memory type and block size, so that re-creating a resource of the same
// size (a render target each frame, a 4096 x 4096 working texture) takes the old block instead
// of a fresh allocation: fresh large allocations are slow to touch on CPU drivers and count
// against the device's allocation limit. The pool keeps at most a byte budget; beyond it the
// blocks freed longest ago go back to the device.

#include "Containers/UnrealString.h"
#include "RHI.h"
#include "VulkanCommon.h"

#include <mutex>
#include <vector>

/** One block of device memory; Mapped is the block's persistent mapping in host-visible memory, else null. */
struct FVulkanAllocation
{
	VkDeviceMemory Memory = VK_NULL_HANDLE;
	VkDeviceSize Size = 0;
	uint32 MemoryTypeIndex = 0;
	uint8* Mapped = nullptr;

	bool IsValid() const { return Memory != VK_NULL_HANDLE; }
};

class FVulkanMemoryPool
{
public:
	static constexpr uint64 DefaultMaxPooledBytes = 512ull * 1024 * 1024;

	FVulkanMemoryPool(VkDevice InDevice, const VkPhysicalDeviceMemoryProperties& InProperties, uint64 InMaxPooledBytes = DefaultMaxPooledBytes);
	/** Frees the pooled blocks; every allocation must have been freed before. */
	~FVulkanMemoryPool();
	FVulkanMemoryPool(const FVulkanMemoryPool&) = delete;
	FVulkanMemoryPool& operator=(const FVulkanMemoryPool&) = delete;

	/**
	 * A block for Requirements in a memory type with all of Flags, and all of PreferredFlags too
	 * where a type has them; mapped when Flags ask for host visibility. Failure (no such memory
	 * type, out of memory even after emptying the pool) is a failed check naming OwnerName.
	 */
	FVulkanAllocation Allocate(const VkMemoryRequirements& Requirements, VkMemoryPropertyFlags Flags, const FString& OwnerName,
		VkMemoryPropertyFlags PreferredFlags = 0);
	/** Takes the block back into the pool (or frees it beyond the budget) and clears Allocation. */
	void Free(FVulkanAllocation& Allocation);
	/** Frees every pooled block. */
	void Trim();

	FRHIMemoryStats GetStats() const;

	/** The block size serving a request of RequiredSize bytes; rounded up so near sizes share blocks. */
	static VkDeviceSize GetBlockSize(VkDeviceSize RequiredSize);

private:
	int32 FindMemoryType(uint32 TypeBits, VkMemoryPropertyFlags Flags) const;
	void FreeBlock(FVulkanAllocation& Allocation);
	/** Frees the oldest pooled blocks until at most MaxBytes stay; needs the lock. */
	void EvictDownTo(uint64 MaxBytes);

	VkDevice Device;
	VkPhysicalDeviceMemoryProperties Properties;
	uint64 MaxPooledBytes;

	mutable std::mutex Mutex;
	/** Pooled blocks in the order they were freed, oldest first. */
	std::vector<FVulkanAllocation> Pooled;
	uint64 PooledBytes = 0;
	uint64 AllocatedBytes = 0;
	uint64 NumDeviceAllocations = 0;
};
