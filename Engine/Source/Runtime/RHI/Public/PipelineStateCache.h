#pragma once

// Graphics and compute pipeline set-up as the engine spells it: fill an
// FGraphicsPipelineStateInitializer, then SetGraphicsPipelineState(RHICmdList, Init, 0). The
// Vulkan pipelines behind them are built on first use and cached by their whole state.

#include "RHIResources.h"

class FRHICommandList;

/** The shaders and vertex layout of a graphics pipeline. */
struct FBoundShaderStateInput
{
	FRHIVertexDeclaration* VertexDeclarationRHI = nullptr;
	FRHIVertexShader* VertexShaderRHI = nullptr;
	FRHIPixelShader* PixelShaderRHI = nullptr;
};

struct FGraphicsPipelineStateInitializer
{
	FBoundShaderStateInput BoundShaderState;
	FRHIBlendState* BlendState = nullptr;
	FRHIRasterizerState* RasterizerState = nullptr;
	FRHIDepthStencilState* DepthStencilState = nullptr;
	EPrimitiveType PrimitiveType = PT_TriangleList;
	/** The formats of the bound colour targets; ApplyCachedRenderTargets fills them from the open render pass. */
	uint32 RenderTargetsEnabled = 0;
	EPixelFormat RenderTargetFormats[8] = {};
	ETextureCreateFlags RenderTargetFlags[8] = {};
	/** The format of the depth target, PF_Unknown without one; without one the depth-stencil state is not used. */
	EPixelFormat DepthStencilTargetFormat = PF_Unknown;
};

/**
 * Makes the pipeline current on RHICmdList, inside a render pass. Blend, rasterizer and
 * depth-stencil states left null take the defaults of their static states; both shaders and the
 * vertex declaration are required (check). StencilRef is accepted for the engine's signature.
 */
RHI_API void SetGraphicsPipelineState(FRHICommandList& RHICmdList, const FGraphicsPipelineStateInitializer& Initializer, uint32 StencilRef);

/** Makes ComputeShader's pipeline current on RHICmdList, for the dispatches that follow. */
RHI_API void SetComputePipelineState(FRHICommandList& RHICmdList, FRHIComputeShader* ComputeShader);

namespace PipelineStateCache
{
	/** The one declaration object for an element list (equal lists give the same object). */
	RHI_API FRHIVertexDeclaration* GetOrCreateVertexDeclaration(const FVertexDeclarationElementList& Elements);
}
