#pragma once

// FModuleManager: loads modules by name and keeps them until they are unloaded. A module is
// made by the initialiser its code registered (IMPLEMENT_MODULE); this runtime links every
// module's library into the program, so "loading" makes the module object and starts it.
//
// A module counts as loaded only once its StartupModule has returned: while it starts, it is
// neither found by GetModule nor given out again, and a start-up that fails (throws) leaves
// nothing behind. Modules shut down in the reverse order of their finished start-ups, so a
// module that loads another from its StartupModule is shut down before it. All operations
// take the manager's lock, which the thread loading a module holds through its StartupModule.
// Hosts call ShutdownAllModules before they end: modules still loaded when the program exits
// are destroyed without ShutdownModule, as what they would shut down may be gone by then.

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "HAL/CriticalSection.h"
#include "Misc/AssertionMacros.h"
#include "Modules/ModuleInitializerEntry.h"
#include "Modules/ModuleInterface.h"
#include "Templates/UniquePtr.h"
#include "UObject/NameTypes.h"

class PROJECTS_API FModuleManager
{
public:
	static FModuleManager& Get();

	FModuleManager(const FModuleManager&) = delete;
	FModuleManager& operator=(const FModuleManager&) = delete;

	/**
	 * The loaded module, loading it first if needed. An unregistered name is logged as an error
	 * and gives null. A failed check in the module's StartupModule destroys the new module and
	 * propagates; so does asking for a module from its own start-up (directly or through a
	 * circle of modules), which could never finish.
	 */
	IModuleInterface* LoadModule(const FName InModuleName);
	/** The module if it is loaded, else null. */
	IModuleInterface* GetModule(const FName InModuleName);
	bool IsModuleLoaded(const FName InModuleName) const;
	/**
	 * Calls the module's ShutdownModule and destroys it; false when it was not loaded. The module
	 * is gone afterwards even when ShutdownModule fails a check (the failure propagates).
	 */
	bool UnloadModule(const FName InModuleName);
	/**
	 * Unloads every module, the last started first. Every module is unloaded even when some
	 * ShutdownModule fails a check; the first such failure is thrown at the end.
	 */
	void ShutdownAllModules();

	/** The loaded modules' names, in the order their start-ups finished. */
	TArray<FName> GetLoadedModuleNames() const;

	/** Loads the module as LoadModule does; a module that cannot be loaded, or is not a T, fails a check. */
	template <typename TModuleInterface>
	static TModuleInterface& LoadModuleChecked(const FName InModuleName)
	{
		IModuleInterface* Module = Get().LoadModule(InModuleName);
		checkf(Module != nullptr, TEXT("ModuleManager: Module '%s' could not be loaded"), *InModuleName.ToString());
		TModuleInterface* Typed = dynamic_cast<TModuleInterface*>(Module);
		checkf(Typed != nullptr, TEXT("ModuleManager: Module '%s' is not of the requested type"), *InModuleName.ToString());
		return *Typed;
	}

	/** The module if it is loaded and is a T, else null. Loads nothing. */
	template <typename TModuleInterface>
	static TModuleInterface* GetModulePtr(const FName InModuleName)
	{
		return dynamic_cast<TModuleInterface*>(Get().GetModule(InModuleName));
	}

private:
	FModuleManager() = default;
	~FModuleManager() = default;

	mutable FCriticalSection Lock;
	TMap<FName, TUniquePtr<IModuleInterface>> Modules;
	/** Loaded modules in the order their start-ups finished. */
	TArray<FName> LoadOrder;
	/** Modules whose StartupModule is running. */
	TArray<FName> Starting;
};

/**
 * Declares the module object class of a module: FModuleManager::LoadModule(ModuleName) makes a
 * ModuleImplClass. Use it once per module, in one of its source files.
 */
#define IMPLEMENT_MODULE(ModuleImplClass, ModuleName)                                   \
	static IModuleInterface* InitializeModule##ModuleName()                             \
	{                                                                                   \
		return new ModuleImplClass();                                                   \
	}                                                                                   \
	static FModuleInitializerEntry ModuleName##InitializerEntry(TEXT(#ModuleName), &InitializeModule##ModuleName);
