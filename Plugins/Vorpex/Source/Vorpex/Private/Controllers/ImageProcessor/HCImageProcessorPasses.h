#pragma once

// The steps every processor's render pass shares: its global shader, checked, and the
// compute pass into the transient texture followed by the copy into the result.

#include "CoreMinimal.h"
#include "GlobalShader.h"
#include "RenderGraphBuilder.h"
#include "RenderGraphUtils.h"
#include "RenderTargetPool.h"
#include "ShaderParameterStruct.h"

namespace HCImageProcessorPasses
{
	/** Every compute shader's thread-group size. */
	inline void SetThreadGroupDefines(FShaderCompilerEnvironment& OutEnvironment)
	{
		OutEnvironment.SetDefine(TEXT("THREADS_X"), 8);
		OutEnvironment.SetDefine(TEXT("THREADS_Y"), 8);
		OutEnvironment.SetDefine(TEXT("THREADS_Z"), 1);
	}

	/** The graph's texture for Texture: the one already known to the graph, or a new registration under Name. */
	inline FRDGTextureRef FindOrRegisterExternalTexture(FRDGBuilder& GraphBuilder, FRHITexture* Texture, const TCHAR* Name)
	{
		FRDGTextureRef TextureRef = GraphBuilder.FindExternalTexture(Texture);
		return TextureRef ? TextureRef : GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Texture, Name));
	}

	/** The shader of ShaderType from the global shader map; a shader that failed to compile fails "bIsShaderValid". */
	template <typename ShaderType>
	TShaderMapRef<ShaderType> GetCheckedShader()
	{
		TShaderMapRef<ShaderType> Shader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
		const bool bIsShaderValid = Shader.IsValid();
		check(bIsShaderValid);
		return Shader;
	}

	/** The compute pass PassName over GroupCount writing TempTexture, then TempTexture copied into the result. */
	template <typename ShaderType>
	void AddComputeAndCopyPasses(FRDGBuilder& GraphBuilder, const TCHAR* PassName, const TShaderMapRef<ShaderType>& Shader,
		typename ShaderType::FParameters* Parameters, FIntVector GroupCount, FRDGTextureRef TempTexture, FRDGTextureRef ResultTextureRef)
	{
		FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("%s", PassName), ERDGPassFlags::Compute, Shader, Parameters, GroupCount);
		check(ResultTextureRef->Desc.Format == PF_B8G8R8A8);
		AddCopyTexturePass(GraphBuilder, TempTexture, ResultTextureRef, FRHICopyTextureInfo());
	}
}
