#pragma once

// The global shader map: one compiled shader per global shader type, compiled from HLSL at
// the first lookup of the type through the process's shader compiler (with its disk cache).
//
// Lookups are safe on any thread; each type is compiled once, while other types compile in
// parallel. A type that fails to compile logs one error on LogShaders, naming the type with
// every "file:line: message" of the compiler, and stays unavailable (an empty TShaderRef):
// later lookups do not compile it again unless its source file resolves to another real file
// than before (the shader source directory mappings changed) or Empty() was called. A type
// whose ShouldCompilePermutation says no is unavailable without a message.

#include "Containers/Map.h"
#include "CoreTypes.h"
#include "RHIDefinitions.h"
#include "Shader.h"

#include <memory>
#include <mutex>

class RENDERCORE_API FGlobalShaderMap
{
public:
	FGlobalShaderMap();
	~FGlobalShaderMap();
	FGlobalShaderMap(const FGlobalShaderMap&) = delete;
	FGlobalShaderMap& operator=(const FGlobalShaderMap&) = delete;

	template <typename ShaderType>
	TShaderRef<ShaderType> GetShader() const
	{
		return TShaderRef<ShaderType>::Cast(GetShader(&ShaderType::GetStaticType()));
	}

	/** The shader of a global shader type, compiled now when this is its first lookup. */
	TShaderRef<FShader> GetShader(FShaderType* ShaderType) const;

	/**
	 * Forgets every shader and failure, so the next lookups compile again. No reference to a
	 * shader of this map may be in use, on any thread, while or after it runs.
	 */
	void Empty();

private:
	struct FEntry;
	mutable std::mutex Mutex;
	mutable TMap<const FShaderType*, std::shared_ptr<FEntry>> Entries;
};

/** The global shader map of a feature level; only GMaxRHIFeatureLevel exists here (a failed check for others). */
RENDERCORE_API FGlobalShaderMap* GetGlobalShaderMap(ERHIFeatureLevel::Type FeatureLevel);
