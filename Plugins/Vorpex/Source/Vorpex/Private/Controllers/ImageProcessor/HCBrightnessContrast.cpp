#include "Controllers/ImageProcessor/HCBrightnessContrast.h"

#include "HCImageProcessorPasses.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexBrightnessContrastCS);

class FHCBrightnessContrastCS : public FHCImageProcessorShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCBrightnessContrastCS);
	SHADER_USE_PARAMETER_STRUCT(FHCBrightnessContrastCS, FHCImageProcessorShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(float, BrightnessValue)
		SHADER_PARAMETER(float, ContrastValue)
	END_SHADER_PARAMETER_STRUCT()
};

IMPLEMENT_GLOBAL_SHADER(FHCBrightnessContrastCS, "/Plugin/Vorpex/HCBrightnessContrast.usf", "MainCS", SF_Compute);

void UHCBrightnessContrast::SetBrightness(float Value)
{
	FScopeLock Lock(&CriticalSection);
	Brightness = Value;
	MarkParametersChanged();
}

void UHCBrightnessContrast::SetContrast(float Value)
{
	FScopeLock Lock(&CriticalSection);
	Contrast = Value;
	MarkParametersChanged();
}

void UHCBrightnessContrast::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	ExecuteSingleInput(Context);
}

void UHCBrightnessContrast::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	AddComputeAndCopyPasses<FHCBrightnessContrastCS>(Context.GraphBuilder, HC_IMAGE_PROCESSOR_PASS_NAMES(VorpexBrightnessContrastCS),
		[&](FHCBrightnessContrastCS::FParameters& Parameters)
		{
			Parameters.InputTexture = InputDependencyAsSRV(Context, 0);
			Parameters.BrightnessValue = Brightness;
			Parameters.ContrastValue = Contrast;
		});
}
