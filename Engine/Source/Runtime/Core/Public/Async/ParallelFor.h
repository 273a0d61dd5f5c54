#pragma once

// ParallelFor: runs Body(Index) for every Index in [0, Num) on the calling thread and up to
// one worker thread per further core, each taking the next index as it finishes one. Returns
// when every call has returned. The first exception a call throws (a failed check, say) is
// rethrown on the calling thread once all workers have stopped; indices not yet taken by then
// are skipped.

#include "CoreTypes.h"

#include <functional>

enum class EParallelForFlags : uint8
{
	None = 0,
	/** Runs every index on the calling thread, in order. */
	ForceSingleThread = 1,
};

CORE_API void ParallelFor(int32 Num, const std::function<void(int32)>& Body, EParallelForFlags Flags = EParallelForFlags::None);

/** The number of threads ParallelFor uses at most: the cores of the machine, at least one. */
CORE_API int32 GetParallelForThreadCount();
