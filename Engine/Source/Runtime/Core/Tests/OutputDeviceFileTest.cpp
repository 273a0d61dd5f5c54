#include "Logging/LogMacros.h"
#include "Misc/FileHelper.h"
#include "Misc/OutputDeviceFile.h"
#include "Misc/OutputDeviceStdError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

DEFINE_LOG_CATEGORY_STATIC(LogFileTest, VeryVerbose, All);

namespace
{
	class OutputDeviceFileTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Folder = std::filesystem::temp_directory_path() / ("OutputDeviceFileTest-" + std::to_string(std::random_device{}()));
			std::filesystem::create_directories(Folder);
		}

		void TearDown() override
		{
			FOutputDeviceStdError::Get().SetThreshold(ELogVerbosity::All);
			std::filesystem::remove_all(Folder);
		}

		FString PathOf(const char* Name) const { return FString((Folder / Name).string()); }

		static TArray<FString> LinesOf(const FString& Path)
		{
			TArray<FString> Lines;
			FFileHelper::LoadFileToStringArray(Lines, *Path);
			return Lines;
		}

		std::filesystem::path Folder;
	};
}

TEST_F(OutputDeviceFileTest, AppendsLinesUpToItsThresholdInTheLogLayout)
{
	const FString Path = PathOf("run.log");
	ASSERT_TRUE(FFileHelper::SaveStringToFile("earlier run\n", *Path));
	FString Error;
	{
		TUniquePtr<FOutputDeviceFile> File = FOutputDeviceFile::Open(Path, ELogVerbosity::Log, Error);
		ASSERT_TRUE(File) << *Error;
		UE_LOG(LogFileTest, Warning, TEXT("careful %d"), 1);
		UE_LOG(LogFileTest, Log, TEXT("plain"));
		UE_LOG(LogFileTest, Verbose, TEXT("too detailed for the file"));
		File->SetThreshold(ELogVerbosity::Error);
		UE_LOG(LogFileTest, Warning, TEXT("dropped after the change"));
		UE_LOG(LogFileTest, Error, TEXT("broken"));
	}
	UE_LOG(LogFileTest, Error, TEXT("after the file closed"));
	EXPECT_EQ(LinesOf(Path), (TArray<FString>{"earlier run", "LogFileTest: Warning: careful 1", "LogFileTest: plain", "LogFileTest: Error: broken"}));
}

TEST_F(OutputDeviceFileTest, TerminalThresholdIsSeparateFromTheFile)
{
	const FString Path = PathOf("all.log");
	FString Error;
	TUniquePtr<FOutputDeviceFile> File = FOutputDeviceFile::Open(Path, ELogVerbosity::All, Error);
	ASSERT_TRUE(File) << *Error;
	FOutputDeviceStdError::Get().SetThreshold(ELogVerbosity::Error);
	::testing::internal::CaptureStderr();
	UE_LOG(LogFileTest, VeryVerbose, TEXT("detail"));
	UE_LOG(LogFileTest, Warning, TEXT("careful"));
	UE_LOG(LogFileTest, Error, TEXT("broken"));
	const std::string Terminal = ::testing::internal::GetCapturedStderr();
	EXPECT_EQ(Terminal, "LogFileTest: Error: broken\n");
	EXPECT_EQ(LinesOf(Path), (TArray<FString>{"LogFileTest: VeryVerbose: detail", "LogFileTest: Warning: careful", "LogFileTest: Error: broken"}));
}

TEST_F(OutputDeviceFileTest, RefusesAFileThatCannotBeOpenedWithTheReason)
{
	FString Error;
	const FString Path = PathOf("no-such-folder/run.log");
	EXPECT_FALSE(FOutputDeviceFile::Open(Path, ELogVerbosity::All, Error));
	EXPECT_EQ(Error.ToStdString(), "cannot open log file " + Path.ToStdString() + ": No such file or directory");
	EXPECT_FALSE(FOutputDeviceFile::Open(FString(Folder.string()), ELogVerbosity::All, Error));
	EXPECT_TRUE(Error.EndsWith(": Is a directory"));
}

TEST_F(OutputDeviceFileTest, KeepsLinesFromManyThreadsWhole)
{
	const FString Path = PathOf("threads.log");
	FString Error;
	TUniquePtr<FOutputDeviceFile> File = FOutputDeviceFile::Open(Path, ELogVerbosity::All, Error);
	ASSERT_TRUE(File) << *Error;
	FOutputDeviceStdError::Get().SetThreshold(ELogVerbosity::Fatal);
	std::vector<std::thread> Threads;
	for (int32 Index = 0; Index < 4; ++Index)
	{
		Threads.emplace_back([Index] {
			for (int32 Round = 0; Round < 250; ++Round)
			{
				UE_LOG(LogFileTest, Display, TEXT("thread %d round %d with a longer tail to interleave"), Index, Round);
			}
		});
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	const TArray<FString> Lines = LinesOf(Path);
	ASSERT_EQ(Lines.Num(), 1000);
	std::set<std::string> Distinct;
	for (const FString& Line : Lines)
	{
		EXPECT_TRUE(Line.StartsWith("LogFileTest: Display: thread ") && Line.EndsWith(" with a longer tail to interleave")) << *Line;
		Distinct.insert(Line.ToStdString());
	}
	EXPECT_EQ(Distinct.size(), 1000u);
}
