#include "RenderCommandFence.h"

#include "CoreGlobals.h"
#include "Misc/AssertionMacros.h"
#include "RenderingThread.h"
#include "RenderingThreadPrivate.h"

void FRenderCommandFence::BeginFence()
{
	auto Marker = std::make_shared<std::atomic<bool>>(false);
	Completed = Marker;
	ENQUEUE_RENDER_COMMAND(FenceCommand)([Marker](FRHICommandListImmediate&) {
		Marker->store(true);
		Marker->notify_all();
	});
}

bool FRenderCommandFence::IsFenceComplete() const
{
	return !Completed || Completed->load();
}

void FRenderCommandFence::Wait() const
{
	using namespace UE::RenderCore::Private;
	const TCHAR* RunningCommand = GetCurrentRenderCommandName();
	if (!IsFenceComplete())
	{
		checkf(RunningCommand == nullptr,
			TEXT("FRenderCommandFence::Wait: Called from inside render command '%s' for a fence that can only complete after it returns"),
			RunningCommand);
		Completed->wait(false);
	}
	// Inside a command the failure would be caught again and charged to that command.
	if (IsInGameThread() && RunningCommand == nullptr)
	{
		RaisePendingRenderCommandFailure();
	}
}
