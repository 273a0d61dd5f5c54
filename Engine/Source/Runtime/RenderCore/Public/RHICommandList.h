#pragma once

// The RHI's immediate command list: the one list that render commands record GPU work into,
// handed to every ENQUEUE_RENDER_COMMAND body. Only the render thread (or the thread running a
// command inline while rendering is not threaded) may use it, so it needs no lock of its own.

#include "CoreTypes.h"

class RENDERCORE_API FRHICommandListImmediate
{
public:
	/** The process's one immediate command list. */
	static FRHICommandListImmediate& Get();

	FRHICommandListImmediate(const FRHICommandListImmediate&) = delete;
	FRHICommandListImmediate& operator=(const FRHICommandListImmediate&) = delete;

private:
	FRHICommandListImmediate() = default;
};
