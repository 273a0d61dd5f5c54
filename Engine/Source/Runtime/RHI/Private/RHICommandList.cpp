#include "RHICommandList.h"

#include "VulkanBuffer.h"
#include "VulkanCommandContext.h"
#include "VulkanDynamicRHI.h"
#include "VulkanShaderResourceView.h"
#include "VulkanTexture.h"
#include "VulkanUnorderedAccessView.h"

namespace
{
	FVulkanCommandContext& GetContext()
	{
		return FVulkanDynamicRHI::Get().GetCommandContext();
	}
}

FRHICommandListImmediate& FRHICommandListImmediate::Get()
{
	// Trivially destructible, so commands drained while the process exits may still use it.
	static FRHICommandListImmediate Instance;
	return Instance;
}

void FRHICommandListImmediate::ImmediateFlush(EImmediateFlushType::Type FlushType)
{
	SubmitCommandsAndFlushGPU();
}

FTextureRHIRef FRHICommandList::CreateTexture(const FRHITextureCreateDesc& Desc)
{
	return FVulkanTexture::Create(FVulkanDynamicRHI::Get(), Desc);
}

FBufferRHIRef FRHICommandList::CreateBuffer(uint32 Size, EBufferUsageFlags Usage, uint32 Stride, ERHIAccess InitialState, const FRHIResourceCreateInfo& CreateInfo)
{
	return FVulkanBuffer::Create(FVulkanDynamicRHI::Get(), Size, Usage, Stride, InitialState, CreateInfo.DebugName);
}

FBufferRHIRef FRHICommandList::CreateVertexBuffer(uint32 Size, EBufferUsageFlags Usage, const FRHIResourceCreateInfo& CreateInfo)
{
	return CreateBuffer(Size, Usage | BUF_VertexBuffer, 0, ERHIAccess::Unknown, CreateInfo);
}

FBufferRHIRef FRHICommandList::CreateStructuredBuffer(uint32 Stride, uint32 Size, EBufferUsageFlags Usage, const FRHIResourceCreateInfo& CreateInfo)
{
	return CreateBuffer(Size, Usage | BUF_StructuredBuffer, Stride, ERHIAccess::Unknown, CreateInfo);
}

FShaderResourceViewRHIRef FRHICommandList::CreateShaderResourceView(FRHITexture* Texture, uint8 MipLevel)
{
	return FVulkanShaderResourceView::Create(Texture, MipLevel);
}

FShaderResourceViewRHIRef FRHICommandList::CreateShaderResourceView(FRHIBuffer* Buffer)
{
	return FVulkanShaderResourceView::Create(Buffer);
}

FUnorderedAccessViewRHIRef FRHICommandList::CreateUnorderedAccessView(FRHITexture* Texture, uint8 MipLevel)
{
	return FVulkanUnorderedAccessView::Create(Texture, MipLevel);
}

FUnorderedAccessViewRHIRef FRHICommandList::CreateUnorderedAccessView(FRHIBuffer* Buffer)
{
	return FVulkanUnorderedAccessView::Create(Buffer);
}

void* FRHICommandList::LockBuffer(FRHIBuffer* Buffer, uint32 Offset, uint32 SizeRHI, EResourceLockMode LockMode)
{
	return GetContext().LockBuffer(Buffer, Offset, SizeRHI);
}

void FRHICommandList::UnlockBuffer(FRHIBuffer* Buffer)
{
	GetContext().UnlockBuffer(Buffer);
}

void FRHICommandList::UpdateTexture2D(FRHITexture* Texture, uint32 MipIndex, const FUpdateTextureRegion2D& Region, uint32 SourcePitch, const uint8* SourceData)
{
	GetContext().UpdateTexture2D(Texture, MipIndex, Region, SourcePitch, SourceData);
	Texture->MarkUploaded();
}

void FRHICommandList::ClearColorTexture(FRHITexture* Texture, const FLinearColor& Color)
{
	GetContext().ClearColorTexture(Texture, Color);
	Texture->MarkUploaded();
}

void FRHICommandList::CopyTexture(FRHITexture* SourceTexture, FRHITexture* DestTexture, const FRHICopyTextureInfo& CopyInfo)
{
	GetContext().CopyTexture(SourceTexture, DestTexture, CopyInfo);
	DestTexture->MarkUploaded();
}

void FRHICommandList::ReadSurfaceData(FRHITexture* Texture, FIntRect Rect, TArray<FColor>& OutData, FReadSurfaceDataFlags InFlags)
{
	GetContext().ReadSurfaceData(Texture, Rect, OutData);
}

void FRHICommandList::ReadTexture(FRHITexture* Texture, TArray<uint8>& OutData)
{
	GetContext().ReadTexture(Texture, OutData);
}

void FRHICommandList::Transition(const FRHITransitionInfo& Info)
{
	GetContext().Transition(Info);
}

void FRHICommandList::Transition(const TArray<FRHITransitionInfo>& Infos)
{
	GetContext().Transition(Infos);
}

void FRHICommandList::BeginRenderPass(const FRHIRenderPassInfo& Info, const TCHAR* Name)
{
	GetContext().BeginRenderPass(Info, Name);
}

void FRHICommandList::EndRenderPass()
{
	GetContext().EndRenderPass();
}

bool FRHICommandList::IsInsideRenderPass() const
{
	FVulkanDynamicRHI* RHI = FVulkanDynamicRHI::GetIfRunning();
	return RHI && RHI->GetCommandContext().IsInsideRenderPass();
}

void FRHICommandList::ApplyCachedRenderTargets(FGraphicsPipelineStateInitializer& Initializer) const
{
	GetContext().ApplyCachedRenderTargets(Initializer);
}

void FRHICommandList::SetViewport(float MinX, float MinY, float MinZ, float MaxX, float MaxY, float MaxZ)
{
	GetContext().SetViewport(MinX, MinY, MinZ, MaxX, MaxY, MaxZ);
}

void FRHICommandList::SetScissorRect(bool bEnable, uint32 MinX, uint32 MinY, uint32 MaxX, uint32 MaxY)
{
	GetContext().SetScissorRect(bEnable, MinX, MinY, MaxX, MaxY);
}

void FRHICommandList::SetStreamSource(uint32 StreamIndex, FRHIBuffer* VertexBuffer, uint32 Offset)
{
	GetContext().SetStreamSource(StreamIndex, VertexBuffer, Offset);
}

void FRHICommandList::SetBatchedShaderParameters(FRHIShader* Shader, const FRHIBatchedShaderParameters& Parameters)
{
	GetContext().SetBatchedShaderParameters(Shader, Parameters);
}

void FRHICommandList::DrawPrimitive(uint32 BaseVertexIndex, uint32 NumPrimitives, uint32 NumInstances)
{
	GetContext().DrawPrimitive(BaseVertexIndex, NumPrimitives, NumInstances);
}

void FRHICommandList::DispatchComputeShader(uint32 ThreadGroupCountX, uint32 ThreadGroupCountY, uint32 ThreadGroupCountZ)
{
	GetContext().DispatchComputeShader(ThreadGroupCountX, ThreadGroupCountY, ThreadGroupCountZ);
}

void FRHICommandList::PushEvent(const TCHAR* Name)
{
	GetContext().PushEvent(Name);
}

void FRHICommandList::PopEvent()
{
	GetContext().PopEvent();
}

void FRHICommandList::SubmitCommandsAndFlushGPU()
{
	// Called after every render command: it must neither start the RHI nor cost anything when idle.
	if (FVulkanDynamicRHI* RHI = FVulkanDynamicRHI::GetIfRunning())
	{
		RHI->GetCommandContext().SubmitCommandsAndFlushGPU();
	}
}
