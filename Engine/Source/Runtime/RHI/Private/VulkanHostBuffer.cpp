#include "VulkanHostBuffer.h"

#include "VulkanDevice.h"

FVulkanHostBuffer::FVulkanHostBuffer(FVulkanDevice& InDevice, FVulkanMemoryPool& InPool, VkDeviceSize InSize, VkBufferUsageFlags Usage, const FString& Name,
	bool bReadBack)
	: Device(InDevice)
	, Pool(InPool)
	, Size(InSize)
{
	VkBufferCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
	CreateInfo.size = Size;
	CreateInfo.usage = Usage;
	CreateInfo.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
	const VkResult Result = vkCreateBuffer(Device.GetHandle(), &CreateInfo, nullptr, &Buffer);
	checkf(Result == VK_SUCCESS, TEXT("Creating the Vulkan buffer of '%s' (%llu bytes) failed: %s"), *Name, (unsigned long long)Size,
		VulkanResultToString(Result));
	try
	{
		VkMemoryRequirements Requirements;
		vkGetBufferMemoryRequirements(Device.GetHandle(), Buffer, &Requirements);
		Memory = Pool.Allocate(Requirements, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT, Name,
			bReadBack ? VK_MEMORY_PROPERTY_HOST_CACHED_BIT : 0);
		CheckVulkanResult(vkBindBufferMemory(Device.GetHandle(), Buffer, Memory.Memory, 0), TEXT("vkBindBufferMemory"));
	}
	catch (...)
	{
		Release();
		throw;
	}
	Device.SetObjectName(VK_OBJECT_TYPE_BUFFER, uint64(Buffer), Name);
}

FVulkanHostBuffer::~FVulkanHostBuffer()
{
	Release();
}

void FVulkanHostBuffer::Release()
{
	if (Buffer != VK_NULL_HANDLE)
	{
		vkDestroyBuffer(Device.GetHandle(), Buffer, nullptr);
		Buffer = VK_NULL_HANDLE;
	}
	Pool.Free(Memory);
}
