#pragma once

// RHI textures: device-local, optimally tiled 2-D images with their views. Each remembers the
// access (and so the layout) it is in, for the barriers of later work.

#include "RHIResources.h"
#include "VulkanCommon.h"
#include "VulkanDeviceObject.h"
#include "VulkanMemoryPool.h"

#include "VulkanFormats.h"

#include <vector>

class FVulkanTexture final : public FRHITexture, public FVulkanDeviceObject
{
public:
	/**
	 * Checks Desc against what the RHI and the device offer (failed checks name the texture),
	 * then makes the image. A texture with an initial state is moved into it now, unless a
	 * render pass is open; it then starts in no state and the first use moves it.
	 */
	static FTextureRHIRef Create(FVulkanDynamicRHI& RHI, const FRHITextureCreateDesc& Desc);

	/** The RHI's texture behind Texture; a failed check for a null one, one the RHI did not make, or one whose RHI has shut down. */
	static FVulkanTexture& Get(FRHITexture* Texture);

	VkImage GetImage() const { return Image; }
	VkFormat GetVulkanFormat() const { return Format; }
	VkImageAspectFlags GetAspect() const { return GetVulkanImageAspect(Format); }
	bool IsDepthTarget() const { return GetAspect() == VK_IMAGE_ASPECT_DEPTH_BIT; }
	/** A view of one mip, or of all of them for INDEX_NONE; made at first use. */
	VkImageView GetView(int32 MipIndex);
	/** The extent of a mip (at least 1 x 1). */
	FIntPoint GetMipExtent(uint32 MipIndex) const;
	uint32 GetBytesPerTexel() const;

	ERHIAccess GetAccess() const { return Access; }
	void SetAccess(ERHIAccess InAccess) { Access = InAccess; }

	/** A clear that ClearColorTexture asked for and no use of the texels has needed yet. */
	bool HasPendingClear() const { return bClearPending; }
	const FLinearColor& GetPendingClearColor() const { return PendingClearColor; }
	void SetPendingClear(const FLinearColor& Color)
	{
		bClearPending = true;
		PendingClearColor = Color;
	}
	void DropPendingClear() { bClearPending = false; }

	void ReleaseDeviceObjects() override;

private:
	FVulkanTexture(const FRHITextureDesc& InDesc, FString InName, VkFormat InFormat) : FRHITexture(InDesc, std::move(InName)), Format(InFormat) {}
	~FVulkanTexture() override;

	void CreateImage(FVulkanDynamicRHI& RHI);

	VkImage Image = VK_NULL_HANDLE;
	FVulkanAllocation Memory;
	VkFormat Format;
	/** [0] views every mip, [1 + N] mip N; null until used. */
	std::vector<VkImageView> Views;
	ERHIAccess Access = ERHIAccess::Unknown;
	bool bClearPending = false;
	FLinearColor PendingClearColor;
};
