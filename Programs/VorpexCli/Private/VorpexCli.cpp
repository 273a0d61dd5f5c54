// The `vorpex` program. Standard output carries only command results (JSON); the log goes to
// standard error. Bad usage exits with 64 (EX_USAGE) whatever CLI11's own code for the error,
// and a failed check in the runtime exits with 70 (EX_SOFTWARE).

#include "GraphCommand.h"
#include "HostEngine.h"
#include "InspectCommand.h"
#include "Misc/AssertionMacros.h"

#include "CLI11.h"

#include <cstdio>

namespace
{
	constexpr int ExitUsage = 64;
	constexpr int ExitSoftware = 70;

	/** Runs the command and shuts the engine down; a failed check on the way becomes exit code 70. */
	int RunCommand(const CLI::App& GraphCommand, const FInspectCommand::FOptions& InspectOptions, const FGraphCommand::FOptions& GraphOptions,
		FHostEngine& Engine)
	{
		try
		{
			// require_subcommand made sure one command was given.
			const int32 Code = GraphCommand.parsed() ? FGraphCommand::Run(GraphOptions, Engine) : FInspectCommand::Run(InspectOptions);
			// GPU work the command left queued finishes before the program's objects go, and a
			// failure of it is raised here.
			Engine.ShutDown();
			return Code;
		}
		catch (const FCheckFailure& Failure)
		{
			// The check has logged its text already.
			std::fprintf(stderr, "vorpex: stopped by a failed check: %s\n", Failure.what());
			return ExitSoftware;
		}
	}
}

int main(int argc, char** argv)
{
	CLI::App App("Vorpex: inspect and assemble characters from their data files.", "vorpex");
	App.require_subcommand(1);
	App.footer("Bad usage exits with 64. Run 'vorpex COMMAND --help' for a command's options.");
	FInspectCommand::FOptions InspectOptions;
	FInspectCommand::Register(App, InspectOptions);
	FGraphCommand::FOptions GraphOptions;
	CLI::App* GraphCommand = FGraphCommand::Register(App, GraphOptions);
	try
	{
		App.parse(argc, argv);
		if (!GraphCommand->parsed())
		{
			FInspectCommand::Validate(InspectOptions);
		}
	}
	catch (const CLI::ParseError& Error)
	{
		const int Code = App.exit(Error);
		return Code == 0 ? 0 : ExitUsage;
	}

	// Rendering stops before main returns (the engine's shut-down): a command still running at
	// exit would race the destruction of static objects, the driver's among them.
	FHostEngine Engine(FProgramLayout::OfRunningProgram());
	return RunCommand(*GraphCommand, InspectOptions, GraphOptions, Engine);
}
