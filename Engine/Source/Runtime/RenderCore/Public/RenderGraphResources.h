#pragma once

// The resources of a render graph: textures and buffers, each made from a desc, and the views
// passes bind them through. All are made and owned by an FRDGBuilder and live until it is
// destroyed. A transient resource gets its RHI resource when the graph executes, at its first
// pass, and gives it back after Execute; GetRHI() is for pass bodies, and for external
// textures at any time.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/IntPoint.h"
#include "PixelFormat.h"
#include "RHIDefinitions.h"
#include "RHIResources.h"
#include "RenderGraphDefinitions.h"
#include "RendererInterface.h"
#include "Templates/RefCounting.h"

/** What a 2-D texture is; textures of equal descs share pooled RHI textures. */
struct FRDGTextureDesc : FRHITextureDesc
{
	FRDGTextureDesc() = default;
	explicit FRDGTextureDesc(const FRHITextureDesc& Desc)
		: FRHITextureDesc(Desc)
	{
	}

	static FRDGTextureDesc Create2D(FIntPoint InExtent, EPixelFormat InFormat, FClearValueBinding InClearValue, ETextureCreateFlags InFlags,
		uint8 InNumMips = 1, uint8 InNumSamples = 1)
	{
		FRDGTextureDesc Desc;
		Desc.Extent = InExtent;
		Desc.Format = InFormat;
		Desc.ClearValue = InClearValue;
		Desc.Flags = InFlags;
		Desc.NumMips = InNumMips;
		Desc.NumSamples = InNumSamples;
		return Desc;
	}
};

class RENDERCORE_API FRDGTexture
{
public:
	FRDGTexture(const FRDGTexture&) = delete;
	FRDGTexture& operator=(const FRDGTexture&) = delete;

	const FRDGTextureDesc Desc;

	const TCHAR* GetName() const { return *Name; }
	/** Registered from outside the graph (RegisterExternalTexture) rather than made by it. */
	bool IsExternal() const { return bExternal; }
	/** The RHI texture; a failed check while the texture has none (a transient one outside Execute). */
	FRHITexture* GetRHI() const;

private:
	friend class FRDGBuilder;
	FRDGTexture(const FRDGTextureDesc& InDesc, const TCHAR* InName, TRefCountPtr<IPooledRenderTarget> InPooledRenderTarget, bool bInExternal)
		: Desc(InDesc)
		, Name(InName)
		, PooledRenderTarget(std::move(InPooledRenderTarget))
		, bExternal(bInExternal)
	{
	}

	FString Name;
	TRefCountPtr<IPooledRenderTarget> PooledRenderTarget;
	bool bExternal;
	/** Set up: the contents are defined for the passes added next (external, or written by a pass added so far). */
	bool bProduced = false;
	/** The index of the last pass that uses the texture; after it, a transient texture goes back to the pool. */
	int32 LastPassIndex = -1;
};

/** A read view of one mip of a texture. */
struct FRDGTextureSRVDesc
{
	FRDGTextureRef Texture = nullptr;
	uint8 MipLevel = 0;

	FRDGTextureSRVDesc() = default;
	FRDGTextureSRVDesc(FRDGTextureRef InTexture, uint8 InMipLevel = 0)
		: Texture(InTexture)
		, MipLevel(InMipLevel)
	{
	}

	static FRDGTextureSRVDesc Create(FRDGTextureRef InTexture) { return FRDGTextureSRVDesc(InTexture); }
	static FRDGTextureSRVDesc CreateForMipLevel(FRDGTextureRef InTexture, uint8 InMipLevel) { return FRDGTextureSRVDesc(InTexture, InMipLevel); }
};

class RENDERCORE_API FRDGTextureSRV
{
public:
	FRDGTextureSRV(const FRDGTextureSRV&) = delete;
	FRDGTextureSRV& operator=(const FRDGTextureSRV&) = delete;

	const FRDGTextureSRVDesc Desc;

	FRDGTextureRef GetParent() const { return Desc.Texture; }
	/** The RHI view; a failed check outside the execution of a pass that declares it. */
	FRHIShaderResourceView* GetRHI() const;

private:
	friend class FRDGBuilder;
	explicit FRDGTextureSRV(const FRDGTextureSRVDesc& InDesc) : Desc(InDesc) {}

	FShaderResourceViewRHIRef RHIView;
};

/** A read-write view of one mip of a texture made with TexCreate_UAV. */
struct FRDGTextureUAVDesc
{
	FRDGTextureRef Texture = nullptr;
	uint8 MipLevel = 0;

	FRDGTextureUAVDesc() = default;
	FRDGTextureUAVDesc(FRDGTextureRef InTexture, uint8 InMipLevel = 0)
		: Texture(InTexture)
		, MipLevel(InMipLevel)
	{
	}
};

class RENDERCORE_API FRDGTextureUAV
{
public:
	FRDGTextureUAV(const FRDGTextureUAV&) = delete;
	FRDGTextureUAV& operator=(const FRDGTextureUAV&) = delete;

	const FRDGTextureUAVDesc Desc;

	FRDGTextureRef GetParent() const { return Desc.Texture; }
	/** The RHI view; a failed check outside the execution of a pass that declares it. */
	FRHIUnorderedAccessView* GetRHI() const;

private:
	friend class FRDGBuilder;
	explicit FRDGTextureUAV(const FRDGTextureUAVDesc& InDesc) : Desc(InDesc) {}

	FUnorderedAccessViewRHIRef RHIView;
};

/** What a buffer is: NumElements elements of BytesPerElement bytes. */
struct FRDGBufferDesc
{
	uint32 BytesPerElement = 1;
	uint32 NumElements = 1;
	EBufferUsageFlags Usage = BUF_None;

	uint64 GetSize() const { return uint64(BytesPerElement) * NumElements; }

	/** A structured buffer that shaders read (StructuredBuffer<T>) and may write. */
	static FRDGBufferDesc CreateStructuredDesc(uint32 InBytesPerElement, uint32 InNumElements)
	{
		FRDGBufferDesc Desc;
		Desc.BytesPerElement = InBytesPerElement;
		Desc.NumElements = InNumElements;
		Desc.Usage = BUF_Static | BUF_StructuredBuffer | BUF_ShaderResource | BUF_UnorderedAccess;
		return Desc;
	}
};

class RENDERCORE_API FRDGBuffer
{
public:
	FRDGBuffer(const FRDGBuffer&) = delete;
	FRDGBuffer& operator=(const FRDGBuffer&) = delete;

	const FRDGBufferDesc Desc;

	const TCHAR* GetName() const { return *Name; }
	/** The RHI buffer; a failed check outside Execute. */
	FRHIBuffer* GetRHI() const;

private:
	friend class FRDGBuilder;
	FRDGBuffer(const FRDGBufferDesc& InDesc, const TCHAR* InName) : Desc(InDesc), Name(InName) {}

	FString Name;
	FBufferRHIRef RHIBuffer;
	/** Set up: the contents are defined from the start (an upload is queued, or the buffer is an empty one, zeroed). */
	bool bProduced = false;
	bool bUploadQueued = false;
	/** Zeroed before the first pass: an empty buffer's stand-in element. */
	bool bZeroFill = false;
	/** The queued upload: the copied bytes, or the caller's pointer for ERDGInitialDataFlags::NoCopy. */
	TArray<uint8> UploadCopy;
	const void* UploadData = nullptr;
	uint64 UploadSize = 0;
};

/** A read view of a whole structured buffer. */
struct FRDGBufferSRVDesc
{
	FRDGBufferRef Buffer = nullptr;

	FRDGBufferSRVDesc() = default;
	FRDGBufferSRVDesc(FRDGBufferRef InBuffer) : Buffer(InBuffer) {}
};

class RENDERCORE_API FRDGBufferSRV
{
public:
	FRDGBufferSRV(const FRDGBufferSRV&) = delete;
	FRDGBufferSRV& operator=(const FRDGBufferSRV&) = delete;

	const FRDGBufferSRVDesc Desc;

	FRDGBufferRef GetParent() const { return Desc.Buffer; }
	/** The RHI view; a failed check outside the execution of a pass that declares it. */
	FRHIShaderResourceView* GetRHI() const;

private:
	friend class FRDGBuilder;
	explicit FRDGBufferSRV(const FRDGBufferSRVDesc& InDesc) : Desc(InDesc) {}

	FShaderResourceViewRHIRef RHIView;
};
