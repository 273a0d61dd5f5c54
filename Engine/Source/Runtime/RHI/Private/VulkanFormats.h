#pragma once

// The Vulkan formats behind pixel formats and vertex element types, and the Vulkan comparisons
// behind compare functions.

#include "PixelFormat.h"
#include "RHIDefinitions.h"
#include "VulkanCommon.h"

/** The image format of a texture of Format, sRGB-encoded with bSRGB; VK_FORMAT_UNDEFINED for a combination the RHI does not offer. */
VkFormat GetVulkanTextureFormat(EPixelFormat Format, bool bSRGB);

/** The aspect of an image of Format that views, barriers and copies name: depth for depth formats, colour otherwise. */
VkImageAspectFlags GetVulkanImageAspect(VkFormat Format);

/** "PF_B8G8R8A8" and so on, for messages. */
const TCHAR* GetPixelFormatName(EPixelFormat Format);

/** The attribute format of a vertex element type; VK_FORMAT_UNDEFINED for VET_None. */
VkFormat GetVulkanVertexFormat(EVertexElementType Type);

/** The Vulkan comparison of a depth test or a comparing sampler. */
VkCompareOp GetVulkanCompareOp(ECompareFunction Function);
