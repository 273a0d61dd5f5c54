#include "CoreGlobals.h"
#include "Misc/ScopeLock.h"

#include <gtest/gtest.h>

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
