#include "VulkanCommon.h"

#include "Containers/UnrealString.h"

const TCHAR* VulkanResultToString(VkResult Result)
{
	switch (Result)
	{
	case VK_SUCCESS: return TEXT("VK_SUCCESS");
	case VK_NOT_READY: return TEXT("VK_NOT_READY");
	case VK_TIMEOUT: return TEXT("VK_TIMEOUT");
	case VK_INCOMPLETE: return TEXT("VK_INCOMPLETE");
	case VK_ERROR_OUT_OF_HOST_MEMORY: return TEXT("VK_ERROR_OUT_OF_HOST_MEMORY");
	case VK_ERROR_OUT_OF_DEVICE_MEMORY: return TEXT("VK_ERROR_OUT_OF_DEVICE_MEMORY");
	case VK_ERROR_INITIALIZATION_FAILED: return TEXT("VK_ERROR_INITIALIZATION_FAILED");
	case VK_ERROR_DEVICE_LOST: return TEXT("VK_ERROR_DEVICE_LOST");
	case VK_ERROR_MEMORY_MAP_FAILED: return TEXT("VK_ERROR_MEMORY_MAP_FAILED");
	case VK_ERROR_LAYER_NOT_PRESENT: return TEXT("VK_ERROR_LAYER_NOT_PRESENT");
	case VK_ERROR_EXTENSION_NOT_PRESENT: return TEXT("VK_ERROR_EXTENSION_NOT_PRESENT");
	case VK_ERROR_FEATURE_NOT_PRESENT: return TEXT("VK_ERROR_FEATURE_NOT_PRESENT");
	case VK_ERROR_INCOMPATIBLE_DRIVER: return TEXT("VK_ERROR_INCOMPATIBLE_DRIVER");
	case VK_ERROR_TOO_MANY_OBJECTS: return TEXT("VK_ERROR_TOO_MANY_OBJECTS");
	case VK_ERROR_FORMAT_NOT_SUPPORTED: return TEXT("VK_ERROR_FORMAT_NOT_SUPPORTED");
	case VK_ERROR_FRAGMENTED_POOL: return TEXT("VK_ERROR_FRAGMENTED_POOL");
	case VK_ERROR_OUT_OF_POOL_MEMORY: return TEXT("VK_ERROR_OUT_OF_POOL_MEMORY");
	case VK_ERROR_INVALID_SHADER_NV: return TEXT("VK_ERROR_INVALID_SHADER_NV");
	default: break;
	}
	// Unknown codes are rare enough that a shared buffer per thread is fine for the message.
	thread_local FString Number;
	Number = FString::Printf(TEXT("VkResult %d"), int32(Result));
	return *Number;
}

void CheckVulkanResult(VkResult Result, const TCHAR* What)
{
	checkf(Result == VK_SUCCESS, TEXT("%s failed: %s"), What, VulkanResultToString(Result));
}
