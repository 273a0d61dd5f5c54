#include "ShaderType.h"

#include <cstring>
#include <mutex>

namespace
{
	struct FShaderTypeRegistry
	{
		std::mutex Mutex;
		TArray<FShaderType*> Types;
	};

	FShaderTypeRegistry& Registry()
	{
		// Never destroyed: types unregister from their destructors while static objects are torn down.
		static FShaderTypeRegistry* Instance = new FShaderTypeRegistry();
		return *Instance;
	}
}

FShaderType::FShaderType(const TCHAR* InName, const TCHAR* InSourceFilename, const TCHAR* InFunctionName, EShaderFrequency InFrequency,
	ConstructCompiledType InConstructCompiled, GetRootParametersMetadataType InGetRootParametersMetadata)
	: Name(InName)
	, SourceFilename(InSourceFilename)
	, FunctionName(InFunctionName)
	, Frequency(InFrequency)
	, ConstructCompiledFunction(InConstructCompiled)
	, GetRootParametersMetadataFunction(InGetRootParametersMetadata)
{
	FShaderTypeRegistry& Types = Registry();
	std::lock_guard Lock(Types.Mutex);
	Types.Types.Add(this);
}

FShaderType::~FShaderType()
{
	FShaderTypeRegistry& Types = Registry();
	std::lock_guard Lock(Types.Mutex);
	Types.Types.Remove(this);
}

FShaderType* FShaderType::GetShaderTypeByName(const TCHAR* TypeName)
{
	if (TypeName == nullptr)
	{
		return nullptr;
	}
	FShaderTypeRegistry& Types = Registry();
	std::lock_guard Lock(Types.Mutex);
	FShaderType* const* Found = Types.Types.FindByPredicate([TypeName](const FShaderType* Type) { return std::strcmp(Type->GetName(), TypeName) == 0; });
	return Found ? *Found : nullptr;
}

TArray<FShaderType*> FShaderType::GetShaderTypes()
{
	FShaderTypeRegistry& Types = Registry();
	std::lock_guard Lock(Types.Mutex);
	return Types.Types;
}
