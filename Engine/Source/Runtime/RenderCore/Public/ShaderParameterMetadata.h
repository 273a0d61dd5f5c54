#pragma once

// What BEGIN_SHADER_PARAMETER_STRUCT records about a parameter struct: each member's name,
// kind, byte offset and size in the C++ struct, and the HLSL type it stands for. Shader
// parameter binding and the render graph read parameter structs through it.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "RHIDefinitions.h"

/** The kind of a parameter struct member; named as the engine names them. */
enum EUniformBufferBaseType : uint8
{
	UBMT_INVALID,
	/** SHADER_PARAMETER of int32 and the int vectors. */
	UBMT_INT32,
	/** SHADER_PARAMETER of uint32 and the uint vectors. */
	UBMT_UINT32,
	/** SHADER_PARAMETER of float, the float vectors and FLinearColor. */
	UBMT_FLOAT32,
	/** SHADER_PARAMETER_TEXTURE: an FRHITexture*. */
	UBMT_TEXTURE,
	/** SHADER_PARAMETER_SRV: an FRHIShaderResourceView*. */
	UBMT_SRV,
	/** SHADER_PARAMETER_UAV: an FRHIUnorderedAccessView*. */
	UBMT_UAV,
	/** SHADER_PARAMETER_SAMPLER: an FRHISamplerState*. */
	UBMT_SAMPLER,
	/** SHADER_PARAMETER_RDG_TEXTURE: an FRDGTextureRef sampled whole. */
	UBMT_RDG_TEXTURE,
	/** RDG_TEXTURE_ACCESS: an FRDGTextureRef used outside shaders with a fixed access (copies). */
	UBMT_RDG_TEXTURE_ACCESS,
	/** SHADER_PARAMETER_RDG_TEXTURE_SRV: an FRDGTextureSRVRef. */
	UBMT_RDG_TEXTURE_SRV,
	/** SHADER_PARAMETER_RDG_TEXTURE_UAV: an FRDGTextureUAVRef. */
	UBMT_RDG_TEXTURE_UAV,
	/** SHADER_PARAMETER_RDG_BUFFER_SRV: an FRDGBufferSRVRef. */
	UBMT_RDG_BUFFER_SRV,
	/** RENDER_TARGET_BINDING_SLOTS: the FRenderTargetBindingSlots of a raster pass. */
	UBMT_RENDER_TARGET_BINDING_SLOTS,
};

/** The macro that declares a member of that kind ("SHADER_PARAMETER_RDG_TEXTURE_SRV"), for messages. */
RENDERCORE_API const TCHAR* LexToString(EUniformBufferBaseType BaseType);

/** True for the kinds that are loose values (copied into the shader's "$Global" buffer). */
inline bool IsShaderParameterValueType(EUniformBufferBaseType BaseType)
{
	return BaseType == UBMT_INT32 || BaseType == UBMT_UINT32 || BaseType == UBMT_FLOAT32;
}

class RENDERCORE_API FShaderParametersMetadata
{
public:
	class FMember
	{
	public:
		FMember(const TCHAR* InName, const TCHAR* InShaderType, uint32 InOffset, uint32 InSize, EUniformBufferBaseType InBaseType,
			ERHIAccess InAccess)
			: Name(InName)
			, ShaderType(InShaderType)
			, Offset(InOffset)
			, Size(InSize)
			, BaseType(InBaseType)
			, Access(InAccess)
		{
		}

		/** The member's name, which is also the name the shader declares it by. */
		const TCHAR* GetName() const { return Name; }
		/** The HLSL type ("float4", "Texture2D", "RWTexture2D<float4>"); empty for render target slots. */
		const TCHAR* GetShaderType() const { return ShaderType; }
		/** Byte offset within the C++ struct. */
		uint32 GetOffset() const { return Offset; }
		/** Bytes the member occupies in the C++ struct. */
		uint32 GetSize() const { return Size; }
		EUniformBufferBaseType GetBaseType() const { return BaseType; }
		/** The access of an RDG_TEXTURE_ACCESS member; Unknown for the others. */
		ERHIAccess GetAccess() const { return Access; }

	private:
		const TCHAR* Name;
		const TCHAR* ShaderType;
		uint32 Offset;
		uint32 Size;
		EUniformBufferBaseType BaseType;
		ERHIAccess Access;
	};

	FShaderParametersMetadata(const TCHAR* InStructTypeName, uint32 InSize, TArray<FMember> InMembers)
		: StructTypeName(InStructTypeName)
		, Size(InSize)
		, Members(std::move(InMembers))
	{
	}
	FShaderParametersMetadata(const FShaderParametersMetadata&) = delete;
	FShaderParametersMetadata& operator=(const FShaderParametersMetadata&) = delete;

	/** The struct's name as declared ("FParameters"). */
	const TCHAR* GetStructTypeName() const { return StructTypeName; }
	/** sizeof the C++ struct. */
	uint32 GetSize() const { return Size; }
	/** The members in declaration order. */
	const TArray<FMember>& GetMembers() const { return Members; }
	/** The member of that name (letter case respected, as HLSL does), or null. */
	const FMember* FindMember(const FString& Name) const;

private:
	const TCHAR* StructTypeName;
	uint32 Size;
	TArray<FMember> Members;
};
