#include "ShaderParameterMetadata.h"

const TCHAR* LexToString(EUniformBufferBaseType BaseType)
{
	switch (BaseType)
	{
	case UBMT_INT32:
	case UBMT_UINT32:
	case UBMT_FLOAT32:
		return TEXT("SHADER_PARAMETER");
	case UBMT_TEXTURE:
		return TEXT("SHADER_PARAMETER_TEXTURE");
	case UBMT_SRV:
		return TEXT("SHADER_PARAMETER_SRV");
	case UBMT_UAV:
		return TEXT("SHADER_PARAMETER_UAV");
	case UBMT_SAMPLER:
		return TEXT("SHADER_PARAMETER_SAMPLER");
	case UBMT_RDG_TEXTURE:
		return TEXT("SHADER_PARAMETER_RDG_TEXTURE");
	case UBMT_RDG_TEXTURE_ACCESS:
		return TEXT("RDG_TEXTURE_ACCESS");
	case UBMT_RDG_TEXTURE_SRV:
		return TEXT("SHADER_PARAMETER_RDG_TEXTURE_SRV");
	case UBMT_RDG_TEXTURE_UAV:
		return TEXT("SHADER_PARAMETER_RDG_TEXTURE_UAV");
	case UBMT_RDG_BUFFER_SRV:
		return TEXT("SHADER_PARAMETER_RDG_BUFFER_SRV");
	case UBMT_RENDER_TARGET_BINDING_SLOTS:
		return TEXT("RENDER_TARGET_BINDING_SLOTS");
	case UBMT_INVALID:
		break;
	}
	return TEXT("an invalid member kind");
}

const FShaderParametersMetadata::FMember* FShaderParametersMetadata::FindMember(const FString& Name) const
{
	return Members.FindByPredicate([&Name](const FMember& Member) { return Name.Equals(Member.GetName(), ESearchCase::CaseSensitive); });
}
