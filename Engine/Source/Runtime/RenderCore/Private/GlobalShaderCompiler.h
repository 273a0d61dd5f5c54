#pragma once

// The one shader compiler global shaders are compiled with, caching in
// FShaderCompiler::GetDefaultCacheDirectory() (VORPEX_SHADER_CACHE when set), read when it is
// first used. Its counters tell cache hits from compiles.

#include "ShaderCompiler.h"

RENDERCORE_API FShaderCompiler& GetGlobalShaderCompiler();
