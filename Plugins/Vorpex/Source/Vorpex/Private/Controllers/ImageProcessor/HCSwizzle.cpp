#include "Controllers/ImageProcessor/HCSwizzle.h"

#include "HCImageProcessorPasses.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexSwizzleCS);

class FHCSwizzleCS : public FHCImageProcessorShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCSwizzleCS);
	SHADER_USE_PARAMETER_STRUCT(FHCSwizzleCS, FHCImageProcessorShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(FIntVector4, ChannelIndices)
	END_SHADER_PARAMETER_STRUCT()
};

IMPLEMENT_GLOBAL_SHADER(FHCSwizzleCS, "/Plugin/Vorpex/HCSwizzle.usf", "MainCS", SF_Compute);

void UHCSwizzle::SetArrangement(EHCSwizzleChannel InRed, EHCSwizzleChannel InGreen, EHCSwizzleChannel InBlue, EHCSwizzleChannel InAlpha)
{
	FScopeLock Lock(&CriticalSection);
	Red = InRed;
	Green = InGreen;
	Blue = InBlue;
	Alpha = InAlpha;
	MarkParametersChanged();
}

void UHCSwizzle::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	ExecuteSingleInput(Context);
}

void UHCSwizzle::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	AddComputeAndCopyPasses<FHCSwizzleCS>(Context.GraphBuilder, HC_IMAGE_PROCESSOR_PASS_NAMES(VorpexSwizzleCS),
		[&](FHCSwizzleCS::FParameters& Parameters)
		{
			Parameters.InputTexture = InputDependencyAsSRV(Context, 0);
			Parameters.ChannelIndices = FIntVector4(int32(Red), int32(Green), int32(Blue), int32(Alpha));
		});
}
