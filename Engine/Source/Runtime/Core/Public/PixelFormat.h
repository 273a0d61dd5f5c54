#pragma once

#include "CoreTypes.h"

/** Texel layouts of textures and render targets. */
enum EPixelFormat : uint8
{
	PF_Unknown = 0,
	PF_A32B32G32R32F = 1,
	/** 8-bit blue, green, red, alpha in that byte order: the layout of FColor. */
	PF_B8G8R8A8 = 2,
	PF_G8 = 3,
	PF_G16 = 4,
	PF_FloatRGBA = 10,
	/** A depth buffer: 32-bit float depth; there is no stencil here. */
	PF_DepthStencil = 13,
	PF_R32_FLOAT = 21,
	PF_R8G8B8A8 = 33,
	PF_MAX = 34,
};

/** Bytes per texel of the uncompressed formats; 0 for PF_Unknown. */
CORE_API int32 GetPixelFormatBytes(EPixelFormat Format);
