#pragma once

// The shader type of global shaders: a shader type with the class's ShouldCompilePermutation
// and ModifyCompilationEnvironment hooks.

#include "CoreTypes.h"
#include "ShaderPlatform.h"
#include "ShaderType.h"

class FShaderCompilerEnvironment;

/** What a global shader type is asked about before it is compiled; there are no permutations here. */
struct FGlobalShaderPermutationParameters
{
	const EShaderPlatform Platform;
	const int32 PermutationId;

	explicit FGlobalShaderPermutationParameters(EShaderPlatform InPlatform, int32 InPermutationId = 0)
		: Platform(InPlatform)
		, PermutationId(InPermutationId)
	{
	}
};

class RENDERCORE_API FGlobalShaderType : public FShaderType
{
public:
	using ShouldCompilePermutationType = bool (*)(const FGlobalShaderPermutationParameters& Parameters);
	using ModifyCompilationEnvironmentType = void (*)(const FGlobalShaderPermutationParameters& Parameters,
		FShaderCompilerEnvironment& OutEnvironment);

	FGlobalShaderType(const TCHAR* InName, const TCHAR* InSourceFilename, const TCHAR* InFunctionName, EShaderFrequency InFrequency,
		ConstructCompiledType InConstructCompiled, GetRootParametersMetadataType InGetRootParametersMetadata,
		ShouldCompilePermutationType InShouldCompilePermutation, ModifyCompilationEnvironmentType InModifyCompilationEnvironment)
		: FShaderType(InName, InSourceFilename, InFunctionName, InFrequency, InConstructCompiled, InGetRootParametersMetadata)
		, ShouldCompilePermutationFunction(InShouldCompilePermutation)
		, ModifyCompilationEnvironmentFunction(InModifyCompilationEnvironment)
	{
	}

	bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) const
	{
		return ShouldCompilePermutationFunction(Parameters);
	}

	void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment) const
	{
		ModifyCompilationEnvironmentFunction(Parameters, OutEnvironment);
	}

private:
	ShouldCompilePermutationType ShouldCompilePermutationFunction;
	ModifyCompilationEnvironmentType ModifyCompilationEnvironmentFunction;
};
