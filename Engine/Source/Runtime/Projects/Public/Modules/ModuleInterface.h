#pragma once

// IModuleInterface: what every module object implements. FModuleManager makes the object
// through the module's registered initialiser, calls StartupModule once it exists and
// ShutdownModule before destroying it.

#include "CoreTypes.h"

class PROJECTS_API IModuleInterface
{
public:
	virtual ~IModuleInterface() = default;

	/** Called once, right after the module object is made; a failed check here unloads it again. */
	virtual void StartupModule() {}
	/** Called once before the module object is destroyed. */
	virtual void ShutdownModule() {}
	/** Called before the module's code would be unloaded; this runtime never unloads code. */
	virtual void PreUnloadCallback() {}
	/** Called after the module's code was reloaded; this runtime never reloads code. */
	virtual void PostLoadCallback() {}
	/** Whether the module may be unloaded and loaded again while the program runs. */
	virtual bool SupportsDynamicReloading() { return true; }
	virtual bool IsGameModule() const { return false; }
};
