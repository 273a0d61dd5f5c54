// The program's command table: --help lists every command with what it does, each command has
// help of its own, and a missing or unknown command is bad usage that names the commands.

#include "VorpexCliTestFolder.h"

#include <regex>

namespace
{
	/** Every command, with the start of its line in the help. */
	const std::pair<const char*, const char*> Commands[] = {
		{"inspect", "Print a data file's records as canonical JSON"},
		{"graph", "Print a skin composition's processor graphs as JSON"},
		{"state", "Decode and encode edit-state files"},
		{"cull", "Build attachment culling data"},
		{"edit", "Edit a project's character with a script of slider moves"},
		{"compose", "Compose characters of a project into glTF files, albedos and preview pictures"},
		{"ui", "Print the laid-out character editor of a project's character as JSON"},
		{"studio", "Serve the character editor of a project to a web browser"},
	};
}

using CommandTableTest = VorpexCliTestFolder;

TEST_F(CommandTableTest, HelpListsEveryCommandAndEachCommandHasItsOwn)
{
	const FVorpexRun Help = Run({"--help"});
	EXPECT_EQ(Help.ExitCode, 0);
	EXPECT_EQ(Help.Err, "");
	for (const auto& [Name, Description] : Commands)
	{
		EXPECT_TRUE(std::regex_search(Help.Out, std::regex(std::string("\n  ") + Name + " +" + Description))) << Name << "\n" << Help.Out;
		const FVorpexRun CommandHelp = Run({Name, "--help"});
		EXPECT_EQ(CommandHelp.ExitCode, 0) << Name;
		EXPECT_NE(CommandHelp.Out.find(std::string("Usage: vorpex ") + Name), std::string::npos) << CommandHelp.Out;
	}
}

TEST_F(CommandTableTest, AMissingOrUnknownCommandIsBadUsage)
{
	const FVorpexRun None = Run({});
	EXPECT_EQ(None.ExitCode, 64);
	EXPECT_EQ(None.Out, "");
	EXPECT_NE(None.Err.find("A subcommand is required"), std::string::npos) << None.Err;

	const FVorpexRun Unknown = Run({"frobnicate", "--check"});
	EXPECT_EQ(Unknown.ExitCode, 64);
	EXPECT_EQ(Unknown.Out, "");
	EXPECT_EQ(Unknown.Err, "vorpex: unknown command 'frobnicate'; the commands are inspect, graph, state, cull, edit, compose, ui, studio\nRun with --help for more information.\n");

	// Options before the command are CLI11's to judge.
	const FVorpexRun Option = Run({"--frobnicate"});
	EXPECT_EQ(Option.ExitCode, 64);
	EXPECT_EQ(Option.Out, "");
	EXPECT_NE(Option.Err.find("Run with --help for more information."), std::string::npos) << Option.Err;
}
