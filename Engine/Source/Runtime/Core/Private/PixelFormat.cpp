#include "PixelFormat.h"

int32 GetPixelFormatBytes(EPixelFormat Format)
{
	switch (Format)
	{
	case PF_A32B32G32R32F: return 16;
	case PF_B8G8R8A8: return 4;
	case PF_G8: return 1;
	case PF_G16: return 2;
	case PF_FloatRGBA: return 8;
	case PF_R32_FLOAT: return 4;
	case PF_DepthStencil: return 4;
	case PF_R8G8B8A8: return 4;
	default: return 0;
	}
}
