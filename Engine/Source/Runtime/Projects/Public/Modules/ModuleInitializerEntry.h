#pragma once

// FModuleInitializerEntry: how a module's code tells the module manager it exists. Each
// module declares one static entry (IMPLEMENT_MODULE does it), so the module can be loaded
// by name once its library is in the process. An entry unregisters itself when destroyed, so
// the manager never calls an initialiser whose library is gone.

#include "CoreTypes.h"

class IModuleInterface;

/** Makes a module object on the heap; the module manager owns what it returns. */
using FInitializeModuleFunctionPtr = IModuleInterface* (*)();

class PROJECTS_API FModuleInitializerEntry
{
public:
	/**
	 * Registers InFunction as the initialiser of the module InName (names ignore letter case).
	 * A second entry for a name already registered is logged as an error and ignored, so the
	 * first one keeps making that module.
	 */
	FModuleInitializerEntry(const TCHAR* InName, FInitializeModuleFunctionPtr InFunction);
	~FModuleInitializerEntry();
	FModuleInitializerEntry(const FModuleInitializerEntry&) = delete;
	FModuleInitializerEntry& operator=(const FModuleInitializerEntry&) = delete;

	/** The initialiser registered for the module, or null when no entry names it. */
	static FInitializeModuleFunctionPtr FindModule(const TCHAR* InName);

private:
	const TCHAR* Name;
	FInitializeModuleFunctionPtr Function;
};
