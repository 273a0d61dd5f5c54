#pragma once

// Shader parameter structs, declared with the engine's macros:
//
//   BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
//       SHADER_PARAMETER(FVector4f, Color)
//       SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, InputTexture)
//       SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, OutputTexture)
//       RENDER_TARGET_BINDING_SLOTS()
//   END_SHADER_PARAMETER_STRUCT()
//
// The struct stays a plain standard-layout aggregate whose members start value-initialised
// (zero, null). Alongside it the macros record each member's name, kind, offset, size and
// HLSL type: FParameters::FTypeInfo::GetStructMetadata(). The C++ layout need not follow HLSL
// packing: binding copies each member to the offset the shader's reflection gives it.
//
// Each member macro closes the previous member's tag typedef and adds a static function,
// overloaded on the new tag, that appends its member after calling the previous member's; so
// END_SHADER_PARAMETER_STRUCT can collect the members in declaration order with plain calls.

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Math/Color.h"
#include "Math/IntPoint.h"
#include "Math/IntVector.h"
#include "Math/Vector.h"
#include "Math/Vector2D.h"
#include "Math/Vector4.h"
#include "Misc/AssertionMacros.h"
#include "RHIDefinitions.h"
#include "RenderGraphDefinitions.h"
#include "ShaderParameterMetadata.h"

#include <cstddef>
#include <type_traits>

class FRHITexture;
class FRHIShaderResourceView;
class FRHIUnorderedAccessView;
class FRHISamplerState;

/** The kind and HLSL type of a SHADER_PARAMETER value type; only the types below are accepted. */
template <typename T>
struct TShaderParameterTypeInfo;

#define UE_SHADER_PARAMETER_VALUE_TYPE(CppType, Kind, HlslType) \
	template <> \
	struct TShaderParameterTypeInfo<CppType> \
	{ \
		static constexpr EUniformBufferBaseType BaseType = Kind; \
		static const TCHAR* GetShaderType() { return TEXT(HlslType); } \
	}

UE_SHADER_PARAMETER_VALUE_TYPE(float, UBMT_FLOAT32, "float");
UE_SHADER_PARAMETER_VALUE_TYPE(int32, UBMT_INT32, "int");
UE_SHADER_PARAMETER_VALUE_TYPE(uint32, UBMT_UINT32, "uint");
UE_SHADER_PARAMETER_VALUE_TYPE(FVector2f, UBMT_FLOAT32, "float2");
UE_SHADER_PARAMETER_VALUE_TYPE(FVector3f, UBMT_FLOAT32, "float3");
UE_SHADER_PARAMETER_VALUE_TYPE(FVector4f, UBMT_FLOAT32, "float4");
UE_SHADER_PARAMETER_VALUE_TYPE(FLinearColor, UBMT_FLOAT32, "float4");
UE_SHADER_PARAMETER_VALUE_TYPE(FIntPoint, UBMT_INT32, "int2");
UE_SHADER_PARAMETER_VALUE_TYPE(FIntVector, UBMT_INT32, "int3");
UE_SHADER_PARAMETER_VALUE_TYPE(FIntVector4, UBMT_INT32, "int4");
UE_SHADER_PARAMETER_VALUE_TYPE(FUintVector4, UBMT_UINT32, "uint4");

#undef UE_SHADER_PARAMETER_VALUE_TYPE

/** A texture a pass uses outside shaders, with the access it needs (RDG_TEXTURE_ACCESS). */
class FRDGTextureAccess
{
public:
	FRDGTextureAccess() = default;
	FRDGTextureAccess(FRDGTextureRef InTexture, ERHIAccess InAccess)
		: Texture(InTexture)
		, Access(InAccess)
	{
	}

	/** Sets the texture, keeping the access the member was declared with. */
	FRDGTextureAccess& operator=(FRDGTextureRef InTexture)
	{
		Texture = InTexture;
		return *this;
	}

	FRDGTextureRef GetTexture() const { return Texture; }
	ERHIAccess GetAccess() const { return Access; }
	operator FRDGTextureRef() const { return Texture; }
	FRDGTextureRef operator->() const { return Texture; }

private:
	FRDGTextureRef Texture = nullptr;
	ERHIAccess Access = ERHIAccess::Unknown;
};

/** One colour target of a raster pass: a texture, what to do with its contents first, and its mip. */
class FRenderTargetBinding
{
public:
	FRenderTargetBinding() = default;
	FRenderTargetBinding(FRDGTextureRef InTexture, ERenderTargetLoadAction InLoadAction, uint8 InMipIndex = 0)
		: Texture(InTexture)
		, LoadAction(InLoadAction)
		, MipIndex(InMipIndex)
	{
	}

	FRDGTextureRef GetTexture() const { return Texture; }
	ERenderTargetLoadAction GetLoadAction() const { return LoadAction; }
	uint8 GetMipIndex() const { return MipIndex; }

	void SetTexture(FRDGTextureRef InTexture) { Texture = InTexture; }
	void SetLoadAction(ERenderTargetLoadAction InLoadAction) { LoadAction = InLoadAction; }
	void SetMipIndex(uint8 InMipIndex) { MipIndex = InMipIndex; }

private:
	FRDGTextureRef Texture = nullptr;
	ERenderTargetLoadAction LoadAction = ERenderTargetLoadAction::ENoAction;
	uint8 MipIndex = 0;
};

/**
 * The depth target of a raster pass: a PF_DepthStencil texture made with
 * TexCreate_DepthStencilTargetable, of the colour targets' extent, which the pass tests and writes.
 */
class FDepthStencilBinding
{
public:
	FDepthStencilBinding() = default;
	FDepthStencilBinding(FRDGTextureRef InTexture, ERenderTargetLoadAction InDepthLoadAction)
		: Texture(InTexture)
		, DepthLoadAction(InDepthLoadAction)
	{
	}

	FRDGTextureRef GetTexture() const { return Texture; }
	ERenderTargetLoadAction GetDepthLoadAction() const { return DepthLoadAction; }

	void SetTexture(FRDGTextureRef InTexture) { Texture = InTexture; }
	void SetDepthLoadAction(ERenderTargetLoadAction InDepthLoadAction) { DepthLoadAction = InDepthLoadAction; }

private:
	FRDGTextureRef Texture = nullptr;
	ERenderTargetLoadAction DepthLoadAction = ERenderTargetLoadAction::ENoAction;
};

/** The targets of a raster pass (RENDER_TARGET_BINDING_SLOTS): colour targets bound from slot 0 without gaps, and an optional depth target. */
struct FRenderTargetBindingSlots
{
	static constexpr int32 Num = 8;

	FRenderTargetBinding Output[Num];
	FDepthStencilBinding DepthStencil;

	FRenderTargetBinding& operator[](int32 Index)
	{
		checkf(Index >= 0 && Index < Num, TEXT("FRenderTargetBindingSlots: Slot %d is out of range (0 to %d)"), Index, Num - 1);
		return Output[Index];
	}
	const FRenderTargetBinding& operator[](int32 Index) const
	{
		checkf(Index >= 0 && Index < Num, TEXT("FRenderTargetBindingSlots: Slot %d is out of range (0 to %d)"), Index, Num - 1);
		return Output[Index];
	}
};

#define BEGIN_SHADER_PARAMETER_STRUCT(StructTypeName, PrefixKeywords) \
	struct PrefixKeywords StructTypeName \
	{ \
	public: \
		struct FTypeInfo \
		{ \
			static const FShaderParametersMetadata* GetStructMetadata() \
			{ \
				static const FShaderParametersMetadata Metadata(TEXT(#StructTypeName), uint32(sizeof(StructTypeName)), StructTypeName::zzGetMembers()); \
				return &Metadata; \
			} \
		}; \
\
	private: \
		using zzTThisStruct = StructTypeName; \
		struct zzFirstMemberId \
		{ \
		}; \
		static void zzAppendMember(zzFirstMemberId, TArray<FShaderParametersMetadata::FMember>&) {} \
		typedef zzFirstMemberId

#define INTERNAL_SHADER_PARAMETER_MEMBER(BaseType, ShaderTypeText, MemberType, MemberName, MemberAccess, MemberInitializer) \
	zzMemberId##MemberName; \
\
public: \
	MemberType MemberName MemberInitializer; \
\
private: \
	struct zzNextMemberId##MemberName \
	{ \
	}; \
	static void zzAppendMember(zzNextMemberId##MemberName, TArray<FShaderParametersMetadata::FMember>& Members) \
	{ \
		zzAppendMember(zzMemberId##MemberName(), Members); \
		Members.Add(FShaderParametersMetadata::FMember(TEXT(#MemberName), ShaderTypeText, uint32(offsetof(zzTThisStruct, MemberName)), \
			uint32(sizeof(MemberType)), BaseType, MemberAccess)); \
	} \
	typedef zzNextMemberId##MemberName

#define END_SHADER_PARAMETER_STRUCT() \
	zzLastMemberId; \
	static TArray<FShaderParametersMetadata::FMember> zzGetMembers() \
	{ \
		static_assert(std::is_standard_layout_v<zzTThisStruct>, "A shader parameter struct must stay standard-layout"); \
		static_assert(std::is_aggregate_v<zzTThisStruct>, "A shader parameter struct must stay an aggregate"); \
		TArray<FShaderParametersMetadata::FMember> Members; \
		zzAppendMember(zzLastMemberId(), Members); \
		return Members; \
	} \
\
public: \
	};

/** A loose value: float, int32, uint32, FVector2f/3f/4f, FLinearColor, FIntPoint, FIntVector, FIntVector4, FUintVector4. */
#define SHADER_PARAMETER(MemberType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(TShaderParameterTypeInfo<MemberType>::BaseType, TShaderParameterTypeInfo<MemberType>::GetShaderType(), \
		MemberType, MemberName, ERHIAccess::Unknown, {})

#define SHADER_PARAMETER_TEXTURE(ShaderType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_TEXTURE, TEXT(#ShaderType), FRHITexture*, MemberName, ERHIAccess::Unknown, {})
#define SHADER_PARAMETER_SRV(ShaderType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_SRV, TEXT(#ShaderType), FRHIShaderResourceView*, MemberName, ERHIAccess::Unknown, {})
#define SHADER_PARAMETER_UAV(ShaderType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_UAV, TEXT(#ShaderType), FRHIUnorderedAccessView*, MemberName, ERHIAccess::Unknown, {})
#define SHADER_PARAMETER_SAMPLER(ShaderType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_SAMPLER, TEXT(#ShaderType), FRHISamplerState*, MemberName, ERHIAccess::Unknown, {})

#define SHADER_PARAMETER_RDG_TEXTURE(ShaderType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_RDG_TEXTURE, TEXT(#ShaderType), FRDGTextureRef, MemberName, ERHIAccess::Unknown, {})
#define SHADER_PARAMETER_RDG_TEXTURE_SRV(ShaderType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_RDG_TEXTURE_SRV, TEXT(#ShaderType), FRDGTextureSRVRef, MemberName, ERHIAccess::Unknown, {})
#define SHADER_PARAMETER_RDG_TEXTURE_UAV(ShaderType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_RDG_TEXTURE_UAV, TEXT(#ShaderType), FRDGTextureUAVRef, MemberName, ERHIAccess::Unknown, {})
#define SHADER_PARAMETER_RDG_BUFFER_SRV(ShaderType, MemberName) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_RDG_BUFFER_SRV, TEXT(#ShaderType), FRDGBufferSRVRef, MemberName, ERHIAccess::Unknown, {})

/** A texture used by the pass's own commands (a copy) with a fixed access such as ERHIAccess::CopySrc. */
#define RDG_TEXTURE_ACCESS(MemberName, Access) \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_RDG_TEXTURE_ACCESS, TEXT(""), FRDGTextureAccess, MemberName, Access, = FRDGTextureAccess(nullptr, Access))

/** The colour targets of a raster pass, as the member RenderTargets. */
#define RENDER_TARGET_BINDING_SLOTS() \
	INTERNAL_SHADER_PARAMETER_MEMBER(UBMT_RENDER_TARGET_BINDING_SLOTS, TEXT(""), FRenderTargetBindingSlots, RenderTargets, ERHIAccess::RTV, {})
