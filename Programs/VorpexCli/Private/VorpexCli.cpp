// The `vorpex` program. Standard output carries only command results (JSON); the log goes to
// standard error. Bad usage exits with 64 (EX_USAGE) whatever CLI11's own code for the error,
// and a failed check in the runtime exits with 70 (EX_SOFTWARE).

#include "AssetLoader.h"
#include "GraphCommand.h"
#include "InspectCommand.h"
#include "Misc/AssertionMacros.h"
#include "RenderingThread.h"

#include "CLI11.h"

#include <cstdio>

namespace
{
	constexpr int ExitUsage = 64;
	constexpr int ExitSoftware = 70;

	int RunCommand(const CLI::App& GraphCommand, const FInspectCommand::FOptions& InspectOptions, const FGraphCommand::FOptions& GraphOptions)
	{
		try
		{
			FAssetLoader::Install();
			// require_subcommand made sure one command was given.
			if (GraphCommand.parsed())
			{
				const int32 Code = FGraphCommand::Run(GraphOptions);
				// GPU work the command left queued finishes before the program's objects go,
				// and a failure of it is raised here.
				FlushRenderingCommands();
				return Code;
			}
			return FInspectCommand::Run(InspectOptions);
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

	const int Code = RunCommand(*GraphCommand, InspectOptions, GraphOptions);
	// Rendering stops before main returns: a command still running at exit would race the
	// destruction of static objects, the driver's among them.
	StopRenderingThread();
	return Code;
}
