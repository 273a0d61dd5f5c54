#pragma once

// FSpirvReflection: reads the resources and the thread group size of a compiled module from its
// SPIR-V words, so what is reported is exactly what the final, optimized code binds.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

struct FShaderCompileOutput;

class FSpirvReflection
{
public:
	/**
	 * Fills Output's Resources (sorted by set and binding) and ThreadGroupSize from Words.
	 * False, with the reason in OutError, for words that are not a whole SPIR-V module or for a
	 * resource of a kind this runtime cannot bind (a combined image and sampler, say).
	 */
	static bool Reflect(const TArray<uint32>& Words, FShaderCompileOutput& Output, FString& OutError);
};
