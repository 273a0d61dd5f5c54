// The `vorpex` program. Standard output carries only command results; the log goes to standard
// error. Bad usage exits with 64 (EX_USAGE) whatever CLI11's own code for the error, and a
// failed check in the runtime exits with 70 (EX_SOFTWARE).

#include "CommandTable.h"
#include "HostEngine.h"
#include "Misc/AssertionMacros.h"
#include "ProgramOptions.h"

#include "CLI11.h"

#include <cstdio>
#include <string>

namespace
{
	constexpr int ExitUsage = 64;
	constexpr int ExitSoftware = 70;

	struct FRegisteredCommand
	{
		CLI::App* Subcommand = nullptr;
		IVorpexCommand* Command = nullptr;
	};

	/**
	 * Refuses a first word that names no command, with the commands there are; CLI11 would only
	 * say that a command is required. Options (words starting with '-') are left to CLI11.
	 */
	bool CheckCommandName(int argc, char** argv, const TArray<FRegisteredCommand>& Commands)
	{
		if (argc < 2 || argv[1][0] == '-')
		{
			return true;
		}
		std::string Names;
		for (const FRegisteredCommand& Registered : Commands)
		{
			if (Registered.Subcommand->check_name(argv[1]))
			{
				return true;
			}
			Names += (Names.empty() ? "" : ", ") + Registered.Subcommand->get_name();
		}
		std::fprintf(stderr, "vorpex: unknown command '%s'; the commands are %s\nRun with --help for more information.\n", argv[1], Names.c_str());
		return false;
	}

	/** Runs the command and shuts the engine down; a failed check on the way becomes exit code 70. */
	int RunCommand(IVorpexCommand& Command, FHostEngine& Engine)
	{
		try
		{
			const int32 Code = Command.Run(Engine);
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
	App.footer("Program options go before the command. Bad usage, a bad option value among them, exits with 64.\n"
			   "Run 'vorpex COMMAND --help' for a command's options.");
	FProgramOptions Options;
	Options.Register(App);
	const TArray<TUniquePtr<IVorpexCommand>> Commands = FCommandTable::MakeCommands();
	TArray<FRegisteredCommand> Registered;
	for (const TUniquePtr<IVorpexCommand>& Command : Commands)
	{
		Registered.Add({Command->Register(App), Command.get()});
	}
	if (!CheckCommandName(argc, argv, Registered))
	{
		return ExitUsage;
	}

	IVorpexCommand* Chosen = nullptr;
	try
	{
		App.parse(argc, argv);
		// require_subcommand made sure exactly one command was given.
		for (const FRegisteredCommand& Candidate : Registered)
		{
			Chosen = Candidate.Subcommand->parsed() ? Candidate.Command : Chosen;
		}
		Chosen->Validate();
		Options.Apply();
	}
	catch (const CLI::ParseError& Error)
	{
		const int Code = App.exit(Error);
		return Code == 0 ? 0 : ExitUsage;
	}

	// Rendering stops before main returns (the engine's shut-down): a command still running at
	// exit would race the destruction of static objects, the driver's among them.
	FHostEngine Engine(FProgramLayout::OfRunningProgram());
	return RunCommand(*Chosen, Engine);
}
