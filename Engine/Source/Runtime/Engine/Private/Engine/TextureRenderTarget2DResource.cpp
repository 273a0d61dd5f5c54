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
	// Deferred by the RHI: a target that a pass overwrites whole before anything reads it is never cleared at all.
	const FClearValueBinding& ClearValue = Desc.ClearValue;
	const bool bHasColor = ClearValue.ColorBinding == FClearValueBinding::EClearBinding::EColorBound;
	RHICmdList.ClearColorTexture(TextureRHI, bHasColor ? ClearValue.Color : FLinearColor(0.0f, 0.0f, 0.0f, 0.0f));
}
