// Work handed to the game thread, and the live state read beside it: results, failures and
// shutting down reach the waiting threads.

#include "GameThreadQueue.h"
#include "LiveState.h"
#include "Misc/AssertionMacros.h"

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

TEST(GameThreadQueue, RunsWorkInOrderAndGivesBackResultsAndFailures)
{
	FGameThreadQueue Queue;
	std::vector<int32> Order;
	std::atomic<bool> bDone{false};
	std::thread Caller(
		[&]
		{
			EXPECT_EQ(Queue.Call([&] { Order.push_back(1); return 10; }), 10);
			EXPECT_THROW(Queue.Call([]() -> int32 { checkf(false, TEXT("broken")); return 0; }), FCheckFailure);
			Queue.Call([&] { Order.push_back(2); });
			bDone = true;
		});
	while (!bDone)
	{
		Queue.RunQueued(1ms);
	}
	Caller.join();
	EXPECT_EQ(Order, (std::vector<int32>{1, 2}));
}

TEST(GameThreadQueue, ClosingLetsWaitingCallersGo)
{
	FGameThreadQueue Queue;
	std::thread Waiting([&] { EXPECT_ANY_THROW(Queue.Call([] { return 1; })); });
	// The call is queued but never run: the game thread ends instead.
	std::this_thread::sleep_for(20ms);
	Queue.Close();
	Waiting.join();
	EXPECT_THROW(Queue.Call([] { return 2; }), FGameThreadQueueClosed);
	EXPECT_FALSE(Queue.RunQueued(0ms));
}

TEST(LiveState, WaitsForTheNextChangeOnly)
{
	FLiveState State;
	State.Publish(1, false, {{TEXT("smile"), 0.5f}}, {});
	const int64 First = State.Get().Version;
	// The same state again is no change.
	State.Publish(1, false, {{TEXT("smile"), 0.5f}}, {});
	EXPECT_EQ(State.Get().Version, First);
	EXPECT_EQ(State.WaitNewerThan(First, 10ms).Version, First) << "a wait for a newer state ends with the latest when none comes";

	std::thread Publisher(
		[&]
		{
			std::this_thread::sleep_for(20ms);
			State.Publish(1, true, {{TEXT("smile"), 0.5f}}, {});
		});
	const FLiveStateSnapshot Newer = State.WaitNewerThan(First, 10s);
	Publisher.join();
	EXPECT_EQ(Newer.Version, First + 1);
	EXPECT_TRUE(Newer.bBusy);

	FLiveAlbedo Albedo;
	Albedo.Mesh = TEXT("Body");
	Albedo.Version = 1;
	State.Publish(1, true, {{TEXT("smile"), 0.5f}}, {Albedo});
	EXPECT_EQ(State.Get().Version, First + 2);
	State.Publish(1, true, {{TEXT("smile"), 0.25f}}, {Albedo});
	EXPECT_EQ(State.Get().Version, First + 3);
}

TEST(LiveState, WakingEndsEveryWait)
{
	FLiveState State;
	std::thread Waiter([&] { EXPECT_EQ(State.WaitNewerThan(100, 60s).Version, 0); });
	std::this_thread::sleep_for(20ms);
	State.WakeAll();
	Waiter.join();
}
