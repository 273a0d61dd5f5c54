#include "VulkanAccess.h"

#include "Containers/Array.h"
#include "Containers/UnrealString.h"

namespace
{
	struct FAccessBit
	{
		ERHIAccess Bit;
		const TCHAR* Name;
		FVulkanAccessInfo Info;
	};

	constexpr VkPipelineStageFlags GraphicsShaderStages = VK_PIPELINE_STAGE_VERTEX_SHADER_BIT | VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT;
	constexpr VkPipelineStageFlags DepthTestStages = VK_PIPELINE_STAGE_EARLY_FRAGMENT_TESTS_BIT | VK_PIPELINE_STAGE_LATE_FRAGMENT_TESTS_BIT;

	const FAccessBit AccessBits[] = {
		// A texture is read back by copying, so its CPU read is a copy source.
		{ERHIAccess::CPURead, TEXT("CPURead"), {VK_PIPELINE_STAGE_HOST_BIT | VK_PIPELINE_STAGE_TRANSFER_BIT,
			VK_ACCESS_HOST_READ_BIT | VK_ACCESS_TRANSFER_READ_BIT, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL}},
		{ERHIAccess::VertexOrIndexBuffer, TEXT("VertexOrIndexBuffer"), {VK_PIPELINE_STAGE_VERTEX_INPUT_BIT,
			VK_ACCESS_VERTEX_ATTRIBUTE_READ_BIT | VK_ACCESS_INDEX_READ_BIT, VK_IMAGE_LAYOUT_GENERAL}},
		{ERHIAccess::SRVCompute, TEXT("SRVCompute"), {VK_PIPELINE_STAGE_COMPUTE_SHADER_BIT, VK_ACCESS_SHADER_READ_BIT,
			VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL}},
		{ERHIAccess::SRVGraphics, TEXT("SRVGraphics"), {GraphicsShaderStages, VK_ACCESS_SHADER_READ_BIT, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL}},
		{ERHIAccess::UAVCompute, TEXT("UAVCompute"), {VK_PIPELINE_STAGE_COMPUTE_SHADER_BIT, VK_ACCESS_SHADER_READ_BIT | VK_ACCESS_SHADER_WRITE_BIT,
			VK_IMAGE_LAYOUT_GENERAL}},
		{ERHIAccess::UAVGraphics, TEXT("UAVGraphics"), {GraphicsShaderStages, VK_ACCESS_SHADER_READ_BIT | VK_ACCESS_SHADER_WRITE_BIT,
			VK_IMAGE_LAYOUT_GENERAL}},
		{ERHIAccess::RTV, TEXT("RTV"), {VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT,
			VK_ACCESS_COLOR_ATTACHMENT_READ_BIT | VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL}},
		{ERHIAccess::CopySrc, TEXT("CopySrc"), {VK_PIPELINE_STAGE_TRANSFER_BIT, VK_ACCESS_TRANSFER_READ_BIT, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL}},
		{ERHIAccess::CopyDest, TEXT("CopyDest"), {VK_PIPELINE_STAGE_TRANSFER_BIT, VK_ACCESS_TRANSFER_WRITE_BIT, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL}},
		{ERHIAccess::DSVRead, TEXT("DSVRead"), {DepthTestStages, VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_READ_BIT, VK_IMAGE_LAYOUT_DEPTH_STENCIL_READ_ONLY_OPTIMAL}},
		{ERHIAccess::DSVWrite, TEXT("DSVWrite"), {DepthTestStages,
			VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_READ_BIT | VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_WRITE_BIT, VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL}},
	};

	constexpr ERHIAccess WritableAccess = ERHIAccess::UAVMask | ERHIAccess::RTV | ERHIAccess::CopyDest | ERHIAccess::DSVWrite;
}

FVulkanAccessInfo GetVulkanAccessInfo(ERHIAccess Access)
{
	FVulkanAccessInfo Result;
	bool bFirst = true;
	for (const FAccessBit& Bit : AccessBits)
	{
		if (EnumHasAnyFlags(Access, Bit.Bit))
		{
			Result.Stages |= Bit.Info.Stages;
			Result.Access |= Bit.Info.Access;
			// States whose layouts differ can only meet in the general layout.
			Result.Layout = bFirst || Result.Layout == Bit.Info.Layout ? Bit.Info.Layout : VK_IMAGE_LAYOUT_GENERAL;
			bFirst = false;
		}
	}
	return Result;
}

bool IsWritableAccess(ERHIAccess Access)
{
	return EnumHasAnyFlags(Access, WritableAccess);
}

FVulkanTransitionPlan PlanVulkanTransition(ERHIAccess Current, ERHIAccess Next, bool bTexture, bool bExplicit)
{
	FVulkanTransitionPlan Plan;
	Plan.NewAccess = Next;
	if (Current == ERHIAccess::Unknown)
	{
		// A texture still has to leave the undefined layout; a buffer has nothing to wait for.
		Plan.bBarrier = bTexture || bExplicit;
		return Plan;
	}
	const bool bLayoutChanges = bTexture && GetVulkanAccessInfo(Current).Layout != GetVulkanAccessInfo(Next).Layout;
	if (IsWritableAccess(Current) || IsWritableAccess(Next) || bLayoutChanges || (bExplicit && Current != Next))
	{
		Plan.bBarrier = true;
		return Plan;
	}
	Plan.NewAccess = Current | Next;
	return Plan;
}

FString DescribeAccess(ERHIAccess Access)
{
	if (Access == ERHIAccess::Unknown)
	{
		return TEXT("Unknown");
	}
	TArray<FString> Names;
	for (const FAccessBit& Bit : AccessBits)
	{
		if (EnumHasAnyFlags(Access, Bit.Bit))
		{
			Names.Add(Bit.Name);
		}
	}
	return FString::Join(Names, TEXT("|"));
}
