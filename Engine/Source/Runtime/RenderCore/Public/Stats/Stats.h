#pragma once

// Cycle stats as the engine declares them:
//
//   DECLARE_STATS_GROUP(TEXT("Vorpex"), STATGROUP_Vorpex, STATCAT_Advanced);
//   DECLARE_CYCLE_STAT(TEXT("Colorize Execute"), STAT_Colorize_Execute, STATGROUP_Vorpex);
//   void Colorize() { SCOPE_CYCLE_COUNTER(STAT_Colorize_Execute); ... }
//
// Every scope adds one call and its duration to its stat, which FCycleStat::Find looks up by
// the stat's name ("STAT_Colorize_Execute") from the time its module has loaded. Declarations
// belong at namespace scope, as in the engine; a stat declared in several files with one name
// is one stat.

#include "CoreTypes.h"
#include "Stats/CycleStat.h"

#include <chrono>

/** The handle GET_STATID gives: the stat a scope adds to. */
struct TStatId
{
	FCycleStat* Stat = nullptr;

	constexpr TStatId() = default;
	explicit constexpr TStatId(FCycleStat* InStat) : Stat(InStat) {}
};

/** Adds one call and the time from its construction to its destruction to a stat. */
class FScopeCycleCounter
{
public:
	explicit FScopeCycleCounter(TStatId InStatId)
		: Stat(InStatId.Stat)
		, Start(std::chrono::steady_clock::now())
	{
	}

	~FScopeCycleCounter()
	{
		if (Stat)
		{
			Stat->AddCall(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - Start).count());
		}
	}

	FScopeCycleCounter(const FScopeCycleCounter&) = delete;
	FScopeCycleCounter& operator=(const FScopeCycleCounter&) = delete;

private:
	FCycleStat* Stat;
	std::chrono::steady_clock::time_point Start;
};

/** GroupCat (STATCAT_Advanced) is kept as text only: there is no stats viewer to sort by it. */
#define DECLARE_STATS_GROUP(GroupDesc, GroupId, GroupCat) \
	struct FStatGroup_##GroupId \
	{ \
		static const TCHAR* GetGroupName() { return TEXT(#GroupId); } \
		static const TCHAR* GetGroupDisplayName() { return GroupDesc; } \
		static const TCHAR* GetGroupCategory() { return TEXT(#GroupCat); } \
	}

/** Registers the stat when the file's module loads, so it can be looked up before its first scope. */
#define DECLARE_CYCLE_STAT(CounterName, StatId, GroupId) \
	struct FStat_##StatId \
	{ \
		static FCycleStat& Get() \
		{ \
			static FCycleStat& Stat = FCycleStat::FindOrAdd(TEXT(#StatId), CounterName, FStatGroup_##GroupId::GetGroupName()); \
			return Stat; \
		} \
	}; \
	[[maybe_unused]] static FCycleStat& GStatRegistration_##StatId = FStat_##StatId::Get()

#define GET_STATID(StatId) (TStatId(&FStat_##StatId::Get()))

#define SCOPE_CYCLE_COUNTER(StatId) FScopeCycleCounter CycleCount_##StatId(GET_STATID(StatId))
