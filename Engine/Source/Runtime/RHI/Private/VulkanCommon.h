#pragma once

// What every Vulkan source of the RHI needs: the API itself and a check on the results of its
// calls that names the call and the result.

#include "CoreTypes.h"
#include "Misc/AssertionMacros.h"

#include <vulkan/vulkan.h>

/** The result's enumerator name ("VK_ERROR_OUT_OF_DEVICE_MEMORY"), or its number for one unknown here. */
const TCHAR* VulkanResultToString(VkResult Result);

/** A failed check naming What and the result unless Result is VK_SUCCESS. */
void CheckVulkanResult(VkResult Result, const TCHAR* What);
