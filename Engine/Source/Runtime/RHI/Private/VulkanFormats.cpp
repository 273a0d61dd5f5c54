#include "VulkanFormats.h"

VkFormat GetVulkanTextureFormat(EPixelFormat Format, bool bSRGB)
{
	switch (Format)
	{
	case PF_B8G8R8A8: return bSRGB ? VK_FORMAT_B8G8R8A8_SRGB : VK_FORMAT_B8G8R8A8_UNORM;
	case PF_R8G8B8A8: return bSRGB ? VK_FORMAT_R8G8B8A8_SRGB : VK_FORMAT_R8G8B8A8_UNORM;
	default: break;
	}
	if (bSRGB)
	{
		return VK_FORMAT_UNDEFINED;
	}
	switch (Format)
	{
	case PF_G8: return VK_FORMAT_R8_UNORM;
	case PF_G16: return VK_FORMAT_R16_UNORM;
	case PF_FloatRGBA: return VK_FORMAT_R16G16B16A16_SFLOAT;
	case PF_A32B32G32R32F: return VK_FORMAT_R32G32B32A32_SFLOAT;
	case PF_R32_FLOAT: return VK_FORMAT_R32_SFLOAT;
	// Every Vulkan device offers 32-bit float depth as an attachment; stencil is not used here.
	case PF_DepthStencil: return VK_FORMAT_D32_SFLOAT;
	default: return VK_FORMAT_UNDEFINED;
	}
}

VkImageAspectFlags GetVulkanImageAspect(VkFormat Format)
{
	return Format == VK_FORMAT_D32_SFLOAT ? VK_IMAGE_ASPECT_DEPTH_BIT : VK_IMAGE_ASPECT_COLOR_BIT;
}

const TCHAR* GetPixelFormatName(EPixelFormat Format)
{
	switch (Format)
	{
	case PF_Unknown: return TEXT("PF_Unknown");
	case PF_A32B32G32R32F: return TEXT("PF_A32B32G32R32F");
	case PF_B8G8R8A8: return TEXT("PF_B8G8R8A8");
	case PF_G8: return TEXT("PF_G8");
	case PF_G16: return TEXT("PF_G16");
	case PF_FloatRGBA: return TEXT("PF_FloatRGBA");
	case PF_R32_FLOAT: return TEXT("PF_R32_FLOAT");
	case PF_R8G8B8A8: return TEXT("PF_R8G8B8A8");
	case PF_DepthStencil: return TEXT("PF_DepthStencil");
	default: return TEXT("PF_(unknown)");
	}
}

VkFormat GetVulkanVertexFormat(EVertexElementType Type)
{
	switch (Type)
	{
	case VET_Float1: return VK_FORMAT_R32_SFLOAT;
	case VET_Float2: return VK_FORMAT_R32G32_SFLOAT;
	case VET_Float3: return VK_FORMAT_R32G32B32_SFLOAT;
	case VET_Float4: return VK_FORMAT_R32G32B32A32_SFLOAT;
	// B, G, R, A in memory; the B8G8R8A8 format hands the shader R, G, B, A.
	case VET_Color: return VK_FORMAT_B8G8R8A8_UNORM;
	case VET_UByte4: return VK_FORMAT_R8G8B8A8_UINT;
	case VET_UByte4N: return VK_FORMAT_R8G8B8A8_UNORM;
	case VET_UInt: return VK_FORMAT_R32_UINT;
	default: return VK_FORMAT_UNDEFINED;
	}
}

VkCompareOp GetVulkanCompareOp(ECompareFunction Function)
{
	switch (Function)
	{
	case CF_Less: return VK_COMPARE_OP_LESS;
	case CF_LessEqual: return VK_COMPARE_OP_LESS_OR_EQUAL;
	case CF_Greater: return VK_COMPARE_OP_GREATER;
	case CF_GreaterEqual: return VK_COMPARE_OP_GREATER_OR_EQUAL;
	case CF_Equal: return VK_COMPARE_OP_EQUAL;
	case CF_NotEqual: return VK_COMPARE_OP_NOT_EQUAL;
	case CF_Never: return VK_COMPARE_OP_NEVER;
	default: return VK_COMPARE_OP_ALWAYS;
	}
}
