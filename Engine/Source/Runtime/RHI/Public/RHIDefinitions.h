#pragma once

// The RHI's enumerations, spelled as the engine spells them.

#include "CoreTypes.h"
#include "Misc/EnumClassFlags.h"

namespace ERHIFeatureLevel
{
	enum Type : int32
	{
		ES3_1,
		SM5,
		SM6,
		Num
	};
}

enum EShaderFrequency : uint8
{
	SF_Vertex = 0,
	SF_Pixel = 5,
	SF_Compute = 6,
	SF_NumFrequencies = 7,
};

enum EPrimitiveType : uint8
{
	PT_TriangleList,
	PT_TriangleStrip,
	PT_LineList,
	PT_PointList,
};

enum EVertexElementType : uint8
{
	VET_None,
	VET_Float1,
	VET_Float2,
	VET_Float3,
	VET_Float4,
	/** Four bytes B, G, R, A read as normalized floats (R, G, B, A): the layout of FColor. */
	VET_Color,
	VET_UByte4,
	VET_UByte4N,
	VET_UInt,
};

enum ESamplerFilter : uint8
{
	SF_Point,
	SF_Bilinear,
	SF_Trilinear,
};

enum ESamplerAddressMode : uint8
{
	AM_Wrap,
	AM_Clamp,
	AM_Mirror,
	AM_Border,
};

enum EBlendOperation : uint8
{
	BO_Add,
	BO_Subtract,
	BO_Min,
	BO_Max,
	BO_ReverseSubtract,
};

enum EBlendFactor : uint8
{
	BF_Zero,
	BF_One,
	BF_SourceColor,
	BF_InverseSourceColor,
	BF_SourceAlpha,
	BF_InverseSourceAlpha,
	BF_DestAlpha,
	BF_InverseDestAlpha,
	BF_DestColor,
	BF_InverseDestColor,
};

enum EColorWriteMask : uint8
{
	CW_RED = 0x01,
	CW_GREEN = 0x02,
	CW_BLUE = 0x04,
	CW_ALPHA = 0x08,
	CW_NONE = 0,
	CW_RGB = CW_RED | CW_GREEN | CW_BLUE,
	CW_RGBA = CW_RED | CW_GREEN | CW_BLUE | CW_ALPHA,
};

enum ERasterizerFillMode : uint8
{
	FM_Point,
	FM_Wireframe,
	FM_Solid,
};

enum ERasterizerCullMode : uint8
{
	CM_None,
	CM_CW,
	CM_CCW,
};

enum ECompareFunction : uint8
{
	CF_Less,
	CF_LessEqual,
	CF_Greater,
	CF_GreaterEqual,
	CF_Equal,
	CF_NotEqual,
	CF_Never,
	CF_Always,
	/** Used by the reversed-Z depth buffers of the engine; a plain depth test here. */
	CF_DepthNearOrEqual = CF_GreaterEqual,
};

enum class ERenderTargetLoadAction : uint8
{
	ENoAction,
	ELoad,
	/** Fill with the texture's clear value first. */
	EClear,
};

/** What a render pass does with its depth target's contents first and last. */
enum class EDepthStencilTargetActions : uint8
{
	DontLoad_DontStore,
	DontLoad_StoreDepthStencil,
	ClearDepthStencil_StoreDepthStencil,
	ClearDepthStencil_DontStoreDepthStencil,
	LoadDepthStencil_StoreDepthStencil,
	LoadDepthStencil_DontStoreDepthStencil,
};

enum class ERenderTargetStoreAction : uint8
{
	ENoAction,
	EStore,
};

enum EResourceLockMode : uint8
{
	RLM_ReadOnly,
	RLM_WriteOnly,
};

enum class ETextureCreateFlags : uint32
{
	None = 0,
	RenderTargetable = 1u << 0,
	ShaderResource = 1u << 1,
	UAV = 1u << 2,
	/** Sampling converts the texels from sRGB to linear (8-bit colour formats only). */
	SRGB = 1u << 3,
	CPUReadback = 1u << 4,
	NoTiling = 1u << 5,
	/** A depth target of render passes (PF_DepthStencil). */
	DepthStencilTargetable = 1u << 6,
};
ENUM_CLASS_FLAGS(ETextureCreateFlags)

#define TexCreate_None ETextureCreateFlags::None
#define TexCreate_RenderTargetable ETextureCreateFlags::RenderTargetable
#define TexCreate_ShaderResource ETextureCreateFlags::ShaderResource
#define TexCreate_UAV ETextureCreateFlags::UAV
#define TexCreate_SRGB ETextureCreateFlags::SRGB
#define TexCreate_CPUReadback ETextureCreateFlags::CPUReadback
#define TexCreate_NoTiling ETextureCreateFlags::NoTiling
#define TexCreate_DepthStencilTargetable ETextureCreateFlags::DepthStencilTargetable

enum class EBufferUsageFlags : uint32
{
	None = 0,
	/** Written once, read many times. */
	Static = 1u << 0,
	/** Written now and then. */
	Dynamic = 1u << 1,
	/** Written every frame. */
	Volatile = 1u << 2,
	UnorderedAccess = 1u << 3,
	ByteAddressBuffer = 1u << 4,
	SourceCopy = 1u << 5,
	StructuredBuffer = 1u << 6,
	VertexBuffer = 1u << 7,
	IndexBuffer = 1u << 8,
	ShaderResource = 1u << 9,
	/** Keeps a CPU-side copy; here every buffer lives in CPU-visible memory, so it only documents intent. */
	KeepCPUAccessible = 1u << 10,
};
ENUM_CLASS_FLAGS(EBufferUsageFlags)

#define BUF_None EBufferUsageFlags::None
#define BUF_Static EBufferUsageFlags::Static
#define BUF_Dynamic EBufferUsageFlags::Dynamic
#define BUF_Volatile EBufferUsageFlags::Volatile
#define BUF_UnorderedAccess EBufferUsageFlags::UnorderedAccess
#define BUF_ByteAddressBuffer EBufferUsageFlags::ByteAddressBuffer
#define BUF_SourceCopy EBufferUsageFlags::SourceCopy
#define BUF_StructuredBuffer EBufferUsageFlags::StructuredBuffer
#define BUF_VertexBuffer EBufferUsageFlags::VertexBuffer
#define BUF_IndexBuffer EBufferUsageFlags::IndexBuffer
#define BUF_ShaderResource EBufferUsageFlags::ShaderResource
#define BUF_KeepCPUAccessible EBufferUsageFlags::KeepCPUAccessible

/** How the GPU is about to use a resource; transitions move a resource between these. */
enum class ERHIAccess : uint32
{
	Unknown = 0,
	CPURead = 1u << 0,
	VertexOrIndexBuffer = 1u << 1,
	SRVCompute = 1u << 2,
	SRVGraphics = 1u << 3,
	UAVCompute = 1u << 4,
	UAVGraphics = 1u << 5,
	RTV = 1u << 6,
	CopySrc = 1u << 7,
	CopyDest = 1u << 8,
	/** A depth target that a render pass tests against without writing. */
	DSVRead = 1u << 9,
	/** A depth target that a render pass tests and writes. */
	DSVWrite = 1u << 10,

	SRVMask = SRVCompute | SRVGraphics,
	UAVMask = UAVCompute | UAVGraphics,
};
ENUM_CLASS_FLAGS(ERHIAccess)
