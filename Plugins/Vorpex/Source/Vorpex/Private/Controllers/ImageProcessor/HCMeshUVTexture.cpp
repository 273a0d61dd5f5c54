#include "Controllers/ImageProcessor/HCMeshUVTexture.h"

#include "HCImageProcessorPasses.h"
#include "HCMeshUVPass.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexMeshUVTextureRS);

class FHCMeshUVTextureVS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCMeshUVTextureVS);
	SHADER_USE_PARAMETER_STRUCT(FHCMeshUVTextureVS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FVector2f, Scale)
		SHADER_PARAMETER(FVector2f, Offset)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

class FHCMeshUVTexturePS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCMeshUVTexturePS);
	SHADER_USE_PARAMETER_STRUCT(FHCMeshUVTexturePS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FVector4f, ColorMultiplier)
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputTextureSampler)
		RENDER_TARGET_BINDING_SLOTS()
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

IMPLEMENT_GLOBAL_SHADER(FHCMeshUVTextureVS, "/Plugin/Vorpex/HCMeshUVTexture.usf", "MainVS", SF_Vertex);
IMPLEMENT_GLOBAL_SHADER(FHCMeshUVTexturePS, "/Plugin/Vorpex/HCMeshUVTexture.usf", "MainPS", SF_Pixel);

void UHCMeshUVTexture::Initialize(int32 Width, int32 Height)
{
	Super::Initialize(Width, Height);
	TextureSize = FIntPoint(Width, Height);
}

void UHCMeshUVTexture::setUVs(const TArray<FVector2f>& uvs)
{
	FScopeLock Lock(&CriticalSection);
	UVs = uvs;
	HCMeshUVPass::EnqueueVertexBufferUpload(&UVVertexBuffer, &UploadedUVCount, TEXT("VorpexMeshUVTextureRS.VertexBuffer"), UVs);
}

void UHCMeshUVTexture::setColorMultiplier(FColor color)
{
	// Locked, unlike the other processors' unlocked writers: the render thread reads it while it sets up a pass.
	FScopeLock Lock(&CriticalSection);
	ColorMultiplier = FLinearColor(color);
}

void UHCMeshUVTexture::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	ExecuteSingleInput(Context);
}

void UHCMeshUVTexture::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	ExecuteDependencies(Context);
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	SCOPE_CYCLE_COUNTER(STAT_VorpexMeshUVTextureRS_Execute);
	RDG_GPU_STAT_SCOPE(GraphBuilder, Stat_GPU_VorpexMeshUVTextureRS);
	RDG_EVENT_SCOPE(GraphBuilder, "VorpexMeshUVTextureRS");
	FScopeLock Lock(&CriticalSection);
	// Vertex uploads arrive by render commands of their own, so nothing tells a kept result
	// apart from one drawn from an older upload: these passes always run.
	ReuseOrRenewResult(false);

	const TShaderMapRef<FHCMeshUVTextureVS> VertexShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
	const TShaderMapRef<FHCMeshUVTexturePS> PixelShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
	const bool bIsVSValid = VertexShader.IsValid();
	const bool bIsPSValid = PixelShader.IsValid();
	check(bIsVSValid);
	check(bIsPSValid);

	FRDGTextureRef TempTexture = CreatePassTexture(GraphBuilder, TEXT("VorpexMeshUVTextureRS.TempTexture"), TextureSize, FClearValueBinding::Transparent);
	FRDGTextureRef ResultTextureRef = FindOrRegisterResultTexture(GraphBuilder, TEXT("VorpexMeshUVTextureRS.RT"));
	FHCMeshUVTextureVS::FParameters VertexParameters;
	VertexParameters.Scale = FVector2f(1.0f, 1.0f);
	VertexParameters.Offset = FVector2f(0.0f, 0.0f);
	FHCMeshUVTexturePS::FParameters* PixelParameters = GraphBuilder.AllocParameters<FHCMeshUVTexturePS::FParameters>();
	PixelParameters->ColorMultiplier = FVector4f(ColorMultiplier.R, ColorMultiplier.G, ColorMultiplier.B, ColorMultiplier.A);
	PixelParameters->InputTexture = InputDependencyAsSRV(Context, 0);
	PixelParameters->InputTextureSampler = TStaticSamplerState<SF_Bilinear, AM_Clamp, AM_Clamp, AM_Clamp>::GetRHI();
	PixelParameters->RenderTargets[0] = FRenderTargetBinding(TempTexture, ERenderTargetLoadAction::EClear);

	FVertexDeclarationElementList Elements;
	Elements.Add(FVertexElement(0, 0, VET_Float2, 0, sizeof(FVector2f)));
	// The buffer of the last upload that ran before this batch, and its own triangle count; the
	// pass keeps it alive.
	const uint32 NumTriangles = UploadedUVCount / 3;
	GraphBuilder.AddPass(RDG_EVENT_NAME("ExecuteVorpexMeshUVTextureRS"), PixelParameters, ERDGPassFlags::Raster,
		[VertexShader, PixelShader, VertexParameters, PixelParameters, Elements, NumTriangles, UVBuffer = UVVertexBuffer](FRHICommandList& RHICmdList)
		{
			if (NumTriangles == 0 || !UVBuffer)
			{
				return;
			}
			HCMeshUVPass::SetPipeline(RHICmdList, Elements, VertexShader.GetVertexShader(), PixelShader.GetPixelShader());
			SetShaderParameters(RHICmdList, VertexShader, VertexShader.GetVertexShader(), VertexParameters);
			SetShaderParameters(RHICmdList, PixelShader, PixelShader.GetPixelShader(), *PixelParameters);
			RHICmdList.SetStreamSource(0, UVBuffer, 0);
			RHICmdList.DrawPrimitive(0, NumTriangles, 1);
		});
	check(ResultTextureRef->Desc.Format == PF_B8G8R8A8);
	AddCopyTexturePass(GraphBuilder, TempTexture, ResultTextureRef, FRHICopyTextureInfo());
}
