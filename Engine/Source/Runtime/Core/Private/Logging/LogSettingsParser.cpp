#include "Logging/LogSettingsParser.h"

#include <sstream>
#include <string>

namespace
{
	/** The verbosities a setting may name; NoLogging and All are not words of the command line. */
	constexpr ELogVerbosity::Type SettableVerbosities[] = {
		ELogVerbosity::Fatal,
		ELogVerbosity::Error,
		ELogVerbosity::Warning,
		ELogVerbosity::Display,
		ELogVerbosity::Log,
		ELogVerbosity::Verbose,
		ELogVerbosity::VeryVerbose,
	};

	TArray<FString> SplitAtWhitespace(const FString& Text)
	{
		TArray<FString> Words;
		std::istringstream Stream(Text.ToStdString());
		std::string Word;
		while (Stream >> Word)
		{
			Words.Add(FString(std::move(Word)));
		}
		return Words;
	}

	FString VerbosityNames()
	{
		TArray<FString> Names;
		for (ELogVerbosity::Type Verbosity : SettableVerbosities)
		{
			Names.Add(ToString(Verbosity));
		}
		return FString::Join(Names, TEXT(", "));
	}
}

bool FLogSetting::IsGlobal() const
{
	return CategoryName.Equals(FLogSettingsParser::GlobalCategoryName, ESearchCase::IgnoreCase);
}

bool FLogSettingsParser::ParseVerbosity(const FString& Name, ELogVerbosity::Type& OutVerbosity)
{
	for (ELogVerbosity::Type Verbosity : SettableVerbosities)
	{
		if (Name.Equals(ToString(Verbosity), ESearchCase::IgnoreCase))
		{
			OutVerbosity = Verbosity;
			return true;
		}
	}
	return false;
}

bool FLogSettingsParser::ParseLogCommands(const FString& Commands, TArray<FLogSetting>& OutSettings, FString& OutError)
{
	TArray<FString> Pairs;
	Commands.ParseIntoArray(Pairs, TEXT(","), false);
	TArray<FLogSetting> Settings;
	for (const FString& Pair : Pairs)
	{
		const TArray<FString> Words = SplitAtWhitespace(Pair);
		if (Words.Num() != 2)
		{
			OutError = FString::Printf("'%s' is not a CATEGORY VERBOSITY pair", *Pair.TrimStartAndEnd());
			return false;
		}
		if (!MakeSetting(Words[0], Words[1], Settings.AddDefaulted_GetRef(), OutError))
		{
			return false;
		}
	}
	OutSettings = std::move(Settings);
	return true;
}

bool FLogSettingsParser::ParseAssignment(const FString& Assignment, FLogSetting& OutSetting, FString& OutError)
{
	FString CategoryName;
	FString VerbosityName;
	if (!Assignment.Split(TEXT("="), &CategoryName, &VerbosityName) || SplitAtWhitespace(CategoryName).Num() != 1
		|| SplitAtWhitespace(VerbosityName).Num() != 1)
	{
		OutError = FString::Printf("'%s' is not a CATEGORY=VERBOSITY setting", *Assignment);
		return false;
	}
	return MakeSetting(CategoryName.TrimStartAndEnd(), VerbosityName.TrimStartAndEnd(), OutSetting, OutError);
}

bool FLogSettingsParser::MakeSetting(const FString& CategoryName, const FString& VerbosityName, FLogSetting& OutSetting, FString& OutError)
{
	ELogVerbosity::Type Verbosity;
	if (!ParseVerbosity(VerbosityName, Verbosity))
	{
		OutError = FString::Printf("unknown verbosity '%s' for %s; the verbosities are %s", *VerbosityName, *CategoryName, *VerbosityNames());
		return false;
	}
	OutSetting = FLogSetting{CategoryName, Verbosity};
	return true;
}
