#pragma once

// What every processor's render pass shares: its shader's base class, its profiling names,
// and the compute pass into the transient texture followed by the copy into the result.
//
// A compute processor is its parameters, its slot rule and its shader:
//
//   DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexColorizeCS);
//   class FHCColorizeCS : public FHCImageProcessorShader { ... FParameters with OutputTexture ... };
//   void UHCColorize::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
//   {
//       check(IsInRenderingThread());
//       ExecuteDependencies(Context);
//       AddComputeAndCopyPasses<FHCColorizeCS>(Context.GraphBuilder, HC_IMAGE_PROCESSOR_PASS_NAMES(VorpexColorizeCS),
//           [&](FHCColorizeCS::FParameters& Parameters) { ... });
//   }

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "GlobalShader.h"
#include "Misc/ScopeLock.h"
#include "RenderGraphBuilder.h"
#include "RenderGraphUtils.h"
#include "RenderTargetPool.h"
#include "ShaderParameterStruct.h"
#include "Stats/Stats.h"

/** A processor's compute shader: one permutation, 8 × 8 × 1 thread groups. */
class FHCImageProcessorShader : public FGlobalShader
{
public:
	explicit FHCImageProcessorShader(const ShaderMetaType::CompiledShaderInitializerType& Initializer)
		: FGlobalShader(Initializer)
	{
	}

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }

	static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment)
	{
		FGlobalShader::ModifyCompilationEnvironment(Parameters, OutEnvironment);
		OutEnvironment.SetDefine(TEXT("THREADS_X"), 8);
		OutEnvironment.SetDefine(TEXT("THREADS_Y"), 8);
		OutEnvironment.SetDefine(TEXT("THREADS_Z"), 1);
	}
};

/** The names of a processor's pass, all formed from its shader name N (HC_IMAGE_PROCESSOR_PASS_NAMES). */
struct FHCImageProcessorPassNames
{
	/** N: the render-graph event scope. */
	const TCHAR* ShaderName;
	/** "Execute" N: the compute pass. */
	const TCHAR* PassName;
	/** N ".TempTexture": the transient texture the pass writes. */
	const TCHAR* TempTextureName;
	/** N ".RT": the result as a graph texture. */
	const TCHAR* ResultTextureName;
	/** "STAT_" N "_Execute" in "STATGROUP_" N. */
	TStatId CycleStat;
	/** "Stat_GPU_" N. */
	FGPUStat& GPUStat;
	/** Checks the copy destination's pixel format under the processor's own check text. */
	void (*CheckDestinationFormat)(FRDGTextureRef Destination);
};

/** Declares the stat group, cycle stat and GPU stat of the processor whose shader name is N. */
#define DECLARE_HC_IMAGE_PROCESSOR_STATS(N) \
	DECLARE_STATS_GROUP(TEXT(#N), STATGROUP_##N, STATCAT_Advanced); \
	DECLARE_CYCLE_STAT(TEXT(#N " Execute"), STAT_##N##_Execute, STATGROUP_##N); \
	DECLARE_GPU_STAT(Stat_GPU_##N)

/** The pass names of the processor whose shader name is N, its stats declared by DECLARE_HC_IMAGE_PROCESSOR_STATS. */
#define HC_IMAGE_PROCESSOR_PASS_NAMES(N) \
	FHCImageProcessorPassNames{TEXT(#N), TEXT("Execute" #N), TEXT(#N ".TempTexture"), TEXT(#N ".RT"), GET_STATID(STAT_##N##_Execute), \
		GPUStat_Stat_GPU_##N, &HCImageProcessorPasses::CheckResultFormat}

namespace HCImageProcessorPasses
{
	/** The destination check of every processor but the image texture. */
	inline void CheckResultFormat(FRDGTextureRef ResultTextureRef)
	{
		check(ResultTextureRef->Desc.Format == PF_B8G8R8A8);
	}

	/** The image texture's wording of the same check. */
	inline void CheckTargetFormat(FRDGTextureRef TargetTexture)
	{
		check(TargetTexture->Desc.Format == PF_B8G8R8A8);
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
}

template <typename ShaderType, typename BindParametersType>
void UHCImageProcessor::AddComputeAndCopyPasses(FRDGBuilder& GraphBuilder, const FHCImageProcessorPassNames& Names, BindParametersType&& BindParameters)
{
	FScopeCycleCounter CycleCounter(Names.CycleStat);
	FRDGGPUStatScopeGuard GPUStatScope(GraphBuilder, Names.GPUStat);
	RDG_EVENT_SCOPE(GraphBuilder, "%s", Names.ShaderName);
	FScopeLock Lock(&CriticalSection);
	if (ReuseOrRenewResult())
	{
		return;
	}

	const TShaderMapRef<ShaderType> Shader = HCImageProcessorPasses::GetCheckedShader<ShaderType>();
	typename ShaderType::FParameters* Parameters = GraphBuilder.AllocParameters<typename ShaderType::FParameters>();
	FRDGTextureRef TempTexture = CreatePassTexture(GraphBuilder, Names.TempTextureName, GetResultSize(), FClearValueBinding::White);
	FRDGTextureRef Destination = FindOrRegisterResultTexture(GraphBuilder, Names.ResultTextureName);
	Parameters->OutputTexture = GraphBuilder.CreateUAV(TempTexture);
	BindParameters(*Parameters);
	FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("%s", Names.PassName), ERDGPassFlags::Compute, Shader, Parameters, GetResultGroupCount());
	Names.CheckDestinationFormat(Destination);
	AddCopyTexturePass(GraphBuilder, TempTexture, Destination, FRHICopyTextureInfo());
}
