#include "Controllers/ImageProcessor/HCImageTexture.h"

#include "HCImageProcessorPasses.h"
#include "RHIStaticStates.h"
#include "RenderTargetPool.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"
#include "TextureResource.h"

DECLARE_STATS_GROUP(TEXT("VorpexImageTextureCS"), STATGROUP_VorpexImageTextureCS, STATCAT_Advanced);
DECLARE_CYCLE_STAT(TEXT("VorpexImageTextureCS Execute"), STAT_VorpexImageTextureCS_Execute, STATGROUP_VorpexImageTextureCS);
DECLARE_GPU_STAT(Stat_GPU_VorpexImageTextureCS);

class FHCImageTextureCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCImageTextureCS);
	SHADER_USE_PARAMETER_STRUCT(FHCImageTextureCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputTextureSampler)
		SHADER_PARAMETER(FVector2f, Scale)
		SHADER_PARAMETER(FVector2f, Offset)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }

	static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment)
	{
		FGlobalShader::ModifyCompilationEnvironment(Parameters, OutEnvironment);
		HCImageProcessorPasses::SetThreadGroupDefines(OutEnvironment);
	}
};

IMPLEMENT_GLOBAL_SHADER(FHCImageTextureCS, "/Plugin/Vorpex/HCImageTexture.usf", "MainCS", SF_Compute);

void UHCImageTexture::SetInputTexture(UTexture2D* Texture)
{
	FScopeLock Lock(&CriticalSection);
	InputTexture = Texture;
	bInputTextureChanged = true;
}

void UHCImageTexture::SetScaleAndOffset(FVector2f InScale, FVector2f InOffset)
{
	FScopeLock Lock(&CriticalSection);
	Scale = InScale;
	Offset = InOffset;
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

void UHCImageTexture::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	SCOPE_CYCLE_COUNTER(STAT_VorpexImageTextureCS_Execute);
	RDG_GPU_STAT_SCOPE(GraphBuilder, Stat_GPU_VorpexImageTextureCS);
	RDG_EVENT_SCOPE(GraphBuilder, "VorpexImageTextureCS");
	FScopeLock Lock(&CriticalSection);

	const TShaderMapRef<FHCImageTextureCS> Shader = HCImageProcessorPasses::GetCheckedShader<FHCImageTextureCS>();
	FHCImageTextureCS::FParameters* Parameters = GraphBuilder.AllocParameters<FHCImageTextureCS::FParameters>();
	const FTextureRenderTargetResource* ResultResource = ResultRenderTarget->GetRenderTargetResource();
	const FIntPoint Extent(int32(ResultResource->GetSizeX()), int32(ResultResource->GetSizeY()));
	FRDGTextureRef TempTexture = CreatePassTexture(GraphBuilder, TEXT("VorpexImageTextureCS.TempTexture"), Extent, FClearValueBinding::White);
	FRDGTextureRef TargetTexture = FindOrRegisterResultTexture(GraphBuilder, TEXT("VorpexImageTextureCS.RT"));

	FRHITexture* SourceTexture = InputTexture->GetResource()->TextureRHI;
	FRDGTextureRef SourceTextureRef =
		HCImageProcessorPasses::FindOrRegisterExternalTexture(GraphBuilder, SourceTexture, TEXT("VorpexImageTextureCS.InputTexture"));
	Parameters->InputTexture = GraphBuilder.CreateSRV(FRDGTextureSRVDesc(SourceTextureRef));
	Parameters->OutputTexture = GraphBuilder.CreateUAV(TempTexture);
	Parameters->InputTextureSampler = TStaticSamplerState<SF_Bilinear, AM_Clamp, AM_Clamp, AM_Clamp>::GetRHI();
	Parameters->Scale = Scale;
	Parameters->Offset = Offset;

	FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("ExecuteVorpexImageTextureCS"), ERDGPassFlags::Compute, Shader, Parameters,
		FIntVector((Extent.X + 7) / 8, (Extent.Y + 7) / 8, 1));
	check(TargetTexture->Desc.Format == PF_B8G8R8A8);
	AddCopyTexturePass(GraphBuilder, TempTexture, TargetTexture, FRHICopyTextureInfo());
}
