#include "Controllers/ImageProcessor/HCBrightnessContrast.h"

#include "HCImageProcessorPasses.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_STATS_GROUP(TEXT("VorpexBrightnessContrastCS"), STATGROUP_VorpexBrightnessContrastCS, STATCAT_Advanced);
DECLARE_CYCLE_STAT(TEXT("VorpexBrightnessContrastCS Execute"), STAT_VorpexBrightnessContrastCS_Execute, STATGROUP_VorpexBrightnessContrastCS);
DECLARE_GPU_STAT(Stat_GPU_VorpexBrightnessContrastCS);

class FHCBrightnessContrastCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCBrightnessContrastCS);
	SHADER_USE_PARAMETER_STRUCT(FHCBrightnessContrastCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(float, BrightnessValue)
		SHADER_PARAMETER(float, ContrastValue)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }

	static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment)
	{
		FGlobalShader::ModifyCompilationEnvironment(Parameters, OutEnvironment);
		HCImageProcessorPasses::SetThreadGroupDefines(OutEnvironment);
	}
};

IMPLEMENT_GLOBAL_SHADER(FHCBrightnessContrastCS, "/Plugin/Vorpex/HCBrightnessContrast.usf", "MainCS", SF_Compute);

void UHCBrightnessContrast::SetBrightness(float Value)
{
	FScopeLock Lock(&CriticalSection);
	Brightness = Value;
}

void UHCBrightnessContrast::SetContrast(float Value)
{
	FScopeLock Lock(&CriticalSection);
	Contrast = Value;
}

void UHCBrightnessContrast::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	FScopeLock Lock(&CriticalSection);
	check(SlotToDependency.Num() == 1);
	check(SlotToDependency[0]);
	ExecuteDependencies(Context);
}

void UHCBrightnessContrast::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	SCOPE_CYCLE_COUNTER(STAT_VorpexBrightnessContrastCS_Execute);
	RDG_GPU_STAT_SCOPE(GraphBuilder, Stat_GPU_VorpexBrightnessContrastCS);
	RDG_EVENT_SCOPE(GraphBuilder, "VorpexBrightnessContrastCS");
	FScopeLock Lock(&CriticalSection);

	const TShaderMapRef<FHCBrightnessContrastCS> Shader = HCImageProcessorPasses::GetCheckedShader<FHCBrightnessContrastCS>();
	FHCBrightnessContrastCS::FParameters* Parameters = GraphBuilder.AllocParameters<FHCBrightnessContrastCS::FParameters>();
	FRDGTextureRef TempTexture = CreatePassTexture(GraphBuilder, TEXT("VorpexBrightnessContrastCS.TempTexture"), GetResultSize(), FClearValueBinding::White);
	FRDGTextureRef ResultTextureRef = FindOrRegisterResultTexture(GraphBuilder, TEXT("VorpexBrightnessContrastCS.RT"));
	Parameters->OutputTexture = GraphBuilder.CreateUAV(TempTexture);
	Parameters->InputTexture = InputDependencyAsSRV(Context, 0);
	Parameters->BrightnessValue = Brightness;
	Parameters->ContrastValue = Contrast;
	HCImageProcessorPasses::AddComputeAndCopyPasses(
		GraphBuilder, TEXT("ExecuteVorpexBrightnessContrastCS"), Shader, Parameters, GetResultGroupCount(), TempTexture, ResultTextureRef);
}
