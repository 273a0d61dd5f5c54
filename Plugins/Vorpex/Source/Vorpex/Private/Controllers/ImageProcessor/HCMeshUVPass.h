#pragma once

// What the two mesh-UV raster processors share: the vertex uploads and the pipeline.

#include "CoreMinimal.h"
#include "PipelineStateCache.h"
#include "RHICommandList.h"
#include "RHIStaticStates.h"
#include "RenderingThread.h"

#include <cstring>

namespace HCMeshUVPass
{
	/**
	 * Enqueues a "LockAndModifyVertexBuffer" command that makes a static vertex buffer of
	 * Elements, fills it, and stores it in *Target, dropping the buffer there before. The
	 * command owns its copy of the elements, and *Target is only ever touched on the render
	 * thread, so later set calls on the game thread cannot race it. The processor holding
	 * *Target waits for its commands before it is destroyed.
	 */
	template <typename ElementType>
	void EnqueueVertexBufferUpload(FBufferRHIRef* Target, const TCHAR* DebugName, TArray<ElementType> Elements)
	{
		ENQUEUE_RENDER_COMMAND(LockAndModifyVertexBuffer)(
			[Target, DebugName, Elements = std::move(Elements)](FRHICommandListImmediate& RHICmdList)
			{
				const uint32 Size = uint32(Elements.Num()) * sizeof(ElementType);
				FRHIResourceCreateInfo CreateInfo(DebugName);
				FBufferRHIRef Buffer = RHICmdList.CreateVertexBuffer(Size, BUF_Static, CreateInfo);
				if (Size > 0)
				{
					void* Data = RHICmdList.LockBuffer(Buffer, 0, Size, RLM_WriteOnly);
					std::memcpy(Data, Elements.GetData(), Size);
					RHICmdList.UnlockBuffer(Buffer);
				}
				*Target = Buffer;
			});
	}

	/** Triangle lists, opaque blending, solid fill without culling, no depth test or write. */
	inline void SetPipeline(FRHICommandList& RHICmdList, const FVertexDeclarationElementList& Elements, FRHIVertexShader* VertexShader,
		FRHIPixelShader* PixelShader)
	{
		FGraphicsPipelineStateInitializer GraphicsPSOInit;
		RHICmdList.ApplyCachedRenderTargets(GraphicsPSOInit);
		GraphicsPSOInit.BlendState = TStaticBlendState<CW_RGBA, BO_Add, BF_One, BF_Zero, BO_Add, BF_One, BF_Zero>::GetRHI();
		GraphicsPSOInit.RasterizerState = TStaticRasterizerState<FM_Solid, CM_None>::GetRHI();
		GraphicsPSOInit.DepthStencilState = TStaticDepthStencilState<false, CF_Always>::GetRHI();
		GraphicsPSOInit.BoundShaderState.VertexDeclarationRHI = PipelineStateCache::GetOrCreateVertexDeclaration(Elements);
		GraphicsPSOInit.BoundShaderState.VertexShaderRHI = VertexShader;
		GraphicsPSOInit.BoundShaderState.PixelShaderRHI = PixelShader;
		GraphicsPSOInit.PrimitiveType = PT_TriangleList;
		SetGraphicsPipelineState(RHICmdList, GraphicsPSOInit, 0);
	}
}
