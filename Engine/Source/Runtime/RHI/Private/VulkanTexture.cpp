#include "VulkanTexture.h"

#include "VulkanCommandContext.h"
#include "VulkanDevice.h"
#include "VulkanDynamicRHI.h"
#include "VulkanFormats.h"

#include <algorithm>
#include <bit>

namespace
{
	struct FUsageRequirement
	{
		ETextureCreateFlags Flag;
		VkImageUsageFlags Usage;
		VkFormatFeatureFlags Feature;
		const TCHAR* What;
	};

	const FUsageRequirement UsageRequirements[] = {
		{TexCreate_ShaderResource, VK_IMAGE_USAGE_SAMPLED_BIT, VK_FORMAT_FEATURE_SAMPLED_IMAGE_BIT, TEXT("sampled image")},
		{TexCreate_UAV, VK_IMAGE_USAGE_STORAGE_BIT, VK_FORMAT_FEATURE_STORAGE_IMAGE_BIT, TEXT("storage image")},
		{TexCreate_RenderTargetable, VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT, VK_FORMAT_FEATURE_COLOR_ATTACHMENT_BIT, TEXT("colour attachment")},
		{TexCreate_DepthStencilTargetable, VK_IMAGE_USAGE_DEPTH_STENCIL_ATTACHMENT_BIT, VK_FORMAT_FEATURE_DEPTH_STENCIL_ATTACHMENT_BIT,
			TEXT("depth attachment")},
	};

	const TCHAR* GetVulkanFormatName(VkFormat Format)
	{
		switch (Format)
		{
		case VK_FORMAT_B8G8R8A8_UNORM: return TEXT("VK_FORMAT_B8G8R8A8_UNORM");
		case VK_FORMAT_B8G8R8A8_SRGB: return TEXT("VK_FORMAT_B8G8R8A8_SRGB");
		case VK_FORMAT_R8G8B8A8_UNORM: return TEXT("VK_FORMAT_R8G8B8A8_UNORM");
		case VK_FORMAT_R8G8B8A8_SRGB: return TEXT("VK_FORMAT_R8G8B8A8_SRGB");
		case VK_FORMAT_R8_UNORM: return TEXT("VK_FORMAT_R8_UNORM");
		case VK_FORMAT_R16_UNORM: return TEXT("VK_FORMAT_R16_UNORM");
		case VK_FORMAT_R16G16B16A16_SFLOAT: return TEXT("VK_FORMAT_R16G16B16A16_SFLOAT");
		case VK_FORMAT_R32G32B32A32_SFLOAT: return TEXT("VK_FORMAT_R32G32B32A32_SFLOAT");
		case VK_FORMAT_R32_SFLOAT: return TEXT("VK_FORMAT_R32_SFLOAT");
		case VK_FORMAT_D32_SFLOAT: return TEXT("VK_FORMAT_D32_SFLOAT");
		default: return TEXT("VK_FORMAT_(other)");
		}
	}

	/** Validates Desc; returns the Vulkan format and usage. */
	VkFormat ValidateTextureDesc(const FVulkanDevice& Device, const FRHITextureCreateDesc& Desc, VkImageUsageFlags& OutUsage)
	{
		const TCHAR* Name = *Desc.DebugName;
		checkf(Desc.Extent.X > 0 && Desc.Extent.Y > 0, TEXT("Texture '%s' has the non-positive size %d x %d"), Name, Desc.Extent.X, Desc.Extent.Y);
		const uint32 MaxDimension = Device.GetProperties().limits.maxImageDimension2D;
		checkf(uint32(Desc.Extent.X) <= MaxDimension && uint32(Desc.Extent.Y) <= MaxDimension,
			TEXT("Texture '%s' is %d x %d; the device allows at most %u a side"), Name, Desc.Extent.X, Desc.Extent.Y, MaxDimension);
		const bool bSRGB = EnumHasAnyFlags(Desc.Flags, TexCreate_SRGB);
		const VkFormat Format = GetVulkanTextureFormat(Desc.Format, bSRGB);
		checkf(Format != VK_FORMAT_UNDEFINED || !bSRGB || GetVulkanTextureFormat(Desc.Format, false) == VK_FORMAT_UNDEFINED,
			TEXT("Texture '%s': %s has no sRGB form (TexCreate_SRGB is for PF_B8G8R8A8 and PF_R8G8B8A8)"), Name, GetPixelFormatName(Desc.Format));
		checkf(Format != VK_FORMAT_UNDEFINED, TEXT("Texture '%s' has the pixel format %s, which the RHI does not support"), Name,
			GetPixelFormatName(Desc.Format));
		checkf(!(bSRGB && EnumHasAnyFlags(Desc.Flags, TexCreate_UAV)), TEXT("Texture '%s' is sRGB and cannot also be a UAV"), Name);
		checkf(EnumHasAnyFlags(Desc.Flags, TexCreate_DepthStencilTargetable) == (GetVulkanImageAspect(Format) == VK_IMAGE_ASPECT_DEPTH_BIT),
			TEXT("Texture '%s': TexCreate_DepthStencilTargetable goes with PF_DepthStencil, and PF_DepthStencil with it"), Name);
		checkf(Desc.NumSamples == 1, TEXT("Texture '%s' asks for %u samples; the RHI makes single-sampled textures only"), Name,
			uint32(Desc.NumSamples));
		const uint32 MaxMips = uint32(std::bit_width(uint32(std::max(Desc.Extent.X, Desc.Extent.Y))));
		checkf(Desc.NumMips >= 1 && Desc.NumMips <= MaxMips, TEXT("Texture '%s' asks for %u mips; a %d x %d texture has 1 to %u"), Name,
			uint32(Desc.NumMips), Desc.Extent.X, Desc.Extent.Y, MaxMips);

		VkFormatProperties FormatProperties;
		vkGetPhysicalDeviceFormatProperties(Device.GetPhysicalDevice(), Format, &FormatProperties);
		OutUsage = VK_IMAGE_USAGE_TRANSFER_SRC_BIT | VK_IMAGE_USAGE_TRANSFER_DST_BIT;
		VkFormatFeatureFlags NeededFeatures = VK_FORMAT_FEATURE_TRANSFER_SRC_BIT | VK_FORMAT_FEATURE_TRANSFER_DST_BIT;
		checkf((FormatProperties.optimalTilingFeatures & NeededFeatures) == NeededFeatures, TEXT("Texture '%s': the device cannot copy %s images"),
			Name, GetVulkanFormatName(Format));
		for (const FUsageRequirement& Requirement : UsageRequirements)
		{
			if (EnumHasAnyFlags(Desc.Flags, Requirement.Flag))
			{
				checkf(FormatProperties.optimalTilingFeatures & Requirement.Feature, TEXT("Texture '%s': the device cannot use %s as a %s"),
					Name, GetVulkanFormatName(Format), Requirement.What);
				OutUsage |= Requirement.Usage;
			}
		}

		VkImageFormatProperties ImageProperties;
		const VkResult Result = vkGetPhysicalDeviceImageFormatProperties(Device.GetPhysicalDevice(), Format, VK_IMAGE_TYPE_2D,
			VK_IMAGE_TILING_OPTIMAL, OutUsage, 0, &ImageProperties);
		checkf(Result == VK_SUCCESS, TEXT("Texture '%s': the device does not offer %s images with these uses (%s)"), Name,
			GetVulkanFormatName(Format), VulkanResultToString(Result));
		checkf(uint32(Desc.Extent.X) <= ImageProperties.maxExtent.width && uint32(Desc.Extent.Y) <= ImageProperties.maxExtent.height,
			TEXT("Texture '%s' is %d x %d; the device allows %s images of at most %u x %u"), Name, Desc.Extent.X, Desc.Extent.Y,
			GetVulkanFormatName(Format), ImageProperties.maxExtent.width, ImageProperties.maxExtent.height);
		return Format;
	}
}

FTextureRHIRef FVulkanTexture::Create(FVulkanDynamicRHI& RHI, const FRHITextureCreateDesc& Desc)
{
	VkImageUsageFlags Usage = 0;
	const VkFormat Format = ValidateTextureDesc(RHI.GetDevice(), Desc, Usage);

	TRefCountPtr<FVulkanTexture> Texture(new FVulkanTexture(Desc, Desc.DebugName, Format));
	Texture->Attach(RHI);
	Texture->Views.assign(Desc.NumMips + 1, VK_NULL_HANDLE);

	VkImageCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO;
	CreateInfo.imageType = VK_IMAGE_TYPE_2D;
	CreateInfo.format = Format;
	CreateInfo.extent = {uint32(Desc.Extent.X), uint32(Desc.Extent.Y), 1};
	CreateInfo.mipLevels = Desc.NumMips;
	CreateInfo.arrayLayers = 1;
	CreateInfo.samples = VK_SAMPLE_COUNT_1_BIT;
	CreateInfo.tiling = VK_IMAGE_TILING_OPTIMAL;
	CreateInfo.usage = Usage;
	CreateInfo.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
	CreateInfo.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
	const VkDevice Device = RHI.GetDevice().GetHandle();
	CheckVulkanResult(vkCreateImage(Device, &CreateInfo, nullptr, &Texture->Image), TEXT("vkCreateImage"));

	VkMemoryRequirements Requirements;
	vkGetImageMemoryRequirements(Device, Texture->Image, &Requirements);
	Texture->Memory = RHI.GetMemoryPool().Allocate(Requirements, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT, Desc.DebugName);
	CheckVulkanResult(vkBindImageMemory(Device, Texture->Image, Texture->Memory.Memory, 0), TEXT("vkBindImageMemory"));
	RHI.GetDevice().SetObjectName(VK_OBJECT_TYPE_IMAGE, uint64(Texture->Image), Desc.DebugName);

	FVulkanCommandContext& Context = RHI.GetCommandContext();
	if (Desc.InitialState != ERHIAccess::Unknown && !Context.IsInsideRenderPass())
	{
		Context.Transition(FRHITransitionInfo(Texture.GetReference(), ERHIAccess::Unknown, Desc.InitialState));
	}
	return FTextureRHIRef(Texture.GetReference());
}

FVulkanTexture& FVulkanTexture::Get(FRHITexture* Texture)
{
	checkf(Texture, TEXT("A null texture was passed to the RHI"));
	FVulkanTexture* VulkanTexture = dynamic_cast<FVulkanTexture*>(Texture);
	checkf(VulkanTexture, TEXT("Texture '%s' was not made by the RHI"), *Texture->GetName());
	checkf(VulkanTexture->Image != VK_NULL_HANDLE, TEXT("Texture '%s' belongs to an RHI that has shut down"), *Texture->GetName());
	return *VulkanTexture;
}

VkImageView FVulkanTexture::GetView(int32 MipIndex)
{
	checkf(MipIndex >= INDEX_NONE && MipIndex < int32(GetDesc().NumMips), TEXT("Texture '%s' has no mip %d"), *GetName(), MipIndex);
	VkImageView& View = Views[MipIndex + 1];
	if (View == VK_NULL_HANDLE)
	{
		VkImageViewCreateInfo CreateInfo = {};
		CreateInfo.sType = VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO;
		CreateInfo.image = Image;
		CreateInfo.viewType = VK_IMAGE_VIEW_TYPE_2D;
		CreateInfo.format = Format;
		CreateInfo.subresourceRange.aspectMask = GetAspect();
		CreateInfo.subresourceRange.baseMipLevel = MipIndex == INDEX_NONE ? 0 : uint32(MipIndex);
		CreateInfo.subresourceRange.levelCount = MipIndex == INDEX_NONE ? GetDesc().NumMips : 1;
		CreateInfo.subresourceRange.layerCount = 1;
		CheckVulkanResult(vkCreateImageView(GetOwningRHI()->GetDevice().GetHandle(), &CreateInfo, nullptr, &View), TEXT("vkCreateImageView"));
	}
	return View;
}

FIntPoint FVulkanTexture::GetMipExtent(uint32 MipIndex) const
{
	return FIntPoint(std::max(GetDesc().Extent.X >> MipIndex, 1), std::max(GetDesc().Extent.Y >> MipIndex, 1));
}

uint32 FVulkanTexture::GetBytesPerTexel() const
{
	return uint32(GetPixelFormatBytes(GetFormat()));
}

FVulkanTexture::~FVulkanTexture()
{
	ReleaseDeviceObjects();
}

void FVulkanTexture::ReleaseDeviceObjects()
{
	FVulkanDynamicRHI* RHI = GetOwningRHI();
	if (!RHI)
	{
		return;
	}
	const VkDevice Device = RHI->GetDevice().GetHandle();
	for (VkImageView& View : Views)
	{
		if (View != VK_NULL_HANDLE)
		{
			vkDestroyImageView(Device, View, nullptr);
			View = VK_NULL_HANDLE;
		}
	}
	if (Image != VK_NULL_HANDLE)
	{
		vkDestroyImage(Device, Image, nullptr);
		Image = VK_NULL_HANDLE;
	}
	RHI->GetMemoryPool().Free(Memory);
}
