#include "VorpexCliTestFolder.h"

#include <string>

// The program's own options, run through the built `vorpex`. A catalog that does not exist makes
// `inspect` log a warning on LogTemp and exit 1, which shows what reaches each log destination.
class ProgramOptionsTest : public VorpexCliTestFolder
{
protected:
	std::string MissingCatalog() const { return PathOf("missing.json"); }

	std::string WarningLine() const { return "LogTemp: Warning: Failed to load file: " + MissingCatalog() + "\n"; }

	std::string CommandFailure() const { return "vorpex: cannot load catalog " + MissingCatalog() + "\n"; }

	FVorpexRun InspectMissing(std::vector<std::string> Options) const
	{
		Options.insert(Options.end(), {"inspect", "catalog", MissingCatalog()});
		return Run(Options);
	}

	/** Expects exit 64 with Reason, before the command ran (it would have logged its warning). */
	static void ExpectRefused(const FVorpexRun& Result, const std::string& Reason)
	{
		EXPECT_EQ(Result.ExitCode, 64);
		EXPECT_EQ(Result.Out, "");
		EXPECT_EQ(Result.Err, Reason + "\nRun with --help for more information.\n");
	}
};

TEST_F(ProgramOptionsTest, LogVerbosityHidesTheCommandsWarning)
{
	const FVorpexRun Plain = InspectMissing({});
	EXPECT_EQ(Plain.ExitCode, 1);
	EXPECT_EQ(Plain.Err, WarningLine() + CommandFailure());

	const FVorpexRun Quiet = InspectMissing({"--log", "logtemp=error"});
	EXPECT_EQ(Quiet.ExitCode, 1);
	EXPECT_EQ(Quiet.Err, CommandFailure());

	const FVorpexRun Commands = InspectMissing({"--logcmds", "LogCore Verbose, LogTemp Error"});
	EXPECT_EQ(Commands.Err, CommandFailure());
	const FVorpexRun Global = InspectMissing({"--logcmds", "global Error"});
	EXPECT_EQ(Global.Err, CommandFailure());
}

TEST_F(ProgramOptionsTest, LaterLogSettingsWin)
{
	const FVorpexRun LogAfterCommands = InspectMissing({"--logcmds", "LogTemp Error", "--log", "LogTemp=Warning"});
	EXPECT_EQ(LogAfterCommands.Err, WarningLine() + CommandFailure());
	const FVorpexRun RepeatedLog = InspectMissing({"--log", "global=Fatal", "--log", "LogTemp=Display"});
	EXPECT_EQ(RepeatedLog.Err, WarningLine() + CommandFailure());
	const FVorpexRun LastHides = InspectMissing({"--log", "LogTemp=Display", "--log", "LogTemp=Error"});
	EXPECT_EQ(LastHides.Err, CommandFailure());
}

TEST_F(ProgramOptionsTest, LogFileGetsTheLogAppendedAndTheTerminalKeepsIt)
{
	const std::string LogFile = WriteText("logs/run.log", "earlier run\n");
	const FVorpexRun First = InspectMissing({"--log-file", LogFile});
	EXPECT_EQ(First.ExitCode, 1);
	EXPECT_EQ(First.Err, WarningLine() + CommandFailure());
	EXPECT_EQ(ReadFile("logs/run.log"), "earlier run\n" + WarningLine());

	const FVorpexRun Quiet = InspectMissing({"--log", "LogTemp=Error", "--log-file", LogFile});
	EXPECT_EQ(Quiet.Err, CommandFailure());
	EXPECT_EQ(ReadFile("logs/run.log"), "earlier run\n" + WarningLine()) << "the categories gate the file too";

	InspectMissing({"--log-file", LogFile});
	EXPECT_EQ(ReadFile("logs/run.log"), "earlier run\n" + WarningLine() + WarningLine());
}

TEST_F(ProgramOptionsTest, BadLogSettingsAreRefusedBeforeTheCommand)
{
	ExpectRefused(InspectMissing({"--log", "LogTmp=Error"}), "unknown log category 'LogTmp'");
	ExpectRefused(InspectMissing({"--log", "LogTemp=Loud"}),
		"--log: unknown verbosity 'Loud' for LogTemp; the verbosities are Fatal, Error, Warning, Display, Log, Verbose, VeryVerbose");
	ExpectRefused(InspectMissing({"--log", "LogTemp"}), "--log: 'LogTemp' is not a CATEGORY=VERBOSITY setting");
	ExpectRefused(InspectMissing({"--logcmds", "LogTemp Error, LogNobody Log"}), "unknown log category 'LogNobody'");
	ExpectRefused(InspectMissing({"--logcmds", "LogTemp=Error"}), "--logcmds: 'LogTemp=Error' is not a CATEGORY VERBOSITY pair");
	ExpectRefused(InspectMissing({"--log-file", PathOf("no-folder/run.log")}),
		"--log-file: cannot open log file " + PathOf("no-folder/run.log") + ": No such file or directory");
	EXPECT_FALSE(std::filesystem::exists(PathOf("no-folder")));
}

TEST_F(ProgramOptionsTest, ConsoleVariableSettings)
{
	const FVorpexRun Accepted = InspectMissing({"--set", "vorpex.TextureEditing.KeepUnchanged=1", "--set", "VORPEX.TEXTUREEDITING.KEEPUNCHANGED=0"});
	EXPECT_EQ(Accepted.ExitCode, 1) << "the command ran";
	EXPECT_EQ(Accepted.Err, WarningLine() + CommandFailure());

	ExpectRefused(InspectMissing({"--set", "vorpex.TextureEditing.KeepUnchanged=yes"}),
		"--set: 'yes' is not a value of vorpex.TextureEditing.KeepUnchanged");
	ExpectRefused(InspectMissing({"--set", "vorpex.NoSuchSetting=1"}), "--set: no setting is called 'vorpex.NoSuchSetting'");
	ExpectRefused(InspectMissing({"--set", "vorpex.TextureEditing.KeepUnchanged"}),
		"--set: 'vorpex.TextureEditing.KeepUnchanged' is not NAME=VALUE");
	const std::string LogFile = PathOf("refused.log");
	ExpectRefused(InspectMissing({"--log-file", LogFile, "--set", "vorpex.NoSuchSetting=1"}), "--set: no setting is called 'vorpex.NoSuchSetting'");
	EXPECT_FALSE(std::filesystem::exists(LogFile)) << "a refused command line leaves no log file";
}

TEST_F(ProgramOptionsTest, HelpListsTheProgramOptions)
{
	const FVorpexRun Help = Run({"--help"});
	EXPECT_EQ(Help.ExitCode, 0);
	for (const char* Option : {"--log CATEGORY=VERBOSITY", "--logcmds TEXT", "--log-file FILE", "--set NAME=VALUE"})
	{
		EXPECT_NE(Help.Out.find(Option), std::string::npos) << Option;
	}
}
