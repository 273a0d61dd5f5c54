#include "Engine/TextureRenderTarget2D.h"

#include "RenderingThread.h"
#include "TextureRenderTarget2DResource.h"

namespace
{
	FRHITextureDesc MakeRenderTargetDesc(const UTextureRenderTarget2D& Target)
	{
		FRHITextureDesc Desc;
		Desc.Extent = FIntPoint(Target.SizeX, Target.SizeY);
		Desc.Format = Target.GetFormat();
		Desc.Flags = TexCreate_RenderTargetable | TexCreate_ShaderResource;
		if (Target.IsSRGB())
		{
			Desc.Flags |= TexCreate_SRGB;
		}
		else if (Target.bCanCreateUAV)
		{
			Desc.Flags |= TexCreate_UAV;
		}
		Desc.ClearValue = FClearValueBinding(Target.ClearColor);
		return Desc;
	}
}

void UTextureRenderTarget2D::InitAutoFormat(uint32 InSizeX, uint32 InSizeY)
{
	checkf(InSizeX > 0 && InSizeY > 0 && InSizeX <= uint32(MAX_int32) && InSizeY <= uint32(MAX_int32),
		TEXT("InitAutoFormat of %s: %u x %u is not a render target size"), *GetPathName(), InSizeX, InSizeY);
	SizeX = int32(InSizeX);
	SizeY = int32(InSizeY);
	UpdateResource();
}

void UTextureRenderTarget2D::UpdateResourceImmediate(bool bClearRenderTarget)
{
	auto* Current = static_cast<FTextureRenderTarget2DResource*>(GetResource());
	if (!Current || !(Current->GetDesc() == MakeRenderTargetDesc(*this)))
	{
		// A fresh resource starts cleared.
		UpdateResource();
		return;
	}
	if (bClearRenderTarget)
	{
		ENQUEUE_RENDER_COMMAND(ClearRenderTarget)([Current](FRHICommandListImmediate& RHICmdList) { Current->ClearTexture(RHICmdList); });
		ReleaseFence.BeginFence();
	}
}

FTextureRenderTargetResource* UTextureRenderTarget2D::GameThread_GetRenderTargetResource() const
{
	return static_cast<FTextureRenderTargetResource*>(GetResource());
}

FTextureRenderTargetResource* UTextureRenderTarget2D::GetRenderTargetResource() const
{
	return static_cast<FTextureRenderTargetResource*>(GetResource());
}

EPixelFormat UTextureRenderTarget2D::GetFormat() const
{
	switch (RenderTargetFormat.GetValue())
	{
	case RTF_R8:
		return PF_G8;
	case RTF_RGBA8:
	case RTF_RGBA8_SRGB:
		return PF_B8G8R8A8;
	case RTF_RGBA16f:
		return PF_FloatRGBA;
	case RTF_R32f:
		return PF_R32_FLOAT;
	case RTF_RGBA32f:
		return PF_A32B32G32R32F;
	default:
		return PF_Unknown;
	}
}

bool UTextureRenderTarget2D::IsSRGB() const
{
	return RenderTargetFormat == RTF_RGBA8_SRGB;
}

FTextureResource* UTextureRenderTarget2D::CreateResource()
{
	checkf(SizeX > 0 && SizeY > 0, TEXT("Render target %s has no size (%d x %d)"), *GetPathName(), SizeX, SizeY);
	checkf(GetFormat() != PF_Unknown, TEXT("Render target %s: format %d is not supported"), *GetPathName(), int32(RenderTargetFormat.GetValue()));
	return new FTextureRenderTarget2DResource(GetPathName(), MakeRenderTargetDesc(*this));
}
