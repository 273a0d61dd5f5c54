#pragma once

// A marker in the stream of render commands: BeginFence enqueues it, and the fence completes
// once the render thread reaches it, that is once every command enqueued before it has run.

#include "CoreTypes.h"

#include <atomic>
#include <memory>

class RENDERCORE_API FRenderCommandFence
{
public:
	/**
	 * Enqueues the marker (any thread). Beginning again forgets the earlier marker. While
	 * rendering is not threaded the fence completes at once, unless it is begun from inside a
	 * command, whose later commands run when it returns.
	 */
	void BeginFence();

	/** True once the marker has been reached, and for a fence never begun. */
	bool IsFenceComplete() const;

	/**
	 * Blocks until the fence completes; returns at once for a fence never begun. On the game
	 * thread it then raises the pending failure of a command, if any. Waiting from inside a
	 * command for a fence that has not completed is a failed check: the marker could only be
	 * reached after the waiting command returns.
	 */
	void Wait() const;

private:
	/** Shared with the enqueued marker, so destroying a fence before it completes is safe. */
	std::shared_ptr<std::atomic<bool>> Completed;
};
