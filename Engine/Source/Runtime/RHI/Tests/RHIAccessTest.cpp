#include "VulkanAccess.h"

#include <gtest/gtest.h>

// Which moves between access states need a barrier, and what the states are in Vulkan terms.

TEST(RHIAccessTest, WritesAlwaysNeedABarrierOnEitherSide)
{
	for (const bool bTexture : {true, false})
	{
		for (const bool bExplicit : {true, false})
		{
			EXPECT_TRUE(PlanVulkanTransition(ERHIAccess::UAVCompute, ERHIAccess::UAVCompute, bTexture, bExplicit).bBarrier) << "write after write";
			EXPECT_TRUE(PlanVulkanTransition(ERHIAccess::CopyDest, ERHIAccess::CopyDest, bTexture, bExplicit).bBarrier) << "write after write";
			EXPECT_TRUE(PlanVulkanTransition(ERHIAccess::UAVCompute, ERHIAccess::SRVCompute, bTexture, bExplicit).bBarrier) << "read after write";
			EXPECT_TRUE(PlanVulkanTransition(ERHIAccess::SRVCompute, ERHIAccess::UAVCompute, bTexture, bExplicit).bBarrier) << "write after read";
			EXPECT_TRUE(PlanVulkanTransition(ERHIAccess::RTV, ERHIAccess::CopySrc, bTexture, bExplicit).bBarrier);
		}
	}
}

TEST(RHIAccessTest, ReadsFollowReadsWithoutABarrierWhileTheLayoutStays)
{
	// Compute and graphics reads share the read-only layout: the state gathers both.
	const FVulkanTransitionPlan Shared = PlanVulkanTransition(ERHIAccess::SRVCompute, ERHIAccess::SRVGraphics, true, false);
	EXPECT_FALSE(Shared.bBarrier);
	EXPECT_EQ(Shared.NewAccess, ERHIAccess::SRVMask);
	// An explicit transition to another state always gets one.
	EXPECT_TRUE(PlanVulkanTransition(ERHIAccess::SRVCompute, ERHIAccess::SRVGraphics, true, true).bBarrier);
	EXPECT_FALSE(PlanVulkanTransition(ERHIAccess::SRVCompute, ERHIAccess::SRVCompute, true, true).bBarrier);

	// A copy source and a shader read differ in layout for a texture, not for a buffer.
	EXPECT_TRUE(PlanVulkanTransition(ERHIAccess::CopySrc, ERHIAccess::SRVCompute, true, false).bBarrier);
	const FVulkanTransitionPlan Buffer = PlanVulkanTransition(ERHIAccess::CopySrc, ERHIAccess::SRVCompute, false, false);
	EXPECT_FALSE(Buffer.bBarrier);
	EXPECT_EQ(Buffer.NewAccess, ERHIAccess::CopySrc | ERHIAccess::SRVCompute);
	// The write after them waits for every gathered read.
	EXPECT_EQ(GetVulkanAccessInfo(Buffer.NewAccess).Stages, VkPipelineStageFlags(VK_PIPELINE_STAGE_TRANSFER_BIT | VK_PIPELINE_STAGE_COMPUTE_SHADER_BIT));
}

TEST(RHIAccessTest, FirstUseOfATextureLeavesTheUndefinedLayoutButABufferHasNothingToWaitFor)
{
	EXPECT_TRUE(PlanVulkanTransition(ERHIAccess::Unknown, ERHIAccess::SRVCompute, true, false).bBarrier);
	const FVulkanTransitionPlan Buffer = PlanVulkanTransition(ERHIAccess::Unknown, ERHIAccess::VertexOrIndexBuffer, false, false);
	EXPECT_FALSE(Buffer.bBarrier);
	EXPECT_EQ(Buffer.NewAccess, ERHIAccess::VertexOrIndexBuffer);
}

TEST(RHIAccessTest, StatesMapToLayoutsAndStages)
{
	EXPECT_EQ(GetVulkanAccessInfo(ERHIAccess::Unknown).Layout, VK_IMAGE_LAYOUT_UNDEFINED);
	EXPECT_EQ(GetVulkanAccessInfo(ERHIAccess::SRVMask).Layout, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL);
	EXPECT_EQ(GetVulkanAccessInfo(ERHIAccess::UAVCompute).Layout, VK_IMAGE_LAYOUT_GENERAL);
	EXPECT_EQ(GetVulkanAccessInfo(ERHIAccess::RTV).Layout, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL);
	EXPECT_EQ(GetVulkanAccessInfo(ERHIAccess::CopyDest).Layout, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL);
	EXPECT_EQ(GetVulkanAccessInfo(ERHIAccess::SRVCompute | ERHIAccess::CopySrc).Layout, VK_IMAGE_LAYOUT_GENERAL)
		<< "states with different layouts meet only in the general one";
	EXPECT_EQ(GetVulkanAccessInfo(ERHIAccess::SRVGraphics).Stages,
		VkPipelineStageFlags(VK_PIPELINE_STAGE_VERTEX_SHADER_BIT | VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT));
	EXPECT_TRUE(IsWritableAccess(ERHIAccess::UAVGraphics | ERHIAccess::SRVCompute));
	EXPECT_FALSE(IsWritableAccess(ERHIAccess::SRVMask | ERHIAccess::CopySrc | ERHIAccess::CPURead));
	EXPECT_EQ(DescribeAccess(ERHIAccess::SRVCompute | ERHIAccess::CopySrc), "SRVCompute|CopySrc");
	EXPECT_EQ(DescribeAccess(ERHIAccess::Unknown), "Unknown");
}
