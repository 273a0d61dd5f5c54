#include "Modules/ModuleManager.h"

#include "Logging/LogMacros.h"
#include "Misc/ScopeLock.h"

#include <exception>

DEFINE_LOG_CATEGORY_STATIC(LogModuleManager, Log, All);

FModuleManager& FModuleManager::Get()
{
	static FModuleManager Instance;
	return Instance;
}

IModuleInterface* FModuleManager::LoadModule(const FName InModuleName)
{
	FScopeLock Guard(&Lock);
	if (TUniquePtr<IModuleInterface>* Loaded = Modules.Find(InModuleName))
	{
		return Loaded->get();
	}
	// Without this a module asking for itself during start-up would make copies of itself
	// until the stack ran out.
	checkf(!Starting.Contains(InModuleName), TEXT("ModuleManager: Module '%s' was asked for while it is starting up (circular dependency)"),
		*InModuleName.ToString());

	const FString Name = InModuleName.ToString();
	const FInitializeModuleFunctionPtr Initializer = FModuleInitializerEntry::FindModule(*Name);
	if (!Initializer)
	{
		UE_LOG(LogModuleManager, Error, TEXT("ModuleManager: Unable to load module '%s' because the module is not registered"), *Name);
		return nullptr;
	}
	TUniquePtr<IModuleInterface> Module(Initializer());
	if (!Module)
	{
		UE_LOG(LogModuleManager, Error, TEXT("ModuleManager: Unable to load module '%s' because its initialiser made no module object"), *Name);
		return nullptr;
	}

	Starting.Add(InModuleName);
	try
	{
		Module->StartupModule();
	}
	catch (...)
	{
		Starting.Remove(InModuleName);
		UE_LOG(LogModuleManager, Error, TEXT("ModuleManager: Module '%s' failed to start up and was not loaded"), *Name);
		throw;
	}
	Starting.Remove(InModuleName);

	IModuleInterface* Result = Module.get();
	Modules.Emplace(InModuleName, std::move(Module));
	LoadOrder.Add(InModuleName);
	return Result;
}

IModuleInterface* FModuleManager::GetModule(const FName InModuleName)
{
	FScopeLock Guard(&Lock);
	TUniquePtr<IModuleInterface>* Loaded = Modules.Find(InModuleName);
	return Loaded ? Loaded->get() : nullptr;
}

bool FModuleManager::IsModuleLoaded(const FName InModuleName) const
{
	FScopeLock Guard(&Lock);
	return Modules.Contains(InModuleName);
}

bool FModuleManager::UnloadModule(const FName InModuleName)
{
	FScopeLock Guard(&Lock);
	TUniquePtr<IModuleInterface> Module;
	if (!Modules.RemoveAndCopyValue(InModuleName, Module))
	{
		return false;
	}
	LoadOrder.Remove(InModuleName);
	// Taken out of the registry first: the object is destroyed on leaving, even when its
	// ShutdownModule throws, and nothing can find it half shut down.
	Module->ShutdownModule();
	return true;
}

void FModuleManager::ShutdownAllModules()
{
	FScopeLock Guard(&Lock);
	std::exception_ptr FirstFailure;
	// A ShutdownModule may unload other modules itself, so the order is read afresh each time.
	while (!LoadOrder.IsEmpty())
	{
		try
		{
			UnloadModule(LoadOrder.Last());
		}
		catch (...)
		{
			if (!FirstFailure)
			{
				FirstFailure = std::current_exception();
			}
		}
	}
	if (FirstFailure)
	{
		std::rethrow_exception(FirstFailure);
	}
}

TArray<FName> FModuleManager::GetLoadedModuleNames() const
{
	FScopeLock Guard(&Lock);
	return LoadOrder;
}
