#include "Controllers/ImageProcessor/HCImageTexture.h"

#include "HCImageProcessorPasses.h"
#include "RHIStaticStates.h"
#include "RenderTargetPool.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"
#include "TextureResource.h"

DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexImageTextureCS);

class FHCImageTextureCS : public FHCImageProcessorShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCImageTextureCS);
	SHADER_USE_PARAMETER_STRUCT(FHCImageTextureCS, FHCImageProcessorShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputTextureSampler)
		SHADER_PARAMETER(FVector2f, Scale)
		SHADER_PARAMETER(FVector2f, Offset)
	END_SHADER_PARAMETER_STRUCT()
};

IMPLEMENT_GLOBAL_SHADER(FHCImageTextureCS, "/Plugin/Vorpex/HCImageTexture.usf", "MainCS", SF_Compute);

void UHCImageTexture::SetInputTexture(UTexture2D* Texture)
{
	FScopeLock Lock(&CriticalSection);
	InputTexture = Texture;
	bInputTextureChanged = true;
	MarkParametersChanged();
}

void UHCImageTexture::SetScaleAndOffset(FVector2f InScale, FVector2f InOffset)
{
	FScopeLock Lock(&CriticalSection);
	Scale = InScale;
	Offset = InOffset;
	MarkParametersChanged();
}

void UHCImageTexture::Prepare()
{
	Super::Prepare();
	check(InputTexture);
	if (bInputTextureChanged)
	{
		InputTexture->UpdateResource();
		bInputTextureChanged = false;
	}
}

void UHCImageTexture::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	FScopeLock Lock(&CriticalSection);
}

void UHCImageTexture::GetResultSources(TArray<uint64>& OutSources) const
{
	Super::GetResultSources(OutSources);
	// The texels themselves: a texture updated in place keeps its object but not its revision.
	const FTextureResource* Resource = InputTexture ? InputTexture->GetResource() : nullptr;
	OutSources.Add(Resource && Resource->GetTextureRHI() ? Resource->GetTextureRHI()->GetUploadRevision() : 0);
}

void UHCImageTexture::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	FHCImageProcessorPassNames Names = HC_IMAGE_PROCESSOR_PASS_NAMES(VorpexImageTextureCS);
	Names.CheckDestinationFormat = &HCImageProcessorPasses::CheckTargetFormat;
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	AddComputeAndCopyPasses<FHCImageTextureCS>(GraphBuilder, Names,
		[&](FHCImageTextureCS::FParameters& Parameters)
		{
			FRHITexture* SourceTexture = InputTexture->GetResource()->TextureRHI;
			FRDGTextureRef SourceTextureRef =
				HCImageProcessorPasses::FindOrRegisterExternalTexture(GraphBuilder, SourceTexture, TEXT("VorpexImageTextureCS.InputTexture"));
			Parameters.InputTexture = GraphBuilder.CreateSRV(FRDGTextureSRVDesc(SourceTextureRef));
			Parameters.InputTextureSampler = TStaticSamplerState<SF_Bilinear, AM_Clamp, AM_Clamp, AM_Clamp>::GetRHI();
			Parameters.Scale = Scale;
			Parameters.Offset = Offset;
		});
}
