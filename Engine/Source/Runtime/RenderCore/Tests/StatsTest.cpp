#include "RenderCoreTestEnvironment.h"
#include "RenderGraphEvent.h"
#include "ShaderCompilerEnvironment.h"
#include "Stats/Stats.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

DECLARE_STATS_GROUP(TEXT("Render Core Tests"), STATGROUP_RenderCoreTest, STATCAT_Advanced);
DECLARE_CYCLE_STAT(TEXT("Stats Test Work"), STAT_RenderCoreTest_Work, STATGROUP_RenderCoreTest);
DECLARE_CYCLE_STAT(TEXT("Stats Test Threads"), STAT_RenderCoreTest_Threads, STATGROUP_RenderCoreTest);

namespace
{
	void DoTimedWork(std::chrono::milliseconds Duration)
	{
		SCOPE_CYCLE_COUNTER(STAT_RenderCoreTest_Work);
		std::this_thread::sleep_for(Duration);
	}
}

TEST(StatsTest, CycleCountersAddCallsAndTimeToTheStatFoundByName)
{
	const FCycleStat* Stat = FCycleStat::Find(FString(TEXT("STAT_RenderCoreTest_Work")));
	ASSERT_NE(Stat, nullptr) << "declared stats are registered when first used or looked up";
	EXPECT_EQ(Stat->GetCounterName(), TEXT("Stats Test Work"));
	EXPECT_EQ(Stat->GetGroupName(), TEXT("STATGROUP_RenderCoreTest"));
	EXPECT_STREQ(FStatGroup_STATGROUP_RenderCoreTest::GetGroupDisplayName(), "Render Core Tests");
	EXPECT_STREQ(FStatGroup_STATGROUP_RenderCoreTest::GetGroupCategory(), "STATCAT_Advanced");

	const int64 CallsBefore = Stat->GetCallCount();
	const double SecondsBefore = Stat->GetTotalSeconds();
	DoTimedWork(std::chrono::milliseconds(20));
	DoTimedWork(std::chrono::milliseconds(0));
	EXPECT_EQ(Stat->GetCallCount(), CallsBefore + 2);
	EXPECT_GE(Stat->GetTotalSeconds() - SecondsBefore, 0.02);
	EXPECT_LT(Stat->GetTotalSeconds() - SecondsBefore, 5.0);

	EXPECT_EQ(FCycleStat::Find(FString(TEXT("stat_rendercoretest_work"))), Stat) << "stat names ignore letter case";
	EXPECT_EQ(FCycleStat::Find(FString(TEXT("STAT_NeverDeclared"))), nullptr);
	EXPECT_EQ(&FCycleStat::FindOrAdd(TEXT("STAT_RenderCoreTest_Work"), TEXT("Another counter name"), TEXT("STATGROUP_Other")), Stat);
	EXPECT_EQ(Stat->GetCounterName(), TEXT("Stats Test Work")) << "the first declaration's counter name stays";
}

TEST(StatsTest, ScopesOnManyThreadsAreAllCounted)
{
	const FCycleStat& Stat = *GET_STATID(STAT_RenderCoreTest_Threads).Stat;
	const int64 Before = Stat.GetCallCount();
	constexpr int32 NumThreads = 8;
	constexpr int32 ScopesPerThread = 5000;
	std::vector<std::thread> Threads;
	for (int32 Thread = 0; Thread < NumThreads; ++Thread)
	{
		Threads.emplace_back([] {
			for (int32 Index = 0; Index < ScopesPerThread; ++Index)
			{
				SCOPE_CYCLE_COUNTER(STAT_RenderCoreTest_Threads);
			}
		});
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	EXPECT_EQ(Stat.GetCallCount() - Before, int64(NumThreads) * ScopesPerThread);
}

TEST(StatsTest, EventNamesAreFormattedWhenMade)
{
	EXPECT_STREQ(RDG_EVENT_NAME("Colorize %dx%d %s", 64, 32, "Skin").GetTCHAR(), "Colorize 64x32 Skin");
	EXPECT_STREQ(RDG_EVENT_NAME("Plain").GetTCHAR(), "Plain");
	EXPECT_STREQ(FRDGEventName().GetTCHAR(), "");
	const FString Long = FString::ChrN(5000, 'x');
	EXPECT_EQ(FRDGEventName(TEXT("%s!"), *Long).ToString(), Long + TEXT("!")) << "no length limit";
}

TEST(StatsTest, CompilerEnvironmentWritesEachDefineAsHlslReadsIt)
{
	FShaderCompilerEnvironment Environment;
	Environment.SetDefine(TEXT("INT_VALUE"), -7);
	Environment.SetDefine(TEXT("UINT_VALUE"), 8u);
	Environment.SetDefine(TEXT("BIG_UINT"), 4000000000u);
	Environment.SetDefine(TEXT("WHOLE_FLOAT"), 2.0f);
	Environment.SetDefine(TEXT("FRACTION"), 0.1f);
	Environment.SetDefine(TEXT("HUGE_FLOAT"), 1e20f);
	Environment.SetDefine(TEXT("FLAG_ON"), true);
	Environment.SetDefine(TEXT("FLAG_OFF"), false);
	Environment.SetDefine(TEXT("TEXT_VALUE"), TEXT("float3(1, 2, 3)"));
	Environment.SetDefine(TEXT("REPLACED"), 1);
	Environment.SetDefine(TEXT("REPLACED"), FString(TEXT("2")));

	const TMap<FString, FString>& Defines = Environment.GetDefinitions();
	EXPECT_EQ(Defines.Num(), 10);
	EXPECT_EQ(Defines.FindChecked(FString(TEXT("INT_VALUE"))), TEXT("-7"));
	EXPECT_EQ(Defines.FindChecked(FString(TEXT("UINT_VALUE"))), TEXT("8"));
	EXPECT_EQ(Defines.FindChecked(FString(TEXT("BIG_UINT"))), TEXT("4000000000u"));
	EXPECT_EQ(Defines.FindChecked(FString(TEXT("WHOLE_FLOAT"))), TEXT("2.0")) << "a float without a point would be an int in HLSL";
	EXPECT_EQ(std::stof(Defines.FindChecked(FString(TEXT("FRACTION"))).ToStdString()), 0.1f) << "the text reads back to the same float";
	EXPECT_EQ(std::stof(Defines.FindChecked(FString(TEXT("HUGE_FLOAT"))).ToStdString()), 1e20f);
	EXPECT_EQ(Defines.FindChecked(FString(TEXT("FLAG_ON"))), TEXT("1"));
	EXPECT_EQ(Defines.FindChecked(FString(TEXT("FLAG_OFF"))), TEXT("0"));
	EXPECT_EQ(Defines.FindChecked(FString(TEXT("TEXT_VALUE"))), TEXT("float3(1, 2, 3)"));
	EXPECT_EQ(Defines.FindChecked(FString(TEXT("REPLACED"))), TEXT("2"));

	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Environment.SetDefine(TEXT("BAD"), std::numeric_limits<float>::quiet_NaN()); }),
		"FShaderCompilerEnvironment::SetDefine: 'BAD' is nan, which HLSL has no literal for");
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Environment.SetDefine(TEXT("BAD"), std::numeric_limits<float>::infinity()); }),
		"FShaderCompilerEnvironment::SetDefine: 'BAD' is inf, which HLSL has no literal for");
	EXPECT_FALSE(Defines.Contains(FString(TEXT("BAD"))));
}
