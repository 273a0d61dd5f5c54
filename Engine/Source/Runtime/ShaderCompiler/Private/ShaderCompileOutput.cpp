#include "ShaderCompileOutput.h"

#include "Serialization/Archive.h"

const TCHAR* LexToString(EShaderResourceKind Kind)
{
	switch (Kind)
	{
	case EShaderResourceKind::UniformBuffer: return TEXT("UniformBuffer");
	case EShaderResourceKind::TextureSRV: return TEXT("TextureSRV");
	case EShaderResourceKind::BufferSRV: return TEXT("BufferSRV");
	case EShaderResourceKind::TextureUAV: return TEXT("TextureUAV");
	case EShaderResourceKind::BufferUAV: return TEXT("BufferUAV");
	case EShaderResourceKind::Sampler: return TEXT("Sampler");
	case EShaderResourceKind::TypedBufferSRV: return TEXT("TypedBufferSRV");
	case EShaderResourceKind::TypedBufferUAV: return TEXT("TypedBufferUAV");
	}
	return TEXT("Unknown");
}

const FShaderResourceBinding* FShaderCompileOutput::FindResource(const FString& Name) const
{
	for (const FShaderResourceBinding& Resource : Resources)
	{
		if (Resource.Name.Equals(Name))
		{
			return &Resource;
		}
	}
	return nullptr;
}

static FArchive& operator<<(FArchive& Ar, FShaderUniformMember& Member)
{
	return Ar << Member.Name << Member.Offset << Member.Size;
}

static FArchive& operator<<(FArchive& Ar, FShaderResourceBinding& Resource)
{
	Ar << Resource.Name << Resource.Kind << Resource.Set << Resource.Binding << Resource.ArraySize << Resource.Size << Resource.Members;
	// A loaded kind outside the enumeration means damaged data.
	if (Ar.IsLoading() && static_cast<uint8>(Resource.Kind) > static_cast<uint8>(EShaderResourceKind::TypedBufferUAV))
	{
		Ar.SetError();
	}
	return Ar;
}

FArchive& operator<<(FArchive& Ar, FShaderCompileOutput& Output)
{
	return Ar << Output.Spirv << Output.Resources << Output.ThreadGroupSize[0] << Output.ThreadGroupSize[1] << Output.ThreadGroupSize[2];
}
