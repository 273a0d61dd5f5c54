#pragma once

// The render target pool: textures by desc, reused across render graphs. The graph
// takes its transient textures from GRenderTargetPool and returns them after Execute, so the
// next graph asking for the same descs gets the same RHI textures back (their contents
// are whatever the last user left). An element is free while the pool holds its only
// reference. TickPoolElements, which each graph execution calls once at its end, closes a use
// cycle and lets go of free elements not taken during the last UnusedTicksBeforeRelease
// cycles, so textures of sizes no longer in use do not pile up.
//
// Rendering thread only, except FreeUnusedResources, which is also safe at exit after the
// render thread has stopped.

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "RHICommandList.h"
#include "RHIResources.h"
#include "RendererInterface.h"
#include "Templates/RefCounting.h"

#include <mutex>

class RENDERCORE_API FRenderTargetPool
{
public:
	/** Use cycles a free element may stay untaken before the pool lets go of it. */
	static constexpr uint32 UnusedTicksBeforeRelease = 16;

	FRenderTargetPool() = default;
	FRenderTargetPool(const FRenderTargetPool&) = delete;
	FRenderTargetPool& operator=(const FRenderTargetPool&) = delete;

	/**
	 * Sets Out to a free element whose desc equals Desc, or to a new one made on
	 * RHICmdList with InDebugName. Returns true when an existing texture was reused. A failed
	 * check for an extent below 1 × 1 or PF_Unknown.
	 */
	bool FindFreeElement(FRHICommandList& RHICmdList, const FRHITextureDesc& Desc, TRefCountPtr<IPooledRenderTarget>& Out,
		const TCHAR* InDebugName);

	/** Ends one use cycle: releases free elements left untaken for the last UnusedTicksBeforeRelease cycles. */
	void TickPoolElements();

	/** Releases every free element now. */
	void FreeUnusedResources();

	/** Elements held, free or taken. */
	int32 GetElementCount() const;

private:
	struct FElement
	{
		TRefCountPtr<IPooledRenderTarget> RenderTarget;
		uint32 LastUsedTick = 0;
	};

	mutable std::mutex Mutex;
	TArray<FElement> Elements;
	uint32 CurrentTick = 0;
};

/** The pool of the process; never destroyed, emptied when the RHI shuts down. */
extern RENDERCORE_API FRenderTargetPool& GRenderTargetPool;

/**
 * Wraps an existing texture (not pooled) so it can be registered with a render graph; null for
 * a null texture. Name is taken for the engine's signature: the texture keeps its own debug name.
 */
RENDERCORE_API TRefCountPtr<IPooledRenderTarget> CreateRenderTarget(FRHITexture* Texture, const TCHAR* Name);
