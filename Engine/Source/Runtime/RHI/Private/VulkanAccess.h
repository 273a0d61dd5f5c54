#pragma once

// How ERHIAccess states map to Vulkan stages, memory accesses and image layouts, and when
// moving a resource from one state to the next needs a barrier.

#include "Containers/UnrealString.h"
#include "RHIDefinitions.h"
#include "VulkanCommon.h"

struct FVulkanAccessInfo
{
	VkPipelineStageFlags Stages = 0;
	/** Every memory access of the state. */
	VkAccessFlags Access = 0;
	/** The layout a texture in the state has; UNDEFINED for Unknown. */
	VkImageLayout Layout = VK_IMAGE_LAYOUT_UNDEFINED;
};

FVulkanAccessInfo GetVulkanAccessInfo(ERHIAccess Access);

/** True for states in which the GPU writes the resource (UAVs, render targets, copy destinations). */
bool IsWritableAccess(ERHIAccess Access);

struct FVulkanTransitionPlan
{
	bool bBarrier = false;
	/** The state the resource is in afterwards: Next after a barrier, else the reads so far with Next added. */
	ERHIAccess NewAccess = ERHIAccess::Unknown;
};

/**
 * What moving a resource in Current to Next takes. A barrier comes between them when Current
 * writes (read and write after write), when Next writes (write after read), when a texture's
 * layout changes, and, for an explicit transition, whenever the state changes. Reads that
 * share a layout follow each other without one; the state then gathers them, so that a later
 * write waits for all of them. A buffer no GPU work has touched yet (Unknown) needs none: host
 * writes become visible at submission.
 */
FVulkanTransitionPlan PlanVulkanTransition(ERHIAccess Current, ERHIAccess Next, bool bTexture, bool bExplicit);

/** "SRVCompute|CopySrc" and so on, for messages. */
FString DescribeAccess(ERHIAccess Access);
