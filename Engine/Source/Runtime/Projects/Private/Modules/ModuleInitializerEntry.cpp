#include "Modules/ModuleInitializerEntry.h"

#include "Containers/Array.h"
#include "Logging/LogMacros.h"
#include "UObject/NameTypes.h"

#include <mutex>

DEFINE_LOG_CATEGORY_STATIC(LogModuleManager, Log, All);

namespace
{
	// Entries register during static initialisation, possibly before this file's own statics
	// exist, so the registry is made on first use.
	struct FInitializerRegistry
	{
		std::mutex Mutex;
		TArray<const FModuleInitializerEntry*> Entries;
	};

	FInitializerRegistry& Registry()
	{
		static FInitializerRegistry Instance;
		return Instance;
	}
}

FModuleInitializerEntry::FModuleInitializerEntry(const TCHAR* InName, FInitializeModuleFunctionPtr InFunction)
	: Name(InName)
	, Function(InFunction)
{
	if (FindModule(InName))
	{
		// A throw here would end the program before main, so the clash is only reported.
		UE_LOG(LogModuleManager, Error, TEXT("ModuleManager: Module '%s' is registered twice; the second registration is ignored"), InName);
		return;
	}
	FInitializerRegistry& Instance = Registry();
	std::lock_guard Guard(Instance.Mutex);
	Instance.Entries.Add(this);
}

FModuleInitializerEntry::~FModuleInitializerEntry()
{
	FInitializerRegistry& Instance = Registry();
	std::lock_guard Guard(Instance.Mutex);
	Instance.Entries.Remove(this);
}

FInitializeModuleFunctionPtr FModuleInitializerEntry::FindModule(const TCHAR* InName)
{
	const FName Wanted(InName);
	FInitializerRegistry& Instance = Registry();
	std::lock_guard Guard(Instance.Mutex);
	for (const FModuleInitializerEntry* Entry : Instance.Entries)
	{
		if (FName(Entry->Name) == Wanted)
		{
			return Entry->Function;
		}
	}
	return nullptr;
}
