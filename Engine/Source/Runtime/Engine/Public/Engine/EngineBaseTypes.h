#pragma once

// Ticking: what kind of frame the world runs and the tick function a component ticks through.

#include "CoreMinimal.h"

class UActorComponent;

enum ELevelTick
{
	/** Only advance the world's clock; nothing ticks. */
	LEVELTICK_TimeOnly = 0,
	LEVELTICK_ViewportsOnly = 1,
	LEVELTICK_All = 2,
	LEVELTICK_PauseTick = 3,
};

/** Whether and how something ticks. */
struct FTickFunction
{
	/** Whether it may ever tick; set in the owner's constructor. */
	bool bCanEverTick = false;
	/** Whether ticking starts enabled once it may tick. */
	bool bStartWithTickEnabled = true;

	/** Enables or disables ticking (meaningful only when bCanEverTick). */
	void SetTickFunctionEnable(bool bInEnabled) { bEnabled = bInEnabled; }
	bool IsTickFunctionEnabled() const { return bEnabled.Get(bStartWithTickEnabled); }

private:
	/** Unset until enabled or disabled explicitly, so bStartWithTickEnabled set later in a constructor still counts. */
	TOptional<bool> bEnabled;
};

/** The tick function of a component; UWorld::Tick passes it to TickComponent. */
struct FActorComponentTickFunction : public FTickFunction
{
	UActorComponent* Target = nullptr;
};
