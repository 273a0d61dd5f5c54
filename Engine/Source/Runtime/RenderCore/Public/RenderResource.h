#pragma once

// Render resources: objects that own RHI resources on the render thread. The game thread
// creates one, hands it to the render thread with BeginInitResource (InitRHI runs there) and
// takes it back with BeginReleaseResource (ReleaseRHI runs there); the object itself must live
// until the release has run, which ReleaseResourceAndFlush or a fence begun after the release
// establishes.

#include "CoreTypes.h"
#include "RHICommandList.h"
#include "RHIResources.h"

class RENDERCORE_API FRenderResource
{
public:
	FRenderResource() = default;
	virtual ~FRenderResource();
	FRenderResource(const FRenderResource&) = delete;
	FRenderResource& operator=(const FRenderResource&) = delete;

	/** Creates the RHI resources (rendering thread). */
	virtual void InitRHI(FRHICommandListImmediate& RHICmdList) {}
	/** Drops the RHI resources (rendering thread). */
	virtual void ReleaseRHI() {}

	/** Runs InitRHI unless initialized already (rendering thread). */
	void InitResource(FRHICommandListImmediate& RHICmdList);
	/** Runs ReleaseRHI if initialized (rendering thread). */
	void ReleaseResource();
	bool IsInitialized() const { return bInitialized; }

private:
	bool bInitialized = false;
};

/** Enqueues InitResource of Resource. */
RENDERCORE_API void BeginInitResource(FRenderResource* Resource);
/** Enqueues ReleaseResource of Resource. */
RENDERCORE_API void BeginReleaseResource(FRenderResource* Resource);
/** Enqueues ReleaseResource of Resource and waits until it has run (game thread). */
RENDERCORE_API void ReleaseResourceAndFlush(FRenderResource* Resource);

/** A texture as the renderer samples it: the RHI texture and its sampler. */
class RENDERCORE_API FTexture : public FRenderResource
{
public:
	FTextureRHIRef TextureRHI;
	FSamplerStateRHIRef SamplerStateRHI;

	virtual uint32 GetSizeX() const { return TextureRHI ? TextureRHI->GetSizeX() : 0; }
	virtual uint32 GetSizeY() const { return TextureRHI ? TextureRHI->GetSizeY() : 0; }

	void ReleaseRHI() override
	{
		TextureRHI.SafeRelease();
		SamplerStateRHI.SafeRelease();
	}
};
