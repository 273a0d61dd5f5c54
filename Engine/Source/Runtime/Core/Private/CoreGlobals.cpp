#include "CoreGlobals.h"

namespace
{
	// Captured while the runtime's static objects are built, which happens on the main thread.
	const std::thread::id GameThreadId = std::this_thread::get_id();
}

std::thread::id GetGameThreadId()
{
	return GameThreadId;
}

bool IsInGameThread()
{
	return std::this_thread::get_id() == GameThreadId;
}
