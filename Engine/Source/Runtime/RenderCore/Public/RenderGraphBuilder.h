#pragma once

// FRDGBuilder: records a render graph of compute, raster and copy passes over transient and
// external textures and buffers, then executes it at once, in one submission.
//
//   FRDGBuilder GraphBuilder(RHICmdList);
//   FRDGTextureRef Output = GraphBuilder.CreateTexture(FRDGTextureDesc::Create2D(...), TEXT("Output"));
//   FMyCS::FParameters* Parameters = GraphBuilder.AllocParameters<FMyCS::FParameters>();
//   Parameters->OutputTexture = GraphBuilder.CreateUAV(Output);
//   FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("My"), ERDGPassFlags::Compute, Shader, Parameters, GroupCount);
//   GraphBuilder.Execute();
//
// A builder lives on the rendering thread (a failed check elsewhere). Passes run in the order
// they were added. What a pass reads and writes comes from its parameter struct: SRVs and
// SHADER_PARAMETER_RDG_TEXTURE are reads (SRVCompute, or SRVGraphics in a raster pass), UAVs
// and render targets writes, RDG_TEXTURE_ACCESS members carry their own access (copies); each
// pass's resources are transitioned before it runs. A raster pass runs inside a render pass
// over its RenderTargets (and their DepthStencil target, when bound) with their load actions and
// a viewport covering the first target.
//
// Checks at set-up, each a failed check before anything changes: a null parameter struct or
// one not from AllocParameters of this builder; an SRV of a texture without
// TexCreate_ShaderResource; a UAV of a texture without TexCreate_UAV; a render target without
// TexCreate_RenderTargetable, in a pass that is not Raster, after a gap in the slots, in two
// slots, of another extent than the first, or cleared without a clear value; a depth target
// without TexCreate_DepthStencilTargetable, of another extent, or cleared without a depth clear
// value, or bound without a colour target; a raster pass
// without a render target; a texture both read and written by one pass; a transient texture
// or buffer read before any pass wrote or filled it (its contents would be undefined); a pass
// added after Execute.
//
// Execute runs once (a second call is a failed check). Transient textures come from
// GRenderTargetPool at their first pass and go back after their last one, so a later pass of
// the same graph asking for the same desc takes the same texture (the RHI puts a barrier
// between the two uses) and a graph of many passes holds few textures at once; the graph's work is
// submitted once, at the end, and waited for. A builder destroyed without Execute discards
// its passes. When a pass body fails, Execute closes the open render pass and debug labels,
// submits what was recorded, returns the textures and rethrows.

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "CoreTypes.h"
#include "RHICommandList.h"
#include "RenderGraphDefinitions.h"
#include "RenderGraphEvent.h"
#include "RenderGraphPass.h"
#include "RenderGraphResources.h"
#include "RendererInterface.h"
#include "ShaderParameterMacros.h"
#include "Templates/RefCounting.h"

#include <memory>
#include <type_traits>
#include <utility>

class FGPUStat;

class RENDERCORE_API FRDGBuilder
{
public:
	explicit FRDGBuilder(FRHICommandListImmediate& InRHICmdList, FRDGEventName InName = FRDGEventName());
	~FRDGBuilder();
	FRDGBuilder(const FRDGBuilder&) = delete;
	FRDGBuilder& operator=(const FRDGBuilder&) = delete;

	/** The command list the graph records into. */
	FRHICommandListImmediate& RHICmdList;

	/** A transient texture, allocated from the pool at its first pass. A failed check for an extent below 1 × 1 or PF_Unknown. */
	FRDGTextureRef CreateTexture(const FRDGTextureDesc& Desc, const TCHAR* Name);

	/** A transient buffer; one of no elements gets one zeroed element, so that it still binds. */
	FRDGBufferRef CreateBuffer(const FRDGBufferDesc& Desc, const TCHAR* Name);

	/**
	 * The graph's texture for an existing texture; registering the same RHI texture again
	 * returns the same FRDGTexture (the first name stays).
	 */
	FRDGTextureRef RegisterExternalTexture(const TRefCountPtr<IPooledRenderTarget>& ExternalPooledTexture, const TCHAR* NameIfNotRegistered = TEXT("External"));

	/** The texture registered for Texture, or null. */
	FRDGTextureRef FindExternalTexture(FRHITexture* Texture) const;
	FRDGTextureRef FindExternalTexture(IPooledRenderTarget* ExternalPooledTexture) const;

	FRDGTextureSRVRef CreateSRV(const FRDGTextureSRVDesc& Desc);
	FRDGTextureSRVRef CreateSRV(FRDGTextureRef Texture) { return CreateSRV(FRDGTextureSRVDesc(Texture)); }
	FRDGTextureUAVRef CreateUAV(const FRDGTextureUAVDesc& Desc);
	FRDGTextureUAVRef CreateUAV(FRDGTextureRef Texture) { return CreateUAV(FRDGTextureUAVDesc(Texture)); }
	FRDGBufferSRVRef CreateSRV(const FRDGBufferSRVDesc& Desc);
	FRDGBufferSRVRef CreateSRV(FRDGBufferRef Buffer) { return CreateSRV(FRDGBufferSRVDesc(Buffer)); }

	/**
	 * Fills Buffer with InitialDataSize bytes (the rest zeroed) before the graph's first pass.
	 * A failed check for data larger than the buffer, null data of a non-zero size, or a
	 * buffer with an upload queued already.
	 */
	void QueueBufferUpload(FRDGBufferRef Buffer, const void* InitialData, uint64 InitialDataSize,
		ERDGInitialDataFlags InitialDataFlags = ERDGInitialDataFlags::None);

	/** A value-initialised parameter struct owned by the builder, for one pass. */
	template <typename ParameterStructType>
	ParameterStructType* AllocParameters()
	{
		ParameterStructType* Parameters = new ParameterStructType();
		ParameterAllocations.Add(FParameterAllocation(Parameters, [](void* Pointer) { delete static_cast<ParameterStructType*>(Pointer); }));
		return Parameters;
	}

	/** Adds a pass whose resources come from ParameterStruct (from AllocParameters) and whose body is ExecuteLambda. */
	template <typename ParameterStructType, typename ExecuteLambdaType>
	FRDGPassRef AddPass(FRDGEventName&& Name, const ParameterStructType* ParameterStruct, ERDGPassFlags Flags, ExecuteLambdaType&& ExecuteLambda)
	{
		using FLambda = std::decay_t<ExecuteLambdaType>;
		static_assert(std::is_invocable_v<FLambda&, FRHICommandListImmediate&>,
			"A pass body takes (FRHICommandList&), (FRHIComputeCommandList&) or (FRHICommandListImmediate&)");
		return AddPassInternal(std::make_unique<TRDGLambdaPass<FLambda>>(std::move(Name), ParameterStructType::FTypeInfo::GetStructMetadata(),
								   ParameterStruct, Flags, FLambda(std::forward<ExecuteLambdaType>(ExecuteLambda))),
			true);
	}

	/** Adds a pass that uses no graph resources. */
	template <typename ExecuteLambdaType>
	FRDGPassRef AddPass(FRDGEventName&& Name, ERDGPassFlags Flags, ExecuteLambdaType&& ExecuteLambda)
	{
		using FLambda = std::decay_t<ExecuteLambdaType>;
		static_assert(std::is_invocable_v<FLambda&, FRHICommandListImmediate&>,
			"A pass body takes (FRHICommandList&), (FRHIComputeCommandList&) or (FRHICommandListImmediate&)");
		return AddPassInternal(
			std::make_unique<TRDGLambdaPass<FLambda>>(std::move(Name), nullptr, nullptr, Flags, FLambda(std::forward<ExecuteLambdaType>(ExecuteLambda))),
			false);
	}

	/** Runs the passes; see the top of this file. */
	void Execute();

	/** The passes added so far, in order. */
	TArray<FRDGPassRef> GetPasses() const;

	/** The builder's own name (its constructor's). */
	const TCHAR* GetName() const { return Name.GetTCHAR(); }

private:
	friend class FRDGEventScopeGuard;
	friend class FRDGGPUStatScopeGuard;

	using FParameterAllocation = std::unique_ptr<void, void (*)(void*)>;

	FRDGPassRef AddPassInternal(std::unique_ptr<FRDGPass> Pass, bool bHasParameterStruct);
	void CollectPassResources(FRDGPass& Pass) const;
	/** The set-up checks of a raster pass's depth target. */
	void CollectDepthStencilTarget(const FRDGPass& Pass, const FDepthStencilBinding& Binding, FIntPoint ColorExtent) const;
	bool IsParameterAllocation(const void* Parameters) const;

	void BeginEventScope(FRDGEventName&& ScopeName);
	void EndEventScope();
	void BeginGPUStatScope(FGPUStat& Stat);
	void EndGPUStatScope();

	void ExecuteInternal(TArray<FString>& OpenLabels);
	void UploadBuffers();
	void ExecutePass(FRDGPass& Pass);
	void AcquireTexture(FRDGTexture& Texture);
	void AcquireBuffer(FRDGBuffer& Buffer);
	/** Returns to the pool the transient textures whose last use was Pass, at PassIndex. */
	void ReleaseTexturesLastUsedBy(const FRDGPass& Pass, int32 PassIndex);
	void ReleaseTransientResources();

	FRDGEventName Name;
	TArray<std::unique_ptr<FRDGTexture>> Textures;
	TArray<std::unique_ptr<FRDGBuffer>> Buffers;
	TArray<std::unique_ptr<FRDGTextureSRV>> TextureSRVs;
	TArray<std::unique_ptr<FRDGTextureUAV>> TextureUAVs;
	TArray<std::unique_ptr<FRDGBufferSRV>> BufferSRVs;
	TArray<std::unique_ptr<FRDGPass>> Passes;
	TArray<FParameterAllocation> ParameterAllocations;
	TMap<FRHITexture*, FRDGTexture*> ExternalTextures;

	TArray<FString> EventScopeStack;
	TArray<FGPUStat*> GPUStatStack;
	bool bExecuted = false;
};
