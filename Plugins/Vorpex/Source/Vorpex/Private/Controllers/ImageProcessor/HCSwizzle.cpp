#include "Controllers/ImageProcessor/HCSwizzle.h"

#include "HCImageProcessorPasses.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_STATS_GROUP(TEXT("VorpexSwizzleCS"), STATGROUP_VorpexSwizzleCS, STATCAT_Advanced);
DECLARE_CYCLE_STAT(TEXT("VorpexSwizzleCS Execute"), STAT_VorpexSwizzleCS_Execute, STATGROUP_VorpexSwizzleCS);
DECLARE_GPU_STAT(Stat_GPU_VorpexSwizzleCS);

class FHCSwizzleCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCSwizzleCS);
	SHADER_USE_PARAMETER_STRUCT(FHCSwizzleCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(FIntVector4, ChannelIndices)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }

	static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment)
	{
		FGlobalShader::ModifyCompilationEnvironment(Parameters, OutEnvironment);
		HCImageProcessorPasses::SetThreadGroupDefines(OutEnvironment);
	}
};

IMPLEMENT_GLOBAL_SHADER(FHCSwizzleCS, "/Plugin/Vorpex/HCSwizzle.usf", "MainCS", SF_Compute);

void UHCSwizzle::SetArrangement(EHCSwizzleChannel InRed, EHCSwizzleChannel InGreen, EHCSwizzleChannel InBlue, EHCSwizzleChannel InAlpha)
{
	FScopeLock Lock(&CriticalSection);
	Red = InRed;
	Green = InGreen;
	Blue = InBlue;
	Alpha = InAlpha;
}

void UHCSwizzle::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	FScopeLock Lock(&CriticalSection);
	check(SlotToDependency.Num() == 1);
	check(SlotToDependency[0]);
	ExecuteDependencies(Context);
}

void UHCSwizzle::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	SCOPE_CYCLE_COUNTER(STAT_VorpexSwizzleCS_Execute);
	RDG_GPU_STAT_SCOPE(GraphBuilder, Stat_GPU_VorpexSwizzleCS);
	RDG_EVENT_SCOPE(GraphBuilder, "VorpexSwizzleCS");
	FScopeLock Lock(&CriticalSection);

	const TShaderMapRef<FHCSwizzleCS> Shader = HCImageProcessorPasses::GetCheckedShader<FHCSwizzleCS>();
	FHCSwizzleCS::FParameters* Parameters = GraphBuilder.AllocParameters<FHCSwizzleCS::FParameters>();
	FRDGTextureRef TempTexture = CreatePassTexture(GraphBuilder, TEXT("VorpexSwizzleCS.TempTexture"), GetResultSize(), FClearValueBinding::White);
	FRDGTextureRef ResultTextureRef = FindOrRegisterResultTexture(GraphBuilder, TEXT("VorpexSwizzleCS.RT"));
	Parameters->OutputTexture = GraphBuilder.CreateUAV(TempTexture);
	Parameters->InputTexture = InputDependencyAsSRV(Context, 0);
	Parameters->ChannelIndices = FIntVector4(int32(Red), int32(Green), int32(Blue), int32(Alpha));
	HCImageProcessorPasses::AddComputeAndCopyPasses(
		GraphBuilder, TEXT("ExecuteVorpexSwizzleCS"), Shader, Parameters, GetResultGroupCount(), TempTexture, ResultTextureRef);
}
