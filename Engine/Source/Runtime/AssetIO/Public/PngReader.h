#pragma once

#include "CoreMinimal.h"

/** Decodes PNG files into 8-bit B, G, R, A texels: the byte layout of PF_B8G8R8A8 textures. */
class ASSETIO_API FPngReader
{
public:
	/**
	 * Decodes PngBytes, of any PNG colour type and bit depth (16-bit channels are reduced to
	 * 8), into OutTexels: Width × Height texels, rows from the top, four bytes each. Data
	 * without the PNG signature, a damaged or truncated file and an image too large to hold
	 * fail with the reason in OutError, leaving the other outputs alone.
	 */
	static bool DecodeBGRA(const TArray<uint8>& PngBytes, int32& OutWidth, int32& OutHeight, TArray<uint8>& OutTexels, FString& OutError);
};
