#pragma once

// Samplers. A sampler holds no data, only state, so one that outlives an RHI restart (the
// shared static states do) is simply made again on the new device at its next use.

#include "RHIResources.h"
#include "VulkanCommon.h"
#include "VulkanDeviceObject.h"

class FVulkanSamplerState final : public FRHISamplerState, public FVulkanDeviceObject
{
public:
	static FSamplerStateRHIRef Create(FVulkanDynamicRHI& RHI, const FSamplerStateInitializerRHI& Initializer);

	/** The sampler on the running RHI's device, made there first if needed. */
	VkSampler GetHandle(FVulkanDynamicRHI& RHI);

	void ReleaseDeviceObjects() override;

private:
	explicit FVulkanSamplerState(const FSamplerStateInitializerRHI& Initializer) : FRHISamplerState(Initializer) {}
	~FVulkanSamplerState() override;

	VkSampler Sampler = VK_NULL_HANDLE;
};
