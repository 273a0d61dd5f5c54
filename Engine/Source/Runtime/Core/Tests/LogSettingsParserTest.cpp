#include "Logging/LogSettingsParser.h"

#include <gtest/gtest.h>

TEST(LogSettingsParserTest, ReadsPairsInOrderWithAnyCaseAndSpacing)
{
	TArray<FLogSetting> Settings;
	FString Error;
	ASSERT_TRUE(FLogSettingsParser::ParseLogCommands("LogTemp Error,  logrhi   verbose ,\tGLOBAL warning", Settings, Error)) << *Error;
	ASSERT_EQ(Settings.Num(), 3);
	EXPECT_EQ(Settings[0].CategoryName.ToStdString(), "LogTemp");
	EXPECT_EQ(Settings[0].Verbosity, ELogVerbosity::Error);
	EXPECT_FALSE(Settings[0].IsGlobal());
	EXPECT_EQ(Settings[1].CategoryName.ToStdString(), "logrhi");
	EXPECT_EQ(Settings[1].Verbosity, ELogVerbosity::Verbose);
	EXPECT_TRUE(Settings[2].IsGlobal());
	EXPECT_EQ(Settings[2].Verbosity, ELogVerbosity::Warning);
}

TEST(LogSettingsParserTest, KnowsEverySettableVerbosityAndNoOther)
{
	const std::pair<const char*, ELogVerbosity::Type> Known[] = {
		{"Fatal", ELogVerbosity::Fatal}, {"Error", ELogVerbosity::Error}, {"Warning", ELogVerbosity::Warning},
		{"Display", ELogVerbosity::Display}, {"Log", ELogVerbosity::Log}, {"Verbose", ELogVerbosity::Verbose},
		{"VERYVERBOSE", ELogVerbosity::VeryVerbose}};
	for (const auto& [Name, Expected] : Known)
	{
		ELogVerbosity::Type Verbosity = ELogVerbosity::NoLogging;
		EXPECT_TRUE(FLogSettingsParser::ParseVerbosity(Name, Verbosity)) << Name;
		EXPECT_EQ(Verbosity, Expected) << Name;
	}
	for (const char* Unknown : {"", "Warn", "NoLogging", "All", "3", "Very Verbose"})
	{
		ELogVerbosity::Type Verbosity = ELogVerbosity::Display;
		EXPECT_FALSE(FLogSettingsParser::ParseVerbosity(Unknown, Verbosity)) << Unknown;
		EXPECT_EQ(Verbosity, ELogVerbosity::Display) << "left alone on failure";
	}
}

TEST(LogSettingsParserTest, RefusesBadPairsWithTheirTextAndKeepsEarlierResult)
{
	TArray<FLogSetting> Settings{FLogSetting{"LogKept", ELogVerbosity::Verbose}};
	FString Error;
	EXPECT_FALSE(FLogSettingsParser::ParseLogCommands("LogTemp Error, LogRHI Loud", Settings, Error));
	EXPECT_EQ(Error.ToStdString(), "unknown verbosity 'Loud' for LogRHI; the verbosities are Fatal, Error, Warning, Display, Log, Verbose, VeryVerbose");
	ASSERT_EQ(Settings.Num(), 1);
	EXPECT_EQ(Settings[0].CategoryName.ToStdString(), "LogKept");

	EXPECT_FALSE(FLogSettingsParser::ParseLogCommands("LogTemp Error, LogRHI", Settings, Error));
	EXPECT_EQ(Error.ToStdString(), "'LogRHI' is not a CATEGORY VERBOSITY pair");
	EXPECT_FALSE(FLogSettingsParser::ParseLogCommands("LogTemp Error Verbose", Settings, Error));
	EXPECT_EQ(Error.ToStdString(), "'LogTemp Error Verbose' is not a CATEGORY VERBOSITY pair");
	EXPECT_FALSE(FLogSettingsParser::ParseLogCommands("LogTemp Error,", Settings, Error));
	EXPECT_EQ(Error.ToStdString(), "'' is not a CATEGORY VERBOSITY pair");
	EXPECT_FALSE(FLogSettingsParser::ParseLogCommands("", Settings, Error));
	EXPECT_EQ(Settings.Num(), 1);
}

TEST(LogSettingsParserTest, ReadsAssignments)
{
	FLogSetting Setting;
	FString Error;
	ASSERT_TRUE(FLogSettingsParser::ParseAssignment("LogTemp=veryverbose", Setting, Error)) << *Error;
	EXPECT_EQ(Setting.CategoryName.ToStdString(), "LogTemp");
	EXPECT_EQ(Setting.Verbosity, ELogVerbosity::VeryVerbose);

	for (const char* Bad : {"LogTemp", "LogTemp=", "=Error", "Log Temp=Error", "LogTemp Error"})
	{
		EXPECT_FALSE(FLogSettingsParser::ParseAssignment(Bad, Setting, Error)) << Bad;
		EXPECT_EQ(Error.ToStdString(), std::string("'") + Bad + "' is not a CATEGORY=VERBOSITY setting");
	}
	EXPECT_FALSE(FLogSettingsParser::ParseAssignment("LogTemp=Error=Log", Setting, Error));
	EXPECT_TRUE(Error.StartsWith("unknown verbosity 'Error=Log' for LogTemp"));
}
