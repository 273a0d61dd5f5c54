#pragma once

// A GPU stat: a name that render-graph passes are charged to while a RDG_GPU_STAT_SCOPE of it
// is open. It counts the passes executed under it, the innermost open stat taking each pass.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <atomic>

class FGPUStat
{
public:
	FGPUStat(const TCHAR* InName, const TCHAR* InDisplayName)
		: Name(InName)
		, DisplayName(InDisplayName)
	{
	}
	FGPUStat(const FGPUStat&) = delete;
	FGPUStat& operator=(const FGPUStat&) = delete;

	/** The name it was declared with ("VorpexColorize"). */
	const FString& GetName() const { return Name; }
	/** The name it shows as: DECLARE_GPU_STAT_NAMED's text, or the declared name. */
	const FString& GetDisplayName() const { return DisplayName; }

	/** Passes executed with this stat as their innermost GPU stat scope. */
	int64 GetNumPasses() const { return NumPasses.load(); }
	void AddPass() { NumPasses.fetch_add(1, std::memory_order_relaxed); }

private:
	FString Name;
	FString DisplayName;
	std::atomic<int64> NumPasses = 0;
};
