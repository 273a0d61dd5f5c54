#pragma once

// The RHI's GPU resources: textures, buffers, views, samplers, shaders and fixed-function
// states. Each is reference counted (TRefCountPtr); when the last reference goes, the resource
// is not destroyed at once but queued, and the RHI destroys it after the GPU work submitted up
// to then has finished, so a reference may be dropped on any thread.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreMinimal.h"
#include "Math/IntPoint.h"
#include "PixelFormat.h"
#include "RHIDefinitions.h"
#include "ShaderCompileOutput.h"
#include "Templates/RefCounting.h"

#include <atomic>

class FRHIResource
{
public:
	FRHIResource() = default;
	FRHIResource(const FRHIResource&) = delete;
	FRHIResource& operator=(const FRHIResource&) = delete;

	uint32 AddRef() const { return ++NumRefs; }
	/** Drops a reference; the last one hands the resource to the RHI's deferred deletion. */
	RHI_API uint32 Release() const;
	uint32 GetRefCount() const { return NumRefs.load(); }

protected:
	virtual ~FRHIResource() = default;

private:
	friend class FRHIDeferredDeletion;
	mutable std::atomic<uint32> NumRefs = 0;
};

/** Value to clear to and whether one is set (a colour, or a depth for depth targets), carried by a texture for load action clear. */
struct RHI_API FClearValueBinding
{
	enum class EClearBinding : uint8
	{
		ENoneBound,
		EColorBound,
		EDepthStencilBound,
	};

	EClearBinding ColorBinding = EClearBinding::ENoneBound;
	FLinearColor Color = FLinearColor(0, 0, 0, 0);
	float Depth = 1.0f;

	FClearValueBinding() = default;
	explicit FClearValueBinding(const FLinearColor& InColor) : ColorBinding(EClearBinding::EColorBound), Color(InColor) {}
	/** A depth clear value; the stencil value is accepted for the engine's signature (there is no stencil here). */
	explicit FClearValueBinding(float DepthClearValue, uint32 StencilClearValue = 0)
		: ColorBinding(EClearBinding::EDepthStencilBound), Depth(DepthClearValue)
	{
	}

	float GetDepthClearValue() const { return Depth; }

	static const FClearValueBinding None;
	static const FClearValueBinding Black;
	static const FClearValueBinding White;
	static const FClearValueBinding Transparent;
	/** Depth 1, the far plane of a depth test that passes nearer fragments (CF_LessEqual). */
	static const FClearValueBinding DepthOne;
	static const FClearValueBinding DepthZero;

	bool operator==(const FClearValueBinding& Other) const
	{
		return ColorBinding == Other.ColorBinding && Color == Other.Color && Depth == Other.Depth;
	}
};

/** What a 2-D texture is: extent, format, usage, mips, samples and clear value. */
struct RHI_API FRHITextureDesc
{
	FIntPoint Extent = FIntPoint(1, 1);
	EPixelFormat Format = PF_Unknown;
	ETextureCreateFlags Flags = TexCreate_None;
	FClearValueBinding ClearValue;
	uint8 NumMips = 1;
	uint8 NumSamples = 1;

	bool operator==(const FRHITextureDesc& Other) const = default;
};

/** The arguments of RHICreateTexture: a description, a debug name and the first access. */
struct RHI_API FRHITextureCreateDesc : FRHITextureDesc
{
	FString DebugName;
	ERHIAccess InitialState = ERHIAccess::Unknown;

	static FRHITextureCreateDesc Create2D(const TCHAR* InDebugName, int32 SizeX, int32 SizeY, EPixelFormat InFormat);
	static FRHITextureCreateDesc Create2D(const TCHAR* InDebugName, FIntPoint InExtent, EPixelFormat InFormat);

	FRHITextureCreateDesc& SetFlags(ETextureCreateFlags InFlags) { Flags = InFlags; return *this; }
	FRHITextureCreateDesc& AddFlags(ETextureCreateFlags InFlags) { Flags |= InFlags; return *this; }
	FRHITextureCreateDesc& SetClearValue(const FClearValueBinding& InClearValue) { ClearValue = InClearValue; return *this; }
	FRHITextureCreateDesc& SetNumMips(uint8 InNumMips) { NumMips = InNumMips; return *this; }
	FRHITextureCreateDesc& SetInitialState(ERHIAccess InState) { InitialState = InState; return *this; }
};

class RHI_API FRHITexture : public FRHIResource
{
public:
	const FRHITextureDesc& GetDesc() const { return Desc; }
	FIntPoint GetSizeXY() const { return Desc.Extent; }
	uint32 GetSizeX() const { return uint32(Desc.Extent.X); }
	uint32 GetSizeY() const { return uint32(Desc.Extent.Y); }
	EPixelFormat GetFormat() const { return Desc.Format; }
	ETextureCreateFlags GetFlags() const { return Desc.Flags; }
	const FClearValueBinding& GetClearBinding() const { return Desc.ClearValue; }
	const FString& GetName() const { return Name; }
	/** The texture itself; the engine keeps a 2-D interface apart, here every texture is 2-D. */
	FRHITexture* GetTexture2D() { return this; }

	/**
	 * Changes when texels arrive from outside a shader: at creation, and with every
	 * UpdateTexture2D or CopyTexture into the texture recorded since. Revisions are unique
	 * across all textures, so an equal revision means the same texture with the same uploads;
	 * a cache of what was made from a texture compares them to tell whether it is still good.
	 * What shaders and render passes write does not count.
	 */
	uint64 GetUploadRevision() const { return UploadRevision.load(std::memory_order_relaxed); }
	/** Gives the texture a new upload revision; called by the RHI as it records a write. */
	void MarkUploaded();

protected:
	FRHITexture(const FRHITextureDesc& InDesc, FString InName) : Desc(InDesc), Name(std::move(InName)) { MarkUploaded(); }

private:
	FRHITextureDesc Desc;
	FString Name;
	std::atomic<uint64> UploadRevision = 0;
};

/** The arguments of buffer creation: a debug name. */
struct FRHIResourceCreateInfo
{
	FString DebugName;

	FRHIResourceCreateInfo() = default;
	explicit FRHIResourceCreateInfo(const TCHAR* InDebugName) : DebugName(InDebugName) {}
};

class RHI_API FRHIBuffer : public FRHIResource
{
public:
	uint32 GetSize() const { return Size; }
	/** Bytes per element of a structured buffer; 0 for the others. */
	uint32 GetStride() const { return Stride; }
	EBufferUsageFlags GetUsage() const { return Usage; }
	const FString& GetName() const { return Name; }

protected:
	FRHIBuffer(uint32 InSize, uint32 InStride, EBufferUsageFlags InUsage, FString InName)
		: Size(InSize), Stride(InStride), Usage(InUsage), Name(std::move(InName))
	{
	}

private:
	uint32 Size;
	uint32 Stride;
	EBufferUsageFlags Usage;
	FString Name;
};

/** A shader's read view of one texture mip or of a whole buffer. */
class RHI_API FRHIShaderResourceView : public FRHIResource
{
public:
	/** The viewed texture, or null for a buffer view. */
	virtual FRHITexture* GetTexture() const = 0;
	/** The viewed buffer, or null for a texture view. */
	virtual FRHIBuffer* GetBuffer() const = 0;
};

/** A shader's read-write view of one texture mip or of a whole buffer. */
class RHI_API FRHIUnorderedAccessView : public FRHIResource
{
public:
	virtual FRHITexture* GetTexture() const = 0;
	virtual FRHIBuffer* GetBuffer() const = 0;
};

struct FSamplerStateInitializerRHI
{
	ESamplerFilter Filter = SF_Point;
	ESamplerAddressMode AddressU = AM_Wrap;
	ESamplerAddressMode AddressV = AM_Wrap;
	ESamplerAddressMode AddressW = AM_Wrap;
	float MipBias = 0.0f;
	int32 MaxAnisotropy = 1;
	float MinMipLevel = 0.0f;
	float MaxMipLevel = 3.402823466e+38f;
	uint32 BorderColor = 0;
	ECompareFunction SamplerComparisonFunction = CF_Never;

	bool operator==(const FSamplerStateInitializerRHI&) const = default;
};

class RHI_API FRHISamplerState : public FRHIResource
{
public:
	const FSamplerStateInitializerRHI& GetInitializer() const { return Initializer; }

protected:
	explicit FRHISamplerState(const FSamplerStateInitializerRHI& InInitializer) : Initializer(InInitializer) {}

private:
	FSamplerStateInitializerRHI Initializer;
};

struct FBlendStateInitializerRHI
{
	struct FRenderTarget
	{
		EBlendOperation ColorBlendOp = BO_Add;
		EBlendFactor ColorSrcBlend = BF_One;
		EBlendFactor ColorDestBlend = BF_Zero;
		EBlendOperation AlphaBlendOp = BO_Add;
		EBlendFactor AlphaSrcBlend = BF_One;
		EBlendFactor AlphaDestBlend = BF_Zero;
		EColorWriteMask ColorWriteMask = CW_RGBA;

		bool operator==(const FRenderTarget&) const = default;
	};
	/** The state of render target 0; every bound target blends alike. */
	FRenderTarget RenderTarget;

	bool operator==(const FBlendStateInitializerRHI&) const = default;
};

class RHI_API FRHIBlendState : public FRHIResource
{
public:
	explicit FRHIBlendState(const FBlendStateInitializerRHI& InInitializer) : Initializer(InInitializer) {}
	const FBlendStateInitializerRHI& GetInitializer() const { return Initializer; }

private:
	FBlendStateInitializerRHI Initializer;
};

struct FRasterizerStateInitializerRHI
{
	ERasterizerFillMode FillMode = FM_Solid;
	ERasterizerCullMode CullMode = CM_None;

	bool operator==(const FRasterizerStateInitializerRHI&) const = default;
};

class RHI_API FRHIRasterizerState : public FRHIResource
{
public:
	explicit FRHIRasterizerState(const FRasterizerStateInitializerRHI& InInitializer) : Initializer(InInitializer) {}
	const FRasterizerStateInitializerRHI& GetInitializer() const { return Initializer; }

private:
	FRasterizerStateInitializerRHI Initializer;
};

struct FDepthStencilStateInitializerRHI
{
	bool bEnableDepthWrite = true;
	ECompareFunction DepthTest = CF_LessEqual;

	bool operator==(const FDepthStencilStateInitializerRHI&) const = default;
};

class RHI_API FRHIDepthStencilState : public FRHIResource
{
public:
	explicit FRHIDepthStencilState(const FDepthStencilStateInitializerRHI& InInitializer) : Initializer(InInitializer) {}
	const FDepthStencilStateInitializerRHI& GetInitializer() const { return Initializer; }

private:
	FDepthStencilStateInitializerRHI Initializer;
};

/** One vertex attribute: which stream it comes from, where in the stream's element, its type and its shader input. */
struct FVertexElement
{
	uint8 StreamIndex = 0;
	uint8 Offset = 0;
	EVertexElementType Type = VET_None;
	/** The shader input location (ATTRIBUTE<n> semantics). */
	uint8 AttributeIndex = 0;
	/** Bytes from one element of the stream to the next. */
	uint16 Stride = 0;
	/** Advance per instance instead of per vertex. */
	bool bUseInstanceIndex = false;

	FVertexElement() = default;
	FVertexElement(uint8 InStreamIndex, uint8 InOffset, EVertexElementType InType, uint8 InAttributeIndex, uint16 InStride,
		bool bInUseInstanceIndex = false)
		: StreamIndex(InStreamIndex), Offset(InOffset), Type(InType), AttributeIndex(InAttributeIndex), Stride(InStride),
		  bUseInstanceIndex(bInUseInstanceIndex)
	{
	}

	bool operator==(const FVertexElement&) const = default;
};

using FVertexDeclarationElementList = TArray<FVertexElement>;

class RHI_API FRHIVertexDeclaration : public FRHIResource
{
public:
	explicit FRHIVertexDeclaration(FVertexDeclarationElementList InElements) : Elements(std::move(InElements)) {}
	const FVertexDeclarationElementList& GetElements() const { return Elements; }

private:
	FVertexDeclarationElementList Elements;
};

/** A compiled entry point, with the resources its code binds (read from its SPIR-V). */
class RHI_API FRHIShader : public FRHIResource
{
public:
	EShaderFrequency GetFrequency() const { return Frequency; }
	const FString& GetEntryPoint() const { return EntryPoint; }
	const TArray<FShaderResourceBinding>& GetResources() const { return Resources; }
	/** The resource of that name, or null. */
	const FShaderResourceBinding* FindResource(const FString& Name) const;
	/** The uniform buffer of loose parameters ("$Global"), or null when the shader has none. */
	const FShaderResourceBinding* GetLooseParameterBuffer() const;
	const FString& GetName() const { return Name; }

protected:
	FRHIShader(EShaderFrequency InFrequency, FString InName, FString InEntryPoint, TArray<FShaderResourceBinding> InResources)
		: Frequency(InFrequency), Name(std::move(InName)), EntryPoint(std::move(InEntryPoint)), Resources(std::move(InResources))
	{
	}

private:
	EShaderFrequency Frequency;
	FString Name;
	FString EntryPoint;
	TArray<FShaderResourceBinding> Resources;
};

class RHI_API FRHIComputeShader : public FRHIShader
{
public:
	FIntVector GetThreadGroupSize() const { return ThreadGroupSize; }

protected:
	FRHIComputeShader(FString InName, FString InEntryPoint, TArray<FShaderResourceBinding> InResources, FIntVector InThreadGroupSize)
		: FRHIShader(SF_Compute, std::move(InName), std::move(InEntryPoint), std::move(InResources)), ThreadGroupSize(InThreadGroupSize)
	{
	}

private:
	FIntVector ThreadGroupSize;
};

class RHI_API FRHIVertexShader : public FRHIShader
{
protected:
	using FRHIShader::FRHIShader;
};

class RHI_API FRHIPixelShader : public FRHIShader
{
protected:
	using FRHIShader::FRHIShader;
};

/** A rectangle of texels written by an update: Width × Height texels from (SrcX, SrcY) of the source to (DestX, DestY). */
struct FUpdateTextureRegion2D
{
	uint32 DestX = 0;
	uint32 DestY = 0;
	int32 SrcX = 0;
	int32 SrcY = 0;
	uint32 Width = 0;
	uint32 Height = 0;

	FUpdateTextureRegion2D() = default;
	FUpdateTextureRegion2D(uint32 InDestX, uint32 InDestY, int32 InSrcX, int32 InSrcY, uint32 InWidth, uint32 InHeight)
		: DestX(InDestX), DestY(InDestY), SrcX(InSrcX), SrcY(InSrcY), Width(InWidth), Height(InHeight)
	{
	}
};

using FTextureRHIRef = TRefCountPtr<FRHITexture>;
using FTexture2DRHIRef = TRefCountPtr<FRHITexture>;
using FBufferRHIRef = TRefCountPtr<FRHIBuffer>;
using FShaderResourceViewRHIRef = TRefCountPtr<FRHIShaderResourceView>;
using FUnorderedAccessViewRHIRef = TRefCountPtr<FRHIUnorderedAccessView>;
using FSamplerStateRHIRef = TRefCountPtr<FRHISamplerState>;
using FBlendStateRHIRef = TRefCountPtr<FRHIBlendState>;
using FRasterizerStateRHIRef = TRefCountPtr<FRHIRasterizerState>;
using FDepthStencilStateRHIRef = TRefCountPtr<FRHIDepthStencilState>;
using FVertexDeclarationRHIRef = TRefCountPtr<FRHIVertexDeclaration>;
using FComputeShaderRHIRef = TRefCountPtr<FRHIComputeShader>;
using FVertexShaderRHIRef = TRefCountPtr<FRHIVertexShader>;
using FPixelShaderRHIRef = TRefCountPtr<FRHIPixelShader>;
