#include "RHICommandList.h"

FRHICommandListImmediate& FRHICommandListImmediate::Get()
{
	// Trivially destructible, so commands drained while the process exits may still use it.
	static FRHICommandListImmediate Instance;
	return Instance;
}
