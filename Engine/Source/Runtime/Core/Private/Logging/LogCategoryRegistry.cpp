#include "Logging/LogCategoryRegistry.h"

#include "Logging/LogCategory.h"

FLogCategoryRegistry& FLogCategoryRegistry::Get()
{
	// Never destroyed, and made on first use: categories of every module register during static
	// initialisation, in no set order.
	static FLogCategoryRegistry* Registry = new FLogCategoryRegistry();
	return *Registry;
}

FLogCategoryBase* FLogCategoryRegistry::FindCategory(const FString& Name) const
{
	std::lock_guard Lock(Mutex);
	return FindCategoryLocked(Name);
}

bool FLogCategoryRegistry::ApplySettings(const TArray<FLogSetting>& Settings, FString& OutError)
{
	std::lock_guard Lock(Mutex);
	for (const FLogSetting& Setting : Settings)
	{
		if (!Setting.IsGlobal() && !FindCategoryLocked(Setting.CategoryName))
		{
			OutError = FString::Printf("unknown log category '%s'", *Setting.CategoryName);
			return false;
		}
	}
	for (const FLogSetting& Setting : Settings)
	{
		ApplyLocked(Setting);
	}
	return true;
}

bool FLogCategoryRegistry::ProcessLogCommands(const FString& Commands, FString& OutError)
{
	TArray<FLogSetting> Settings;
	return FLogSettingsParser::ParseLogCommands(Commands, Settings, OutError) && ApplySettings(Settings, OutError);
}

void FLogCategoryRegistry::RegisterCategory(FLogCategoryBase& Category)
{
	std::lock_guard Lock(Mutex);
	Categories.Add(&Category);
	if (GlobalVerbosity)
	{
		Category.SetVerbosity(*GlobalVerbosity);
	}
	for (const FLogSetting& Setting : NamedSettings)
	{
		if (Category.GetCategoryName() == FName(*Setting.CategoryName))
		{
			Category.SetVerbosity(Setting.Verbosity);
		}
	}
}

FLogCategoryBase* FLogCategoryRegistry::FindCategoryLocked(const FString& Name) const
{
	const FName Wanted(*Name);
	FLogCategoryBase* const* Found =
		Categories.FindByPredicate([&Wanted](const FLogCategoryBase* Category) { return Category->GetCategoryName() == Wanted; });
	return Found ? *Found : nullptr;
}

void FLogCategoryRegistry::ApplyLocked(const FLogSetting& Setting)
{
	if (Setting.IsGlobal())
	{
		// A global setting overrides every earlier one, so only it needs remembering.
		GlobalVerbosity = Setting.Verbosity;
		NamedSettings.Reset();
	}
	else
	{
		NamedSettings.Add(Setting);
	}
	const FName Wanted(*Setting.CategoryName);
	for (FLogCategoryBase* Category : Categories)
	{
		if (Setting.IsGlobal() || Category->GetCategoryName() == Wanted)
		{
			Category->SetVerbosity(Setting.Verbosity);
		}
	}
}
