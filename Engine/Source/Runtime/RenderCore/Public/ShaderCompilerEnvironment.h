#pragma once

// The preprocessor definitions a shader type's ModifyCompilationEnvironment adds to its
// compile. Each value is written as HLSL reads it: integers in decimal, floats as float
// literals that read back to the same value, bools as 1 or 0, text as given.

#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

class RENDERCORE_API FShaderCompilerEnvironment
{
public:
	/** Defines Name as Value, replacing an earlier value; the compile rejects names that are not identifiers. */
	void SetDefine(const TCHAR* Name, const TCHAR* Value);
	void SetDefine(const TCHAR* Name, const FString& Value);
	void SetDefine(const TCHAR* Name, int32 Value);
	void SetDefine(const TCHAR* Name, uint32 Value);
	/** A failed check for infinities and NaN, which HLSL has no literal for. */
	void SetDefine(const TCHAR* Name, float Value);
	void SetDefine(const TCHAR* Name, bool Value);

	/** Name to value, as FShaderCompileInput::Defines takes them. */
	const TMap<FString, FString>& GetDefinitions() const { return Definitions; }

private:
	TMap<FString, FString> Definitions;
};
