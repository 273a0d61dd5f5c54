#include "VulkanMemoryPool.h"

#include <algorithm>

FVulkanMemoryPool::FVulkanMemoryPool(VkDevice InDevice, const VkPhysicalDeviceMemoryProperties& InProperties, uint64 InMaxPooledBytes)
	: Device(InDevice)
	, Properties(InProperties)
	, MaxPooledBytes(InMaxPooledBytes)
{
}

FVulkanMemoryPool::~FVulkanMemoryPool()
{
	Trim();
}

VkDeviceSize FVulkanMemoryPool::GetBlockSize(VkDeviceSize RequiredSize)
{
	// Small blocks round to a power of two from 4 KiB, large ones to 64 KiB: few distinct keys,
	// little waste where it matters.
	constexpr VkDeviceSize SmallLimit = 64 * 1024;
	if (RequiredSize <= SmallLimit)
	{
		VkDeviceSize Size = 4096;
		while (Size < RequiredSize)
		{
			Size *= 2;
		}
		return Size;
	}
	return (RequiredSize + SmallLimit - 1) / SmallLimit * SmallLimit;
}

int32 FVulkanMemoryPool::FindMemoryType(uint32 TypeBits, VkMemoryPropertyFlags Flags) const
{
	for (uint32 Index = 0; Index < Properties.memoryTypeCount; ++Index)
	{
		if ((TypeBits & (1u << Index)) && (Properties.memoryTypes[Index].propertyFlags & Flags) == Flags)
		{
			return int32(Index);
		}
	}
	return INDEX_NONE;
}

FVulkanAllocation FVulkanMemoryPool::Allocate(const VkMemoryRequirements& Requirements, VkMemoryPropertyFlags Flags, const FString& OwnerName,
	VkMemoryPropertyFlags PreferredFlags)
{
	int32 TypeIndex = FindMemoryType(Requirements.memoryTypeBits, Flags | PreferredFlags);
	if (TypeIndex == INDEX_NONE)
	{
		TypeIndex = FindMemoryType(Requirements.memoryTypeBits, Flags);
	}
	checkf(TypeIndex != INDEX_NONE, TEXT("No Vulkan memory type suits '%s' (type bits 0x%x, property flags 0x%x)"), *OwnerName,
		Requirements.memoryTypeBits, uint32(Flags));
	const VkDeviceSize BlockSize = GetBlockSize(Requirements.size);

	std::lock_guard Lock(Mutex);
	for (auto It = Pooled.begin(); It != Pooled.end(); ++It)
	{
		if (It->MemoryTypeIndex == uint32(TypeIndex) && It->Size == BlockSize)
		{
			FVulkanAllocation Reused = *It;
			Pooled.erase(It);
			PooledBytes -= BlockSize;
			AllocatedBytes += BlockSize;
			return Reused;
		}
	}

	VkMemoryAllocateInfo AllocateInfo = {};
	AllocateInfo.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
	AllocateInfo.allocationSize = BlockSize;
	AllocateInfo.memoryTypeIndex = uint32(TypeIndex);
	FVulkanAllocation Allocation;
	Allocation.Size = BlockSize;
	Allocation.MemoryTypeIndex = uint32(TypeIndex);
	VkResult Result = vkAllocateMemory(Device, &AllocateInfo, nullptr, &Allocation.Memory);
	if (Result == VK_ERROR_OUT_OF_DEVICE_MEMORY || Result == VK_ERROR_OUT_OF_HOST_MEMORY)
	{
		// Blocks of other sizes may be what stands in the way.
		EvictDownTo(0);
		Result = vkAllocateMemory(Device, &AllocateInfo, nullptr, &Allocation.Memory);
	}
	checkf(Result == VK_SUCCESS, TEXT("Allocating %llu bytes of device memory for '%s' failed: %s"), (unsigned long long)BlockSize,
		*OwnerName, VulkanResultToString(Result));
	++NumDeviceAllocations;

	if (Properties.memoryTypes[TypeIndex].propertyFlags & VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT)
	{
		void* Mapped = nullptr;
		Result = vkMapMemory(Device, Allocation.Memory, 0, VK_WHOLE_SIZE, 0, &Mapped);
		if (Result != VK_SUCCESS)
		{
			vkFreeMemory(Device, Allocation.Memory, nullptr);
			checkf(false, TEXT("Mapping the memory of '%s' failed: %s"), *OwnerName, VulkanResultToString(Result));
		}
		Allocation.Mapped = static_cast<uint8*>(Mapped);
	}
	AllocatedBytes += BlockSize;
	return Allocation;
}

void FVulkanMemoryPool::Free(FVulkanAllocation& Allocation)
{
	if (!Allocation.IsValid())
	{
		return;
	}
	std::lock_guard Lock(Mutex);
	AllocatedBytes -= Allocation.Size;
	if (Allocation.Size > MaxPooledBytes)
	{
		FreeBlock(Allocation);
		return;
	}
	EvictDownTo(MaxPooledBytes - Allocation.Size);
	Pooled.push_back(Allocation);
	PooledBytes += Allocation.Size;
	Allocation = FVulkanAllocation();
}

void FVulkanMemoryPool::Trim()
{
	std::lock_guard Lock(Mutex);
	EvictDownTo(0);
}

void FVulkanMemoryPool::EvictDownTo(uint64 MaxBytes)
{
	while (PooledBytes > MaxBytes)
	{
		FVulkanAllocation Oldest = Pooled.front();
		Pooled.erase(Pooled.begin());
		PooledBytes -= Oldest.Size;
		FreeBlock(Oldest);
	}
}

void FVulkanMemoryPool::FreeBlock(FVulkanAllocation& Allocation)
{
	if (Allocation.Mapped)
	{
		vkUnmapMemory(Device, Allocation.Memory);
	}
	vkFreeMemory(Device, Allocation.Memory, nullptr);
	Allocation = FVulkanAllocation();
}

FRHIMemoryStats FVulkanMemoryPool::GetStats() const
{
	std::lock_guard Lock(Mutex);
	FRHIMemoryStats Stats;
	Stats.PooledBytes = PooledBytes;
	Stats.AllocatedBytes = AllocatedBytes;
	Stats.NumDeviceAllocations = NumDeviceAllocations;
	return Stats;
}
