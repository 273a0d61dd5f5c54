#pragma once

// What pose extraction is asked for: a time in the animation and how to treat it.

#include "CoreMinimal.h"

/** The time a pose advanced by, for root motion (not extracted here: animations move no root). */
struct FDeltaTimeRecord
{
	float Delta = 0.0f;

	FDeltaTimeRecord() = default;
	explicit FDeltaTimeRecord(float InDelta) : Delta(InDelta) {}
};

struct FAnimExtractContext
{
	/** Seconds from the start of the animation. */
	double CurrentTime = 0.0;
	bool bExtractRootMotion = false;
	FDeltaTimeRecord DeltaTimeRecord;
	/** Times past either end wrap around instead of holding the first or last key. */
	bool bLooping = false;

	FAnimExtractContext(double InCurrentTime = 0.0, bool InbExtractRootMotion = false, FDeltaTimeRecord InDeltaTimeRecord = {},
		bool InbLooping = false)
		: CurrentTime(InCurrentTime), bExtractRootMotion(InbExtractRootMotion), DeltaTimeRecord(InDeltaTimeRecord), bLooping(InbLooping)
	{
	}
};
