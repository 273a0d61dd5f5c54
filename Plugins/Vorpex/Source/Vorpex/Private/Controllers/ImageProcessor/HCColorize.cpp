#include "Controllers/ImageProcessor/HCColorize.h"

#include "HCImageProcessorPasses.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexColorizeCS);

class FHCColorizeCS : public FHCImageProcessorShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCColorizeCS);
	SHADER_USE_PARAMETER_STRUCT(FHCColorizeCS, FHCImageProcessorShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(FVector4f, Color)
	END_SHADER_PARAMETER_STRUCT()
};

IMPLEMENT_GLOBAL_SHADER(FHCColorizeCS, "/Plugin/Vorpex/HCColorize.usf", "MainCS", SF_Compute);

void UHCColorize::SetColor(FColor InColor)
{
	FScopeLock Lock(&CriticalSection);
	Color = InColor;
	MarkParametersChanged();
}

void UHCColorize::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	ExecuteSingleInput(Context);
}

void UHCColorize::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	AddComputeAndCopyPasses<FHCColorizeCS>(Context.GraphBuilder, HC_IMAGE_PROCESSOR_PASS_NAMES(VorpexColorizeCS),
		[&](FHCColorizeCS::FParameters& Parameters)
		{
			Parameters.InputTexture = InputDependencyAsSRV(Context, 0);
			const FLinearColor LinearColor(Color);
			Parameters.Color = FVector4f(LinearColor.R, LinearColor.G, LinearColor.B, LinearColor.A);
		});
}
