#pragma once

// What FShaderCompiler compiles: one entry point of one HLSL file, named by its virtual path.

#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

/** The pipeline stage an entry point is compiled for. */
enum class EShaderStage : uint8
{
	Vertex,
	Pixel,
	Compute,
};

/** "vertex", "pixel" or "compute", for messages. */
SHADERCOMPILER_API const TCHAR* LexToString(EShaderStage Stage);

struct SHADERCOMPILER_API FShaderCompileInput
{
	/** The file to compile, as a virtual path resolved through the shader source directory mappings ("/Plugin/Vorpex/HCColorize.usf"). */
	FString VirtualSourcePath;
	/** The HLSL function to compile ("MainCS"); it keeps its name in the SPIR-V. */
	FString EntryPoint;
	EShaderStage Stage = EShaderStage::Compute;
	/**
	 * Preprocessor definitions, name to value, seen by the source as "#define Name Value" lines
	 * ahead of it. Names ignore letter case here, as every FString map key does, so "Foo" and
	 * "FOO" are one definition. Their order does not matter.
	 */
	TMap<FString, FString> Defines;

	FShaderCompileInput() = default;
	FShaderCompileInput(FString InVirtualSourcePath, FString InEntryPoint, EShaderStage InStage);

	/**
	 * Defines Name as Value, replacing an earlier value. A name must be an identifier and a value
	 * must stay on one line; Compile reports any other as an error rather than letting it inject
	 * preprocessor lines.
	 */
	void SetDefine(const FString& Name, const FString& Value);
	void SetDefine(const FString& Name, int32 Value);
};
