#pragma once

// The render thread and render commands.
//
// ENQUEUE_RENDER_COMMAND(Name)([Captures](FRHICommandListImmediate& RHICmdList) { ... }) hands
// a command body to the render thread, which runs the bodies one at a time in the order they
// were enqueued, from whichever thread. The render thread starts on demand: with
// StartRenderingThread() or at the first command enqueued while rendering is threaded. It is
// stopped by StopRenderingThread() or when the process exits. Programs stop it before main
// returns: the exit-time stop is a fallback, since a command running while the process exits
// races the destruction of static objects (the driver's, loaded by a first command, go first).
//
// While rendering is not threaded (SetRenderingThreaded(false)) a command runs at once on the
// thread that enqueues it. A command enqueued on the render thread, or from inside a running
// command, also runs at once, nested in the caller. Apart from that nesting no two bodies ever
// run at the same time.
//
// A failed check or an exception thrown by a body is caught where the body runs, logged with
// the command's name, and raised on the game thread by the next FlushRenderingCommands or
// FRenderCommandFence::Wait as an FRenderCommandFailure. Later commands still run. Only one
// failure waits at a time: while one is pending, further failures are logged only.

#include "CoreTypes.h"
#include "RHICommandList.h"

#include <atomic>
#include <memory>
#include <type_traits>
#include <utility>

/**
 * True while commands go to the render thread, false while they run inline on the thread that
 * enqueues them. True at start-up; changed by SetRenderingThreaded only.
 */
extern RENDERCORE_API const std::atomic<bool>& GIsThreadedRendering;

/**
 * Switches between threaded and inline rendering (game thread only, never from inside a
 * command). It waits for every command enqueued before it first; switching to inline rendering
 * stops the render thread. A pending failure stays pending for the next flush or fence wait.
 */
RENDERCORE_API void SetRenderingThreaded(bool bThreaded);

/**
 * Starts the render thread unless it runs already (game thread only). A failed check while
 * rendering is not threaded, where no thread would take the commands.
 */
RENDERCORE_API void StartRenderingThread();

/**
 * Runs every queued command, including those the commands enqueue, then joins the render
 * thread (game thread only, never from inside a command). Does nothing when no thread runs. A
 * later command, while rendering is threaded, starts a fresh thread.
 */
RENDERCORE_API void StopRenderingThread();

/**
 * True on the render thread, while running a command body on any thread, and on the game
 * thread while rendering is not threaded (the game thread is then the rendering thread).
 */
RENDERCORE_API bool IsInRenderingThread();

/** True on the render thread itself only. */
RENDERCORE_API bool IsInActualRenderingThread();

/**
 * Waits until every command enqueued before it has run, then raises the pending failure of a
 * command, if any. Game thread only, never from inside a command (it would wait for itself).
 */
RENDERCORE_API void FlushRenderingCommands();

/** One enqueued command: a body and the name it was enqueued under, kept for failure reports. */
class RENDERCORE_API FRenderCommand
{
public:
	/** Name must outlive the command; ENQUEUE_RENDER_COMMAND passes a string literal. */
	explicit FRenderCommand(const TCHAR* InName)
		: Name(InName)
	{
	}
	virtual ~FRenderCommand() = default;
	FRenderCommand(const FRenderCommand&) = delete;
	FRenderCommand& operator=(const FRenderCommand&) = delete;

	const TCHAR* GetName() const { return Name; }
	virtual void Execute(FRHICommandListImmediate& RHICmdList) = 0;

private:
	const TCHAR* Name;
};

/** Queues a command; see ENQUEUE_RENDER_COMMAND. Safe on any thread. */
RENDERCORE_API void EnqueueRenderCommand(std::unique_ptr<FRenderCommand> Command);

/** A command that owns its lambda, so move-only captures (TUniquePtr) work. */
template <typename LambdaType>
class TEnqueueUniqueRenderCommandType final : public FRenderCommand
{
public:
	TEnqueueUniqueRenderCommandType(const TCHAR* InName, LambdaType&& InLambda)
		: FRenderCommand(InName)
		, Lambda(std::move(InLambda))
	{
	}

	void Execute(FRHICommandListImmediate& RHICmdList) override { Lambda(RHICmdList); }

private:
	LambdaType Lambda;
};

template <typename LambdaType>
void EnqueueUniqueRenderCommand(const TCHAR* Name, LambdaType&& Lambda)
{
	using FLambda = std::decay_t<LambdaType>;
	static_assert(std::is_invocable_v<FLambda&, FRHICommandListImmediate&>,
		"A render command body takes (FRHICommandListImmediate& RHICmdList)");
	FLambda Body(std::forward<LambdaType>(Lambda));
	EnqueueRenderCommand(std::make_unique<TEnqueueUniqueRenderCommandType<FLambda>>(Name, std::move(Body)));
}

namespace UE::RenderCore::Private
{
	/** What ENQUEUE_RENDER_COMMAND(Name) evaluates to: an expression, so it is safe as an unbraced if body. */
	struct FRenderCommandEnqueuer
	{
		const TCHAR* Name;

		template <typename LambdaType>
		void operator()(LambdaType&& Lambda) const
		{
			EnqueueUniqueRenderCommand(Name, std::forward<LambdaType>(Lambda));
		}
	};
}

#define ENQUEUE_RENDER_COMMAND(Type) ::UE::RenderCore::Private::FRenderCommandEnqueuer{TEXT(#Type)}
