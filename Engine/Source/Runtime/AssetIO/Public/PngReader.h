#pragma once

#include "CoreMinimal.h"

/** Decodes PNG files into 8-bit B, G, R, A texels: the byte layout of PF_B8G8R8A8 textures. */
class ASSETIO_API FPngReader
{
public:
	/**
	 * Decodes PngBytes, of any PNG colour type and bit depth, into OutTexels: Width × Height
	 * texels, rows from the top, four bytes each. Grey becomes B = G = R; a file without alpha
	 * gets A = 255. 16-bit channels are rounded to the nearest 8-bit value (V × 255 / 65535,
	 * so 0x10F0 → 0x11), not cut to their high byte. Data
	 * without the PNG signature, a damaged or truncated file and an image too large to hold
	 * fail with the reason in OutError, leaving the other outputs alone.
	 */
	static bool DecodeBGRA(const TArray<uint8>& PngBytes, int32& OutWidth, int32& OutHeight, TArray<uint8>& OutTexels, FString& OutError);

	/**
	 * Whether the file's texels are sRGB-encoded, read from its colour chunks: an sRGB chunk
	 * says so whatever else is there; otherwise a gAMA chunk of exactly 1.0 (stored as 100000)
	 * marks linear data, and any other gamma, or no colour chunk at all, reads as sRGB, the
	 * encoding image editors save in.
	 */
	static bool IsSRGB(const TArray<uint8>& PngBytes);
};
