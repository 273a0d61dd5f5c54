#pragma once

// IPooledRenderTarget: a reference-counted holder of one RHI texture, as the render target
// pool hands them out (RenderTargetPool.h) and as the render graph registers external ones.

#include "CoreTypes.h"
#include "RHIResources.h"

class IPooledRenderTarget
{
public:
	virtual ~IPooledRenderTarget() = default;

	virtual uint32 AddRef() const = 0;
	/** Drops a reference; the last one destroys the holder (the texture goes to the RHI's deferred deletion). */
	virtual uint32 Release() const = 0;
	virtual uint32 GetRefCount() const = 0;

	/** The texture. */
	virtual FRHITexture* GetRHI() const = 0;
	/** What the texture is (extent, format, flags, clear value). */
	virtual const FRHITextureDesc& GetDesc() const = 0;
};
