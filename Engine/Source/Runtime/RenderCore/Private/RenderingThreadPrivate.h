#pragma once

// What the render thread shares with the rest of RenderCore's inside (the fence).

#include "CoreTypes.h"

namespace UE::RenderCore::Private
{
	/** The name of the command whose body runs on this thread, or null outside any command. */
	const TCHAR* GetCurrentRenderCommandName();

	/** Throws the pending command failure as an FRenderCommandFailure and forgets it; returns when none is pending. */
	void RaisePendingRenderCommandFailure();
}
