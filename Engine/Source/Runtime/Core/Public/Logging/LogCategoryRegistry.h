#pragma once

// Every log category of the process, found by name, and the verbosity settings made at run
// time (a program's -LogCmds). Settings are remembered: a category declared later, by a module
// loaded after them, starts with the verbosity they give it.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Logging/LogSettingsParser.h"

#include <mutex>
#include <optional>

class FLogCategoryBase;

class CORE_API FLogCategoryRegistry
{
public:
	/** The process's registry; thread-safe. */
	static FLogCategoryRegistry& Get();

	/** The category called Name (any letter case), or null. */
	FLogCategoryBase* FindCategory(const FString& Name) const;

	/**
	 * Applies the settings in order, "global" ones to every category. False, with a reason in
	 * OutError and no verbosity changed, when one names a category nobody declared.
	 */
	bool ApplySettings(const TArray<FLogSetting>& Settings, FString& OutError);

	/** Parses -LogCmds text ("LogTemp Error, global Warning") and applies it, all or nothing. */
	bool ProcessLogCommands(const FString& Commands, FString& OutError);

	/** Adds a category, giving it the remembered verbosity for its name. Called by its constructor. */
	void RegisterCategory(FLogCategoryBase& Category);

private:
	FLogCategoryRegistry() = default;

	FLogCategoryBase* FindCategoryLocked(const FString& Name) const;
	void ApplyLocked(const FLogSetting& Setting);

	mutable std::mutex Mutex;
	// Categories are defined at namespace scope and live as long as the process.
	TArray<FLogCategoryBase*> Categories;
	/** The last "global" setting, for categories declared after it. */
	std::optional<ELogVerbosity::Type> GlobalVerbosity;
	/** Named settings made after the last global one, in order. */
	TArray<FLogSetting> NamedSettings;
};
