#pragma once

// Shader source directory mappings: shader code names its files by virtual paths
// ("/Plugin/Vorpex/HCBlendTexture.usf"); a module maps the virtual folder "/Plugin/Vorpex" to
// the real folder holding its shaders, usually from its StartupModule.
//
// Mappings change on the game thread only and are read from any thread: the shader compiler
// on the render thread resolves paths through GetShaderSourceFilePath, which takes the
// mappings' lock. Virtual folders compare without letter case, as the engine's do.

#include "Containers/Map.h"
#include "Containers/UnrealString.h"

/**
 * Maps the virtual folder VirtualShaderDirectory to the real folder RealShaderDirectory. Each
 * of these fails a check, leaving the mappings as they were: a call off the game thread; a
 * virtual folder that does not start with '/', ends with '/', holds a backslash or is mapped
 * already (in any letter case) to another real folder; a real folder that does not exist (a
 * mistyped folder would otherwise show up only when a shader fails to compile). Mapping a
 * virtual folder again to the real folder it has changes nothing, so a module that maps its
 * shaders at start-up can be started again after a shut-down. The real folder is stored as a
 * full path, so later changes of the current folder do not move it.
 */
SHADERCOMPILER_API void AddShaderSourceDirectoryMapping(const FString& VirtualShaderDirectory, const FString& RealShaderDirectory);

/** Every mapping, virtual folder to full real folder. Read it on the game thread, which alone changes it. */
SHADERCOMPILER_API const TMap<FString, FString>& AllShaderSourceDirectoryMappings();

/** Forgets every mapping (game thread only). */
SHADERCOMPILER_API void ResetAllShaderSourceDirectoryMappings();

/**
 * The real file that the virtual path VirtualFilePath names, through the mapping of the
 * longest virtual folder it lies in; '/' and '\' both separate its parts. "." parts are
 * dropped and ".." parts climb within the mapped folder. The file need not exist. Returns an
 * empty string, with the reason in OutErrorMessage (logged as a warning when it is null), for
 * a path that does not start with '/', lies in no mapped folder, names a mapped folder rather
 * than a file, or climbs out of its mapped folder with "..". Safe on any thread.
 */
SHADERCOMPILER_API FString GetShaderSourceFilePath(const FString& VirtualFilePath, FString* OutErrorMessage = nullptr);
