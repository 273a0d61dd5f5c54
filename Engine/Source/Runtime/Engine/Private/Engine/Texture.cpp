#include "Engine/Texture.h"

#include "RenderingThread.h"
#include "TextureResource.h"

#include <thread>

void UTexture::UpdateResource()
{
	// Made before the old one goes, so a failed check leaves the texture as it was.
	FTextureResource* NewResource = CreateResource();
	ReleaseResource();
	SetResource(NewResource);
	if (Resource)
	{
		BeginInitResource(Resource);
		ReleaseFence.BeginFence();
	}
}

FTextureResource* UTexture::GetResource() const
{
	return IsInRenderingThread() ? ResourceRenderThread : Resource;
}

void UTexture::SetResource(FTextureResource* NewResource)
{
	Resource = NewResource;
	ENQUEUE_RENDER_COMMAND(SetTextureResource)([this, NewResource](FRHICommandListImmediate&) { ResourceRenderThread = NewResource; });
	ReleaseFence.BeginFence();
}

void UTexture::ReleaseResource()
{
	if (!Resource)
	{
		return;
	}
	FTextureResource* OldResource = Resource;
	SetResource(nullptr);
	ENQUEUE_RENDER_COMMAND(ReleaseTextureResource)(
		[OldResource](FRHICommandListImmediate&)
		{
			OldResource->ReleaseResource();
			delete OldResource;
		});
	ReleaseFence.BeginFence();
}

void UTexture::BeginDestroy()
{
	ReleaseResource();
	// Render commands refer to this object until the fence completes. Polling instead of Wait
	// keeps a failure of some other command from being raised inside garbage collection; the
	// next flush reports it.
	while (!ReleaseFence.IsFenceComplete())
	{
		std::this_thread::yield();
	}
	Super::BeginDestroy();
}
