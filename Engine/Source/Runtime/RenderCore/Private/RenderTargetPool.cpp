#include "RenderTargetPool.h"

#include "Misc/AssertionMacros.h"
#include "PooledRenderTarget.h"

FRenderTargetPool& GRenderTargetPool = *new FRenderTargetPool();

namespace
{
	/** The pool's reference is the only one: no graph or caller holds the element. */
	bool IsFree(const TRefCountPtr<IPooledRenderTarget>& RenderTarget)
	{
		return RenderTarget->GetRefCount() == 1;
	}
}

bool FRenderTargetPool::FindFreeElement(FRHICommandList& RHICmdList, const FRHITextureDesc& Desc, TRefCountPtr<IPooledRenderTarget>& Out,
	const TCHAR* InDebugName)
{
	checkf(Desc.Extent.X > 0 && Desc.Extent.Y > 0, TEXT("FRenderTargetPool: '%s' has extent %d x %d; a texture is at least 1 x 1"),
		InDebugName, Desc.Extent.X, Desc.Extent.Y);
	checkf(Desc.Format != PF_Unknown, TEXT("FRenderTargetPool: '%s' has no pixel format"), InDebugName);

	std::lock_guard Lock(Mutex);
	for (FElement& Element : Elements)
	{
		if (IsFree(Element.RenderTarget) && Element.RenderTarget->GetDesc() == Desc)
		{
			Element.LastUsedTick = CurrentTick;
			Out = Element.RenderTarget;
			return true;
		}
	}

	FRHITextureCreateDesc CreateDesc;
	static_cast<FRHITextureDesc&>(CreateDesc) = Desc;
	CreateDesc.DebugName = InDebugName;
	TRefCountPtr<IPooledRenderTarget> Created(new FPooledRenderTarget(RHICmdList.CreateTexture(CreateDesc), Desc));
	Elements.Add(FElement{Created, CurrentTick});
	Out = Created;
	return false;
}

void FRenderTargetPool::TickPoolElements()
{
	std::lock_guard Lock(Mutex);
	++CurrentTick;
	for (FElement& Element : Elements)
	{
		// Held across ticks counts as used, so an element let go after a long use is not released at once.
		if (!IsFree(Element.RenderTarget))
		{
			Element.LastUsedTick = CurrentTick;
		}
	}
	// An element taken since the last tick carries the tick count of then, so the tick that ends its
	// use makes the difference 1; more than the limit means that many ticks went by without it.
	Elements.RemoveAll([this](const FElement& Element) { return CurrentTick - Element.LastUsedTick > UnusedTicksBeforeRelease; });
}

void FRenderTargetPool::FreeUnusedResources()
{
	std::lock_guard Lock(Mutex);
	Elements.RemoveAll([](const FElement& Element) { return IsFree(Element.RenderTarget); });
}

int32 FRenderTargetPool::GetElementCount() const
{
	std::lock_guard Lock(Mutex);
	return Elements.Num();
}

TRefCountPtr<IPooledRenderTarget> CreateRenderTarget(FRHITexture* Texture, const TCHAR* Name)
{
	if (Texture == nullptr)
	{
		return nullptr;
	}
	return TRefCountPtr<IPooledRenderTarget>(new FPooledRenderTarget(Texture, Texture->GetDesc()));
}
