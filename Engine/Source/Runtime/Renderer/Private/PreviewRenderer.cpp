#include "PreviewRenderer.h"

#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "Misc/AssertionMacros.h"
#include "PreviewScene.h"
#include "PreviewSceneRenderer.h"
#include "RHICommandList.h"
#include "RenderingThread.h"
#include "TextureResource.h"

#include <utility>

namespace
{
	constexpr int32 MaxSupersampleFactor = 4;
	/** Kept below the 2-D image limit every Vulkan device has (4096) once supersampled. */
	constexpr int32 MaxSceneSize = 4096;

	/** Why View cannot be drawn, or an empty string. */
	FString ValidateView(const FPreviewView& View)
	{
		if (View.SupersampleFactor < 1 || View.SupersampleFactor > MaxSupersampleFactor)
		{
			return FString::Printf(TEXT("the supersample factor %d is not between 1 and %d"), View.SupersampleFactor, MaxSupersampleFactor);
		}
		if (View.Width < 1 || View.Height < 1 || View.Width * View.SupersampleFactor > MaxSceneSize
			|| View.Height * View.SupersampleFactor > MaxSceneSize)
		{
			return FString::Printf(TEXT("a picture of %d x %d drawn at %d times its size does not fit between 1 and %d pixels a side"), View.Width,
				View.Height, View.SupersampleFactor, MaxSceneSize);
		}
		if (!(View.VerticalFieldOfViewDegrees > 0.0f && View.VerticalFieldOfViewDegrees < 180.0f))
		{
			return FString::Printf(TEXT("the vertical field of view %g is not between 0 and 180 degrees"), View.VerticalFieldOfViewDegrees);
		}
		if ((View.Target - View.Eye).IsNearlyZero())
		{
			return TEXT("the camera looks at its own position");
		}
		return FString();
	}
}

void FPreviewRenderer::Render(const UWorld& World, const FPreviewView& View, UTextureRenderTarget2D& Target)
{
	const FString Problem = ValidateView(View);
	checkf(Problem.IsEmpty(), TEXT("FPreviewRenderer::Render: %s"), *Problem);
	const FTextureRenderTargetResource* Resource = Target.GameThread_GetRenderTargetResource();
	checkf(Resource, TEXT("FPreviewRenderer::Render: render target '%s' has no resource (InitAutoFormat)"), *Target.GetName());
	checkf(Target.SizeX == View.Width && Target.SizeY == View.Height, TEXT("FPreviewRenderer::Render: render target '%s' is %d x %d; the view is %d x %d"),
		*Target.GetName(), Target.SizeX, Target.SizeY, View.Width, View.Height);

	ENQUEUE_RENDER_COMMAND(PreviewRender)(
		[Scene = FPreviewScene::Gather(World, View.SupersampleFactor), View, Resource](FRHICommandListImmediate& RHICmdList)
		{ FPreviewSceneRenderer::Render(RHICmdList, Scene, View, Resource->GetRenderTargetTexture()); });
}

bool FPreviewRenderer::RenderToImage(const UWorld& World, const FPreviewView& View, TArray<FColor>& OutPixels, FString& OutError)
{
	OutError = ValidateView(View);
	if (!OutError.IsEmpty())
	{
		return false;
	}
	TArray<FColor> Pixels;
	try
	{
		ENQUEUE_RENDER_COMMAND(PreviewRenderToImage)(
			[Scene = FPreviewScene::Gather(World, View.SupersampleFactor), View, &Pixels](FRHICommandListImmediate& RHICmdList)
			{
				const FTextureRHIRef Target = RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(TEXT("Preview.Image"), View.Width, View.Height, PF_B8G8R8A8)
						.SetFlags(TexCreate_RenderTargetable | TexCreate_ShaderResource));
				FPreviewSceneRenderer::Render(RHICmdList, Scene, View, Target);
				RHICmdList.ReadSurfaceData(Target, FIntRect(), Pixels, FReadSurfaceDataFlags());
			});
		FlushRenderingCommands();
	}
	catch (const FCheckFailure& Failure)
	{
		const std::string& Reason = Failure.GetMessage().empty() ? Failure.GetExpression() : Failure.GetMessage();
		OutError = FString::Printf(TEXT("drawing the preview failed: %s"), Reason.c_str());
		return false;
	}
	OutPixels = std::move(Pixels);
	return true;
}
