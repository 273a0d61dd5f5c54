#pragma once

#include "HAL/CriticalSection.h"

/** Holds a critical section for the lifetime of the scope. */
class FScopeLock
{
public:
	explicit FScopeLock(FCriticalSection* InSection) : Section(InSection) { Section->Lock(); }
	~FScopeLock() { Section->Unlock(); }
	FScopeLock(const FScopeLock&) = delete;
	FScopeLock& operator=(const FScopeLock&) = delete;

private:
	FCriticalSection* Section;
};
