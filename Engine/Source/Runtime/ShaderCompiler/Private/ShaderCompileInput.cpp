#include "ShaderCompileInput.h"

const TCHAR* LexToString(EShaderStage Stage)
{
	switch (Stage)
	{
	case EShaderStage::Vertex: return TEXT("vertex");
	case EShaderStage::Pixel: return TEXT("pixel");
	case EShaderStage::Compute: return TEXT("compute");
	}
	return TEXT("unknown");
}

FShaderCompileInput::FShaderCompileInput(FString InVirtualSourcePath, FString InEntryPoint, EShaderStage InStage)
	: VirtualSourcePath(std::move(InVirtualSourcePath))
	, EntryPoint(std::move(InEntryPoint))
	, Stage(InStage)
{
}

void FShaderCompileInput::SetDefine(const FString& Name, const FString& Value)
{
	Defines.Add(Name, Value);
}

void FShaderCompileInput::SetDefine(const FString& Name, int32 Value)
{
	Defines.Add(Name, FString::FromInt(Value));
}
