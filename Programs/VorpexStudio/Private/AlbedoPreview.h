#pragma once

#include "CoreMinimal.h"
#include "Math/Color.h"

#include <vector>

class UTextureRenderTarget2D;

/** Texels scaled for the page: R, G, B, A bytes, sRGB-encoded, rows top first. */
struct FPreviewTexels
{
	int32 Width = 0;
	int32 Height = 0;
	std::vector<uint8> Texels;
};

/**
 * The page's copy of an edited albedo. The render targets are large (4096 × 4096) and the page
 * only previews them, so they are box-filtered down by a whole factor until neither side is over
 * MaxSize, averaging in linear light so that the preview keeps the albedo's brightness. The
 * read-back buffer is kept between reads: a fresh 64 MiB buffer costs more in page faults than
 * the copy into it.
 */
class FAlbedoPreview
{
public:
	static constexpr int32 MaxSize = 1024;

	/** Reads Target back from the GPU (waiting for it) and scales it. False, with OutError, when it cannot be read. */
	bool Read(const UTextureRenderTarget2D& Target, FPreviewTexels& OutPreview, FString& OutError);

	/**
	 * Scales Width × Height texels down; bLinear says the texels hold linear light (an 8-bit
	 * render target without sRGB), otherwise they are sRGB-encoded.
	 */
	static FPreviewTexels Scale(const TArray<FColor>& Texels, int32 Width, int32 Height, bool bLinear);

private:
	TArray<FColor> ReadBuffer;
};
