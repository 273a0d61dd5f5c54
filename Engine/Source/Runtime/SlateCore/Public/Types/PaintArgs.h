#pragma once

#include "CoreMinimal.h"

/** What a paint pass tells every widget it paints: the time of the frame being painted. */
class FPaintArgs
{
public:
	explicit FPaintArgs(double InCurrentTime = 0.0, float InDeltaTime = 0.0f) : CurrentTime(InCurrentTime), DeltaTime(InDeltaTime) {}

	double GetCurrentTime() const { return CurrentTime; }
	float GetDeltaTime() const { return DeltaTime; }

private:
	double CurrentTime;
	float DeltaTime;
};
