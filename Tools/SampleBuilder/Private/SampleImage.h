#pragma once

// FSampleImage: an image the builder paints in floating point, written as an 8-bit PNG. Values
// are stored as they are to be displayed (colour textures hold sRGB-encoded values, masks and
// normal maps linear ones); writing clamps each channel to [0, 1] and rounds to the nearest byte.

#include "CoreMinimal.h"
#include "Math/Color.h"

class FUVRasterizer;

class FSampleImage
{
public:
	FSampleImage(int32 InWidth, int32 InHeight, const FLinearColor& Fill = FLinearColor(0, 0, 0, 1));
	/** The rasterizer's image. */
	explicit FSampleImage(const FUVRasterizer& Rasterizer);

	int32 GetWidth() const { return Width; }
	int32 GetHeight() const { return Height; }
	FLinearColor& At(int32 X, int32 Y) { return Texels[Y * Width + X]; }
	const FLinearColor& At(int32 X, int32 Y) const { return Texels[Y * Width + X]; }

	/** The texels as 8-bit B, G, R, A bytes, row 0 first. */
	TArray<uint8> ToBGRA() const;
	/** Writes a PNG, making its folder; false with the reason in OutError. */
	bool Write(const FString& Filename, FString& OutError) const;

private:
	int32 Width;
	int32 Height;
	TArray<FLinearColor> Texels;
};
