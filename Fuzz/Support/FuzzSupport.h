#pragma once

// What the fuzzers share: a quiet log and inline rendering from the start (this library's
// LLVMFuzzerInitialize), bounded memory, the input as a file for readers that take a path, and
// the bundled sample project opened once per process.

#include "CoreMinimal.h"
#include "Templates/UniquePtr.h"

#include <cstddef>
#include <cstdint>

class FHostEngine;
class FVorpexHost;

namespace FuzzSupport
{
	/** Collects garbage after every Count-th call, so the objects made for earlier inputs do not pile up. */
	void CollectGarbageEvery(int32 Count);

	/** Writes Data as this process's scratch file with the given extension ("json", "glb") and gives its path. */
	FString WriteScratchFile(const uint8_t* Data, size_t Size, const TCHAR* Extension);
}

/**
 * The bundled sample project, opened the way the programs open it, once per process and kept
 * open until exit. Opening it failing ends the process with the reason: a fuzzer without its
 * project would only report false passes.
 */
class FFuzzedSample
{
public:
	static FFuzzedSample& Get();

	FHostEngine& GetEngine() const { return *Engine; }
	FVorpexHost& GetHost() const { return *Host; }

private:
	FFuzzedSample();

	TUniquePtr<FHostEngine> Engine;
	TUniquePtr<FVorpexHost> Host;
};
