#include "PreviewSceneRenderer.h"

#include "PipelineStateCache.h"
#include "PreviewCamera.h"
#include "PreviewRenderer.h"
#include "PreviewScene.h"
#include "PreviewShaders.h"
#include "RHIStaticStates.h"
#include "RenderGraphBuilder.h"
#include "RenderTargetPool.h"
#include "TextureResource.h"

#include <cstddef>
#include <cstring>

namespace
{
	/** The vertex stream of the mesh pass, one element per FPreviewMeshVertex member. */
	FVertexDeclarationElementList MakeMeshElements()
	{
		constexpr uint16 Stride = sizeof(FPreviewMeshVertex);
		return {FVertexElement(0, offsetof(FPreviewMeshVertex, Position), VET_Float3, 0, Stride),
			FVertexElement(0, offsetof(FPreviewMeshVertex, Normal), VET_Float3, 1, Stride),
			FVertexElement(0, offsetof(FPreviewMeshVertex, UV), VET_Float2, 2, Stride),
			FVertexElement(0, offsetof(FPreviewMeshVertex, Color), VET_Color, 3, Stride)};
	}

	FVertexDeclarationElementList MakeLineElements()
	{
		constexpr uint16 Stride = sizeof(FPreviewLineVertex);
		return {FVertexElement(0, offsetof(FPreviewLineVertex, Start), VET_Float3, 0, Stride),
			FVertexElement(0, offsetof(FPreviewLineVertex, End), VET_Float3, 1, Stride),
			FVertexElement(0, offsetof(FPreviewLineVertex, Color), VET_Float4, 2, Stride),
			FVertexElement(0, offsetof(FPreviewLineVertex, Corner), VET_Float3, 3, Stride)};
	}

	template <typename VertexType>
	FBufferRHIRef UploadVertices(FRHICommandListImmediate& RHICmdList, const TArray<VertexType>& Vertices, const TCHAR* Name)
	{
		if (Vertices.IsEmpty())
		{
			return FBufferRHIRef();
		}
		const uint32 Size = uint32(Vertices.Num()) * sizeof(VertexType);
		FBufferRHIRef Buffer = RHICmdList.CreateVertexBuffer(Size, BUF_Static, FRHIResourceCreateInfo(Name));
		std::memcpy(RHICmdList.LockBuffer(Buffer, 0, Size, RLM_WriteOnly), Vertices.GetData(), Size);
		RHICmdList.UnlockBuffer(Buffer);
		return Buffer;
	}

	/** The texture unbound base colours read: one white texel. */
	FTextureRHIRef MakeWhiteTexture(FRHICommandListImmediate& RHICmdList)
	{
		FTextureRHIRef Texture = RHICmdList.CreateTexture(
			FRHITextureCreateDesc::Create2D(TEXT("Preview.White"), 1, 1, PF_B8G8R8A8).SetFlags(TexCreate_ShaderResource));
		const FColor White = FColor::White;
		RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 1, 1), sizeof(FColor), reinterpret_cast<const uint8*>(&White));
		return Texture;
	}

	bool IsEightBitColor(EPixelFormat Format)
	{
		return Format == PF_B8G8R8A8 || Format == PF_R8G8B8A8 || Format == PF_G8;
	}

	FVector4f ToVector4f(const FVector& Vector) { return FVector4f(float(Vector.X), float(Vector.Y), float(Vector.Z), 0.0f); }

	/** Builds the graph of one preview; its members are what the passes share. */
	class FPreviewGraph
	{
	public:
		FPreviewGraph(FRHICommandListImmediate& RHICmdList, const FPreviewScene& InScene, const FPreviewView& InView)
			: GraphBuilder(RHICmdList, RDG_EVENT_NAME("PreviewRenderer"))
			, Scene(InScene)
			, View(InView)
			, Camera(FPreviewCamera::Make(InView, InScene.Bounds))
			, SceneExtent(InView.Width * InView.SupersampleFactor, InView.Height * InView.SupersampleFactor)
			, WhiteTexture(MakeWhiteTexture(RHICmdList))
			, MeshBuffer(UploadVertices(RHICmdList, InScene.MeshVertices, TEXT("Preview.MeshVertices")))
			, LineBuffer(UploadVertices(RHICmdList, InScene.LineVertices, TEXT("Preview.LineVertices")))
		{
			// The scene colour holds sRGB-encoded texels, so the clear value is encoded too.
			const FColor Encoded = View.Background.ToFColor(true);
			const FLinearColor Background(Encoded.R / 255.0f, Encoded.G / 255.0f, Encoded.B / 255.0f, Encoded.A / 255.0f);
			SceneColor = GraphBuilder.CreateTexture(FRDGTextureDesc::Create2D(SceneExtent, PF_B8G8R8A8, FClearValueBinding(Background),
														TexCreate_RenderTargetable | TexCreate_ShaderResource),
				TEXT("Preview.SceneColor"));
			SceneDepth = GraphBuilder.CreateTexture(
				FRDGTextureDesc::Create2D(SceneExtent, PF_DepthStencil, FClearValueBinding::DepthOne, TexCreate_DepthStencilTargetable), TEXT("Preview.SceneDepth"));
		}

		void Build(FRHITexture* Target)
		{
			AddMeshPasses();
			AddLinePass();
			AddResolvePass(Target);
		}

		void Execute() { GraphBuilder.Execute(); }

	private:
		FRDGTextureRef RegisterTexture(FRHITexture* Texture, const TCHAR* Name)
		{
			if (FRDGTextureRef Found = GraphBuilder.FindExternalTexture(Texture))
			{
				return Found;
			}
			return GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Texture, Name), Name);
		}

		FPreviewMeshVS::FParameters MakeClipParameters() const
		{
			return {Camera.ClipRows[0], Camera.ClipRows[1], Camera.ClipRows[2], Camera.ClipRows[3]};
		}

		/** The first pass clears the targets, the later ones load them. */
		void BindSceneTargets(FRenderTargetBindingSlots& RenderTargets, bool bFirst) const
		{
			const ERenderTargetLoadAction Load = bFirst ? ERenderTargetLoadAction::EClear : ERenderTargetLoadAction::ELoad;
			RenderTargets[0] = FRenderTargetBinding(SceneColor, Load);
			RenderTargets.DepthStencil = FDepthStencilBinding(SceneDepth, Load);
		}

		void AddMeshPasses()
		{
			const TShaderMapRef<FPreviewMeshVS> VertexShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
			const TShaderMapRef<FPreviewMeshPS> PixelShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
			const FPreviewMeshVS::FParameters VertexParameters = MakeClipParameters();
			FRHISamplerState* Sampler = TStaticSamplerState<SF_Bilinear, AM_Wrap, AM_Wrap, AM_Wrap>::GetRHI();
			const FVertexDeclarationElementList Elements = MakeMeshElements();

			// An empty scene still needs its one clearing pass.
			const int32 NumPasses = FMath::Max(Scene.Sections.Num(), 1);
			for (int32 Index = 0; Index < NumPasses; ++Index)
			{
				const FPreviewSection Section = Scene.Sections.IsValidIndex(Index) ? Scene.Sections[Index] : FPreviewSection();
				FRHITexture* BaseColor = Section.BaseColor ? Section.BaseColor->GetTextureRHI() : nullptr;
				FRHITexture* CullMask = Section.CullMask ? Section.CullMask->GetTextureRHI() : nullptr;
				FRHITexture* BoundBaseColor = BaseColor ? BaseColor : WhiteTexture.GetReference();

				FPreviewMeshPS::FParameters* PixelParameters = GraphBuilder.AllocParameters<FPreviewMeshPS::FParameters>();
				PixelParameters->CameraPosition = FVector4f(Camera.Position.X, Camera.Position.Y, Camera.Position.Z, 1.0f);
				PixelParameters->DirectionToLight = ToVector4f(View.DirectionToLight.GetSafeNormal());
				PixelParameters->Lighting = FVector4f(View.LightIntensity, View.AmbientIntensity, 0.0f, 0.0f);
				const bool bCullMaskDecoded = CullMask && EnumHasAnyFlags(CullMask->GetFlags(), TexCreate_SRGB);
				PixelParameters->Options = FVector4f(CullMask ? 1.0f : 0.0f, bCullMaskDecoded ? 1.0f : 0.0f, 0.0f, 0.0f);
				PixelParameters->BaseColorTexture = RegisterTexture(BoundBaseColor, TEXT("Preview.BaseColor"));
				PixelParameters->BaseColorSampler = Sampler;
				PixelParameters->CullMaskTexture = RegisterTexture(CullMask ? CullMask : WhiteTexture.GetReference(), TEXT("Preview.CullMask"));
				PixelParameters->CullMaskSampler = Sampler;
				BindSceneTargets(PixelParameters->RenderTargets, Index == 0);

				GraphBuilder.AddPass(RDG_EVENT_NAME("PreviewMesh"), PixelParameters, ERDGPassFlags::Raster,
					[VertexShader, PixelShader, VertexParameters, PixelParameters, Elements, Section, Buffer = MeshBuffer](FRHICommandList& RHICmdList)
					{
						if (Section.NumVertices == 0)
						{
							return;
						}
						FGraphicsPipelineStateInitializer Initializer;
						RHICmdList.ApplyCachedRenderTargets(Initializer);
						Initializer.BlendState = TStaticBlendState<>::GetRHI();
						Initializer.RasterizerState = TStaticRasterizerState<FM_Solid, CM_None>::GetRHI();
						Initializer.DepthStencilState = TStaticDepthStencilState<true, CF_LessEqual>::GetRHI();
						Initializer.BoundShaderState.VertexDeclarationRHI = PipelineStateCache::GetOrCreateVertexDeclaration(Elements);
						Initializer.BoundShaderState.VertexShaderRHI = VertexShader.GetVertexShader();
						Initializer.BoundShaderState.PixelShaderRHI = PixelShader.GetPixelShader();
						Initializer.PrimitiveType = PT_TriangleList;
						SetGraphicsPipelineState(RHICmdList, Initializer, 0);
						SetShaderParameters(RHICmdList, VertexShader, VertexShader.GetVertexShader(), VertexParameters);
						SetShaderParameters(RHICmdList, PixelShader, PixelShader.GetPixelShader(), *PixelParameters);
						RHICmdList.SetStreamSource(0, Buffer, 0);
						RHICmdList.DrawPrimitive(Section.FirstVertex, Section.NumVertices / 3, 1);
					});
			}
		}

		void AddLinePass()
		{
			if (Scene.LineVertices.IsEmpty())
			{
				return;
			}
			const TShaderMapRef<FPreviewLineVS> VertexShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
			const TShaderMapRef<FPreviewLinePS> PixelShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
			FPreviewLineVS::FParameters VertexParameters;
			VertexParameters.ClipRow0 = Camera.ClipRows[0];
			VertexParameters.ClipRow1 = Camera.ClipRows[1];
			VertexParameters.ClipRow2 = Camera.ClipRows[2];
			VertexParameters.ClipRow3 = Camera.ClipRows[3];
			VertexParameters.ViewSize = FVector4f(float(SceneExtent.X), float(SceneExtent.Y), 0.0f, 0.0f);
			FPreviewLinePS::FParameters* PixelParameters = GraphBuilder.AllocParameters<FPreviewLinePS::FParameters>();
			// Lines lie over the meshes: no depth target.
			PixelParameters->RenderTargets[0] = FRenderTargetBinding(SceneColor, ERenderTargetLoadAction::ELoad);
			const uint32 NumTriangles = uint32(Scene.LineVertices.Num()) / 3;

			GraphBuilder.AddPass(RDG_EVENT_NAME("PreviewLines"), PixelParameters, ERDGPassFlags::Raster,
				[VertexShader, PixelShader, VertexParameters, PixelParameters, NumTriangles, Buffer = LineBuffer](FRHICommandList& RHICmdList)
				{
					FGraphicsPipelineStateInitializer Initializer;
					RHICmdList.ApplyCachedRenderTargets(Initializer);
					Initializer.BlendState = TStaticBlendState<>::GetRHI();
					Initializer.RasterizerState = TStaticRasterizerState<FM_Solid, CM_None>::GetRHI();
					Initializer.BoundShaderState.VertexDeclarationRHI = PipelineStateCache::GetOrCreateVertexDeclaration(MakeLineElements());
					Initializer.BoundShaderState.VertexShaderRHI = VertexShader.GetVertexShader();
					Initializer.BoundShaderState.PixelShaderRHI = PixelShader.GetPixelShader();
					Initializer.PrimitiveType = PT_TriangleList;
					SetGraphicsPipelineState(RHICmdList, Initializer, 0);
					SetShaderParameters(RHICmdList, VertexShader, VertexShader.GetVertexShader(), VertexParameters);
					SetShaderParameters(RHICmdList, PixelShader, PixelShader.GetPixelShader(), *PixelParameters);
					RHICmdList.SetStreamSource(0, Buffer, 0);
					RHICmdList.DrawPrimitive(0, NumTriangles, 1);
				});
		}

		void AddResolvePass(FRHITexture* Target)
		{
			const TShaderMapRef<FPreviewResolveVS> VertexShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
			const TShaderMapRef<FPreviewResolvePS> PixelShader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
			const bool bLinearTarget = EnumHasAnyFlags(Target->GetFlags(), TexCreate_SRGB) || !IsEightBitColor(Target->GetFormat());
			FPreviewResolvePS::FParameters* PixelParameters = GraphBuilder.AllocParameters<FPreviewResolvePS::FParameters>();
			PixelParameters->Options = FVector4f(float(View.SupersampleFactor), bLinearTarget ? 1.0f : 0.0f, 0.0f, 0.0f);
			PixelParameters->SceneColor = SceneColor;
			PixelParameters->RenderTargets[0] = FRenderTargetBinding(RegisterTexture(Target, TEXT("Preview.Target")), ERenderTargetLoadAction::ENoAction);

			GraphBuilder.AddPass(RDG_EVENT_NAME("PreviewResolve"), PixelParameters, ERDGPassFlags::Raster,
				[VertexShader, PixelShader, PixelParameters](FRHICommandList& RHICmdList)
				{
					FGraphicsPipelineStateInitializer Initializer;
					RHICmdList.ApplyCachedRenderTargets(Initializer);
					Initializer.BlendState = TStaticBlendState<>::GetRHI();
					Initializer.RasterizerState = TStaticRasterizerState<FM_Solid, CM_None>::GetRHI();
					Initializer.BoundShaderState.VertexDeclarationRHI = PipelineStateCache::GetOrCreateVertexDeclaration({});
					Initializer.BoundShaderState.VertexShaderRHI = VertexShader.GetVertexShader();
					Initializer.BoundShaderState.PixelShaderRHI = PixelShader.GetPixelShader();
					Initializer.PrimitiveType = PT_TriangleList;
					SetGraphicsPipelineState(RHICmdList, Initializer, 0);
					SetShaderParameters(RHICmdList, PixelShader, PixelShader.GetPixelShader(), *PixelParameters);
					RHICmdList.DrawPrimitive(0, 1, 1);
				});
		}

		FRDGBuilder GraphBuilder;
		const FPreviewScene& Scene;
		const FPreviewView& View;
		const FPreviewCamera Camera;
		const FIntPoint SceneExtent;
		const FTextureRHIRef WhiteTexture;
		const FBufferRHIRef MeshBuffer;
		const FBufferRHIRef LineBuffer;
		FRDGTextureRef SceneColor = nullptr;
		FRDGTextureRef SceneDepth = nullptr;
	};
}

void FPreviewSceneRenderer::Render(FRHICommandListImmediate& RHICmdList, const FPreviewScene& Scene, const FPreviewView& View, FRHITexture* Target)
{
	checkf(Target, TEXT("The preview renderer was given no target"));
	checkf(Target->GetSizeXY() == FIntPoint(View.Width, View.Height), TEXT("Preview target '%s' is %d x %d; the view is %d x %d"), *Target->GetName(),
		Target->GetSizeXY().X, Target->GetSizeXY().Y, View.Width, View.Height);
	checkf(EnumHasAnyFlags(Target->GetFlags(), TexCreate_RenderTargetable), TEXT("Preview target '%s' was made without TexCreate_RenderTargetable"),
		*Target->GetName());
	FPreviewGraph Graph(RHICmdList, Scene, View);
	Graph.Build(Target);
	Graph.Execute();
}
