#include "RenderingThread.h"

#include "CoreGlobals.h"
#include "GlobalShaderMap.h"
#include "Logging/LogMacros.h"
#include "Misc/AssertionMacros.h"
#include "RHI.h"
#include "RenderCommandFailure.h"
#include "RenderCommandFence.h"
#include "RenderTargetPool.h"
#include "RenderingThreadPrivate.h"

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

DEFINE_LOG_CATEGORY_STATIC(LogRendering, Log, All);

namespace
{
	using FCommandQueue = std::deque<std::unique_ptr<FRenderCommand>>;

	struct FFailureRecord
	{
		std::string CommandName;
		std::string Expression;
		std::string Message;
		const char* File;
		int32 Line;
		std::string Description;
	};

	struct FRenderingState
	{
		/** Guards the queue and the thread's fields, and orders mode switches against enqueues. */
		std::mutex Mutex;
		std::condition_variable QueueChanged;
		FCommandQueue Queue;
		std::thread Thread;
		/**
		 * A render thread runs and takes commands. Only the render thread clears it, once a stop
		 * is requested and its queue is empty, so no command is queued after it drained and no
		 * inline command runs before its last command returned.
		 */
		bool bThreadAccepting = false;
		bool bStopRequested = false;

		/**
		 * Held while commands run inline, so bodies enqueued on several threads never overlap
		 * (they all record into the one immediate command list). Taken after Mutex, never before.
		 */
		std::mutex InlineExecutionMutex;

		std::mutex FailureMutex;
		std::optional<FFailureRecord> PendingFailure;
	};

	FRenderingState& State()
	{
		// Never destroyed: the render thread and the exit hook use it while static objects are torn down.
		static FRenderingState* Instance = new FRenderingState();
		return *Instance;
	}

	// Constant-initialised, so it reads correctly from other static initialisers.
	std::atomic<bool> ThreadedRendering{true};

	thread_local bool bIsRenderThread = false;
	thread_local const FRenderCommand* CurrentCommand = nullptr;

	void RecordFailure(const TCHAR* CommandName, std::string Expression, std::string Message, const char* File, int32 Line,
		std::string Description)
	{
		FRenderingState& S = State();
		std::optional<std::string> EarlierCommand;
		{
			std::lock_guard Lock(S.FailureMutex);
			if (S.PendingFailure)
			{
				EarlierCommand = S.PendingFailure->CommandName;
			}
			else
			{
				S.PendingFailure = FFailureRecord{CommandName, std::move(Expression), std::move(Message), File, Line, Description};
			}
		}
		if (!EarlierCommand)
		{
			UE_LOG(LogRendering, Error, TEXT("Render command '%s' failed: %s"), CommandName, Description.c_str());
		}
		else
		{
			UE_LOG(LogRendering, Error, TEXT("Render command '%s' failed: %s (logged only: the failure of render command '%s' is raised first)"),
				CommandName, Description.c_str(), EarlierCommand->c_str());
		}
	}

	/** Runs Function, recording what it throws as a failure of the command named CommandName. */
	template <typename FunctionType>
	void RunGuarded(const TCHAR* CommandName, FunctionType&& Function)
	{
		try
		{
			Function();
		}
		catch (const FCheckFailure& Failure)
		{
			RecordFailure(CommandName, Failure.GetExpression(), Failure.GetMessage(), Failure.GetFile(), Failure.GetLine(), Failure.what());
		}
		catch (const std::exception& Exception)
		{
			RecordFailure(CommandName, std::string(), Exception.what(), "", 0, Exception.what());
		}
		catch (...)
		{
			RecordFailure(CommandName, std::string(), "It threw something other than a std::exception", "", 0,
				"It threw something other than a std::exception");
		}
	}

	/** Runs one body on this thread and destroys it, recording what it throws; nests inside a running one. */
	void ExecuteCommand(std::unique_ptr<FRenderCommand> Command)
	{
		const FRenderCommand* const EnclosingCommand = CurrentCommand;
		const TCHAR* const CommandName = Command->GetName();
		CurrentCommand = Command.get();
		RunGuarded(CommandName, [&Command] { Command->Execute(FRHICommandListImmediate::Get()); });
		// Destroyed while still marked as running: a command that a captured object's destructor
		// enqueues (releasing a resource, say) runs at once, as from any command.
		Command.reset();
		// The GPU work of a command, and of the commands nested in it, is submitted and waited for
		// before the next command, so nothing recorded outlives the command that recorded it. The
		// RHI makes this free when nothing was recorded.
		if (EnclosingCommand == nullptr)
		{
			RunGuarded(CommandName, [] { FRHICommandListImmediate::Get().SubmitCommandsAndFlushGPU(); });
		}
		CurrentCommand = EnclosingCommand;
	}

	void RenderThreadMain()
	{
		bIsRenderThread = true;
		FRenderingState& S = State();
		std::unique_lock Lock(S.Mutex);
		for (;;)
		{
			S.QueueChanged.wait(Lock, [&S] { return !S.Queue.empty() || S.bStopRequested; });
			if (S.Queue.empty())
			{
				S.bThreadAccepting = false;
				return;
			}
			std::unique_ptr<FRenderCommand> Command = std::move(S.Queue.front());
			S.Queue.pop_front();
			Lock.unlock();
			ExecuteCommand(std::move(Command));
			Lock.lock();
		}
	}

	/** Joins the render thread after it ran everything queued; returns at once when none runs. */
	void StopThread()
	{
		FRenderingState& S = State();
		std::thread Thread;
		{
			std::lock_guard Lock(S.Mutex);
			if (!S.Thread.joinable())
			{
				return;
			}
			S.bStopRequested = true;
			Thread = std::move(S.Thread);
		}
		S.QueueChanged.notify_all();
		Thread.join();
	}

	void StopRenderingThreadAtExit()
	{
		// exit() called by a command: the render thread cannot join itself, and it runs nothing else now.
		if (bIsRenderThread)
		{
			return;
		}
		StopThread();
		FRenderingState& S = State();
		std::lock_guard Lock(S.FailureMutex);
		if (S.PendingFailure)
		{
			UE_LOG(LogRendering, Error, TEXT("The failure of render command '%s' was never raised: %s"), S.PendingFailure->CommandName.c_str(),
				S.PendingFailure->Description.c_str());
			// Both exit hooks may run; the failure is reported once.
			S.PendingFailure.reset();
		}
	}

	/**
	 * The RHI's pre-exit hook: stops the render thread, then lets go of the pooled render targets
	 * and compiled shaders nobody holds, so the RHI destroys them while its device still exists.
	 */
	void ShutDownRenderingBeforeRHIExit()
	{
		StopRenderingThreadAtExit();
		if (!bIsRenderThread)
		{
			GRenderTargetPool.FreeUnusedResources();
			GetGlobalShaderMap(GMaxRHIFeatureLevel)->Empty();
		}
	}

	// At load, before anything can start the RHI and with it the RHI's exit hook.
	[[maybe_unused]] const bool bPreExitCallbackRegistered = (RHISetPreExitCallback(&ShutDownRenderingBeforeRHIExit), true);

	/** Starts a render thread; the caller holds S.Mutex and no thread accepts commands. */
	void StartThreadLocked(FRenderingState& S)
	{
		// Registered at the first start, during the program's run, so it runs before the static
		// objects built before then are destroyed, while the commands it drains may still use them.
		static std::once_flag ExitHook;
		std::call_once(ExitHook, [] { std::atexit(StopRenderingThreadAtExit); });
		S.bStopRequested = false;
		S.Thread = std::thread(RenderThreadMain);
		S.bThreadAccepting = true;
	}
}

const std::atomic<bool>& GIsThreadedRendering = ThreadedRendering;

namespace UE::RenderCore::Private
{
	const TCHAR* GetCurrentRenderCommandName()
	{
		return CurrentCommand ? CurrentCommand->GetName() : nullptr;
	}

	void RaisePendingRenderCommandFailure()
	{
		std::optional<FFailureRecord> Failure;
		{
			FRenderingState& S = State();
			std::lock_guard Lock(S.FailureMutex);
			Failure.swap(S.PendingFailure);
		}
		if (Failure)
		{
			throw FRenderCommandFailure(std::move(Failure->CommandName), std::move(Failure->Expression), std::move(Failure->Message), Failure->File,
				Failure->Line, Failure->Description);
		}
	}
}

void EnqueueRenderCommand(std::unique_ptr<FRenderCommand> Command)
{
	checkf(Command != nullptr, TEXT("EnqueueRenderCommand: No command to enqueue"));
	// On the render thread, or inside a command running inline, rendering code is already
	// running: the command runs at once, as the engine does.
	if (bIsRenderThread || CurrentCommand != nullptr)
	{
		ExecuteCommand(std::move(Command));
		return;
	}

	FRenderingState& S = State();
	std::unique_lock Lock(S.Mutex);
	if (!S.bThreadAccepting && ThreadedRendering.load())
	{
		StartThreadLocked(S);
	}
	if (S.bThreadAccepting)
	{
		S.Queue.push_back(std::move(Command));
		Lock.unlock();
		S.QueueChanged.notify_one();
		return;
	}

	// Taken before the queue's lock is let go, so a switch to threaded rendering waits for this command.
	std::lock_guard Exclusive(S.InlineExecutionMutex);
	Lock.unlock();
	ExecuteCommand(std::move(Command));
}

void SetRenderingThreaded(bool bThreaded)
{
	checkf(IsInGameThread(), TEXT("SetRenderingThreaded: Rendering is switched on the game thread only"));
	checkf(CurrentCommand == nullptr, TEXT("SetRenderingThreaded: Called from inside render command '%s'; it would wait for itself"),
		CurrentCommand->GetName());
	FRenderingState& S = State();
	if (bThreaded)
	{
		std::lock_guard Lock(S.Mutex);
		// Waits for commands other threads are running inline, so none overlaps the render thread's.
		std::lock_guard Exclusive(S.InlineExecutionMutex);
		ThreadedRendering.store(true);
		return;
	}
	{
		// Under the queue's lock, so an enqueue either lands in the queue drained below or runs inline after it.
		std::lock_guard Lock(S.Mutex);
		ThreadedRendering.store(false);
	}
	StopThread();
}

void StartRenderingThread()
{
	checkf(IsInGameThread(), TEXT("StartRenderingThread: The render thread is started from the game thread only"));
	checkf(ThreadedRendering.load(), TEXT("StartRenderingThread: Rendering is not threaded; call SetRenderingThreaded(true) first"));
	FRenderingState& S = State();
	std::lock_guard Lock(S.Mutex);
	if (!S.bThreadAccepting)
	{
		StartThreadLocked(S);
	}
}

void StopRenderingThread()
{
	checkf(IsInGameThread(), TEXT("StopRenderingThread: The render thread is stopped from the game thread only"));
	checkf(CurrentCommand == nullptr, TEXT("StopRenderingThread: Called from inside render command '%s'; it would wait for itself"),
		CurrentCommand->GetName());
	StopThread();
}

bool IsInRenderingThread()
{
	return bIsRenderThread || CurrentCommand != nullptr || (!ThreadedRendering.load() && IsInGameThread());
}

bool IsInActualRenderingThread()
{
	return bIsRenderThread;
}

void FlushRenderingCommands()
{
	checkf(IsInGameThread(), TEXT("FlushRenderingCommands: Called off the game thread"));
	checkf(CurrentCommand == nullptr, TEXT("FlushRenderingCommands: Called from inside render command '%s'; it would wait for itself"),
		CurrentCommand->GetName());
	// While rendering is not threaded the marker runs once the inline commands of other threads are done.
	FRenderCommandFence Fence;
	Fence.BeginFence();
	Fence.Wait();
}
