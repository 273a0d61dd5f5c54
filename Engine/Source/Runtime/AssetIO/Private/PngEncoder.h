#pragma once

// The PNG encoder behind FPngWriter: 8-bit RGBA, rows filtered "Up", image data deflated by
// zlib at its fastest level in blocks of rows, the blocks on every core. Each block is a raw
// deflate stream ending on a byte boundary (a sync flush, the last one finished), so the
// blocks joined form one valid zlib stream that any PNG reader inflates as usual; only matches
// across block boundaries are given up. The split depends on the image alone, so the same
// texels always encode to the same bytes.

#include "CoreMinimal.h"

class FPngEncoder
{
public:
	/** Encodes Width × Height B, G, R, A texels (rows from the top) into OutPngBytes; false when zlib fails. */
	static bool EncodeBGRA(const uint8* Texels, int32 Width, int32 Height, TArray<uint8>& OutPngBytes);
};
