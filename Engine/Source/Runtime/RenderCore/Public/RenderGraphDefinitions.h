#pragma once

// The render graph's enumerations and the handles its resources go by.

#include "CoreTypes.h"
#include "Misc/EnumClassFlags.h"

/** What a pass does, which decides how its resources are transitioned and whether it opens a render pass. */
enum class ERDGPassFlags : uint8
{
	/** Records no GPU work on the resources of the graph (parameters without resources). */
	None = 0,
	/** Draws into the parameter struct's RenderTargets inside a render pass. */
	Raster = 1 << 0,
	/** Dispatches compute work; shader reads are SRVCompute, writes UAVCompute. */
	Compute = 1 << 1,
	/** Compute work; runs on the one graphics and compute queue here. */
	AsyncCompute = 1 << 2,
	/** Copies between resources declared with RDG_TEXTURE_ACCESS. */
	Copy = 1 << 3,
	/** Accepted for the engine's signature: no pass is ever culled here. */
	NeverCull = 1 << 4,
};
ENUM_CLASS_FLAGS(ERDGPassFlags)

/** How QueueBufferUpload treats the caller's data. */
enum class ERDGInitialDataFlags : uint8
{
	/** The builder copies the data at once; the caller may free it on return. */
	None = 0,
	/** The builder reads the caller's data at Execute, so the caller keeps it alive until Execute has returned. */
	NoCopy = 1 << 0,
};
ENUM_CLASS_FLAGS(ERDGInitialDataFlags)

class FRDGBuilder;
class FRDGPass;
class FRDGTexture;
class FRDGTextureSRV;
class FRDGTextureUAV;
class FRDGBuffer;
class FRDGBufferSRV;

using FRDGPassRef = const FRDGPass*;
using FRDGTextureRef = FRDGTexture*;
using FRDGTextureSRVRef = FRDGTextureSRV*;
using FRDGTextureUAVRef = FRDGTextureUAV*;
using FRDGBufferRef = FRDGBuffer*;
using FRDGBufferSRVRef = FRDGBufferSRV*;
