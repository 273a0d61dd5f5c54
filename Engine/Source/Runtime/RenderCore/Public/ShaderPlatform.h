#pragma once

// The shader platform shaders are compiled for: Vulkan SPIR-V at the SM5 feature level, the
// only one here. Shader types ask about it in ShouldCompilePermutation.

#include "CoreTypes.h"
#include "RHIDefinitions.h"

enum EShaderPlatform : uint16
{
	SP_VULKAN_SM5,
	SP_NumPlatforms,
};

inline constexpr EShaderPlatform GMaxRHIShaderPlatform = SP_VULKAN_SM5;

/** True when shaders of Platform may use the features of FeatureLevel. */
inline bool IsFeatureLevelSupported(EShaderPlatform Platform, ERHIFeatureLevel::Type FeatureLevel)
{
	return Platform == SP_VULKAN_SM5 && FeatureLevel <= ERHIFeatureLevel::SM5;
}
