#include "PngWriter.h"

#include "AssetIOLog.h"
#include "Engine/Texture2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "TextureResource.h"
#include "Misc/FileHelper.h"

#include <stb_image_write.h>

namespace
{
	/** The checks shared by every entry point; logs and returns false on bad sizes. */
	bool ValidateTexels(int64 TexelByteCount, int32 Width, int32 Height)
	{
		if (Width <= 0 || Height <= 0)
		{
			UE_LOG(LogAssetIO, Warning, TEXT("Cannot encode a PNG of %d x %d texels"), Width, Height);
			return false;
		}
		// Texel arrays are indexed by int32, so the RGBA copy made for the encoder must fit in one.
		if (static_cast<int64>(Width) * Height * 4 > MAX_int32)
		{
			UE_LOG(LogAssetIO, Warning, TEXT("Cannot encode a PNG of %d x %d texels: too large"), Width, Height);
			return false;
		}
		if (TexelByteCount != static_cast<int64>(Width) * Height * 4)
		{
			UE_LOG(LogAssetIO, Warning, TEXT("Cannot encode a PNG of %d x %d texels from %lld bytes (%lld expected)"), Width, Height,
				static_cast<long long>(TexelByteCount), static_cast<long long>(Width) * Height * 4);
			return false;
		}
		return true;
	}

	bool Encode(const uint8* Texels, int32 Width, int32 Height, TArray<uint8>& OutPngBytes)
	{
		TArray<uint8> Rgba;
		Rgba.SetNumUninitialized(Width * Height * 4);
		for (int32 Offset = 0; Offset < Rgba.Num(); Offset += 4)
		{
			Rgba[Offset + 0] = Texels[Offset + 2];
			Rgba[Offset + 1] = Texels[Offset + 1];
			Rgba[Offset + 2] = Texels[Offset + 0];
			Rgba[Offset + 3] = Texels[Offset + 3];
		}
		TArray<uint8> PngBytes;
		auto AppendBytes = [](void* Context, void* Data, int Size)
		{ static_cast<TArray<uint8>*>(Context)->Append(static_cast<const uint8*>(Data), Size); };
		if (!stbi_write_png_to_func(AppendBytes, &PngBytes, Width, Height, 4, Rgba.GetData(), Width * 4))
		{
			UE_LOG(LogAssetIO, Warning, TEXT("Cannot encode a PNG of %d x %d texels"), Width, Height);
			return false;
		}
		OutPngBytes = std::move(PngBytes);
		return true;
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
	return ValidateTexels(Texels.Num(), Width, Height) && Encode(Texels.GetData(), Width, Height, OutPngBytes);
}

bool FPngWriter::WriteBGRA(const TArray<uint8>& Texels, int32 Width, int32 Height, const FString& Filename)
{
	TArray<uint8> PngBytes;
	return EncodeBGRA(Texels, Width, Height, PngBytes) && Save(PngBytes, Filename);
}

bool FPngWriter::WriteTexture(const UTexture2D* Texture, const FString& Filename)
{
	const FTexturePlatformData* Data = Texture ? Texture->GetPlatformData() : nullptr;
	if (!Data || Data->Mips.IsEmpty())
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot write %s: the texture has no texels"), *Filename);
		return false;
	}
	if (Data->PixelFormat != PF_B8G8R8A8)
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot write %s: %s is not in PF_B8G8R8A8"), *Filename, *Texture->GetPathName());
		return false;
	}
	const FTexture2DMipMap& Mip = Data->Mips[0];
	if (Mip.BulkData.IsLocked())
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot write %s: the texels of %s are locked"), *Filename, *Texture->GetPathName());
		return false;
	}
	if (!ValidateTexels(Mip.BulkData.GetBulkDataSize(), Mip.SizeX, Mip.SizeY))
	{
		return false;
	}
	TArray<uint8> PngBytes;
	const uint8* Texels = static_cast<const uint8*>(Mip.BulkData.LockReadOnly());
	const bool bEncoded = Encode(Texels, Mip.SizeX, Mip.SizeY, PngBytes);
	Mip.BulkData.Unlock();
	return bEncoded && Save(PngBytes, Filename);
}

bool FPngWriter::WriteRenderTarget(const UTextureRenderTarget2D* RenderTarget, const FString& Filename)
{
	FTextureRenderTargetResource* Resource = RenderTarget ? RenderTarget->GameThread_GetRenderTargetResource() : nullptr;
	if (!Resource)
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot write %s: the render target has no resource"), *Filename);
		return false;
	}
	TArray<FColor> Pixels;
	if (!Resource->ReadPixels(Pixels))
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot write %s: the pixels of %s could not be read"), *Filename, *RenderTarget->GetPathName());
		return false;
	}
	// FColor is laid out B, G, R, A: the texels as the encoder takes them.
	static_assert(sizeof(FColor) == 4);
	TArray<uint8> PngBytes;
	const FIntPoint Size = Resource->GetSizeXY();
	return Encode(reinterpret_cast<const uint8*>(Pixels.GetData()), Size.X, Size.Y, PngBytes) && Save(PngBytes, Filename);
}
