#pragma once

#include "CoreTypes.h"

#include <thread>

/** The game thread: the thread that loaded the runtime (the host's main thread). */
CORE_API std::thread::id GetGameThreadId();
CORE_API bool IsInGameThread();
