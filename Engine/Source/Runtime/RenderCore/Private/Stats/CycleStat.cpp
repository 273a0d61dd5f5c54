#include "Stats/CycleStat.h"

#include "Containers/Map.h"

#include <memory>
#include <mutex>

/** The registry: stats by name, never destroyed, so stats outlive every static scope that adds to them. */
class FCycleStatRegistry
{
public:
	static FCycleStatRegistry& Get()
	{
		static FCycleStatRegistry* Instance = new FCycleStatRegistry();
		return *Instance;
	}

	FCycleStat& FindOrAdd(const TCHAR* StatName, const TCHAR* CounterName, const TCHAR* GroupName)
	{
		std::lock_guard Lock(Mutex);
		if (std::unique_ptr<FCycleStat>* Existing = Stats.Find(FString(StatName)))
		{
			return **Existing;
		}
		return *Stats.Add(FString(StatName), std::unique_ptr<FCycleStat>(new FCycleStat(StatName, CounterName, GroupName)));
	}

	const FCycleStat* Find(const FString& StatName)
	{
		std::lock_guard Lock(Mutex);
		const std::unique_ptr<FCycleStat>* Existing = Stats.Find(StatName);
		return Existing ? Existing->get() : nullptr;
	}

private:
	std::mutex Mutex;
	TMap<FString, std::unique_ptr<FCycleStat>> Stats;
};

FCycleStat::FCycleStat(const TCHAR* InStatName, const TCHAR* InCounterName, const TCHAR* InGroupName)
	: StatName(InStatName)
	, CounterName(InCounterName)
	, GroupName(InGroupName)
{
}

FCycleStat& FCycleStat::FindOrAdd(const TCHAR* StatName, const TCHAR* CounterName, const TCHAR* GroupName)
{
	return FCycleStatRegistry::Get().FindOrAdd(StatName, CounterName, GroupName);
}

const FCycleStat* FCycleStat::Find(const FString& StatName)
{
	return FCycleStatRegistry::Get().Find(StatName);
}
