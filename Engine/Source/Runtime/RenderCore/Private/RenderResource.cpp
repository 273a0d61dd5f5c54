#include "RenderResource.h"

#include "Logging/LogMacros.h"
#include "Misc/AssertionMacros.h"
#include "RenderCommandFence.h"
#include "RenderingThread.h"

FRenderResource::~FRenderResource()
{
	// Owners release first; a resource destroyed while initialized drops its RHI references
	// with it, which is safe, but shows an owner that skipped its release. Logged, not checked:
	// destructors must not throw.
	if (bInitialized)
	{
		UE_LOG(LogTemp, Error, TEXT("A render resource was destroyed without being released"));
	}
}

void FRenderResource::InitResource(FRHICommandListImmediate& RHICmdList)
{
	check(IsInRenderingThread());
	if (!bInitialized)
	{
		InitRHI(RHICmdList);
		bInitialized = true;
	}
}

void FRenderResource::ReleaseResource()
{
	check(IsInRenderingThread());
	if (bInitialized)
	{
		ReleaseRHI();
		bInitialized = false;
	}
}

void BeginInitResource(FRenderResource* Resource)
{
	ENQUEUE_RENDER_COMMAND(InitCommand)([Resource](FRHICommandListImmediate& RHICmdList) { Resource->InitResource(RHICmdList); });
}

void BeginReleaseResource(FRenderResource* Resource)
{
	ENQUEUE_RENDER_COMMAND(ReleaseCommand)([Resource](FRHICommandListImmediate&) { Resource->ReleaseResource(); });
}

void ReleaseResourceAndFlush(FRenderResource* Resource)
{
	BeginReleaseResource(Resource);
	FRenderCommandFence Fence;
	Fence.BeginFence();
	Fence.Wait();
}
