#include "Logging/LogCapture.h"
#include "Logging/LogMacros.h"
#include "Misc/AssertionMacros.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

DEFINE_LOG_CATEGORY_STATIC(LogQuiet, Warning, All);

TEST(LoggingTest, CaptureSeesExactMessagesAndLines)
{
	FLogCapture Capture;
	UE_LOG(LogTemp, Warning, TEXT("%s - Unable to assign data models. No valid %s assigned"), TEXT("UHC::Fn"), TEXT("CEConfigData"));
	UE_LOG(LogTemp, Log, TEXT("SaveToFile: Successfully saved file to %s"), TEXT("/tmp/a.bin"));
	UE_LOG(LogTemp, Display, TEXT("count %d"), 3);

	const TArray<FString> Lines = Capture.GetLines();
	ASSERT_EQ(Lines.Num(), 3);
	EXPECT_TRUE(Lines[0].Equals("LogTemp: Warning: UHC::Fn - Unable to assign data models. No valid CEConfigData assigned"));
	EXPECT_TRUE(Lines[1].Equals("LogTemp: SaveToFile: Successfully saved file to /tmp/a.bin"));
	EXPECT_TRUE(Lines[2].Equals("LogTemp: Display: count 3"));
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Display), (TArray<FString>{"count 3"}));
	EXPECT_TRUE(Capture.Contains("count 3"));
	EXPECT_FALSE(Capture.Contains("COUNT 3"));
}

TEST(LoggingTest, CategoryVerbosityFiltersMessages)
{
	FLogCapture Capture;
	UE_LOG(LogQuiet, Log, TEXT("dropped"));
	UE_LOG(LogQuiet, Warning, TEXT("kept"));
	LogQuiet.SetVerbosity(ELogVerbosity::Error);
	UE_LOG(LogQuiet, Warning, TEXT("dropped too"));
	LogQuiet.SetVerbosity(ELogVerbosity::Warning);
	EXPECT_EQ(Capture.GetEntries().Num(), 1);
	EXPECT_TRUE(Capture.Contains("kept"));
}

TEST(LoggingTest, CaptureStopsWhenDestroyedAndCollectsFromAllThreads)
{
	FLogCapture Outer;
	{
		FLogCapture Inner;
		std::vector<std::thread> Threads;
		for (int32 Index = 0; Index < 4; ++Index)
		{
			Threads.emplace_back([] {
				for (int32 Round = 0; Round < 50; ++Round)
				{
					UE_LOG(LogTemp, Verbose, TEXT("r%d"), Round);
					UE_LOG(LogTemp, Log, TEXT("r%d"), Round);
				}
			});
		}
		for (std::thread& Thread : Threads)
		{
			Thread.join();
		}
		EXPECT_EQ(Inner.GetEntries().Num(), 200);
	}
	UE_LOG(LogTemp, Error, TEXT("after"));
	EXPECT_EQ(Outer.GetEntries().Num(), 201);
}

TEST(LoggingTest, FatalLogsThenThrows)
{
	FLogCapture Capture;
	EXPECT_THROW(UE_LOG(LogTemp, Fatal, TEXT("cannot go on")), FCheckFailure);
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Fatal), (TArray<FString>{"cannot go on"}));
}

namespace
{
	int32 CountCalls(int32& Calls)
	{
		return ++Calls;
	}
}

TEST(ChecksTest, FailedChecksLogTheirTextAndThrowIt)
{
	FLogCapture Capture;
	const int32 Sides = 2;
	try
	{
		check(Sides >= 3);
		FAIL() << "check did not throw";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetExpression(), "Sides >= 3");
		EXPECT_TRUE(Failure.GetMessage().empty());
		EXPECT_STREQ(Failure.what(), "Assertion failed: Sides >= 3");
	}
	const TArray<FString> Errors = Capture.GetMessages(ELogVerbosity::Error);
	ASSERT_EQ(Errors.Num(), 1);
	EXPECT_TRUE(Errors[0].StartsWith("Assertion failed: Sides >= 3 [File:"));

	try
	{
		checkf(Sides >= 3, TEXT("got %d sides"), Sides);
		FAIL() << "checkf did not throw";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetExpression(), "Sides >= 3");
		EXPECT_EQ(Failure.GetMessage(), "got 2 sides");
	}
	EXPECT_THROW(checkNoEntry(), FCheckFailure);
	EXPECT_NO_THROW(check(Sides == 2));
}

TEST(ChecksTest, VerifyAndEnsureEvaluateOnceAndReportOutcome)
{
	int32 Calls = 0;
	verify(CountCalls(Calls) == 1);
	EXPECT_EQ(Calls, 1);
	EXPECT_TRUE(ensure(CountCalls(Calls) == 2));
	EXPECT_EQ(Calls, 2);
	EXPECT_THROW(ensure(CountCalls(Calls) == 0), FCheckFailure);
	EXPECT_EQ(Calls, 3);
	EXPECT_THROW(ensureMsgf(false, TEXT("reason %s"), TEXT("x")), FCheckFailure);
}
