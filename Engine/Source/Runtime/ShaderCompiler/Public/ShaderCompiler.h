#pragma once

// FShaderCompiler: compiles HLSL to SPIR-V for Vulkan 1.2 (SPIR-V 1.5) with glslang's HLSL
// front end, then optimizes and validates the result with SPIRV-Tools.
//
// Sources are named by virtual paths and read through the shader source directory mappings
// (GetShaderSourceFilePath). An #include takes a virtual path ("/Plugin/Vorpex/Common.ush",
// "/Engine/Private/X.ush") or a path relative to the including file's virtual folder; both
// resolve through the same mappings, so a shader never reaches a file outside a mapped folder.
// glslang does not implement "#pragma once": guard shared headers with #ifndef. As in the
// engine, the stage is defined for the source: VERTEXSHADER, PIXELSHADER or COMPUTESHADER is 1.
// Vertex shaders keep the engine's clip space (+Y up, as in Direct3D): the compiler flips the
// output position's Y, so (-1, 1) is the top-left corner of the target under Vulkan too.
//
// Resource bindings are assigned automatically, all in descriptor set 0, each kind of resource
// in its own range so that, say, a texture and a sampler never share a binding: uniform
// buffers from 0, textures and typed buffers (SRV) from 32, samplers from 64, structured and
// byte-address buffers (read-only and writable) from 96, writable textures and typed buffers
// (UAV) from 128. An explicit register(t2) lands at 32 + 2. Two resources that end on one
// binding (a register index past its range) fail the compile. Writable textures carry no
// storage format, so RWTexture2D<float4> can write B8G8R8A8_UNORM images.
//
// Successful compiles are cached on disk, keyed by the text of the source and of every file
// it includes, the defines, the entry point, the stage and the compiler's version, so a
// repeated compile costs only the reads and a hash. The cache folder is the constructor's;
// by default the environment variable VORPEX_SHADER_CACHE, or "VorpexShaderCache" in the
// system's temporary folder when that is unset or empty. A cache file that does not read back
// whole and intact is ignored and replaced.
//
// Compile is safe to call from several threads at once, on one compiler or several.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Logging/LogMacros.h"
#include "ShaderCompileInput.h"
#include "ShaderCompileOutput.h"

#include <atomic>

SHADERCOMPILER_API DECLARE_LOG_CATEGORY_EXTERN(LogShaderCompiler, Log, All);

class SHADERCOMPILER_API FShaderCompiler
{
public:
	/** A compiler caching in GetDefaultCacheDirectory(). */
	FShaderCompiler();
	/** A compiler caching in InCacheDirectory (made on the first store); an empty folder turns caching off. */
	explicit FShaderCompiler(FString InCacheDirectory);
	FShaderCompiler(const FShaderCompiler&) = delete;
	FShaderCompiler& operator=(const FShaderCompiler&) = delete;

	/** VORPEX_SHADER_CACHE when set and not empty, else <system temporary folder>/VorpexShaderCache. */
	static FString GetDefaultCacheDirectory();
	/** Names the glslang and SPIRV-Tools builds and this compiler's settings; part of every cache key. */
	static const FString& GetVersionString();

	/**
	 * Compiles Input. Never throws for a bad shader: a failed compile returns bSucceeded false
	 * with its Errors, which are also logged once as one error on LogShaderCompiler. Cache
	 * failures only cost a recompile (an unwritable cache folder is a warning).
	 */
	FShaderCompileOutput Compile(const FShaderCompileInput& Input);

	const FString& GetCacheDirectory() const { return CacheDirectory; }
	/** Compiles answered from the cache. */
	int32 GetCacheHits() const { return CacheHits.load(); }
	/** Compiles that looked in the cache and found nothing usable (absent, stale or corrupt). */
	int32 GetCacheMisses() const { return CacheMisses.load(); }

private:
	FString CacheDirectory;
	std::atomic<int32> CacheHits = 0;
	std::atomic<int32> CacheMisses = 0;
};
