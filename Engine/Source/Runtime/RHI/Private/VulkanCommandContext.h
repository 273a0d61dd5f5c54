#pragma once

// The Vulkan state of the immediate command list: one command buffer that recording opens on
// demand and SubmitCommandsAndFlushGPU submits and waits for, the open render pass, the bound
// pipeline and parameters, the upload heap and the debug label stack. FRHICommandList's calls
// land here one to one. Each call validates everything before it records anything, so a failed
// check leaves no half-recorded work; resources move to the access a call needs by themselves,
// except inside a render pass, where no barrier may go and a resource in the wrong state is a
// failed check.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Math/Color.h"
#include "Math/IntRect.h"
#include "PipelineStateCache.h"
#include "RHICommandList.h"
#include "VulkanCommon.h"
#include "VulkanUploadHeap.h"

#include <set>
#include <vector>

class FVulkanBuffer;
class FVulkanDevice;
class FVulkanDynamicRHI;
class FVulkanShaderCode;
class FVulkanTexture;

class FVulkanCommandContext
{
public:
	explicit FVulkanCommandContext(FVulkanDynamicRHI& InRHI);
	~FVulkanCommandContext();
	FVulkanCommandContext(const FVulkanCommandContext&) = delete;
	FVulkanCommandContext& operator=(const FVulkanCommandContext&) = delete;

	void* LockBuffer(FRHIBuffer* Buffer, uint32 Offset, uint32 Size);
	void UnlockBuffer(FRHIBuffer* Buffer);

	void UpdateTexture2D(FRHITexture* Texture, uint32 MipIndex, const FUpdateTextureRegion2D& Region, uint32 SourcePitch, const uint8* SourceData);
	void ClearColorTexture(FRHITexture* Texture, const FLinearColor& Color);
	void CopyTexture(FRHITexture* SourceTexture, FRHITexture* DestTexture, const FRHICopyTextureInfo& CopyInfo);
	void ReadSurfaceData(FRHITexture* Texture, FIntRect Rect, TArray<FColor>& OutData);
	void ReadTexture(FRHITexture* Texture, TArray<uint8>& OutData);

	void Transition(const FRHITransitionInfo& Info);
	void Transition(const TArray<FRHITransitionInfo>& Infos);
	void BeginRenderPass(const FRHIRenderPassInfo& Info, const TCHAR* Name);
	void EndRenderPass();
	bool IsInsideRenderPass() const { return bInsideRenderPass; }
	void ApplyCachedRenderTargets(FGraphicsPipelineStateInitializer& Initializer) const;

	void SetGraphicsPipelineState(const FGraphicsPipelineStateInitializer& Initializer);
	void SetComputePipelineState(FRHIComputeShader* ComputeShader);
	void SetViewport(float MinX, float MinY, float MinZ, float MaxX, float MaxY, float MaxZ);
	void SetScissorRect(bool bEnable, uint32 MinX, uint32 MinY, uint32 MaxX, uint32 MaxY);
	void SetStreamSource(uint32 StreamIndex, FRHIBuffer* VertexBuffer, uint32 Offset);
	void SetBatchedShaderParameters(FRHIShader* Shader, const FRHIBatchedShaderParameters& Parameters);
	void DrawPrimitive(uint32 BaseVertexIndex, uint32 NumPrimitives, uint32 NumInstances);
	void DispatchComputeShader(uint32 ThreadGroupCountX, uint32 ThreadGroupCountY, uint32 ThreadGroupCountZ);

	void PushEvent(const TCHAR* Name);
	void PopEvent();

	/** Submits and waits when anything was recorded (ending a render pass left open, with an error); then deletes released resources. */
	void SubmitCommandsAndFlushGPU();
	bool HasRecordedWork() const { return bRecording; }

private:
	/** One resource a call needs in an access; bDiscard lets a texture drop its contents (a pass that does not load). */
	struct FAccessRequest
	{
		FVulkanTexture* Texture = nullptr;
		FVulkanBuffer* Buffer = nullptr;
		ERHIAccess Access = ERHIAccess::Unknown;
		bool bDiscard = false;
	};

	enum class EPipelineKind : uint8
	{
		None,
		Graphics,
		Compute,
	};

	/** The open command buffer, begun (with the open debug labels) if it was not. */
	VkCommandBuffer GetCommandBuffer();
	/** Inside a render pass, a failed check for the first request that would need a barrier; What names the call. */
	void CheckRequestsNeedNoBarrier(const std::vector<FAccessRequest>& Requests, bool bExplicit, const TCHAR* What) const;
	/**
	 * Records the barriers the requests need, in one call, and moves the resources to their new
	 * states. A pending clear of a requested texture is dropped where the request discards the
	 * contents of a one-mip texture and recorded first otherwise.
	 */
	void RecordTransitions(const std::vector<FAccessRequest>& Requests, bool bExplicit);
	/** Records the texture's pending clear, leaving it in CopyDest. */
	void RecordPendingClear(FVulkanTexture& Texture);
	/** A failed check unless a render pass is closed; What names the call. */
	void CheckOutsideRenderPass(const TCHAR* What) const;
	/** A failed check naming the first parameter of a bound shader that has nothing bound. */
	void CheckAllParametersBound(const TCHAR* What) const;
	/** Copies Rect of mip 0 into host memory, waits for it and hands the rows (tightly packed) to Consume. */
	template <typename ConsumerType>
	void ReadBack(FVulkanTexture& Texture, const FIntRect& Rect, ConsumerType Consume);
	void ResetBindings();

	FVulkanDynamicRHI& RHI;
	FVulkanDevice& Device;
	VkCommandPool CommandPool = VK_NULL_HANDLE;
	VkCommandBuffer CommandBuffer = VK_NULL_HANDLE;
	VkFence Fence = VK_NULL_HANDLE;
	bool bRecording = false;
	FVulkanUploadHeap UploadHeap;
	TArray<FString> EventNames;

	bool bInsideRenderPass = false;
	FString RenderPassName;
	FIntPoint RenderPassExtent;
	std::vector<VkFormat> RenderPassFormats;
	TArray<FRHITexture*> RenderPassTargets;
	/** The open pass's depth target, or null. */
	FVulkanTexture* RenderPassDepthTarget = nullptr;
	/** Where the open pass's own label is in EventNames. */
	int32 RenderPassLabelIndex = INDEX_NONE;

	EPipelineKind BoundPipelineKind = EPipelineKind::None;
	VkPipelineLayout BoundLayout = VK_NULL_HANDLE;
	std::vector<FVulkanShaderCode*> BoundShaders;
	FVertexDeclarationElementList BoundVertexElements;
	EPrimitiveType BoundPrimitiveType = PT_TriangleList;
	/** Vulkan bindings pushed since the pipeline was set. */
	std::set<uint32> BoundBindings;
	/** Vertex streams bound in this command buffer. */
	std::set<uint32> BoundStreams;
};
