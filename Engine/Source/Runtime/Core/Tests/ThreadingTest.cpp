#include "Async/ParallelFor.h"
#include "CoreGlobals.h"
#include "Misc/ScopeLock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(ThreadingTest, CriticalSectionIsRecursiveAndExcludesOtherThreads)
{
	FCriticalSection Section(4000);
	{
		FScopeLock Outer(&Section);
		FScopeLock Inner(&Section); // the holder may take it again
		std::thread Other([&Section] { EXPECT_FALSE(Section.TryLock()); });
		Other.join();
	}
	EXPECT_TRUE(Section.TryLock());
	Section.Unlock();

	int64 Counter = 0;
	std::vector<std::thread> Threads;
	for (int32 Index = 0; Index < 4; ++Index)
	{
		Threads.emplace_back([&] {
			for (int32 Round = 0; Round < 10000; ++Round)
			{
				FScopeLock Lock(&Section);
				++Counter;
			}
		});
	}
	for (std::thread& Thread : Threads)
	{
		Thread.join();
	}
	EXPECT_EQ(Counter, 40000);
}

TEST(ThreadingTest, GameThreadIsTheMainThread)
{
	EXPECT_TRUE(IsInGameThread());
	bool bOtherIsGameThread = true;
	std::thread Other([&] { bOtherIsGameThread = IsInGameThread(); });
	Other.join();
	EXPECT_FALSE(bOtherIsGameThread);
}

TEST(ThreadingTest, ParallelForCallsEveryIndexOnceAndRethrowsTheFirstFailure)
{
	for (const EParallelForFlags Flags : {EParallelForFlags::None, EParallelForFlags::ForceSingleThread})
	{
		constexpr int32 Num = 1000;
		std::vector<std::atomic<int32>> Calls(Num);
		ParallelFor(Num, [&Calls](int32 Index) { ++Calls[size_t(Index)]; }, Flags);
		for (int32 Index = 0; Index < Num; ++Index)
		{
			EXPECT_EQ(Calls[size_t(Index)], 1) << Index;
		}
	}
	ParallelFor(0, [](int32) { ADD_FAILURE() << "no index to call"; });

	std::atomic<int32> Started = 0;
	EXPECT_THROW(ParallelFor(64,
					 [&Started](int32 Index)
					 {
						 ++Started;
						 if (Index == 3)
						 {
							 throw std::runtime_error("index 3");
						 }
						 std::this_thread::sleep_for(std::chrono::milliseconds(1));
					 }),
		std::runtime_error);
	EXPECT_LT(Started, 64) << "indices not yet taken when a call fails are skipped";
}
