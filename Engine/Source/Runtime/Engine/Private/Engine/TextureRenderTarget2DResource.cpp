#include "TextureRenderTarget2DResource.h"

#include "RHIStaticStates.h"

FTextureRenderTarget2DResource::FTextureRenderTarget2DResource(FString InName, const FRHITextureDesc& InDesc)
	: Name(std::move(InName))
	, Desc(InDesc)
{
}

void FTextureRenderTarget2DResource::InitRHI(FRHICommandListImmediate& RHICmdList)
{
	FRHITextureCreateDesc CreateDesc = FRHITextureCreateDesc::Create2D(*Name, Desc.Extent, Desc.Format);
	CreateDesc.SetFlags(Desc.Flags).SetClearValue(Desc.ClearValue);
	TextureRHI = RHICmdList.CreateTexture(CreateDesc);
	SamplerStateRHI = TStaticSamplerState<SF_Bilinear, AM_Clamp, AM_Clamp, AM_Clamp>::GetRHI();
	ClearTexture(RHICmdList);
}

void FTextureRenderTarget2DResource::ClearTexture(FRHICommandListImmediate& RHICmdList)
{
	RHICmdList.BeginRenderPass(FRHIRenderPassInfo(TextureRHI, ERenderTargetActions::Clear_Store), TEXT("ClearRenderTarget"));
	RHICmdList.EndRenderPass();
}
