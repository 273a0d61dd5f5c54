#include "VulkanCommandContext.h"

#include "RHIDeferredDeletion.h"
#include "VulkanAccess.h"
#include "VulkanBuffer.h"
#include "VulkanDevice.h"
#include "VulkanDynamicRHI.h"
#include "VulkanFormats.h"
#include "VulkanMemoryPool.h"
#include "VulkanPipelineCache.h"
#include "VulkanSamplerState.h"
#include "VulkanShader.h"
#include "VulkanShaderResourceView.h"
#include "VulkanTexture.h"
#include "VulkanUnorderedAccessView.h"

#include <algorithm>
#include <cstring>

namespace
{
	constexpr VkAccessFlags WriteAccessMask = VK_ACCESS_SHADER_WRITE_BIT | VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT | VK_ACCESS_TRANSFER_WRITE_BIT
		| VK_ACCESS_HOST_WRITE_BIT | VK_ACCESS_MEMORY_WRITE_BIT | VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_WRITE_BIT;

	const FString& GetRequestName(const FVulkanTexture* Texture, const FVulkanBuffer* Buffer)
	{
		return Texture ? Texture->GetName() : Buffer->GetName();
	}

	VkImageSubresourceRange GetWholeRange(const FVulkanTexture& Texture)
	{
		return {Texture.GetAspect(), 0, Texture.GetDesc().NumMips, 0, 1};
	}

	const TCHAR* GetParameterTypeName(FRHIShaderParameterResource::EType Type)
	{
		switch (Type)
		{
		case FRHIShaderParameterResource::EType::Texture: return TEXT("texture");
		case FRHIShaderParameterResource::EType::ResourceView: return TEXT("shader resource view");
		case FRHIShaderParameterResource::EType::UnorderedAccessView: return TEXT("unordered access view");
		default: return TEXT("sampler");
		}
	}

	/** The debug name of what a parameter binds, for messages. */
	FString GetParameterResourceName(const FRHIShaderParameterResource& Parameter)
	{
		if (const FRHITexture* Texture = dynamic_cast<const FRHITexture*>(Parameter.Resource))
		{
			return FString::Printf(TEXT("'%s'"), *Texture->GetName());
		}
		if (const FVulkanShaderResourceView* View = dynamic_cast<const FVulkanShaderResourceView*>(Parameter.Resource))
		{
			return FString::Printf(TEXT("of '%s'"), *View->GetResourceName());
		}
		if (const FVulkanUnorderedAccessView* View = dynamic_cast<const FVulkanUnorderedAccessView*>(Parameter.Resource))
		{
			return FString::Printf(TEXT("of '%s'"), *View->GetResourceName());
		}
		return FString();
	}

	VkAttachmentLoadOp GetLoadOp(ERenderTargetActions Action)
	{
		switch (Action)
		{
		case ERenderTargetActions::Clear_Store:
		case ERenderTargetActions::Clear_DontStore: return VK_ATTACHMENT_LOAD_OP_CLEAR;
		case ERenderTargetActions::Load_Store:
		case ERenderTargetActions::Load_DontStore: return VK_ATTACHMENT_LOAD_OP_LOAD;
		default: return VK_ATTACHMENT_LOAD_OP_DONT_CARE;
		}
	}

	VkAttachmentStoreOp GetStoreOp(ERenderTargetActions Action)
	{
		switch (Action)
		{
		case ERenderTargetActions::DontLoad_Store:
		case ERenderTargetActions::Clear_Store:
		case ERenderTargetActions::Load_Store: return VK_ATTACHMENT_STORE_OP_STORE;
		default: return VK_ATTACHMENT_STORE_OP_DONT_CARE;
		}
	}

	VkAttachmentLoadOp GetDepthLoadOp(EDepthStencilTargetActions Action)
	{
		switch (Action)
		{
		case EDepthStencilTargetActions::ClearDepthStencil_StoreDepthStencil:
		case EDepthStencilTargetActions::ClearDepthStencil_DontStoreDepthStencil: return VK_ATTACHMENT_LOAD_OP_CLEAR;
		case EDepthStencilTargetActions::LoadDepthStencil_StoreDepthStencil:
		case EDepthStencilTargetActions::LoadDepthStencil_DontStoreDepthStencil: return VK_ATTACHMENT_LOAD_OP_LOAD;
		default: return VK_ATTACHMENT_LOAD_OP_DONT_CARE;
		}
	}

	VkAttachmentStoreOp GetDepthStoreOp(EDepthStencilTargetActions Action)
	{
		switch (Action)
		{
		case EDepthStencilTargetActions::DontLoad_StoreDepthStencil:
		case EDepthStencilTargetActions::ClearDepthStencil_StoreDepthStencil:
		case EDepthStencilTargetActions::LoadDepthStencil_StoreDepthStencil: return VK_ATTACHMENT_STORE_OP_STORE;
		default: return VK_ATTACHMENT_STORE_OP_DONT_CARE;
		}
	}

	uint32 GetVertexCount(EPrimitiveType Type, uint32 NumPrimitives)
	{
		switch (Type)
		{
		case PT_TriangleStrip: return NumPrimitives > 0 ? NumPrimitives + 2 : 0;
		case PT_LineList: return NumPrimitives * 2;
		case PT_PointList: return NumPrimitives;
		default: return NumPrimitives * 3;
		}
	}
}

FVulkanCommandContext::FVulkanCommandContext(FVulkanDynamicRHI& InRHI)
	: RHI(InRHI)
	, Device(InRHI.GetDevice())
	, UploadHeap(InRHI.GetDevice(), InRHI.GetMemoryPool())
{
	const VkDevice Handle = Device.GetHandle();
	VkCommandPoolCreateInfo PoolInfo = {};
	PoolInfo.sType = VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO;
	PoolInfo.flags = VK_COMMAND_POOL_CREATE_TRANSIENT_BIT;
	PoolInfo.queueFamilyIndex = Device.GetQueueFamilyIndex();
	CheckVulkanResult(vkCreateCommandPool(Handle, &PoolInfo, nullptr, &CommandPool), TEXT("vkCreateCommandPool"));
	try
	{
		VkCommandBufferAllocateInfo AllocateInfo = {};
		AllocateInfo.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO;
		AllocateInfo.commandPool = CommandPool;
		AllocateInfo.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
		AllocateInfo.commandBufferCount = 1;
		CheckVulkanResult(vkAllocateCommandBuffers(Handle, &AllocateInfo, &CommandBuffer), TEXT("vkAllocateCommandBuffers"));
		VkFenceCreateInfo FenceInfo = {};
		FenceInfo.sType = VK_STRUCTURE_TYPE_FENCE_CREATE_INFO;
		CheckVulkanResult(vkCreateFence(Handle, &FenceInfo, nullptr, &Fence), TEXT("vkCreateFence"));
	}
	catch (...)
	{
		vkDestroyCommandPool(Handle, CommandPool, nullptr);
		throw;
	}
}

FVulkanCommandContext::~FVulkanCommandContext()
{
	const VkDevice Handle = Device.GetHandle();
	vkDestroyFence(Handle, Fence, nullptr);
	vkDestroyCommandPool(Handle, CommandPool, nullptr);
}

VkCommandBuffer FVulkanCommandContext::GetCommandBuffer()
{
	if (!bRecording)
	{
		VkCommandBufferBeginInfo BeginInfo = {};
		BeginInfo.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
		BeginInfo.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
		CheckVulkanResult(vkBeginCommandBuffer(CommandBuffer, &BeginInfo), TEXT("vkBeginCommandBuffer"));
		bRecording = true;
		// Events stay open across submissions; each command buffer reopens them.
		for (const FString& Name : EventNames)
		{
			Device.BeginLabel(CommandBuffer, Name);
		}
	}
	return CommandBuffer;
}

void FVulkanCommandContext::CheckOutsideRenderPass(const TCHAR* What) const
{
	checkf(!bInsideRenderPass, TEXT("%s inside render pass '%s'; end the pass first"), What, *RenderPassName);
}

void FVulkanCommandContext::CheckRequestsNeedNoBarrier(const std::vector<FAccessRequest>& Requests, bool bExplicit, const TCHAR* What) const
{
	if (!bInsideRenderPass)
	{
		return;
	}
	for (const FAccessRequest& Request : Requests)
	{
		checkf(!Request.Texture || !Request.Texture->HasPendingClear(),
			TEXT("%s inside render pass '%s' needs texture '%s', whose clear is still to be recorded; use it before the pass"), What, *RenderPassName,
			*Request.Texture->GetName());
		const ERHIAccess Current = Request.Texture ? Request.Texture->GetAccess() : Request.Buffer->GetAccess();
		checkf(!PlanVulkanTransition(Current, Request.Access, Request.Texture != nullptr, bExplicit).bBarrier,
			TEXT("%s inside render pass '%s' needs %s '%s' in %s, but it is in %s; transition it before the pass"), What, *RenderPassName,
			Request.Texture ? TEXT("texture") : TEXT("buffer"), *GetRequestName(Request.Texture, Request.Buffer), *DescribeAccess(Request.Access),
			*DescribeAccess(Current));
	}
}

void FVulkanCommandContext::RecordPendingClear(FVulkanTexture& Texture)
{
	// Every texel is overwritten, so the old contents need not be kept through the barrier.
	Texture.DropPendingClear();
	RecordTransitions({{&Texture, nullptr, ERHIAccess::CopyDest, true}}, false);
	const FLinearColor& Color = Texture.GetPendingClearColor();
	VkClearColorValue ClearValue;
	ClearValue.float32[0] = Color.R;
	ClearValue.float32[1] = Color.G;
	ClearValue.float32[2] = Color.B;
	ClearValue.float32[3] = Color.A;
	const VkImageSubresourceRange Range = GetWholeRange(Texture);
	vkCmdClearColorImage(GetCommandBuffer(), Texture.GetImage(), VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, &ClearValue, 1, &Range);
}

void FVulkanCommandContext::RecordTransitions(const std::vector<FAccessRequest>& Requests, bool bExplicit)
{
	for (const FAccessRequest& Request : Requests)
	{
		if (Request.Texture && Request.Texture->HasPendingClear())
		{
			if (Request.bDiscard && Request.Texture->GetDesc().NumMips == 1)
			{
				Request.Texture->DropPendingClear();
			}
			else
			{
				RecordPendingClear(*Request.Texture);
			}
		}
	}
	std::vector<VkImageMemoryBarrier> ImageBarriers;
	std::vector<VkBufferMemoryBarrier> BufferBarriers;
	VkPipelineStageFlags SourceStages = 0;
	VkPipelineStageFlags DestStages = 0;
	for (const FAccessRequest& Request : Requests)
	{
		const ERHIAccess Current = Request.Texture ? Request.Texture->GetAccess() : Request.Buffer->GetAccess();
		const FVulkanTransitionPlan Plan = PlanVulkanTransition(Current, Request.Access, Request.Texture != nullptr, bExplicit);
		if (Request.Texture)
		{
			Request.Texture->SetAccess(Plan.NewAccess);
		}
		else
		{
			Request.Buffer->SetAccess(Plan.NewAccess);
		}
		if (!Plan.bBarrier)
		{
			continue;
		}
		const FVulkanAccessInfo Before = GetVulkanAccessInfo(Current);
		const FVulkanAccessInfo After = GetVulkanAccessInfo(Request.Access);
		SourceStages |= Before.Stages ? Before.Stages : VkPipelineStageFlags(VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT);
		DestStages |= After.Stages;
		if (Request.Texture)
		{
			VkImageMemoryBarrier Barrier = {};
			Barrier.sType = VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER;
			Barrier.srcAccessMask = Before.Access & WriteAccessMask;
			Barrier.dstAccessMask = After.Access;
			Barrier.oldLayout = Request.bDiscard ? VK_IMAGE_LAYOUT_UNDEFINED : Before.Layout;
			Barrier.newLayout = After.Layout;
			Barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
			Barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
			Barrier.image = Request.Texture->GetImage();
			Barrier.subresourceRange = GetWholeRange(*Request.Texture);
			ImageBarriers.push_back(Barrier);
		}
		else
		{
			VkBufferMemoryBarrier Barrier = {};
			Barrier.sType = VK_STRUCTURE_TYPE_BUFFER_MEMORY_BARRIER;
			Barrier.srcAccessMask = Before.Access & WriteAccessMask;
			Barrier.dstAccessMask = After.Access;
			Barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
			Barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
			Barrier.buffer = Request.Buffer->GetHandle();
			Barrier.size = VK_WHOLE_SIZE;
			BufferBarriers.push_back(Barrier);
		}
	}
	if (!ImageBarriers.empty() || !BufferBarriers.empty())
	{
		vkCmdPipelineBarrier(GetCommandBuffer(), SourceStages, DestStages, 0, 0, nullptr, uint32(BufferBarriers.size()), BufferBarriers.data(),
			uint32(ImageBarriers.size()), ImageBarriers.data());
	}
}

void* FVulkanCommandContext::LockBuffer(FRHIBuffer* Buffer, uint32 Offset, uint32 Size)
{
	FVulkanBuffer& VulkanBuffer = FVulkanBuffer::Get(Buffer);
	checkf(!VulkanBuffer.IsLocked(), TEXT("Buffer '%s' is locked already"), *Buffer->GetName());
	checkf(uint64(Offset) + Size <= Buffer->GetSize(), TEXT("LockBuffer of '%s': bytes %u to %llu lie outside its %u bytes"), *Buffer->GetName(),
		Offset, (unsigned long long)(uint64(Offset) + Size), Buffer->GetSize());
	// The lock hands out the memory the GPU may still be using, so it waits for the work so far.
	CheckOutsideRenderPass(*FString::Printf(TEXT("LockBuffer of '%s'"), *Buffer->GetName()));
	SubmitCommandsAndFlushGPU();
	VulkanBuffer.SetLocked(true);
	return VulkanBuffer.GetMappedData() + Offset;
}

void FVulkanCommandContext::UnlockBuffer(FRHIBuffer* Buffer)
{
	FVulkanBuffer& VulkanBuffer = FVulkanBuffer::Get(Buffer);
	checkf(VulkanBuffer.IsLocked(), TEXT("UnlockBuffer of '%s', which is not locked"), *Buffer->GetName());
	VulkanBuffer.SetLocked(false);
}

void FVulkanCommandContext::UpdateTexture2D(FRHITexture* Texture, uint32 MipIndex, const FUpdateTextureRegion2D& Region, uint32 SourcePitch,
	const uint8* SourceData)
{
	FVulkanTexture& VulkanTexture = FVulkanTexture::Get(Texture);
	const TCHAR* Name = *Texture->GetName();
	CheckOutsideRenderPass(*FString::Printf(TEXT("UpdateTexture2D of '%s'"), Name));
	checkf(MipIndex < Texture->GetDesc().NumMips, TEXT("UpdateTexture2D of '%s': the texture has no mip %u"), Name, MipIndex);
	const FIntPoint MipExtent = VulkanTexture.GetMipExtent(MipIndex);
	checkf(uint64(Region.DestX) + Region.Width <= uint64(MipExtent.X) && uint64(Region.DestY) + Region.Height <= uint64(MipExtent.Y),
		TEXT("UpdateTexture2D of '%s': the region at (%u, %u) of %u x %u texels lies outside mip %u (%d x %d)"), Name, Region.DestX, Region.DestY,
		Region.Width, Region.Height, MipIndex, MipExtent.X, MipExtent.Y);
	if (Region.Width == 0 || Region.Height == 0)
	{
		return;
	}
	checkf(SourceData, TEXT("UpdateTexture2D of '%s' without source data"), Name);
	checkf(Region.SrcX >= 0 && Region.SrcY >= 0, TEXT("UpdateTexture2D of '%s': the source position (%d, %d) is negative"), Name, Region.SrcX,
		Region.SrcY);
	const uint64 BytesPerTexel = VulkanTexture.GetBytesPerTexel();
	const uint64 RowEnd = (uint64(Region.SrcX) + Region.Width) * BytesPerTexel;
	checkf(RowEnd <= SourcePitch, TEXT("UpdateTexture2D of '%s': rows of %u texels from source x %d need %llu bytes, more than the source pitch of %u"),
		Name, Region.Width, Region.SrcX, (unsigned long long)RowEnd, SourcePitch);

	const uint64 RowBytes = uint64(Region.Width) * BytesPerTexel;
	const VkDeviceSize Alignment = std::max<VkDeviceSize>(16, Device.GetProperties().limits.optimalBufferCopyOffsetAlignment);
	const FVulkanUploadHeap::FAllocation Staging = UploadHeap.Allocate(RowBytes * Region.Height, Alignment);
	for (uint32 Row = 0; Row < Region.Height; ++Row)
	{
		const uint8* Source = SourceData + (uint64(Region.SrcY) + Row) * SourcePitch + uint64(Region.SrcX) * BytesPerTexel;
		std::memcpy(Staging.Data + Row * RowBytes, Source, RowBytes);
	}

	const bool bWholeTexture = Texture->GetDesc().NumMips == 1 && Region.DestX == 0 && Region.DestY == 0 && int64(Region.Width) == MipExtent.X
		&& int64(Region.Height) == MipExtent.Y;
	RecordTransitions({{&VulkanTexture, nullptr, ERHIAccess::CopyDest, bWholeTexture && VulkanTexture.HasPendingClear()}}, false);
	VkBufferImageCopy Copy = {};
	Copy.bufferOffset = Staging.Offset;
	Copy.imageSubresource = {VulkanTexture.GetAspect(), MipIndex, 0, 1};
	Copy.imageOffset = {int32(Region.DestX), int32(Region.DestY), 0};
	Copy.imageExtent = {Region.Width, Region.Height, 1};
	vkCmdCopyBufferToImage(GetCommandBuffer(), Staging.Buffer, VulkanTexture.GetImage(), VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &Copy);
}

void FVulkanCommandContext::ClearColorTexture(FRHITexture* Texture, const FLinearColor& Color)
{
	FVulkanTexture& VulkanTexture = FVulkanTexture::Get(Texture);
	CheckOutsideRenderPass(*FString::Printf(TEXT("ClearColorTexture of '%s'"), *Texture->GetName()));
	checkf(!VulkanTexture.IsDepthTarget(), TEXT("ClearColorTexture of the depth texture '%s'; a render pass clears depth"), *Texture->GetName());
	VulkanTexture.SetPendingClear(Color);
}

void FVulkanCommandContext::CopyTexture(FRHITexture* SourceTexture, FRHITexture* DestTexture, const FRHICopyTextureInfo& CopyInfo)
{
	FVulkanTexture& Source = FVulkanTexture::Get(SourceTexture);
	FVulkanTexture& Dest = FVulkanTexture::Get(DestTexture);
	const TCHAR* SourceName = *Source.GetName();
	const TCHAR* DestName = *Dest.GetName();
	CheckOutsideRenderPass(*FString::Printf(TEXT("CopyTexture from '%s' to '%s'"), SourceName, DestName));
	checkf(&Source != &Dest, TEXT("CopyTexture with '%s' as both source and destination"), SourceName);
	checkf(Source.IsDepthTarget() == Dest.IsDepthTarget(), TEXT("CopyTexture between the depth texture and the colour texture of '%s' and '%s'"),
		SourceName, DestName);
	checkf(Source.GetBytesPerTexel() == Dest.GetBytesPerTexel(), TEXT("CopyTexture from '%s' (%u bytes a texel) to '%s' (%u bytes a texel)"), SourceName,
		Source.GetBytesPerTexel(), DestName, Dest.GetBytesPerTexel());
	checkf(CopyInfo.NumMips >= 1, TEXT("CopyTexture from '%s' to '%s' of no mips"), SourceName, DestName);
	checkf(CopyInfo.SourcePosition.Z == 0 && CopyInfo.DestPosition.Z == 0 && CopyInfo.Size.Z <= 1,
		TEXT("CopyTexture from '%s' to '%s': 2-D textures have no depth to copy"), SourceName, DestName);

	std::vector<VkImageCopy> Regions;
	bool bWholeDest = false;
	for (uint32 Mip = 0; Mip < CopyInfo.NumMips; ++Mip)
	{
		const uint32 SourceMip = CopyInfo.SourceMipIndex + Mip;
		const uint32 DestMip = CopyInfo.DestMipIndex + Mip;
		checkf(SourceMip < Source.GetDesc().NumMips && DestMip < Dest.GetDesc().NumMips,
			TEXT("CopyTexture from '%s' mip %u to '%s' mip %u: no such mip"), SourceName, SourceMip, DestName, DestMip);
		const FIntPoint SourceExtent = Source.GetMipExtent(SourceMip);
		const FIntPoint DestExtent = Dest.GetMipExtent(DestMip);
		const int64 SourceX = CopyInfo.SourcePosition.X >> Mip;
		const int64 SourceY = CopyInfo.SourcePosition.Y >> Mip;
		const int64 DestX = CopyInfo.DestPosition.X >> Mip;
		const int64 DestY = CopyInfo.DestPosition.Y >> Mip;
		const bool bWhole = CopyInfo.Size.X == 0 && CopyInfo.Size.Y == 0;
		const int64 Width = bWhole ? SourceExtent.X - SourceX : std::max(CopyInfo.Size.X >> Mip, 1);
		const int64 Height = bWhole ? SourceExtent.Y - SourceY : std::max(CopyInfo.Size.Y >> Mip, 1);
		checkf(SourceX >= 0 && SourceY >= 0 && Width > 0 && Height > 0 && SourceX + Width <= SourceExtent.X && SourceY + Height <= SourceExtent.Y,
			TEXT("CopyTexture: the region at (%lld, %lld) of %lld x %lld texels lies outside '%s' mip %u (%d x %d)"), (long long)SourceX,
			(long long)SourceY, (long long)Width, (long long)Height, SourceName, SourceMip, SourceExtent.X, SourceExtent.Y);
		checkf(DestX >= 0 && DestY >= 0 && DestX + Width <= DestExtent.X && DestY + Height <= DestExtent.Y,
			TEXT("CopyTexture: the region at (%lld, %lld) of %lld x %lld texels lies outside '%s' mip %u (%d x %d)"), (long long)DestX,
			(long long)DestY, (long long)Width, (long long)Height, DestName, DestMip, DestExtent.X, DestExtent.Y);
		VkImageCopy Region = {};
		Region.srcSubresource = {Source.GetAspect(), SourceMip, 0, 1};
		Region.srcOffset = {int32(SourceX), int32(SourceY), 0};
		Region.dstSubresource = {Dest.GetAspect(), DestMip, 0, 1};
		Region.dstOffset = {int32(DestX), int32(DestY), 0};
		Region.extent = {uint32(Width), uint32(Height), 1};
		Regions.push_back(Region);
		bWholeDest = Dest.GetDesc().NumMips == 1 && DestX == 0 && DestY == 0 && Width == DestExtent.X && Height == DestExtent.Y;
	}

	// Only a pending clear is worth discarding for: otherwise the layout keeps the contents, as a copy of part needs.
	RecordTransitions({{&Source, nullptr, ERHIAccess::CopySrc}, {&Dest, nullptr, ERHIAccess::CopyDest, bWholeDest && Dest.HasPendingClear()}}, false);
	vkCmdCopyImage(GetCommandBuffer(), Source.GetImage(), VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, Dest.GetImage(), VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL,
		uint32(Regions.size()), Regions.data());
}

template <typename ConsumerType>
void FVulkanCommandContext::ReadBack(FVulkanTexture& Texture, const FIntRect& Rect, ConsumerType Consume)
{
	const VkDeviceSize Size = VkDeviceSize(Rect.Width()) * Rect.Height() * Texture.GetBytesPerTexel();
	FVulkanHostBuffer Staging(Device, RHI.GetMemoryPool(), Size, VK_BUFFER_USAGE_TRANSFER_DST_BIT, Texture.GetName() + TEXT(" read-back"), true);
	RecordTransitions({{&Texture, nullptr, ERHIAccess::CopySrc}}, false);
	VkBufferImageCopy Copy = {};
	Copy.imageSubresource = {Texture.GetAspect(), 0, 0, 1};
	Copy.imageOffset = {Rect.Min.X, Rect.Min.Y, 0};
	Copy.imageExtent = {uint32(Rect.Width()), uint32(Rect.Height()), 1};
	vkCmdCopyImageToBuffer(GetCommandBuffer(), Texture.GetImage(), VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, Staging.GetHandle(), 1, &Copy);
	SubmitCommandsAndFlushGPU();
	Consume(Staging.GetMappedData());
}

void FVulkanCommandContext::ReadSurfaceData(FRHITexture* Texture, FIntRect Rect, TArray<FColor>& OutData)
{
	FVulkanTexture& VulkanTexture = FVulkanTexture::Get(Texture);
	const TCHAR* Name = *Texture->GetName();
	CheckOutsideRenderPass(*FString::Printf(TEXT("ReadSurfaceData of '%s'"), Name));
	const EPixelFormat Format = Texture->GetFormat();
	checkf(Format == PF_B8G8R8A8 || Format == PF_R8G8B8A8, TEXT("ReadSurfaceData reads 8-bit four-channel textures; '%s' is %s"), Name,
		GetPixelFormatName(Format));
	const FIntPoint Extent = VulkanTexture.GetMipExtent(0);
	if (Rect.IsEmpty())
	{
		Rect = FIntRect(FIntPoint(0, 0), Extent);
	}
	checkf(Rect.Min.X >= 0 && Rect.Min.Y >= 0 && Rect.Max.X <= Extent.X && Rect.Max.Y <= Extent.Y,
		TEXT("ReadSurfaceData: the rectangle (%d, %d)-(%d, %d) lies outside '%s' (%d x %d)"), Rect.Min.X, Rect.Min.Y, Rect.Max.X, Rect.Max.Y, Name,
		Extent.X, Extent.Y);

	ReadBack(VulkanTexture, Rect, [&OutData, &Rect, Format](const uint8* Texels) {
		const int32 NumTexels = Rect.Width() * Rect.Height();
		OutData.SetNumUninitialized(NumTexels);
		std::memcpy(OutData.GetData(), Texels, SIZE_T(NumTexels) * sizeof(FColor));
		if (Format == PF_R8G8B8A8)
		{
			for (FColor& Color : OutData)
			{
				std::swap(Color.R, Color.B);
			}
		}
	});
}

void FVulkanCommandContext::ReadTexture(FRHITexture* Texture, TArray<uint8>& OutData)
{
	FVulkanTexture& VulkanTexture = FVulkanTexture::Get(Texture);
	CheckOutsideRenderPass(*FString::Printf(TEXT("ReadTexture of '%s'"), *Texture->GetName()));
	const FIntRect Rect(FIntPoint(0, 0), VulkanTexture.GetMipExtent(0));
	ReadBack(VulkanTexture, Rect, [&OutData, &Rect, &VulkanTexture](const uint8* Texels) {
		OutData.SetNumUninitialized(Rect.Width() * Rect.Height() * int32(VulkanTexture.GetBytesPerTexel()));
		std::memcpy(OutData.GetData(), Texels, SIZE_T(OutData.Num()));
	});
}

void FVulkanCommandContext::Transition(const FRHITransitionInfo& Info)
{
	Transition(TArray<FRHITransitionInfo>{Info});
}

void FVulkanCommandContext::Transition(const TArray<FRHITransitionInfo>& Infos)
{
	std::vector<FAccessRequest> Requests;
	for (const FRHITransitionInfo& Info : Infos)
	{
		checkf((Info.Texture != nullptr) != (Info.Buffer != nullptr), TEXT("A transition names %s"),
			Info.Texture ? TEXT("both a texture and a buffer") : TEXT("neither a texture nor a buffer"));
		FAccessRequest& Request = Requests.emplace_back();
		Request.Access = Info.AccessAfter;
		if (Info.Texture)
		{
			Request.Texture = &FVulkanTexture::Get(Info.Texture);
			const TCHAR* Name = *Info.Texture->GetName();
			const ETextureCreateFlags Flags = Info.Texture->GetFlags();
			checkf(Info.AccessAfter != ERHIAccess::Unknown, TEXT("Transition of texture '%s' to no access"), Name);
			checkf(!EnumHasAnyFlags(Info.AccessAfter, ERHIAccess::VertexOrIndexBuffer), TEXT("Transition of texture '%s' to VertexOrIndexBuffer"), Name);
			checkf(!EnumHasAnyFlags(Info.AccessAfter, ERHIAccess::SRVMask) || EnumHasAnyFlags(Flags, TexCreate_ShaderResource),
				TEXT("Transition of texture '%s' to %s: it was not created with TexCreate_ShaderResource"), Name, *DescribeAccess(Info.AccessAfter));
			checkf(!EnumHasAnyFlags(Info.AccessAfter, ERHIAccess::UAVMask) || EnumHasAnyFlags(Flags, TexCreate_UAV),
				TEXT("Transition of texture '%s' to %s: it was not created with TexCreate_UAV"), Name, *DescribeAccess(Info.AccessAfter));
			checkf(!EnumHasAnyFlags(Info.AccessAfter, ERHIAccess::RTV) || EnumHasAnyFlags(Flags, TexCreate_RenderTargetable),
				TEXT("Transition of texture '%s' to RTV: it was not created with TexCreate_RenderTargetable"), Name);
			checkf(!EnumHasAnyFlags(Info.AccessAfter, ERHIAccess::DSVRead | ERHIAccess::DSVWrite) || EnumHasAnyFlags(Flags, TexCreate_DepthStencilTargetable),
				TEXT("Transition of texture '%s' to %s: it was not created with TexCreate_DepthStencilTargetable"), Name, *DescribeAccess(Info.AccessAfter));
		}
		else
		{
			Request.Buffer = &FVulkanBuffer::Get(Info.Buffer);
			checkf(Info.AccessAfter != ERHIAccess::Unknown, TEXT("Transition of buffer '%s' to no access"), *Info.Buffer->GetName());
			checkf(!EnumHasAnyFlags(Info.AccessAfter, ERHIAccess::RTV | ERHIAccess::DSVRead | ERHIAccess::DSVWrite),
				TEXT("Transition of buffer '%s' to %s"), *Info.Buffer->GetName(), *DescribeAccess(Info.AccessAfter));
		}
	}
	CheckRequestsNeedNoBarrier(Requests, true, TEXT("Transition"));
	RecordTransitions(Requests, true);
}

void FVulkanCommandContext::BeginRenderPass(const FRHIRenderPassInfo& Info, const TCHAR* Name)
{
	const FString PassName(Name ? Name : TEXT("(unnamed)"));
	checkf(!bInsideRenderPass, TEXT("BeginRenderPass '%s' while render pass '%s' is open"), *PassName, *RenderPassName);
	const int32 NumTargets = Info.GetNumColorRenderTargets();
	checkf(NumTargets > 0, TEXT("Render pass '%s' has no colour target"), *PassName);

	std::vector<FAccessRequest> Requests;
	std::vector<VkRenderingAttachmentInfo> Attachments;
	std::vector<VkFormat> Formats;
	FIntPoint Extent;
	for (int32 Index = 0; Index < NumTargets; ++Index)
	{
		const FRHIRenderPassInfo::FColorEntry& Entry = Info.ColorRenderTargets[Index];
		FVulkanTexture& Target = FVulkanTexture::Get(Entry.RenderTarget);
		checkf(EnumHasAnyFlags(Target.GetFlags(), TexCreate_RenderTargetable),
			TEXT("Texture '%s' was not created with TexCreate_RenderTargetable and cannot be a target of render pass '%s'"), *Target.GetName(), *PassName);
		checkf(Entry.MipIndex >= 0 && Entry.MipIndex < int32(Target.GetDesc().NumMips), TEXT("Render pass '%s': texture '%s' has no mip %d"),
			*PassName, *Target.GetName(), Entry.MipIndex);
		checkf(std::none_of(Requests.begin(), Requests.end(), [&Target](const FAccessRequest& Other) { return Other.Texture == &Target; }),
			TEXT("Render pass '%s' binds texture '%s' twice"), *PassName, *Target.GetName());
		const FIntPoint MipExtent = Target.GetMipExtent(uint32(Entry.MipIndex));
		if (Index == 0)
		{
			Extent = MipExtent;
		}
		checkf(MipExtent == Extent, TEXT("Render pass '%s': target '%s' is %d x %d, the first target %d x %d"), *PassName, *Target.GetName(),
			MipExtent.X, MipExtent.Y, Extent.X, Extent.Y);

		const VkAttachmentLoadOp LoadOp = GetLoadOp(Entry.Action);
		Requests.push_back({&Target, nullptr, ERHIAccess::RTV, LoadOp != VK_ATTACHMENT_LOAD_OP_LOAD});
		const FLinearColor ClearColor = Target.GetClearBinding().ColorBinding == FClearValueBinding::EClearBinding::EColorBound
			? Target.GetClearBinding().Color
			: FLinearColor(0, 0, 0, 0);
		VkRenderingAttachmentInfo& Attachment = Attachments.emplace_back();
		Attachment = {};
		Attachment.sType = VK_STRUCTURE_TYPE_RENDERING_ATTACHMENT_INFO;
		Attachment.imageView = Target.GetView(Entry.MipIndex);
		Attachment.imageLayout = VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL;
		Attachment.loadOp = LoadOp;
		Attachment.storeOp = GetStoreOp(Entry.Action);
		Attachment.clearValue.color = {{ClearColor.R, ClearColor.G, ClearColor.B, ClearColor.A}};
		Formats.push_back(Target.GetVulkanFormat());
	}

	VkRenderingAttachmentInfo DepthAttachment = {};
	FVulkanTexture* DepthTarget = nullptr;
	if (const FRHIRenderPassInfo::FDepthStencilEntry& Entry = Info.DepthStencilRenderTarget; Entry.DepthStencilTarget)
	{
		DepthTarget = &FVulkanTexture::Get(Entry.DepthStencilTarget);
		checkf(DepthTarget->IsDepthTarget() && EnumHasAnyFlags(DepthTarget->GetFlags(), TexCreate_DepthStencilTargetable),
			TEXT("Texture '%s' is not a depth texture made with TexCreate_DepthStencilTargetable and cannot be the depth target of render pass '%s'"),
			*DepthTarget->GetName(), *PassName);
		checkf(DepthTarget->GetMipExtent(0) == Extent, TEXT("Render pass '%s': depth target '%s' is %d x %d, the colour targets %d x %d"), *PassName,
			*DepthTarget->GetName(), DepthTarget->GetMipExtent(0).X, DepthTarget->GetMipExtent(0).Y, Extent.X, Extent.Y);
		const VkAttachmentLoadOp LoadOp = GetDepthLoadOp(Entry.Action);
		Requests.push_back({DepthTarget, nullptr, ERHIAccess::DSVWrite, LoadOp != VK_ATTACHMENT_LOAD_OP_LOAD});
		const FClearValueBinding& Clear = DepthTarget->GetClearBinding();
		DepthAttachment.sType = VK_STRUCTURE_TYPE_RENDERING_ATTACHMENT_INFO;
		DepthAttachment.imageView = DepthTarget->GetView(0);
		DepthAttachment.imageLayout = VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL;
		DepthAttachment.loadOp = LoadOp;
		DepthAttachment.storeOp = GetDepthStoreOp(Entry.Action);
		DepthAttachment.clearValue.depthStencil = {Clear.ColorBinding == FClearValueBinding::EClearBinding::EDepthStencilBound ? Clear.Depth : 1.0f, 0};
	}

	RecordTransitions(Requests, false);
	const VkCommandBuffer Commands = GetCommandBuffer();
	RenderPassLabelIndex = EventNames.Add(PassName);
	Device.BeginLabel(Commands, PassName);
	VkRenderingInfo RenderingInfo = {};
	RenderingInfo.sType = VK_STRUCTURE_TYPE_RENDERING_INFO;
	RenderingInfo.renderArea = {{0, 0}, {uint32(Extent.X), uint32(Extent.Y)}};
	RenderingInfo.layerCount = 1;
	RenderingInfo.colorAttachmentCount = uint32(Attachments.size());
	RenderingInfo.pColorAttachments = Attachments.data();
	RenderingInfo.pDepthAttachment = DepthTarget ? &DepthAttachment : nullptr;
	Device.CmdBeginRendering(Commands, &RenderingInfo);
	const VkViewport Viewport = {0.0f, 0.0f, float(Extent.X), float(Extent.Y), 0.0f, 1.0f};
	vkCmdSetViewport(Commands, 0, 1, &Viewport);
	vkCmdSetScissor(Commands, 0, 1, &RenderingInfo.renderArea);

	bInsideRenderPass = true;
	RenderPassName = PassName;
	RenderPassExtent = Extent;
	RenderPassFormats = std::move(Formats);
	RenderPassDepthTarget = DepthTarget;
	RenderPassTargets.Empty();
	for (int32 Index = 0; Index < NumTargets; ++Index)
	{
		RenderPassTargets.Add(Info.ColorRenderTargets[Index].RenderTarget);
	}
	if (BoundPipelineKind == EPipelineKind::Graphics)
	{
		ResetBindings();
	}
}

void FVulkanCommandContext::EndRenderPass()
{
	checkf(bInsideRenderPass, TEXT("EndRenderPass without an open render pass"));
	// Events pushed inside the pass and left open (a failed command) close with it, inside it.
	while (EventNames.Num() > RenderPassLabelIndex + 1)
	{
		Device.EndLabel(CommandBuffer);
		EventNames.Pop();
	}
	Device.CmdEndRendering(CommandBuffer);
	Device.EndLabel(CommandBuffer);
	EventNames.Pop();
	bInsideRenderPass = false;
	RenderPassName.Empty();
	RenderPassFormats.clear();
	RenderPassDepthTarget = nullptr;
	RenderPassTargets.Empty();
	if (BoundPipelineKind == EPipelineKind::Graphics)
	{
		ResetBindings();
	}
}

void FVulkanCommandContext::ApplyCachedRenderTargets(FGraphicsPipelineStateInitializer& Initializer) const
{
	checkf(bInsideRenderPass, TEXT("ApplyCachedRenderTargets without an open render pass"));
	Initializer.RenderTargetsEnabled = uint32(RenderPassTargets.Num());
	for (int32 Index = 0; Index < 8; ++Index)
	{
		const bool bBound = Index < RenderPassTargets.Num();
		Initializer.RenderTargetFormats[Index] = bBound ? RenderPassTargets[Index]->GetFormat() : PF_Unknown;
		Initializer.RenderTargetFlags[Index] = bBound ? RenderPassTargets[Index]->GetFlags() : TexCreate_None;
	}
	Initializer.DepthStencilTargetFormat = RenderPassDepthTarget ? RenderPassDepthTarget->GetFormat() : PF_Unknown;
}

void FVulkanCommandContext::ResetBindings()
{
	BoundPipelineKind = EPipelineKind::None;
	BoundLayout = VK_NULL_HANDLE;
	BoundShaders.clear();
	BoundVertexElements.Empty();
	BoundBindings.clear();
}

void FVulkanCommandContext::SetGraphicsPipelineState(const FGraphicsPipelineStateInitializer& Initializer)
{
	checkf(bInsideRenderPass, TEXT("SetGraphicsPipelineState outside a render pass"));
	const FBoundShaderStateInput& Shaders = Initializer.BoundShaderState;
	checkf(Shaders.VertexShaderRHI && Shaders.PixelShaderRHI && Shaders.VertexDeclarationRHI,
		TEXT("SetGraphicsPipelineState in render pass '%s' needs a vertex shader, a pixel shader and a vertex declaration"), *RenderPassName);
	FVulkanPipelineCache::FGraphicsDesc Desc;
	Desc.VertexShader = &GetVulkanShaderCode(Shaders.VertexShaderRHI);
	Desc.PixelShader = &GetVulkanShaderCode(Shaders.PixelShaderRHI);
	Desc.VertexElements = Shaders.VertexDeclarationRHI->GetElements();
	Desc.Blend = Initializer.BlendState ? Initializer.BlendState->GetInitializer() : FBlendStateInitializerRHI();
	Desc.Rasterizer = Initializer.RasterizerState ? Initializer.RasterizerState->GetInitializer() : FRasterizerStateInitializerRHI();
	Desc.PrimitiveType = Initializer.PrimitiveType;
	Desc.ColorFormats = RenderPassFormats;
	Desc.DepthFormat = RenderPassDepthTarget ? RenderPassDepthTarget->GetVulkanFormat() : VK_FORMAT_UNDEFINED;
	Desc.DepthStencil = Initializer.DepthStencilState ? Initializer.DepthStencilState->GetInitializer() : FDepthStencilStateInitializerRHI();
	checkf(Initializer.DepthStencilTargetFormat == PF_Unknown || GetVulkanTextureFormat(Initializer.DepthStencilTargetFormat, false) == Desc.DepthFormat,
		TEXT("The pipeline of '%s' and '%s' is for another depth target than render pass '%s' has (ApplyCachedRenderTargets)"),
		*Shaders.VertexShaderRHI->GetName(), *Shaders.PixelShaderRHI->GetName(), *RenderPassName);
	if (Initializer.RenderTargetsEnabled != 0)
	{
		bool bMatches = Initializer.RenderTargetsEnabled == RenderPassFormats.size();
		for (uint32 Index = 0; bMatches && Index < Initializer.RenderTargetsEnabled; ++Index)
		{
			bMatches = GetVulkanTextureFormat(Initializer.RenderTargetFormats[Index], EnumHasAnyFlags(Initializer.RenderTargetFlags[Index], TexCreate_SRGB))
				== RenderPassFormats[Index];
		}
		checkf(bMatches, TEXT("The pipeline of '%s' and '%s' is for other render target formats than render pass '%s' has (ApplyCachedRenderTargets)"),
			*Shaders.VertexShaderRHI->GetName(), *Shaders.PixelShaderRHI->GetName(), *RenderPassName);
	}

	const FVulkanPipelineCache::FPipeline Pipeline = RHI.GetPipelineCache().GetGraphicsPipeline(Desc);
	vkCmdBindPipeline(GetCommandBuffer(), VK_PIPELINE_BIND_POINT_GRAPHICS, Pipeline.Pipeline);
	ResetBindings();
	BoundPipelineKind = EPipelineKind::Graphics;
	BoundLayout = Pipeline.Layout;
	BoundShaders = {Desc.VertexShader, Desc.PixelShader};
	BoundVertexElements = Desc.VertexElements;
	BoundPrimitiveType = Desc.PrimitiveType;
}

void FVulkanCommandContext::SetComputePipelineState(FRHIComputeShader* ComputeShader)
{
	checkf(ComputeShader, TEXT("SetComputePipelineState without a shader"));
	CheckOutsideRenderPass(*FString::Printf(TEXT("SetComputePipelineState of '%s'"), *ComputeShader->GetName()));
	FVulkanShaderCode& Code = GetVulkanShaderCode(ComputeShader);
	const FVulkanPipelineCache::FPipeline Pipeline = RHI.GetPipelineCache().GetComputePipeline(Code);
	vkCmdBindPipeline(GetCommandBuffer(), VK_PIPELINE_BIND_POINT_COMPUTE, Pipeline.Pipeline);
	ResetBindings();
	BoundPipelineKind = EPipelineKind::Compute;
	BoundLayout = Pipeline.Layout;
	BoundShaders = {&Code};
}

void FVulkanCommandContext::SetViewport(float MinX, float MinY, float MinZ, float MaxX, float MaxY, float MaxZ)
{
	checkf(bInsideRenderPass, TEXT("SetViewport outside a render pass"));
	checkf(MinX <= MaxX && MinY <= MaxY && MinZ >= 0.0f && MaxZ <= 1.0f && MinZ <= MaxZ,
		TEXT("SetViewport in render pass '%s': (%g, %g, %g)-(%g, %g, %g) is not a viewport"), *RenderPassName, MinX, MinY, MinZ, MaxX, MaxY, MaxZ);
	const VkViewport Viewport = {MinX, MinY, MaxX - MinX, MaxY - MinY, MinZ, MaxZ};
	vkCmdSetViewport(CommandBuffer, 0, 1, &Viewport);
}

void FVulkanCommandContext::SetScissorRect(bool bEnable, uint32 MinX, uint32 MinY, uint32 MaxX, uint32 MaxY)
{
	checkf(bInsideRenderPass, TEXT("SetScissorRect outside a render pass"));
	VkRect2D Scissor = {{0, 0}, {uint32(RenderPassExtent.X), uint32(RenderPassExtent.Y)}};
	if (bEnable)
	{
		checkf(MinX <= MaxX && MinY <= MaxY && MaxX <= uint32(MAX_int32) && MaxY <= uint32(MAX_int32),
			TEXT("SetScissorRect in render pass '%s': (%u, %u)-(%u, %u) is not a rectangle"), *RenderPassName, MinX, MinY, MaxX, MaxY);
		Scissor = {{int32(MinX), int32(MinY)}, {MaxX - MinX, MaxY - MinY}};
	}
	vkCmdSetScissor(CommandBuffer, 0, 1, &Scissor);
}

void FVulkanCommandContext::SetStreamSource(uint32 StreamIndex, FRHIBuffer* VertexBuffer, uint32 Offset)
{
	FVulkanBuffer& Buffer = FVulkanBuffer::Get(VertexBuffer);
	checkf(EnumHasAnyFlags(Buffer.GetUsage(), BUF_VertexBuffer), TEXT("Buffer '%s' was not created with BUF_VertexBuffer and cannot be a vertex stream"),
		*Buffer.GetName());
	checkf(Offset < Buffer.GetSize(), TEXT("SetStreamSource: offset %u lies outside buffer '%s' (%u bytes)"), Offset, *Buffer.GetName(), Buffer.GetSize());
	checkf(StreamIndex < Device.GetProperties().limits.maxVertexInputBindings, TEXT("SetStreamSource: the device has no vertex stream %u"), StreamIndex);
	const std::vector<FAccessRequest> Requests = {{nullptr, &Buffer, ERHIAccess::VertexOrIndexBuffer}};
	CheckRequestsNeedNoBarrier(Requests, false, TEXT("SetStreamSource"));
	RecordTransitions(Requests, false);
	const VkBuffer Handle = Buffer.GetHandle();
	const VkDeviceSize ByteOffset = Offset;
	vkCmdBindVertexBuffers(GetCommandBuffer(), StreamIndex, 1, &Handle, &ByteOffset);
	BoundStreams.insert(StreamIndex);
}

void FVulkanCommandContext::SetBatchedShaderParameters(FRHIShader* Shader, const FRHIBatchedShaderParameters& Parameters)
{
	checkf(Shader, TEXT("SetBatchedShaderParameters without a shader"));
	FVulkanShaderCode& Code = GetVulkanShaderCode(Shader);
	const TCHAR* ShaderName = *Shader->GetName();
	checkf(std::find(BoundShaders.begin(), BoundShaders.end(), &Code) != BoundShaders.end(),
		TEXT("Shader '%s' does not belong to the current pipeline; set its pipeline before its parameters"), ShaderName);
	const bool bCompute = BoundPipelineKind == EPipelineKind::Compute;
	const ERHIAccess ReadAccess = bCompute ? ERHIAccess::SRVCompute : ERHIAccess::SRVGraphics;
	const ERHIAccess WriteAccess = bCompute ? ERHIAccess::UAVCompute : ERHIAccess::UAVGraphics;

	// Descriptor infos are kept in place until the push: the writes point into these arrays.
	const int32 NumResources = Parameters.Resources.Num();
	std::vector<VkWriteDescriptorSet> Writes;
	std::vector<VkDescriptorImageInfo> ImageInfos;
	std::vector<VkDescriptorBufferInfo> BufferInfos;
	Writes.reserve(NumResources + 1);
	ImageInfos.reserve(NumResources);
	BufferInfos.reserve(NumResources + 1);
	std::vector<FAccessRequest> Requests;

	for (const FRHIShaderParameterResource& Parameter : Parameters.Resources)
	{
		const TCHAR* TypeName = GetParameterTypeName(Parameter.Type);
		checkf(Parameter.Resource, TEXT("Shader '%s': a null %s is bound at binding %u"), ShaderName, TypeName, Parameter.Binding);
		const FShaderResourceBinding* Resource = Shader->GetResources().FindByPredicate(
			[&Parameter](const FShaderResourceBinding& Candidate) { return Candidate.Binding == Parameter.Binding; });
		checkf(Resource, TEXT("Shader '%s' has no parameter at binding %u for the %s %s"), ShaderName, Parameter.Binding, TypeName,
			*GetParameterResourceName(Parameter));

		VkWriteDescriptorSet& Write = Writes.emplace_back();
		Write = {};
		Write.sType = VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET;
		Write.dstBinding = Code.GetVulkanBinding(Parameter.Binding);
		Write.descriptorCount = 1;
		Write.descriptorType = GetVulkanDescriptorType(Resource->Kind);
		const auto CheckKind = [&](EShaderResourceKind Wanted) {
			checkf(Resource->Kind == Wanted, TEXT("Shader '%s' parameter '%s' (binding %u) is a %s; the %s %s cannot bind there"), ShaderName,
				*Resource->Name, Parameter.Binding, LexToString(Resource->Kind), TypeName, *GetParameterResourceName(Parameter));
		};
		const auto AddImage = [&](FVulkanTexture& Texture, int32 Mip, VkImageLayout Layout, ERHIAccess Access) {
			ImageInfos.push_back({VK_NULL_HANDLE, Texture.GetView(Mip), Layout});
			Write.pImageInfo = &ImageInfos.back();
			Requests.push_back({&Texture, nullptr, Access});
		};
		const auto AddBuffer = [&](FVulkanBuffer& Buffer, ERHIAccess Access) {
			BufferInfos.push_back({Buffer.GetHandle(), 0, VK_WHOLE_SIZE});
			Write.pBufferInfo = &BufferInfos.back();
			Requests.push_back({nullptr, &Buffer, Access});
		};

		switch (Parameter.Type)
		{
		case FRHIShaderParameterResource::EType::Texture:
		{
			FRHITexture* Texture = dynamic_cast<FRHITexture*>(Parameter.Resource);
			checkf(Texture, TEXT("Shader '%s': the resource bound as a texture at binding %u is not a texture"), ShaderName, Parameter.Binding);
			CheckKind(EShaderResourceKind::TextureSRV);
			checkf(EnumHasAnyFlags(Texture->GetFlags(), TexCreate_ShaderResource),
				TEXT("Texture '%s' bound to shader '%s' parameter '%s' was not created with TexCreate_ShaderResource"), *Texture->GetName(), ShaderName,
				*Resource->Name);
			AddImage(FVulkanTexture::Get(Texture), INDEX_NONE, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL, ReadAccess);
			break;
		}
		case FRHIShaderParameterResource::EType::ResourceView:
		{
			const FVulkanShaderResourceView* View = dynamic_cast<const FVulkanShaderResourceView*>(Parameter.Resource);
			checkf(View, TEXT("Shader '%s': the resource bound as a shader resource view at binding %u is not one"), ShaderName, Parameter.Binding);
			if (View->GetTexture())
			{
				CheckKind(EShaderResourceKind::TextureSRV);
				AddImage(FVulkanTexture::Get(View->GetTexture()), View->GetMipLevel(), VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL, ReadAccess);
			}
			else
			{
				CheckKind(EShaderResourceKind::BufferSRV);
				AddBuffer(FVulkanBuffer::Get(View->GetBuffer()), ReadAccess);
			}
			break;
		}
		case FRHIShaderParameterResource::EType::UnorderedAccessView:
		{
			const FVulkanUnorderedAccessView* View = dynamic_cast<const FVulkanUnorderedAccessView*>(Parameter.Resource);
			checkf(View, TEXT("Shader '%s': the resource bound as an unordered access view at binding %u is not one"), ShaderName, Parameter.Binding);
			if (View->GetTexture())
			{
				CheckKind(EShaderResourceKind::TextureUAV);
				AddImage(FVulkanTexture::Get(View->GetTexture()), View->GetMipLevel(), VK_IMAGE_LAYOUT_GENERAL, WriteAccess);
			}
			else
			{
				CheckKind(EShaderResourceKind::BufferUAV);
				AddBuffer(FVulkanBuffer::Get(View->GetBuffer()), WriteAccess);
			}
			break;
		}
		case FRHIShaderParameterResource::EType::Sampler:
		{
			FVulkanSamplerState* Sampler = dynamic_cast<FVulkanSamplerState*>(Parameter.Resource);
			checkf(Sampler, TEXT("Shader '%s': the resource bound as a sampler at binding %u is not one"), ShaderName, Parameter.Binding);
			CheckKind(EShaderResourceKind::Sampler);
			ImageInfos.push_back({Sampler->GetHandle(RHI), VK_NULL_HANDLE, VK_IMAGE_LAYOUT_UNDEFINED});
			Write.pImageInfo = &ImageInfos.back();
			break;
		}
		}
	}

	for (size_t Index = 0; Index < Requests.size(); ++Index)
	{
		for (size_t Other = Index + 1; Other < Requests.size(); ++Other)
		{
			const bool bSame = Requests[Index].Texture ? Requests[Index].Texture == Requests[Other].Texture : Requests[Index].Buffer == Requests[Other].Buffer;
			checkf(!bSame || Requests[Index].Access == Requests[Other].Access, TEXT("Shader '%s' binds '%s' both for reading and for writing"), ShaderName,
				*GetRequestName(Requests[Index].Texture, Requests[Index].Buffer));
		}
	}

	const FShaderResourceBinding* LooseBuffer = Shader->GetLooseParameterBuffer();
	const int32 NumLooseBytes = Parameters.LooseParameterData.Num();
	if (NumLooseBytes > 0)
	{
		checkf(LooseBuffer, TEXT("Shader '%s' has no loose parameters, but %d bytes of them are given"), ShaderName, NumLooseBytes);
		checkf(uint32(NumLooseBytes) <= LooseBuffer->Size, TEXT("Shader '%s' is given %d bytes of loose parameters; its $Global buffer holds %u"),
			ShaderName, NumLooseBytes, LooseBuffer->Size);
	}
	CheckRequestsNeedNoBarrier(Requests, false, *FString::Printf(TEXT("SetBatchedShaderParameters of '%s'"), ShaderName));

	if (NumLooseBytes > 0)
	{
		const FVulkanUploadHeap::FAllocation Uniforms
			= UploadHeap.Allocate(LooseBuffer->Size, Device.GetProperties().limits.minUniformBufferOffsetAlignment);
		std::memcpy(Uniforms.Data, Parameters.LooseParameterData.GetData(), SIZE_T(NumLooseBytes));
		std::memset(Uniforms.Data + NumLooseBytes, 0, LooseBuffer->Size - uint32(NumLooseBytes));
		BufferInfos.push_back({Uniforms.Buffer, Uniforms.Offset, LooseBuffer->Size});
		VkWriteDescriptorSet& Write = Writes.emplace_back();
		Write = {};
		Write.sType = VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET;
		Write.dstBinding = Code.GetVulkanBinding(LooseBuffer->Binding);
		Write.descriptorCount = 1;
		Write.descriptorType = VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER;
		Write.pBufferInfo = &BufferInfos.back();
	}

	RecordTransitions(Requests, false);
	if (!Writes.empty())
	{
		Device.CmdPushDescriptorSet(GetCommandBuffer(), bCompute ? VK_PIPELINE_BIND_POINT_COMPUTE : VK_PIPELINE_BIND_POINT_GRAPHICS, BoundLayout, 0,
			uint32(Writes.size()), Writes.data());
	}
	for (const VkWriteDescriptorSet& Write : Writes)
	{
		BoundBindings.insert(Write.dstBinding);
	}
}

void FVulkanCommandContext::CheckAllParametersBound(const TCHAR* What) const
{
	for (const FVulkanShaderCode* Code : BoundShaders)
	{
		for (const FShaderResourceBinding& Resource : Code->GetShader().GetResources())
		{
			checkf(BoundBindings.count(Code->GetVulkanBinding(Resource.Binding)), TEXT("%s: shader '%s' parameter '%s' (binding %u) has nothing bound"), What,
				*Code->GetShader().GetName(), *Resource.Name, Resource.Binding);
		}
	}
}

void FVulkanCommandContext::DrawPrimitive(uint32 BaseVertexIndex, uint32 NumPrimitives, uint32 NumInstances)
{
	checkf(bInsideRenderPass, TEXT("DrawPrimitive outside a render pass"));
	checkf(BoundPipelineKind == EPipelineKind::Graphics, TEXT("DrawPrimitive in render pass '%s' without a graphics pipeline (SetGraphicsPipelineState)"),
		*RenderPassName);
	CheckAllParametersBound(TEXT("DrawPrimitive"));
	for (const FVertexElement& Element : BoundVertexElements)
	{
		checkf(BoundStreams.count(Element.StreamIndex), TEXT("DrawPrimitive in render pass '%s': vertex stream %u has no buffer (SetStreamSource)"),
			*RenderPassName, uint32(Element.StreamIndex));
	}
	vkCmdDraw(CommandBuffer, GetVertexCount(BoundPrimitiveType, NumPrimitives), std::max(NumInstances, 1u), BaseVertexIndex, 0);
}

void FVulkanCommandContext::DispatchComputeShader(uint32 ThreadGroupCountX, uint32 ThreadGroupCountY, uint32 ThreadGroupCountZ)
{
	CheckOutsideRenderPass(TEXT("DispatchComputeShader"));
	checkf(BoundPipelineKind == EPipelineKind::Compute, TEXT("DispatchComputeShader without a compute pipeline (SetComputePipelineState)"));
	CheckAllParametersBound(TEXT("DispatchComputeShader"));
	const uint32* MaxCounts = Device.GetProperties().limits.maxComputeWorkGroupCount;
	checkf(ThreadGroupCountX <= MaxCounts[0] && ThreadGroupCountY <= MaxCounts[1] && ThreadGroupCountZ <= MaxCounts[2],
		TEXT("DispatchComputeShader of '%s': %u x %u x %u groups exceed the device's %u x %u x %u"), *BoundShaders[0]->GetShader().GetName(),
		ThreadGroupCountX, ThreadGroupCountY, ThreadGroupCountZ, MaxCounts[0], MaxCounts[1], MaxCounts[2]);
	vkCmdDispatch(CommandBuffer, ThreadGroupCountX, ThreadGroupCountY, ThreadGroupCountZ);
}

void FVulkanCommandContext::PushEvent(const TCHAR* Name)
{
	EventNames.Add(FString(Name ? Name : TEXT("(unnamed)")));
	if (bRecording)
	{
		Device.BeginLabel(CommandBuffer, EventNames.Last());
	}
}

void FVulkanCommandContext::PopEvent()
{
	// The innermost open label must be an event, not the label of the open render pass.
	checkf(EventNames.Num() > (bInsideRenderPass ? RenderPassLabelIndex + 1 : 0), TEXT("PopEvent without a matching PushEvent"));
	if (bRecording)
	{
		Device.EndLabel(CommandBuffer);
	}
	EventNames.Pop();
}

void FVulkanCommandContext::SubmitCommandsAndFlushGPU()
{
	if (!bRecording)
	{
		FRHIDeferredDeletion::ProcessPending();
		return;
	}
	if (bInsideRenderPass)
	{
		// Only a failed command leaves a pass open; end it so the work before it is not lost.
		UE_LOG(LogRHI, Error, TEXT("Render pass '%s' was still open at submission; it is ended here"), *RenderPassName);
		EndRenderPass();
	}
	for (int32 Index = 0; Index < EventNames.Num(); ++Index)
	{
		Device.EndLabel(CommandBuffer);
	}
	// Whatever the GPU wrote becomes visible to the host reads that follow the wait.
	VkMemoryBarrier HostBarrier = {};
	HostBarrier.sType = VK_STRUCTURE_TYPE_MEMORY_BARRIER;
	HostBarrier.srcAccessMask = VK_ACCESS_MEMORY_WRITE_BIT;
	HostBarrier.dstAccessMask = VK_ACCESS_HOST_READ_BIT;
	vkCmdPipelineBarrier(CommandBuffer, VK_PIPELINE_STAGE_ALL_COMMANDS_BIT, VK_PIPELINE_STAGE_HOST_BIT, 0, 1, &HostBarrier, 0, nullptr, 0, nullptr);

	VkResult Result = vkEndCommandBuffer(CommandBuffer);
	if (Result == VK_SUCCESS)
	{
		VkSubmitInfo SubmitInfo = {};
		SubmitInfo.sType = VK_STRUCTURE_TYPE_SUBMIT_INFO;
		SubmitInfo.commandBufferCount = 1;
		SubmitInfo.pCommandBuffers = &CommandBuffer;
		Result = vkQueueSubmit(Device.GetQueue(), 1, &SubmitInfo, Fence);
		if (Result == VK_SUCCESS)
		{
			Result = vkWaitForFences(Device.GetHandle(), 1, &Fence, VK_TRUE, UINT64_MAX);
			vkResetFences(Device.GetHandle(), 1, &Fence);
		}
	}
	bRecording = false;
	vkResetCommandPool(Device.GetHandle(), CommandPool, 0);
	UploadHeap.Reset();
	ResetBindings();
	BoundStreams.clear();
	FRHIDeferredDeletion::ProcessPending();
	CheckVulkanResult(Result, TEXT("Submitting the recorded GPU work"));
}
