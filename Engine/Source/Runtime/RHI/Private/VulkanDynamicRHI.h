#pragma once

// The running RHI: the device, the memory pool, the pipeline cache and the immediate command
// list's Vulkan state, made by RHIInit and destroyed by RHIExit. There is at most one; the
// rendering thread starts, uses and stops it.

#include "RHI.h"

#include <memory>
#include <mutex>
#include <unordered_set>

class FVulkanCommandContext;
class FVulkanDevice;
class FVulkanDeviceObject;
class FVulkanMemoryPool;
class FVulkanPipelineCache;

class FVulkanDynamicRHI
{
public:
	FVulkanDynamicRHI();
	~FVulkanDynamicRHI();
	FVulkanDynamicRHI(const FVulkanDynamicRHI&) = delete;
	FVulkanDynamicRHI& operator=(const FVulkanDynamicRHI&) = delete;

	/** The running RHI, started first when it is not. */
	static FVulkanDynamicRHI& Get();
	/** The running RHI, or null; never starts it. */
	static FVulkanDynamicRHI* GetIfRunning();
	/** RHIInit and RHIExit. */
	static void Start();
	static void Stop();
	static void SetPreExitCallback(void (*Callback)());

	FVulkanDevice& GetDevice() { return *Device; }
	FVulkanMemoryPool& GetMemoryPool() { return *MemoryPool; }
	FVulkanPipelineCache& GetPipelineCache() { return *PipelineCache; }
	FVulkanCommandContext& GetCommandContext() { return *CommandContext; }

	void RegisterObject(FVulkanDeviceObject& Object);
	void UnregisterObject(FVulkanDeviceObject& Object);

private:
	/** Releases the handles of every registered object (they outlive the device); returns how many there were. */
	int32 ReleaseLiveObjects();

	// Declared in creation order: members are destroyed the other way round, the device last.
	std::unique_ptr<FVulkanDevice> Device;
	std::unique_ptr<FVulkanMemoryPool> MemoryPool;
	std::unique_ptr<FVulkanPipelineCache> PipelineCache;
	std::unique_ptr<FVulkanCommandContext> CommandContext;

	std::mutex ObjectsMutex;
	std::unordered_set<FVulkanDeviceObject*> Objects;
};
