#pragma once

// The Vulkan instance (with the validation layer and the debug messenger when asked for), the
// chosen physical device, the logical device with its one graphics and compute queue, and the
// extension functions the RHI calls.

#include "Containers/UnrealString.h"
#include "RHI.h"
#include "VulkanCommon.h"

class FVulkanDevice
{
public:
	/** Creates the instance and the device; a failure throws FCheckFailure and leaves nothing behind. */
	FVulkanDevice();
	~FVulkanDevice();
	FVulkanDevice(const FVulkanDevice&) = delete;
	FVulkanDevice& operator=(const FVulkanDevice&) = delete;

	VkPhysicalDevice GetPhysicalDevice() const { return PhysicalDevice; }
	VkDevice GetHandle() const { return Device; }
	VkQueue GetQueue() const { return Queue; }
	uint32 GetQueueFamilyIndex() const { return QueueFamilyIndex; }
	const VkPhysicalDeviceProperties& GetProperties() const { return Properties; }
	const VkPhysicalDeviceMemoryProperties& GetMemoryProperties() const { return MemoryProperties; }
	const FRHIDeviceInfo& GetInfo() const { return Info; }
	uint32 GetMaxPushDescriptors() const { return MaxPushDescriptors; }
	bool SupportsFillModeNonSolid() const { return bFillModeNonSolid; }
	bool SupportsSamplerAnisotropy() const { return bSamplerAnisotropy; }

	/** Names a Vulkan object for debuggers and validation messages; nothing without debug utils. */
	void SetObjectName(VkObjectType Type, uint64 Handle, const FString& Name) const;
	/** Debug labels; nothing without debug utils. */
	void BeginLabel(VkCommandBuffer CommandBuffer, const FString& Name) const;
	void EndLabel(VkCommandBuffer CommandBuffer) const;

	/** Errors reported through the debug messenger (and a requested but missing validation layer) in this process. */
	static int32 GetValidationErrorCount();

	// Extension or version dependent entry points, always present once constructed.
	PFN_vkCmdPushDescriptorSetKHR CmdPushDescriptorSet = nullptr;
	PFN_vkCmdBeginRenderingKHR CmdBeginRendering = nullptr;
	PFN_vkCmdEndRenderingKHR CmdEndRendering = nullptr;

private:
	void CreateInstance();
	void ChoosePhysicalDevice();
	void CreateLogicalDevice();
	void Destroy();

	VkInstance Instance = VK_NULL_HANDLE;
	VkDebugUtilsMessengerEXT Messenger = VK_NULL_HANDLE;
	VkPhysicalDevice PhysicalDevice = VK_NULL_HANDLE;
	VkDevice Device = VK_NULL_HANDLE;
	VkQueue Queue = VK_NULL_HANDLE;
	uint32 QueueFamilyIndex = 0;
	uint32 InstanceApiVersion = 0;
	uint32 DeviceApiVersion = 0;
	VkPhysicalDeviceProperties Properties = {};
	VkPhysicalDeviceMemoryProperties MemoryProperties = {};
	FRHIDeviceInfo Info;
	uint32 MaxPushDescriptors = 0;
	bool bDebugUtils = false;
	bool bStorageReadWithoutFormat = false;
	bool bFillModeNonSolid = false;
	bool bSamplerAnisotropy = false;

	PFN_vkSetDebugUtilsObjectNameEXT SetDebugUtilsObjectName = nullptr;
	PFN_vkCmdBeginDebugUtilsLabelEXT CmdBeginDebugUtilsLabel = nullptr;
	PFN_vkCmdEndDebugUtilsLabelEXT CmdEndDebugUtilsLabel = nullptr;
};
