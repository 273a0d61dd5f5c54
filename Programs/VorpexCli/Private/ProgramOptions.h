#pragma once

#include "CoreMinimal.h"
#include "Misc/OutputDeviceFile.h"
#include "Templates/UniquePtr.h"

#include <string>
#include <vector>

namespace CLI
{
	class App;
}

/**
 * The options of the `vorpex` program itself, given before the command: log verbosities
 * (--log, --logcmds), a log file (--log-file) and console variables (--set).
 */
class FProgramOptions
{
public:
	/** Adds the options to the program's App. */
	void Register(CLI::App& App);

	/**
	 * Applies the parsed options: the log settings first, then the console variables, then the
	 * log file. Throws CLI::ValidationError (bad usage) with the reason for a bad value; nothing
	 * of the log settings changes when one of them is bad.
	 */
	void Apply();

private:
	void ApplyLogSettings() const;
	void ApplyConsoleSettings() const;
	void OpenLogFile();

	std::string LogCommands;
	std::vector<std::string> LogAssignments;
	std::vector<std::string> ConsoleSettings;
	std::string LogFilePath;
	/** Attached to the log for the rest of the program once opened. */
	TUniquePtr<FOutputDeviceFile> LogFile;
};
