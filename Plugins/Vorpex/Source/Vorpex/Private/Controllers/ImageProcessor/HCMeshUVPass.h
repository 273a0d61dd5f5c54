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
	 * Elements, fills it, and stores it in *Target, dropping the buffer there before, and the
	 * number of elements in *TargetCount when one is given. No elements store no buffer (the RHI
	 * makes none of zero bytes) and a count of 0. The command owns its copy of the elements, and
	 * *Target and *TargetCount are only ever touched on the render thread, so a pass set up
	 * there sees a buffer and the count of what it holds together, whatever later set calls on
	 * the game thread do. The processor holding them waits for its commands before it is destroyed.
	 */
	template <typename ElementType>
	void EnqueueVertexBufferUpload(FBufferRHIRef* Target, uint32* TargetCount, const TCHAR* DebugName, TArray<ElementType> Elements)
	{
		ENQUEUE_RENDER_COMMAND(LockAndModifyVertexBuffer)(
			[Target, TargetCount, DebugName, Elements = std::move(Elements)](FRHICommandListImmediate& RHICmdList)
			{
				const uint32 Size = uint32(Elements.Num()) * sizeof(ElementType);
				FBufferRHIRef Buffer;
				if (Size > 0)
				{
					FRHIResourceCreateInfo CreateInfo(DebugName);
					Buffer = RHICmdList.CreateVertexBuffer(Size, BUF_Static, CreateInfo);
					void* Data = RHICmdList.LockBuffer(Buffer, 0, Size, RLM_WriteOnly);
					std::memcpy(Data, Elements.GetData(), Size);
					RHICmdList.UnlockBuffer(Buffer);
				}
				*Target = Buffer;
				if (TargetCount)
				{
					*TargetCount = uint32(Elements.Num());
				}
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
