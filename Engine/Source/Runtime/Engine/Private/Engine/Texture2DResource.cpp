#include "Texture2DResource.h"

#include "Engine/Texture2D.h"
#include "RHIStaticStates.h"

namespace
{
	/** sRGB decoding exists for 8-bit colour formats only; other formats hold linear values whatever the setting says. */
	bool SupportsSRGB(EPixelFormat Format)
	{
		return Format == PF_B8G8R8A8 || Format == PF_R8G8B8A8;
	}
}

FTexture2DResource::FTexture2DResource(const UTexture2D& Owner)
	: Name(Owner.GetPathName())
	, Size(Owner.GetSizeX(), Owner.GetSizeY())
	, Format(Owner.GetPixelFormat())
	, bSRGB(Owner.SRGB && SupportsSRGB(Owner.GetPixelFormat()))
	, bFiltered(Owner.Filter != TF_Nearest)
{
	const FByteBulkData& BulkData = Owner.GetPlatformData()->Mips[0].BulkData;
	const uint8* Source = static_cast<const uint8*>(BulkData.LockReadOnly());
	Texels.Append(Source, int32(BulkData.GetBulkDataSize()));
	BulkData.Unlock();
}

void FTexture2DResource::InitRHI(FRHICommandListImmediate& RHICmdList)
{
	FRHITextureCreateDesc Desc = FRHITextureCreateDesc::Create2D(*Name, Size, Format).SetFlags(TexCreate_ShaderResource);
	if (bSRGB)
	{
		Desc.AddFlags(TexCreate_SRGB);
	}
	TextureRHI = RHICmdList.CreateTexture(Desc);
	const FUpdateTextureRegion2D WholeMip(0, 0, 0, 0, uint32(Size.X), uint32(Size.Y));
	RHICmdList.UpdateTexture2D(TextureRHI, 0, WholeMip, uint32(Size.X * GetPixelFormatBytes(Format)), Texels.GetData());
	Texels.Empty();
	SamplerStateRHI = bFiltered ? TStaticSamplerState<SF_Bilinear, AM_Wrap, AM_Wrap, AM_Wrap>::GetRHI()
								: TStaticSamplerState<SF_Point, AM_Wrap, AM_Wrap, AM_Wrap>::GetRHI();
}
