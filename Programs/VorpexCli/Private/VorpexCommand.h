#pragma once

#include "CoreMinimal.h"

class FHostEngine;

namespace CLI
{
	class App;
}

/**
 * One command of the `vorpex` program, listed in the command table (FCommandTable). The program
 * registers every command, parses the command line and runs the one it names. Standard output
 * carries only the command's result; messages go to standard error.
 */
class IVorpexCommand
{
public:
	virtual ~IVorpexCommand() = default;

	/** Adds the command to App as a subcommand whose options fill this object; returns the subcommand. */
	virtual CLI::App* Register(CLI::App& App) = 0;

	/** Checks, once the command line is parsed, what CLI11 cannot; throws CLI::ValidationError (bad usage). */
	virtual void Validate() const {}

	/** Runs the command and returns the program's exit code; Engine starts the Vorpex module for the commands that need it. */
	virtual int32 Run(FHostEngine& Engine) = 0;
};
