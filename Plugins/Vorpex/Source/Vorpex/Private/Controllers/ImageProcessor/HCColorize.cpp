#include "Controllers/ImageProcessor/HCColorize.h"

#include "HCImageProcessorPasses.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_STATS_GROUP(TEXT("VorpexColorizeCS"), STATGROUP_VorpexColorizeCS, STATCAT_Advanced);
DECLARE_CYCLE_STAT(TEXT("VorpexColorizeCS Execute"), STAT_VorpexColorizeCS_Execute, STATGROUP_VorpexColorizeCS);
DECLARE_GPU_STAT(Stat_GPU_VorpexColorizeCS);

class FHCColorizeCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCColorizeCS);
	SHADER_USE_PARAMETER_STRUCT(FHCColorizeCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(FVector4f, Color)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }

	static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment)
	{
		FGlobalShader::ModifyCompilationEnvironment(Parameters, OutEnvironment);
		HCImageProcessorPasses::SetThreadGroupDefines(OutEnvironment);
	}
};

IMPLEMENT_GLOBAL_SHADER(FHCColorizeCS, "/Plugin/Vorpex/HCColorize.usf", "MainCS", SF_Compute);

void UHCColorize::SetColor(FColor InColor)
{
	FScopeLock Lock(&CriticalSection);
	Color = InColor;
}

void UHCColorize::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	FScopeLock Lock(&CriticalSection);
	check(SlotToDependency.Num() == 1);
	check(SlotToDependency[0]);
	ExecuteDependencies(Context);
}

void UHCColorize::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	SCOPE_CYCLE_COUNTER(STAT_VorpexColorizeCS_Execute);
	RDG_GPU_STAT_SCOPE(GraphBuilder, Stat_GPU_VorpexColorizeCS);
	RDG_EVENT_SCOPE(GraphBuilder, "VorpexColorizeCS");
	FScopeLock Lock(&CriticalSection);

	const TShaderMapRef<FHCColorizeCS> Shader = HCImageProcessorPasses::GetCheckedShader<FHCColorizeCS>();
	FHCColorizeCS::FParameters* Parameters = GraphBuilder.AllocParameters<FHCColorizeCS::FParameters>();
	FRDGTextureRef TempTexture = CreatePassTexture(GraphBuilder, TEXT("VorpexColorizeCS.TempTexture"), GetResultSize(), FClearValueBinding::White);
	FRDGTextureRef ResultTextureRef = FindOrRegisterResultTexture(GraphBuilder, TEXT("VorpexColorizeCS.RT"));
	Parameters->OutputTexture = GraphBuilder.CreateUAV(TempTexture);
	Parameters->InputTexture = InputDependencyAsSRV(Context, 0);
	const FLinearColor LinearColor(Color);
	Parameters->Color = FVector4f(LinearColor.R, LinearColor.G, LinearColor.B, LinearColor.A);
	HCImageProcessorPasses::AddComputeAndCopyPasses(
		GraphBuilder, TEXT("ExecuteVorpexColorizeCS"), Shader, Parameters, GetResultGroupCount(), TempTexture, ResultTextureRef);
}
