#pragma once

// RHI command lists. Render commands and render-graph passes record GPU work through them:
// transitions, render passes, pipelines, shader parameters, draws, dispatches, copies, uploads
// and read-backs. Work is recorded into a Vulkan command buffer and submitted by
// SubmitCommandsAndFlushGPU, which also waits for it (the render graph submits once per
// Execute; the render thread after every command; read-backs and buffer locks before they
// return), so nothing recorded ever outlives the call that made the CPU wait for it.
//
// There is one list, the immediate one, handed to every ENQUEUE_RENDER_COMMAND body; it is used
// on the rendering thread only. FRHICommandList (and its compute alias) is its interface, the
// type render-graph pass bodies take.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreMinimal.h"
#include "Math/IntRect.h"
#include "Math/IntVector.h"
#include "RHIDefinitions.h"
#include "RHIResources.h"

struct FGraphicsPipelineStateInitializer;

/** What to copy: Size texels (0 = the whole source mip) from SourcePosition to DestPosition. */
struct FRHICopyTextureInfo
{
	FIntVector Size = FIntVector(0, 0, 0);
	FIntVector SourcePosition = FIntVector(0, 0, 0);
	FIntVector DestPosition = FIntVector(0, 0, 0);
	uint32 SourceMipIndex = 0;
	uint32 DestMipIndex = 0;
	uint32 NumMips = 1;
};

/** Moves a texture or buffer from one access to the next; the RHI knows the current access, so Before may be Unknown. */
struct FRHITransitionInfo
{
	FRHITexture* Texture = nullptr;
	FRHIBuffer* Buffer = nullptr;
	ERHIAccess AccessBefore = ERHIAccess::Unknown;
	ERHIAccess AccessAfter = ERHIAccess::Unknown;

	FRHITransitionInfo(FRHITexture* InTexture, ERHIAccess InBefore, ERHIAccess InAfter)
		: Texture(InTexture), AccessBefore(InBefore), AccessAfter(InAfter)
	{
	}
	FRHITransitionInfo(FRHIBuffer* InBuffer, ERHIAccess InBefore, ERHIAccess InAfter)
		: Buffer(InBuffer), AccessBefore(InBefore), AccessAfter(InAfter)
	{
	}
};

enum class ERenderTargetActions : uint8
{
	DontLoad_DontStore,
	DontLoad_Store,
	Clear_Store,
	Load_Store,
	Clear_DontStore,
	Load_DontStore,
};

/**
 * The targets of a render pass: up to eight colour textures, each with its load and store
 * actions, and optionally a depth texture (PF_DepthStencil, TexCreate_DepthStencilTargetable)
 * of the colour targets' extent.
 */
struct FRHIRenderPassInfo
{
	struct FColorEntry
	{
		FRHITexture* RenderTarget = nullptr;
		int32 MipIndex = 0;
		ERenderTargetActions Action = ERenderTargetActions::DontLoad_DontStore;
	};
	FColorEntry ColorRenderTargets[8];

	struct FDepthStencilEntry
	{
		FRHITexture* DepthStencilTarget = nullptr;
		EDepthStencilTargetActions Action = EDepthStencilTargetActions::DontLoad_DontStore;
	};
	FDepthStencilEntry DepthStencilRenderTarget;

	FRHIRenderPassInfo() = default;
	FRHIRenderPassInfo(FRHITexture* ColorRT, ERenderTargetActions ColorAction)
	{
		ColorRenderTargets[0].RenderTarget = ColorRT;
		ColorRenderTargets[0].Action = ColorAction;
	}
	FRHIRenderPassInfo(FRHITexture* ColorRT, ERenderTargetActions ColorAction, FRHITexture* DepthRT, EDepthStencilTargetActions DepthActions)
		: FRHIRenderPassInfo(ColorRT, ColorAction)
	{
		DepthStencilRenderTarget.DepthStencilTarget = DepthRT;
		DepthStencilRenderTarget.Action = DepthActions;
	}

	/** Bound targets: the leading entries with a texture. */
	int32 GetNumColorRenderTargets() const;
};

/** One resource bound to a shader: where (Vulkan binding of set 0) and what. */
struct FRHIShaderParameterResource
{
	enum class EType : uint8
	{
		Texture,
		ResourceView,
		UnorderedAccessView,
		Sampler,
	};

	uint32 Binding = 0;
	EType Type = EType::Texture;
	/** An FRHITexture, FRHIShaderResourceView, FRHIUnorderedAccessView or FRHISamplerState, by Type. */
	FRHIResource* Resource = nullptr;
};

/** Everything one shader reads: its resources and the bytes of its loose parameters' uniform buffer. */
struct FRHIBatchedShaderParameters
{
	TArray<FRHIShaderParameterResource> Resources;
	/** The contents of the shader's "$Global" uniform buffer, laid out as its reflection says; empty when it has none. */
	TArray<uint8> LooseParameterData;

	void SetTexture(uint32 Binding, FRHITexture* Texture) { Resources.Add({Binding, FRHIShaderParameterResource::EType::Texture, Texture}); }
	void SetShaderResourceView(uint32 Binding, FRHIShaderResourceView* View)
	{
		Resources.Add({Binding, FRHIShaderParameterResource::EType::ResourceView, View});
	}
	void SetUAV(uint32 Binding, FRHIUnorderedAccessView* View)
	{
		Resources.Add({Binding, FRHIShaderParameterResource::EType::UnorderedAccessView, View});
	}
	void SetSampler(uint32 Binding, FRHISamplerState* Sampler) { Resources.Add({Binding, FRHIShaderParameterResource::EType::Sampler, Sampler}); }
	/** Writes NumBytes of Value at ByteOffset of the loose parameter data, growing it as needed. */
	RHI_API void SetLooseParameter(uint32 ByteOffset, uint32 NumBytes, const void* Value);
};

/** The read-back options of ReadSurfaceData; every read here is of 8-bit colour, unconverted. */
struct FReadSurfaceDataFlags
{
};

namespace EImmediateFlushType
{
	enum Type
	{
		WaitForOutstandingTasksOnly,
		DispatchToRHIThread,
		FlushRHIThread,
		FlushRHIThreadFlushResources,
	};
}

class RHI_API FRHICommandList
{
public:
	FRHICommandList(const FRHICommandList&) = delete;
	FRHICommandList& operator=(const FRHICommandList&) = delete;

	// Creation.
	FTextureRHIRef CreateTexture(const FRHITextureCreateDesc& Desc);
	/** A buffer of Size bytes (at least 1: an empty structured buffer still binds). Stride is the element size of a structured buffer. */
	FBufferRHIRef CreateBuffer(uint32 Size, EBufferUsageFlags Usage, uint32 Stride, ERHIAccess InitialState, const FRHIResourceCreateInfo& CreateInfo);
	FBufferRHIRef CreateVertexBuffer(uint32 Size, EBufferUsageFlags Usage, const FRHIResourceCreateInfo& CreateInfo);
	FBufferRHIRef CreateStructuredBuffer(uint32 Stride, uint32 Size, EBufferUsageFlags Usage, const FRHIResourceCreateInfo& CreateInfo);
	/** A read view of one mip of a texture made with TexCreate_ShaderResource. */
	FShaderResourceViewRHIRef CreateShaderResourceView(FRHITexture* Texture, uint8 MipLevel = 0);
	/** A read view of a whole structured buffer. */
	FShaderResourceViewRHIRef CreateShaderResourceView(FRHIBuffer* Buffer);
	/** A read-write view of one mip of a texture made with TexCreate_UAV. */
	FUnorderedAccessViewRHIRef CreateUnorderedAccessView(FRHITexture* Texture, uint8 MipLevel = 0);
	FUnorderedAccessViewRHIRef CreateUnorderedAccessView(FRHIBuffer* Buffer);

	// Buffers: a lock first waits for the work recorded so far, so the CPU never races the GPU.
	void* LockBuffer(FRHIBuffer* Buffer, uint32 Offset, uint32 SizeRHI, EResourceLockMode LockMode);
	void UnlockBuffer(FRHIBuffer* Buffer);

	// Texture transfers.
	/** Writes Region of mip MipIndex from SourceData, whose rows lie SourcePitch bytes apart (texels from (SrcX, SrcY)). */
	void UpdateTexture2D(FRHITexture* Texture, uint32 MipIndex, const FUpdateTextureRegion2D& Region, uint32 SourcePitch, const uint8* SourceData);
	/**
	 * Sets every texel of every mip to Color. The clear is carried out when a later use needs
	 * the texels; a use that replaces all of them first (a render pass that does not load, a
	 * copy or upload of the whole of a one-mip texture) drops it, so a texture cleared at
	 * creation and then overwritten is written once.
	 */
	void ClearColorTexture(FRHITexture* Texture, const FLinearColor& Color);
	/** Copies texels between two textures of the same bytes per texel; the source and destination must differ. */
	void CopyTexture(FRHITexture* SourceTexture, FRHITexture* DestTexture, const FRHICopyTextureInfo& CopyInfo);
	/** Reads Rect (empty = the whole mip 0) of an 8-bit four-channel texture into FColor texels, row by row; waits for the GPU. */
	void ReadSurfaceData(FRHITexture* Texture, FIntRect Rect, TArray<FColor>& OutData, FReadSurfaceDataFlags InFlags);
	/** Reads mip 0 as tightly packed rows of its format's bytes; waits for the GPU. */
	void ReadTexture(FRHITexture* Texture, TArray<uint8>& OutData);

	// Synchronisation and passes.
	void Transition(const FRHITransitionInfo& Info);
	void Transition(const TArray<FRHITransitionInfo>& Infos);
	/**
	 * Opens a render pass over the targets (which it moves to ERHIAccess::RTV, the depth target to
	 * DSVWrite); the viewport and scissor start as the first target's extent.
	 */
	void BeginRenderPass(const FRHIRenderPassInfo& Info, const TCHAR* Name);
	void EndRenderPass();
	bool IsInsideRenderPass() const;
	/** Fills the formats of the open render pass's colour and depth targets into a pipeline initializer. */
	void ApplyCachedRenderTargets(FGraphicsPipelineStateInitializer& Initializer) const;

	// State and work.
	void SetViewport(float MinX, float MinY, float MinZ, float MaxX, float MaxY, float MaxZ);
	void SetScissorRect(bool bEnable, uint32 MinX, uint32 MinY, uint32 MaxX, uint32 MaxY);
	void SetStreamSource(uint32 StreamIndex, FRHIBuffer* VertexBuffer, uint32 Offset);
	/** Binds Parameters for Shader, which must belong to the current pipeline. */
	void SetBatchedShaderParameters(FRHIShader* Shader, const FRHIBatchedShaderParameters& Parameters);
	void DrawPrimitive(uint32 BaseVertexIndex, uint32 NumPrimitives, uint32 NumInstances);
	void DispatchComputeShader(uint32 ThreadGroupCountX, uint32 ThreadGroupCountY, uint32 ThreadGroupCountZ);

	/** Debug labels around the work recorded between them (seen by GPU debuggers and the validation layer's messages). */
	void PushEvent(const TCHAR* Name);
	void PopEvent();

	/** Submits everything recorded and waits for the GPU; then frees what was released meanwhile. */
	void SubmitCommandsAndFlushGPU();

protected:
	FRHICommandList() = default;
	~FRHICommandList() = default;
};

using FRHIComputeCommandList = FRHICommandList;

class RHI_API FRHICommandListImmediate : public FRHICommandList
{
public:
	/** The process's one immediate command list. */
	static FRHICommandListImmediate& Get();

	/** Submits and waits, whatever the type: there is no RHI thread here. */
	void ImmediateFlush(EImmediateFlushType::Type FlushType);

private:
	FRHICommandListImmediate() = default;
};

/** The engine's global forms of the same calls, on the immediate list. */
inline void* RHILockBuffer(FRHIBuffer* Buffer, uint32 Offset, uint32 Size, EResourceLockMode LockMode)
{
	return FRHICommandListImmediate::Get().LockBuffer(Buffer, Offset, Size, LockMode);
}
inline void RHIUnlockBuffer(FRHIBuffer* Buffer)
{
	FRHICommandListImmediate::Get().UnlockBuffer(Buffer);
}
inline void RHIUpdateTexture2D(FRHITexture* Texture, uint32 MipIndex, const FUpdateTextureRegion2D& Region, uint32 SourcePitch, const uint8* SourceData)
{
	FRHICommandListImmediate::Get().UpdateTexture2D(Texture, MipIndex, Region, SourcePitch, SourceData);
}
