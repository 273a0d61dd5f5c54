#include "Controllers/ImageProcessor/HCBlendTexture.h"

#include "HCImageProcessorPasses.h"
#include "RHIStaticStates.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexBlendTextureCS);

namespace
{
	// The slots as map keys; named as the enum's values so the checks read as they are written.
	constexpr int32 BTDS_InputTexture_A = int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_A);
	constexpr int32 BTDS_InputTexture_B = int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_B);
	constexpr int32 BTDS_MaskTexture = int32(EHCBlendTextureDependencySlot::BTDS_MaskTexture);
}

class FHCBlendTextureCS : public FHCImageProcessorShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCBlendTextureCS);
	SHADER_USE_PARAMETER_STRUCT(FHCBlendTextureCS, FHCImageProcessorShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture_A)
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture_B)
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture_Mask)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputTextureSampler)
		SHADER_PARAMETER(float, Weight)
		SHADER_PARAMETER(int32, Operation)
	END_SHADER_PARAMETER_STRUCT()
};

IMPLEMENT_GLOBAL_SHADER(FHCBlendTextureCS, "/Plugin/Vorpex/HCBlendTexture.usf", "MainCS", SF_Compute);

void UHCBlendTexture::SetOperation(EHCBlendTextureOperation InOperation)
{
	Operation = InOperation;
	MarkParametersChanged();
}

void UHCBlendTexture::SetWeight(float InWeight)
{
	FScopeLock Lock(&CriticalSection);
	Weight = InWeight;
	MarkParametersChanged();
}

void UHCBlendTexture::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	FScopeLock Lock(&CriticalSection);
	if (Operation == EHCBlendTextureOperation::BTO_Lerp)
	{
		check(SlotToDependency.Num() == 3);
		check(SlotToDependency[BTDS_InputTexture_A] && SlotToDependency[BTDS_InputTexture_B] && SlotToDependency[BTDS_MaskTexture]);
		ExecuteDependencies(Context);
		const UTextureRenderTarget2D* inputTexture_0 = SlotToDependency[BTDS_InputTexture_A]->GetResultRenderTarget();
		const UTextureRenderTarget2D* inputTexture_1 = SlotToDependency[BTDS_InputTexture_B]->GetResultRenderTarget();
		const UTextureRenderTarget2D* inputTexture_2 = SlotToDependency[BTDS_MaskTexture]->GetResultRenderTarget();
		check(inputTexture_0->SizeX == inputTexture_1->SizeX);
		check(inputTexture_0->SizeX == inputTexture_2->SizeX);
		check(inputTexture_0->SizeY == inputTexture_1->SizeY);
		check(inputTexture_0->SizeY == inputTexture_2->SizeY);
	}
	else
	{
		check(SlotToDependency.Num() == 2);
		check(SlotToDependency[BTDS_InputTexture_A] && SlotToDependency[BTDS_InputTexture_B]);
		ExecuteDependencies(Context);
	}
}

void UHCBlendTexture::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	AddComputeAndCopyPasses<FHCBlendTextureCS>(Context.GraphBuilder, HC_IMAGE_PROCESSOR_PASS_NAMES(VorpexBlendTextureCS),
		[&](FHCBlendTextureCS::FParameters& Parameters)
		{
			Parameters.InputTexture_A = InputDependencyAsSRV(Context, BTDS_InputTexture_A);
			Parameters.InputTexture_B = InputDependencyAsSRV(Context, BTDS_InputTexture_B);
			// The mask is always bound; without one, A stands in for it and the shader ignores it.
			Parameters.InputTexture_Mask =
				InputDependencyAsSRV(Context, Operation == EHCBlendTextureOperation::BTO_Lerp ? BTDS_MaskTexture : BTDS_InputTexture_A);
			Parameters.InputTextureSampler = TStaticSamplerState<SF_Bilinear, AM_Clamp, AM_Clamp, AM_Clamp>::GetRHI();
			Parameters.Weight = Weight;
			Parameters.Operation = int32(Operation);
		});
}
