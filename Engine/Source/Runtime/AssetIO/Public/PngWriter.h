#pragma once

#include "CoreMinimal.h"

class UTexture2D;
class UTextureRenderTarget2D;

/**
 * Encodes 8-bit B, G, R, A texels (the byte layout of PF_B8G8R8A8 textures) as 8-bit RGBA
 * PNG files. Bad input (sizes that do not match the texels, a texture of another format or
 * without texels) fails with a warning on LogAssetIO, and nothing is written.
 */
class ASSETIO_API FPngWriter
{
public:
	/** Encodes Width × Height texels, rows from the top, into OutPngBytes (replaced only on success). */
	static bool EncodeBGRA(const TArray<uint8>& Texels, int32 Width, int32 Height, TArray<uint8>& OutPngBytes);
	/** Encodes the texels and saves them as Filename, replacing it as a whole (FFileHelper::SaveArrayToFile). */
	static bool WriteBGRA(const TArray<uint8>& Texels, int32 Width, int32 Height, const FString& Filename);
	/**
	 * Encodes mip 0 of a PF_B8G8R8A8 texture into OutPngBytes (replaced only on success); a mip
	 * locked for writing is refused, as its bytes may be half-made. Nothing is logged: a refusal
	 * gives false with the reason in OutError.
	 */
	static bool EncodeTexture(const UTexture2D* Texture, TArray<uint8>& OutPngBytes, FString& OutError);
	/** Writes mip 0 of the texture as EncodeTexture encodes it. */
	static bool WriteTexture(const UTexture2D* Texture, const FString& Filename);
	/**
	 * Reads back an 8-bit four-channel render target (game thread; waits for the GPU) and
	 * encodes its texels into OutPngBytes (replaced only on success) as PNG files hold colour,
	 * sRGB-encoded: those of an sRGB target as they are stored, those of any other (which hold
	 * linear light, as the image processors write them) encoded on the way; alpha as stored. A target without a resource or of another format gives false
	 * with the reason in OutError; nothing is logged.
	 */
	static bool EncodeRenderTarget(const UTextureRenderTarget2D* RenderTarget, TArray<uint8>& OutPngBytes, FString& OutError);
	/** Writes the render target's texels as EncodeRenderTarget encodes them. */
	static bool WriteRenderTarget(const UTextureRenderTarget2D* RenderTarget, const FString& Filename);
};
