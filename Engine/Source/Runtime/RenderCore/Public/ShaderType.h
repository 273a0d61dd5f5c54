#pragma once

// A shader type: one C++ shader class bound to an HLSL file, entry point and stage, registered
// in a process-wide list when its module loads (IMPLEMENT_GLOBAL_SHADER). Shader maps compile
// one shader of each type on demand and build it through the type.

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "RHIDefinitions.h"
#include "ShaderCompileOutput.h"

class FShader;
class FShaderType;
class FShaderParametersMetadata;

/** What a compiled shader is constructed from. */
struct FShaderCompiledShaderInitializerType
{
	const FShaderType* Type = nullptr;
	FShaderCompileOutput Output;
};

class RENDERCORE_API FShaderType
{
public:
	using CompiledShaderInitializerType = FShaderCompiledShaderInitializerType;
	using ConstructCompiledType = FShader* (*)(const CompiledShaderInitializerType& Initializer);
	using GetRootParametersMetadataType = const FShaderParametersMetadata* (*)();

	/** Registers the type; the texts must outlive it (IMPLEMENT_GLOBAL_SHADER passes literals). */
	FShaderType(const TCHAR* InName, const TCHAR* InSourceFilename, const TCHAR* InFunctionName, EShaderFrequency InFrequency,
		ConstructCompiledType InConstructCompiled, GetRootParametersMetadataType InGetRootParametersMetadata);
	/** Unregisters the type. */
	virtual ~FShaderType();
	FShaderType(const FShaderType&) = delete;
	FShaderType& operator=(const FShaderType&) = delete;

	/** The C++ class name ("FColorizeCS"). */
	const TCHAR* GetName() const { return Name; }
	/** The virtual path of the HLSL file ("/Plugin/Vorpex/Colorize.usf"). */
	const TCHAR* GetShaderFilename() const { return SourceFilename; }
	/** The entry point ("MainCS"). */
	const TCHAR* GetFunctionName() const { return FunctionName; }
	EShaderFrequency GetFrequency() const { return Frequency; }
	/** The parameter struct of SHADER_USE_PARAMETER_STRUCT, or null for a type without one. */
	const FShaderParametersMetadata* GetRootParametersMetadata() const { return GetRootParametersMetadataFunction(); }

	/** Builds the C++ shader object of this type around a successful compile. */
	FShader* ConstructCompiled(const CompiledShaderInitializerType& Initializer) const { return ConstructCompiledFunction(Initializer); }

	/** The first registered type of that name (letter case respected), or null. Any thread. */
	static FShaderType* GetShaderTypeByName(const TCHAR* TypeName);
	/** Every registered type, in registration order. Any thread. */
	static TArray<FShaderType*> GetShaderTypes();

private:
	const TCHAR* Name;
	const TCHAR* SourceFilename;
	const TCHAR* FunctionName;
	EShaderFrequency Frequency;
	ConstructCompiledType ConstructCompiledFunction;
	GetRootParametersMetadataType GetRootParametersMetadataFunction;
};
