#include "VulkanSamplerState.h"

#include "VulkanDevice.h"
#include "VulkanDynamicRHI.h"
#include "VulkanFormats.h"

#include <algorithm>

namespace
{
	VkSamplerAddressMode GetAddressMode(ESamplerAddressMode Mode)
	{
		switch (Mode)
		{
		case AM_Clamp: return VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
		case AM_Mirror: return VK_SAMPLER_ADDRESS_MODE_MIRRORED_REPEAT;
		case AM_Border: return VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_BORDER;
		default: return VK_SAMPLER_ADDRESS_MODE_REPEAT;
		}
	}

	/** Vulkan offers three border colours: 0 is transparent black, an opaque black stays black, anything else is white. */
	VkBorderColor GetBorderColor(uint32 PackedARGB)
	{
		if (PackedARGB == 0)
		{
			return VK_BORDER_COLOR_FLOAT_TRANSPARENT_BLACK;
		}
		return (PackedARGB & 0x00FFFFFFu) == 0 ? VK_BORDER_COLOR_FLOAT_OPAQUE_BLACK : VK_BORDER_COLOR_FLOAT_OPAQUE_WHITE;
	}
}

FSamplerStateRHIRef FVulkanSamplerState::Create(FVulkanDynamicRHI& RHI, const FSamplerStateInitializerRHI& Initializer)
{
	FSamplerStateRHIRef State(new FVulkanSamplerState(Initializer));
	static_cast<FVulkanSamplerState*>(State.GetReference())->GetHandle(RHI);
	return State;
}

FVulkanSamplerState::~FVulkanSamplerState()
{
	ReleaseDeviceObjects();
}

VkSampler FVulkanSamplerState::GetHandle(FVulkanDynamicRHI& RHI)
{
	if (Sampler != VK_NULL_HANDLE)
	{
		return Sampler;
	}
	const FSamplerStateInitializerRHI& Init = GetInitializer();
	const FVulkanDevice& Device = RHI.GetDevice();
	VkSamplerCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO;
	CreateInfo.magFilter = Init.Filter == SF_Point ? VK_FILTER_NEAREST : VK_FILTER_LINEAR;
	CreateInfo.minFilter = CreateInfo.magFilter;
	CreateInfo.mipmapMode = Init.Filter == SF_Trilinear ? VK_SAMPLER_MIPMAP_MODE_LINEAR : VK_SAMPLER_MIPMAP_MODE_NEAREST;
	CreateInfo.addressModeU = GetAddressMode(Init.AddressU);
	CreateInfo.addressModeV = GetAddressMode(Init.AddressV);
	CreateInfo.addressModeW = GetAddressMode(Init.AddressW);
	CreateInfo.mipLodBias = Init.MipBias;
	CreateInfo.anisotropyEnable = Init.MaxAnisotropy > 1 && Device.SupportsSamplerAnisotropy();
	CreateInfo.maxAnisotropy = CreateInfo.anisotropyEnable
		? std::min(float(Init.MaxAnisotropy), Device.GetProperties().limits.maxSamplerAnisotropy)
		: 1.0f;
	CreateInfo.compareEnable = Init.SamplerComparisonFunction != CF_Never;
	CreateInfo.compareOp = GetVulkanCompareOp(Init.SamplerComparisonFunction);
	CreateInfo.minLod = Init.MinMipLevel;
	CreateInfo.maxLod = std::max(Init.MinMipLevel, std::min(Init.MaxMipLevel, VK_LOD_CLAMP_NONE));
	CreateInfo.borderColor = GetBorderColor(Init.BorderColor);
	CheckVulkanResult(vkCreateSampler(Device.GetHandle(), &CreateInfo, nullptr, &Sampler), TEXT("vkCreateSampler"));
	if (!GetOwningRHI())
	{
		Attach(RHI);
	}
	return Sampler;
}

void FVulkanSamplerState::ReleaseDeviceObjects()
{
	if (Sampler != VK_NULL_HANDLE && GetOwningRHI())
	{
		vkDestroySampler(GetOwningRHI()->GetDevice().GetHandle(), Sampler, nullptr);
	}
	Sampler = VK_NULL_HANDLE;
}
