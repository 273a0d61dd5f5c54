#pragma once

// Render-graph helpers as the engine spells them: compute dispatch passes, texture copies and
// structured buffers with initial data.

#include "CoreTypes.h"
#include "Math/IntPoint.h"
#include "Math/IntVector.h"
#include "Misc/AssertionMacros.h"
#include "PipelineStateCache.h"
#include "RHICommandList.h"
#include "RenderGraphBuilder.h"
#include "Shader.h"
#include "ShaderParameterStruct.h"

struct RENDERCORE_API FComputeShaderUtils
{
	/** The group edge the engine suggests for 2-D image work. */
	static constexpr int32 kGolden2DGroupSize = 8;

	/**
	 * Groups of GroupSize threads needed to cover ThreadCount threads, per axis, rounding up. A
	 * failed check for a group size below 1 or a negative thread count.
	 */
	static FIntVector GetGroupCount(int32 ThreadCount, int32 GroupSize);
	static FIntVector GetGroupCount(const FIntPoint& ThreadCount, const FIntPoint& GroupSize);
	static FIntVector GetGroupCount(const FIntPoint& ThreadCount, int32 GroupSize);
	static FIntVector GetGroupCount(const FIntVector& ThreadCount, const FIntVector& GroupSize);
	static FIntVector GetGroupCount(const FIntVector& ThreadCount, int32 GroupSize);

	/** A failed check naming the shader for a negative group count. */
	static void ValidateGroupCount(const FShaderType* ShaderType, const FIntVector& GroupCount);

	/** Sets the compute pipeline and parameters and dispatches GroupCount groups. */
	template <typename TShaderClass>
	static void Dispatch(FRHIComputeCommandList& RHICmdList, const TShaderRef<TShaderClass>& ComputeShader,
		const typename TShaderClass::FParameters& Parameters, FIntVector GroupCount)
	{
		ValidateGroupCount(ComputeShader.GetType(), GroupCount);
		FRHIComputeShader* ShaderRHI = ComputeShader.GetComputeShader();
		SetComputePipelineState(RHICmdList, ShaderRHI);
		SetShaderParameters(RHICmdList, ComputeShader, ShaderRHI, Parameters);
		RHICmdList.DispatchComputeShader(uint32(GroupCount.X), uint32(GroupCount.Y), uint32(GroupCount.Z));
	}

	/**
	 * Adds a compute pass dispatching ComputeShader with Parameters. A failed check at once
	 * when the shader is not available (it failed to compile), the group count is negative or
	 * PassFlags is neither Compute nor AsyncCompute.
	 */
	template <typename TShaderClass>
	static FRDGPassRef AddPass(FRDGBuilder& GraphBuilder, FRDGEventName&& PassName, ERDGPassFlags PassFlags,
		const TShaderRef<TShaderClass>& ComputeShader, typename TShaderClass::FParameters* Parameters, FIntVector GroupCount)
	{
		ValidatePass(ComputeShader.GetShader(), ComputeShader.GetType(), PassName, PassFlags);
		ValidateGroupCount(ComputeShader.GetType(), GroupCount);
		return GraphBuilder.AddPass(std::move(PassName), Parameters, PassFlags,
			[ComputeShader, Parameters, GroupCount](FRHIComputeCommandList& RHICmdList) { Dispatch(RHICmdList, ComputeShader, *Parameters, GroupCount); });
	}

	template <typename TShaderClass>
	static FRDGPassRef AddPass(FRDGBuilder& GraphBuilder, FRDGEventName&& PassName, const TShaderRef<TShaderClass>& ComputeShader,
		typename TShaderClass::FParameters* Parameters, FIntVector GroupCount)
	{
		return AddPass(GraphBuilder, std::move(PassName), ERDGPassFlags::Compute, ComputeShader, Parameters, GroupCount);
	}

private:
	static void ValidatePass(const FShader* Shader, const FShaderType* ShaderType, const FRDGEventName& PassName, ERDGPassFlags PassFlags);
};

/**
 * Copies InputTexture into OutputTexture (the whole source mip by default) in a copy pass. A
 * failed check at once for a null texture, the same texture on both sides, formats of
 * different bytes per texel, or a region outside either texture.
 */
RENDERCORE_API FRDGPassRef AddCopyTexturePass(FRDGBuilder& GraphBuilder, FRDGTextureRef InputTexture, FRDGTextureRef OutputTexture,
	const FRHICopyTextureInfo& CopyInfo = FRHICopyTextureInfo());

/**
 * A structured buffer of NumElements elements filled with InitialData. With no elements it
 * still makes a bindable buffer of one zeroed element. A failed check for a zero element size
 * or more data than the buffer holds.
 */
RENDERCORE_API FRDGBufferRef CreateStructuredBuffer(FRDGBuilder& GraphBuilder, const TCHAR* Name, uint32 BytesPerElement, uint32 NumElements,
	const void* InitialData, uint64 InitialDataSize, ERDGInitialDataFlags InitialDataFlags = ERDGInitialDataFlags::None);
