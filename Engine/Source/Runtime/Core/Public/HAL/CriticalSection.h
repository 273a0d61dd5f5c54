#pragma once

#include "CoreTypes.h"

#include <mutex>

/** A recursive lock: the thread holding it may take it again. */
class FCriticalSection
{
public:
	FCriticalSection() = default;
	/** The spin count tunes busy-waiting on some platforms; this one blocks at once. */
	explicit FCriticalSection(uint32 /*SpinCount*/) {}
	FCriticalSection(const FCriticalSection&) = delete;
	FCriticalSection& operator=(const FCriticalSection&) = delete;

	void Lock() { Mutex.lock(); }
	bool TryLock() { return Mutex.try_lock(); }
	void Unlock() { Mutex.unlock(); }

private:
	std::recursive_mutex Mutex;
};
