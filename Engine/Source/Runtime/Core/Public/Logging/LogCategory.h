#pragma once

#include "Logging/LogVerbosity.h"
#include "UObject/NameTypes.h"

#include <atomic>

/** A named log category with a run-time verbosity: messages more verbose than it are dropped. */
class CORE_API FLogCategoryBase
{
public:
	FLogCategoryBase(const TCHAR* CategoryName, ELogVerbosity::Type DefaultVerbosity, ELogVerbosity::Type CompileTimeVerbosity);

	const FName& GetCategoryName() const { return CategoryName; }
	ELogVerbosity::Type GetVerbosity() const { return Verbosity.load(std::memory_order_relaxed); }
	void SetVerbosity(ELogVerbosity::Type NewVerbosity) { Verbosity.store(NewVerbosity, std::memory_order_relaxed); }
	bool IsSuppressed(ELogVerbosity::Type MessageVerbosity) const { return MessageVerbosity > GetVerbosity(); }

private:
	FName CategoryName;
	std::atomic<ELogVerbosity::Type> Verbosity;
};

template <ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity>
class FLogCategory : public FLogCategoryBase
{
public:
	explicit FLogCategory(const TCHAR* CategoryName)
		: FLogCategoryBase(CategoryName, InDefaultVerbosity, InCompileTimeVerbosity)
	{
	}
};
