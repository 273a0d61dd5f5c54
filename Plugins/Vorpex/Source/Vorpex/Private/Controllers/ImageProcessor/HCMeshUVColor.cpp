#include "Controllers/ImageProcessor/HCMeshUVColor.h"

#include "HCImageProcessorPasses.h"
#include "HCMeshUVPass.h"
#include "RenderingThread.h"
#include "Stats/Stats.h"

DECLARE_HC_IMAGE_PROCESSOR_STATS(VorpexMeshUVColorRS);

class FHCMeshUVColorVS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCMeshUVColorVS);
	SHADER_USE_PARAMETER_STRUCT(FHCMeshUVColorVS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FVector2f, Scale)
		SHADER_PARAMETER(FVector2f, Offset)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

class FHCMeshUVColorPS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FHCMeshUVColorPS);
	SHADER_USE_PARAMETER_STRUCT(FHCMeshUVColorPS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FVector4f, ColorMultiplier)
		RENDER_TARGET_BINDING_SLOTS()
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

IMPLEMENT_GLOBAL_SHADER(FHCMeshUVColorVS, "/Plugin/Vorpex/HCMeshUVColor.usf", "MainVS", SF_Vertex);
IMPLEMENT_GLOBAL_SHADER(FHCMeshUVColorPS, "/Plugin/Vorpex/HCMeshUVColor.usf", "MainPS", SF_Pixel);

void UHCMeshUVColor::Initialize(int32 Width, int32 Height)
{
	Super::Initialize(Width, Height);
	TextureSize = FIntPoint(Width, Height);
}

void UHCMeshUVColor::setUVsAndColors(const TArray<FVector2f>& uvs, const TArray<FColor>& colors)
{
	check(uvs.Num() == colors.Num());
	FScopeLock Lock(&CriticalSection);
	UVs = uvs;
	HCMeshUVPass::EnqueueVertexBufferUpload(&UVVertexBuffer, &UploadedUVCount, TEXT("VorpexMeshUVColorRS.UV_VertexBuffer"), UVs);
	Colors.Reset();
	for (const FColor& Color : colors)
	{
		Colors.Add(FLinearColor(Color));
	}
	HCMeshUVPass::EnqueueVertexBufferUpload(&ColorsVertexBuffer, nullptr, TEXT("VorpexMeshUVColorRS.Colors_VertexBuffer"), Colors);
}

void UHCMeshUVColor::setColorMultiplier(FColor color)
{
	// Locked, unlike the other processors' unlocked writers: the render thread reads it while it sets up a pass.
	FScopeLock Lock(&CriticalSection);
	ColorMultiplier = FLinearColor(color);
}

void UHCMeshUVColor::Execute(HCImageProcessorExecuteContext_GameThread& Context)
{
	FScopeLock Lock(&CriticalSection);
}

void UHCMeshUVColor::Execute(HCImageProcessorExecuteContext_RenderThread& Context)
{
	check(IsInRenderingThread());
	FRDGBuilder& GraphBuilder = Context.GraphBuilder;
	SCOPE_CYCLE_COUNTER(STAT_VorpexMeshUVColorRS_Execute);
	RDG_GPU_STAT_SCOPE(GraphBuilder, Stat_GPU_VorpexMeshUVColorRS);
	RDG_EVENT_SCOPE(GraphBuilder, "VorpexMeshUVColorRS");
	FScopeLock Lock(&CriticalSection);
	// Vertex uploads arrive by render commands of their own, so nothing tells a kept result
	// apart from one drawn from an older upload: these passes always run.
	ReuseOrRenewResult(false);

	const TShaderMapRef<FHCMeshUVColorVS> VertexShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
	const TShaderMapRef<FHCMeshUVColorPS> PixelShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
	const bool bIsVSValid = VertexShader.IsValid();
	const bool bIsPSValid = PixelShader.IsValid();
	check(bIsVSValid);
	check(bIsPSValid);

	FRDGTextureRef TempTexture = CreatePassTexture(GraphBuilder, TEXT("VorpexMeshUVColorRS.TempTexture"), TextureSize, FClearValueBinding::Transparent);
	FRDGTextureRef ResultTextureRef = FindOrRegisterResultTexture(GraphBuilder, TEXT("VorpexMeshUVColorRS.RT"));
	FHCMeshUVColorVS::FParameters VertexParameters;
	VertexParameters.Scale = FVector2f(1.0f, 1.0f);
	VertexParameters.Offset = FVector2f(0.0f, 0.0f);
	FHCMeshUVColorPS::FParameters* PixelParameters = GraphBuilder.AllocParameters<FHCMeshUVColorPS::FParameters>();
	PixelParameters->ColorMultiplier = FVector4f(ColorMultiplier.R, ColorMultiplier.G, ColorMultiplier.B, ColorMultiplier.A);
	PixelParameters->RenderTargets[0] = FRenderTargetBinding(TempTexture, ERenderTargetLoadAction::EClear);

	FVertexDeclarationElementList Elements;
	Elements.Add(FVertexElement(0, 0, VET_Float2, 0, sizeof(FVector2f)));
	Elements.Add(FVertexElement(1, 0, VET_Float4, 1, sizeof(FLinearColor)));
	// The buffers of the last upload that ran before this batch, and their own triangle count;
	// the pass keeps them alive.
	const uint32 NumTriangles = UploadedUVCount / 3;
	GraphBuilder.AddPass(RDG_EVENT_NAME("ExecuteVorpexMeshUVColorRS"), PixelParameters, ERDGPassFlags::Raster,
		[VertexShader, PixelShader, VertexParameters, PixelParameters, Elements, NumTriangles, UVBuffer = UVVertexBuffer,
			ColorBuffer = ColorsVertexBuffer](FRHICommandList& RHICmdList)
		{
			if (NumTriangles == 0 || !UVBuffer || !ColorBuffer)
			{
				return;
			}
			HCMeshUVPass::SetPipeline(RHICmdList, Elements, VertexShader.GetVertexShader(), PixelShader.GetPixelShader());
			SetShaderParameters(RHICmdList, VertexShader, VertexShader.GetVertexShader(), VertexParameters);
			SetShaderParameters(RHICmdList, PixelShader, PixelShader.GetPixelShader(), *PixelParameters);
			RHICmdList.SetStreamSource(0, UVBuffer, 0);
			RHICmdList.SetStreamSource(1, ColorBuffer, 0);
			RHICmdList.DrawPrimitive(0, NumTriangles, 1);
		});
	check(ResultTextureRef->Desc.Format == PF_B8G8R8A8);
	AddCopyTexturePass(GraphBuilder, TempTexture, ResultTextureRef, FRHICopyTextureInfo());
}
