#pragma once

// One cycle stat: what SCOPE_CYCLE_COUNTER scopes of it have added up (calls and time), kept
// in a process-wide registry under the stat's name ("STAT_RDG_Execute") for tests and
// debugging. Stats are made by the macros of Stats/Stats.h and live as long as the process.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <atomic>

class RENDERCORE_API FCycleStat
{
public:
	FCycleStat(const FCycleStat&) = delete;
	FCycleStat& operator=(const FCycleStat&) = delete;

	/**
	 * The registered stat named StatName, made on the first call with the counter name and group
	 * of that call; later calls return the same object whatever their counter name. Any thread.
	 */
	static FCycleStat& FindOrAdd(const TCHAR* StatName, const TCHAR* CounterName, const TCHAR* GroupName);

	/** The registered stat of that name (letter case ignored), or null. Any thread. */
	static const FCycleStat* Find(const FString& StatName);

	const FString& GetStatName() const { return StatName; }
	/** What the stat measures, as DECLARE_CYCLE_STAT's first argument gives it ("Colorize Execute"). */
	const FString& GetCounterName() const { return CounterName; }
	const FString& GetGroupName() const { return GroupName; }

	/** Scopes that have ended so far. */
	int64 GetCallCount() const { return CallCount.load(); }
	/** Their summed duration. */
	double GetTotalSeconds() const { return double(TotalNanoseconds.load()) * 1e-9; }

	/** Adds one ended scope of Nanoseconds; any thread. */
	void AddCall(int64 Nanoseconds)
	{
		TotalNanoseconds.fetch_add(Nanoseconds, std::memory_order_relaxed);
		CallCount.fetch_add(1, std::memory_order_relaxed);
	}

private:
	FCycleStat(const TCHAR* InStatName, const TCHAR* InCounterName, const TCHAR* InGroupName);
	friend class FCycleStatRegistry;

	FString StatName;
	FString CounterName;
	FString GroupName;
	std::atomic<int64> CallCount = 0;
	std::atomic<int64> TotalNanoseconds = 0;
};
