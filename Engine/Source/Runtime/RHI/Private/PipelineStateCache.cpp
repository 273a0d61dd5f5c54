#include "PipelineStateCache.h"

#include "VulkanCommandContext.h"
#include "VulkanDynamicRHI.h"

#include <mutex>

void SetGraphicsPipelineState(FRHICommandList& RHICmdList, const FGraphicsPipelineStateInitializer& Initializer, uint32 StencilRef)
{
	FVulkanDynamicRHI::Get().GetCommandContext().SetGraphicsPipelineState(Initializer);
}

void SetComputePipelineState(FRHICommandList& RHICmdList, FRHIComputeShader* ComputeShader)
{
	FVulkanDynamicRHI::Get().GetCommandContext().SetComputePipelineState(ComputeShader);
}

namespace PipelineStateCache
{
	FRHIVertexDeclaration* GetOrCreateVertexDeclaration(const FVertexDeclarationElementList& Elements)
	{
		// Declarations hold no device objects, so they outlive RHI restarts; the list stays short.
		static std::mutex Mutex;
		static TArray<FVertexDeclarationRHIRef> Declarations;
		std::lock_guard Lock(Mutex);
		for (const FVertexDeclarationRHIRef& Declaration : Declarations)
		{
			if (Declaration->GetElements() == Elements)
			{
				return Declaration;
			}
		}
		return Declarations.Add_GetRef(FVertexDeclarationRHIRef(new FRHIVertexDeclaration(Elements)));
	}
}
