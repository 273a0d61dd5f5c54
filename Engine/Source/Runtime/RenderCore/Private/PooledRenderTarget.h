#pragma once

// The render target pool's element, also what CreateRenderTarget wraps an existing texture in.

#include "RendererInterface.h"

#include <atomic>

class FPooledRenderTarget final : public IPooledRenderTarget
{
public:
	FPooledRenderTarget(FTextureRHIRef InTexture, const FRHITextureDesc& InDesc)
		: Texture(std::move(InTexture))
		, Desc(InDesc)
	{
	}

	uint32 AddRef() const override { return ++NumRefs; }

	uint32 Release() const override
	{
		const uint32 Remaining = --NumRefs;
		if (Remaining == 0)
		{
			delete this;
		}
		return Remaining;
	}

	uint32 GetRefCount() const override { return NumRefs.load(); }
	FRHITexture* GetRHI() const override { return Texture; }
	const FRHITextureDesc& GetDesc() const override { return Desc; }

private:
	mutable std::atomic<uint32> NumRefs = 0;
	FTextureRHIRef Texture;
	/** The desc asked for, which pool lookups compare with. */
	FRHITextureDesc Desc;
};
