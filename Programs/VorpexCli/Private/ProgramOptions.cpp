#include "ProgramOptions.h"

#include "HAL/IConsoleManager.h"
#include "Logging/LogCategoryRegistry.h"

#include "CLI11.h"

void FProgramOptions::Register(CLI::App& App)
{
	App.add_option("--logcmds", LogCommands,
		   "Log verbosities as the engine's -LogCmds gives them: \"LogTemp Error, LogRHI Verbose, global Warning\" "
		   "(global: every category); applied before --log")
		->option_text("TEXT");
	App.add_option("--log", LogAssignments,
		   "Sets a log category's verbosity (Fatal, Error, Warning, Display, Log, Verbose or VeryVerbose; "
		   "global for every category); repeatable, applied in order")
		->option_text("CATEGORY=VERBOSITY")
		->allow_extra_args(false);
	App.add_option("--log-file", LogFilePath,
		   "Appends the whole log, every message the categories let through, to FILE as well as standard error")
		->option_text("FILE");
	App.add_option("--set", ConsoleSettings,
		   "Sets a console variable before the command runs, e.g. vorpex.TextureEditing.KeepUnchanged=1; repeatable")
		->option_text("NAME=VALUE")
		->allow_extra_args(false);
}

void FProgramOptions::Apply()
{
	ApplyLogSettings();
	ApplyConsoleSettings();
	OpenLogFile();
}

void FProgramOptions::ApplyLogSettings() const
{
	TArray<FLogSetting> Settings;
	FString Error;
	if (!LogCommands.empty() && !FLogSettingsParser::ParseLogCommands(FString(LogCommands), Settings, Error))
	{
		throw CLI::ValidationError("--logcmds", *Error);
	}
	for (const std::string& Assignment : LogAssignments)
	{
		if (!FLogSettingsParser::ParseAssignment(FString(Assignment), Settings.AddDefaulted_GetRef(), Error))
		{
			throw CLI::ValidationError("--log", *Error);
		}
	}
	if (!FLogCategoryRegistry::Get().ApplySettings(Settings, Error))
	{
		// The reason names the category, which says which option gave it.
		throw CLI::ValidationError(*Error);
	}
}

void FProgramOptions::ApplyConsoleSettings() const
{
	for (const std::string& Setting : ConsoleSettings)
	{
		FString Error;
		if (!IConsoleManager::Get().ProcessSetting(FString(Setting), Error))
		{
			throw CLI::ValidationError("--set", *Error);
		}
	}
}

void FProgramOptions::OpenLogFile()
{
	if (LogFilePath.empty())
	{
		return;
	}
	FString Error;
	LogFile = FOutputDeviceFile::Open(FString(LogFilePath), ELogVerbosity::All, Error);
	if (!LogFile)
	{
		throw CLI::ValidationError("--log-file", *Error);
	}
}
