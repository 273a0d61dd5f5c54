#include "PngWriter.h"

#include "AssetIOLog.h"
#include "Engine/Texture2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "TextureResource.h"
#include "Misc/FileHelper.h"
#include "PngEncoder.h"

namespace
{
	/**
	 * Turns linear 8-bit texels into the sRGB-encoded ones PNG files hold (alpha stays): an
	 * 8-bit render target without sRGB holds linear light, as the image processors write it.
	 */
	void EncodeLinearTexels(TArray<FColor>& Texels)
	{
		uint8 Encoded[256];
		for (int32 Level = 0; Level < 256; ++Level)
		{
			Encoded[Level] = FLinearColor(Level / 255.0f, 0.0f, 0.0f).ToFColor(true).R;
		}
		for (FColor& Texel : Texels)
		{
			Texel = FColor(Encoded[Texel.R], Encoded[Texel.G], Encoded[Texel.B], Texel.A);
		}
	}

	/** Why Width × Height texels in TexelByteCount bytes cannot be encoded ("a PNG of ..."), or empty when they can. */
	FString TexelProblem(int64 TexelByteCount, int32 Width, int32 Height)
	{
		if (Width <= 0 || Height <= 0)
		{
			return FString::Printf(TEXT("a PNG of %d x %d texels"), Width, Height);
		}
		// Texel arrays are indexed by int32, so the RGBA copy made for the encoder must fit in one.
		if (static_cast<int64>(Width) * Height * 4 > MAX_int32)
		{
			return FString::Printf(TEXT("a PNG of %d x %d texels: too large"), Width, Height);
		}
		if (TexelByteCount != static_cast<int64>(Width) * Height * 4)
		{
			return FString::Printf(TEXT("a PNG of %d x %d texels from %lld bytes (%lld expected)"), Width, Height,
				static_cast<long long>(TexelByteCount), static_cast<long long>(Width) * Height * 4);
		}
		return FString();
	}

	/** Encodes checked texels; on failure OutProblem says what could not be encoded, as TexelProblem does. */
	bool Encode(const uint8* Texels, int32 Width, int32 Height, TArray<uint8>& OutPngBytes, FString& OutProblem)
	{
		if (!FPngEncoder::EncodeBGRA(Texels, Width, Height, OutPngBytes))
		{
			OutProblem = FString::Printf(TEXT("a PNG of %d x %d texels"), Width, Height);
			return false;
		}
		return true;
	}

	/** Encodes unchecked texels; the reason for a refusal goes to OutError as "cannot encode a PNG of ...". */
	bool CheckAndEncode(const uint8* Texels, int64 TexelByteCount, int32 Width, int32 Height, TArray<uint8>& OutPngBytes, FString& OutError)
	{
		FString Problem = TexelProblem(TexelByteCount, Width, Height);
		if (Problem.IsEmpty() && Encode(Texels, Width, Height, OutPngBytes, Problem))
		{
			return true;
		}
		OutError = TEXT("cannot encode ") + Problem;
		return false;
	}

	bool Save(const TArray<uint8>& PngBytes, const FString& Filename)
	{
		// SaveArrayToFile logs its own reason on LogCore; this line names what was being written.
		if (!FFileHelper::SaveArrayToFile(PngBytes, *Filename))
		{
			UE_LOG(LogAssetIO, Warning, TEXT("Cannot write PNG file %s"), *Filename);
			return false;
		}
		return true;
	}
}

bool FPngWriter::EncodeBGRA(const TArray<uint8>& Texels, int32 Width, int32 Height, TArray<uint8>& OutPngBytes)
{
	FString Problem = TexelProblem(Texels.Num(), Width, Height);
	if (Problem.IsEmpty() && Encode(Texels.GetData(), Width, Height, OutPngBytes, Problem))
	{
		return true;
	}
	UE_LOG(LogAssetIO, Warning, TEXT("Cannot encode %s"), *Problem);
	return false;
}

bool FPngWriter::WriteBGRA(const TArray<uint8>& Texels, int32 Width, int32 Height, const FString& Filename)
{
	TArray<uint8> PngBytes;
	return EncodeBGRA(Texels, Width, Height, PngBytes) && Save(PngBytes, Filename);
}

bool FPngWriter::EncodeTexture(const UTexture2D* Texture, TArray<uint8>& OutPngBytes, FString& OutError)
{
	const FTexturePlatformData* Data = Texture ? Texture->GetPlatformData() : nullptr;
	if (!Data || Data->Mips.IsEmpty())
	{
		OutError = TEXT("the texture has no texels");
		return false;
	}
	if (Data->PixelFormat != PF_B8G8R8A8)
	{
		OutError = FString::Printf(TEXT("%s is not in PF_B8G8R8A8"), *Texture->GetPathName());
		return false;
	}
	const FTexture2DMipMap& Mip = Data->Mips[0];
	if (Mip.BulkData.IsLocked())
	{
		OutError = FString::Printf(TEXT("the texels of %s are locked"), *Texture->GetPathName());
		return false;
	}
	const uint8* Texels = static_cast<const uint8*>(Mip.BulkData.LockReadOnly());
	const bool bEncoded = CheckAndEncode(Texels, Mip.BulkData.GetBulkDataSize(), Mip.SizeX, Mip.SizeY, OutPngBytes, OutError);
	Mip.BulkData.Unlock();
	return bEncoded;
}

bool FPngWriter::WriteTexture(const UTexture2D* Texture, const FString& Filename)
{
	TArray<uint8> PngBytes;
	FString Error;
	if (!EncodeTexture(Texture, PngBytes, Error))
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot write %s: %s"), *Filename, *Error);
		return false;
	}
	return Save(PngBytes, Filename);
}

bool FPngWriter::EncodeRenderTarget(const UTextureRenderTarget2D* RenderTarget, TArray<uint8>& OutPngBytes, FString& OutError)
{
	FTextureRenderTargetResource* Resource = RenderTarget ? RenderTarget->GameThread_GetRenderTargetResource() : nullptr;
	if (!Resource)
	{
		OutError = TEXT("the render target has no resource");
		return false;
	}
	TArray<FColor> Pixels;
	if (!Resource->ReadPixels(Pixels))
	{
		OutError = FString::Printf(TEXT("the pixels of %s could not be read"), *RenderTarget->GetPathName());
		return false;
	}
	if (!RenderTarget->IsSRGB())
	{
		EncodeLinearTexels(Pixels);
	}
	// FColor is laid out B, G, R, A: the texels as the encoder takes them.
	static_assert(sizeof(FColor) == 4);
	const FIntPoint Size = Resource->GetSizeXY();
	return CheckAndEncode(reinterpret_cast<const uint8*>(Pixels.GetData()), int64(Pixels.Num()) * 4, Size.X, Size.Y, OutPngBytes, OutError);
}

bool FPngWriter::WriteRenderTarget(const UTextureRenderTarget2D* RenderTarget, const FString& Filename)
{
	TArray<uint8> PngBytes;
	FString Error;
	if (!EncodeRenderTarget(RenderTarget, PngBytes, Error))
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot write %s: %s"), *Filename, *Error);
		return false;
	}
	return Save(PngBytes, Filename);
}
