#pragma once

// Reads log settings as the engine's command line writes them: -LogCmds takes
// "LogTemp Error, LogRHI Verbose, global Warning", one "CATEGORY VERBOSITY" pair per comma.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Logging/LogVerbosity.h"

/** One category's verbosity; the category "global" stands for every category. */
struct FLogSetting
{
	FString CategoryName;
	ELogVerbosity::Type Verbosity = ELogVerbosity::Log;

	bool IsGlobal() const;
};

class CORE_API FLogSettingsParser
{
public:
	/** The pseudo-category that a setting for every category names. */
	static constexpr const TCHAR* GlobalCategoryName = TEXT("global");

	/**
	 * Reads a verbosity by name, any letter case: Fatal, Error, Warning, Display, Log, Verbose or
	 * VeryVerbose. False for any other word, leaving OutVerbosity alone.
	 */
	static bool ParseVerbosity(const FString& Name, ELogVerbosity::Type& OutVerbosity);

	/**
	 * Reads comma-separated "CATEGORY VERBOSITY" pairs, in order. False, with a reason naming the
	 * faulty pair in OutError and OutSettings left alone, for a pair that is not two words or an
	 * unknown verbosity. Whether the categories exist is the registry's question.
	 */
	static bool ParseLogCommands(const FString& Commands, TArray<FLogSetting>& OutSettings, FString& OutError);

	/** Reads one "CATEGORY=VERBOSITY" setting, as a program's --log option gives it; false with a reason. */
	static bool ParseAssignment(const FString& Assignment, FLogSetting& OutSetting, FString& OutError);

private:
	static bool MakeSetting(const FString& CategoryName, const FString& VerbosityName, FLogSetting& OutSetting, FString& OutError);
};
