#include "Logging/LogCapture.h"
#include "Logging/LogCategoryRegistry.h"
#include "Logging/LogMacros.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

DEFINE_LOG_CATEGORY_STATIC(LogRegistryFirst, Log, All);
DEFINE_LOG_CATEGORY_STATIC(LogRegistrySecond, Warning, All);
DEFINE_LOG_CATEGORY_STATIC(LogRegistryShared, Log, All);

namespace
{
	/** Puts the categories a test changes back to their declared verbosities. */
	class FVerbosityRestorer
	{
	public:
		~FVerbosityRestorer()
		{
			LogRegistryFirst.SetVerbosity(ELogVerbosity::Log);
			LogRegistrySecond.SetVerbosity(ELogVerbosity::Warning);
			LogRegistryShared.SetVerbosity(ELogVerbosity::Log);
		}
	};

	/** Reports a failed expectation of a forked test on its standard error and fails its exit code. */
	int32 GForkedFailures = 0;
	void ExpectInFork(bool bHolds, const char* What)
	{
		if (!bHolds)
		{
			std::fprintf(stderr, "failed: %s\n", What);
			++GForkedFailures;
		}
	}
}

TEST(LogCategoryRegistryTest, FindsCategoriesByNameInAnyCase)
{
	FLogCategoryRegistry& Registry = FLogCategoryRegistry::Get();
	EXPECT_EQ(Registry.FindCategory("LogRegistryFirst"), &LogRegistryFirst);
	EXPECT_EQ(Registry.FindCategory("LOGREGISTRYFIRST"), &LogRegistryFirst);
	EXPECT_EQ(Registry.FindCategory("logtemp"), &LogTemp);
	EXPECT_EQ(Registry.FindCategory("LogRegistryNobody"), nullptr);
	EXPECT_EQ(Registry.FindCategory("LogRegistry"), nullptr) << "a prefix is not a name";
}

TEST(LogCategoryRegistryTest, LogCommandsSetVerbositiesInOrder)
{
	FVerbosityRestorer Restorer;
	FLogCapture Capture;
	FString Error;
	ASSERT_TRUE(FLogCategoryRegistry::Get().ProcessLogCommands(
		"logregistryfirst Error, LogRegistrySecond VeryVerbose, LogRegistryFirst Display", Error)) << *Error;
	EXPECT_EQ(LogRegistryFirst.GetVerbosity(), ELogVerbosity::Display);
	EXPECT_EQ(LogRegistrySecond.GetVerbosity(), ELogVerbosity::VeryVerbose);

	UE_LOG(LogRegistryFirst, Log, TEXT("dropped"));
	UE_LOG(LogRegistryFirst, Display, TEXT("shown"));
	UE_LOG(LogRegistrySecond, VeryVerbose, TEXT("detail"));
	EXPECT_EQ(Capture.GetLines(), (TArray<FString>{"LogRegistryFirst: Display: shown", "LogRegistrySecond: VeryVerbose: detail"}));
}

TEST(LogCategoryRegistryTest, UnknownCategoryOrVerbosityChangesNothing)
{
	FVerbosityRestorer Restorer;
	FString Error;
	EXPECT_FALSE(FLogCategoryRegistry::Get().ProcessLogCommands("LogRegistryFirst Error, LogRegistryNobody Verbose, global Fatal", Error));
	EXPECT_EQ(Error.ToStdString(), "unknown log category 'LogRegistryNobody'");
	EXPECT_FALSE(FLogCategoryRegistry::Get().ProcessLogCommands("LogRegistryFirst Error, LogRegistrySecond Chatty", Error));
	EXPECT_TRUE(Error.StartsWith("unknown verbosity 'Chatty' for LogRegistrySecond"));
	EXPECT_EQ(LogRegistryFirst.GetVerbosity(), ELogVerbosity::Log);
	EXPECT_EQ(LogRegistrySecond.GetVerbosity(), ELogVerbosity::Warning);
	EXPECT_EQ(LogTemp.GetVerbosity(), ELogVerbosity::Log);
}

TEST(LogCategoryRegistryTest, CategoryOfTheSameNameDeclaredLaterGetsTheSetting)
{
	FVerbosityRestorer Restorer;
	FString Error;
	ASSERT_TRUE(FLogCategoryRegistry::Get().ProcessLogCommands("LogRegistryShared Error", Error)) << *Error;
	// Another module's declaration of the same category, made when that module loads.
	static FLogCategory<ELogVerbosity::Log, ELogVerbosity::All> LateDeclaration("logregistryshared");
	EXPECT_EQ(LateDeclaration.GetVerbosity(), ELogVerbosity::Error);
	EXPECT_EQ(LogRegistryShared.GetVerbosity(), ELogVerbosity::Error);

	ASSERT_TRUE(FLogCategoryRegistry::Get().ProcessLogCommands("LogRegistryShared Verbose", Error)) << *Error;
	EXPECT_EQ(LateDeclaration.GetVerbosity(), ELogVerbosity::Verbose) << "a later setting reaches every declaration";
	LateDeclaration.SetVerbosity(ELogVerbosity::Log);
}

namespace
{
	[[noreturn]] void CheckGlobalSettingsAndExit()
	{
		FString Error;
		FLogCategoryRegistry& Registry = FLogCategoryRegistry::Get();
		ExpectInFork(Registry.ProcessLogCommands("LogRegistrySecond Verbose, Global Error, LogRegistryFirst Display", Error), "applies");
		ExpectInFork(LogTemp.GetVerbosity() == ELogVerbosity::Error, "LogTemp takes the global setting");
		ExpectInFork(LogRegistrySecond.GetVerbosity() == ELogVerbosity::Error, "global overrides an earlier named setting");
		ExpectInFork(LogRegistryFirst.GetVerbosity() == ELogVerbosity::Display, "a later named setting overrides global");

		static FLogCategory<ELogVerbosity::Log, ELogVerbosity::All> LateCategory("LogRegistryLate");
		ExpectInFork(LateCategory.GetVerbosity() == ELogVerbosity::Error, "a later category takes the global setting");
		static FLogCategory<ELogVerbosity::Log, ELogVerbosity::All> LateFirst("LogRegistryFirst");
		ExpectInFork(LateFirst.GetVerbosity() == ELogVerbosity::Display, "a later declaration takes its named setting over global");
		ExpectInFork(Registry.FindCategory("logregistrylate") == &LateCategory, "a later category is found");

		ExpectInFork(Registry.ProcessLogCommands("global VeryVerbose", Error), "applies again");
		ExpectInFork(LateFirst.GetVerbosity() == ELogVerbosity::VeryVerbose, "a later global overrides named settings");
		static FLogCategory<ELogVerbosity::Log, ELogVerbosity::All> LaterFirst("LogRegistryFirst");
		ExpectInFork(LaterFirst.GetVerbosity() == ELogVerbosity::VeryVerbose, "named settings before a global one are forgotten");
		std::exit(GForkedFailures);
	}
}

// Global settings last for the process, so this test makes them in a child process.
TEST(LogCategoryRegistryTest, GlobalSetsEveryCategoryAndLaterOnes)
{
	EXPECT_EXIT(CheckGlobalSettingsAndExit(), ::testing::ExitedWithCode(0), "");
}

TEST(LogCategoryRegistryTest, SettingsAndLoggingFromManyThreads)
{
	FVerbosityRestorer Restorer;
	FLogCapture Capture;
	std::vector<std::thread> Threads;
	for (int32 Index = 0; Index < 4; ++Index)
	{
		Threads.emplace_back([Index] {
			for (int32 Round = 0; Round < 100; ++Round)
			{
				UE_LOG(LogRegistryFirst, Error, TEXT("thread %d round %d"), Index, Round);
				UE_LOG(LogRegistryFirst, VeryVerbose, TEXT("maybe"));
			}
		});
	}
	Threads.emplace_back([] {
		for (int32 Round = 0; Round < 100; ++Round)
		{
			FString Error;
			const bool bApplied = FLogCategoryRegistry::Get().ProcessLogCommands(Round % 2 ? "LogRegistryFirst Error" : "LogRegistryFirst VeryVerbose", Error);
			ASSERT_TRUE(bApplied) << *Error;
			static FLogCategory<ELogVerbosity::Log, ELogVerbosity::All> Other("LogRegistryThreaded");
			EXPECT_EQ(FLogCategoryRegistry::Get().FindCategory("LogRegistryThreaded"), &Other);
		}
	});
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error).Num(), 400);
	EXPECT_EQ(LogRegistryFirst.GetVerbosity(), ELogVerbosity::Error);
}
