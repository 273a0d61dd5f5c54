#pragma once

// Where RHI resources go when their last reference is dropped. While the RHI runs they wait in
// a list, guarded by a lock because references are dropped on any thread, until the rendering
// thread has waited for the GPU work submitted so far (SubmitCommandsAndFlushGPU, RHIExit):
// work recorded before the drop may still use them. While the RHI is not running, nothing can
// use them and they are deleted at once.

#include "RHIResources.h"

class FRHIDeferredDeletion
{
public:
	/** Takes a resource whose count reached zero. */
	static void Enqueue(const FRHIResource* Resource);

	/**
	 * Deletes every queued resource, and those their deletion releases in turn. Rendering thread
	 * only, with no GPU work outstanding.
	 */
	static void ProcessPending();

	/** From now on dropped resources wait for ProcessPending (the RHI has started). */
	static void StartDeferring();
	/** From now on dropped resources are deleted at once; deletes what waits (the RHI stops). */
	static void StopDeferring();

	static int32 GetNumPending();
};
