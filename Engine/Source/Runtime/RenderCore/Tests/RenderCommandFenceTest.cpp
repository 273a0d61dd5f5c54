#include "Containers/UnrealString.h"
#include "Logging/LogCapture.h"
#include "Logging/LogMacros.h"
#include "Misc/AssertionMacros.h"
#include "RenderCommandFailure.h"
#include "RenderCommandFence.h"
#include "RenderTestHelpers.h"
#include "RenderingThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
	/** What the next flush raises: "<command>|<expression>|<message>|<what>", or "nothing". */
	std::string RaisedByFlush()
	{
		try
		{
			FlushRenderingCommands();
		}
		catch (const FRenderCommandFailure& Failure)
		{
			return Failure.GetCommandName() + "|" + Failure.GetExpression() + "|" + Failure.GetMessage() + "|" + Failure.what();
		}
		return "nothing";
	}
}

using RenderCommandFenceTest = RenderingTest;

TEST_F(RenderCommandFenceTest, AFenceCompletesOnceTheCommandsBeforeItHaveRun)
{
	FRenderCommandFence Unbegun;
	EXPECT_TRUE(Unbegun.IsFenceComplete());
	Unbegun.Wait();

	std::atomic<int32> Ran = 0;
	FRenderThreadGate Gate;
	Gate.Close();
	for (int32 Index = 0; Index < 50; ++Index)
	{
		ENQUEUE_RENDER_COMMAND(EarlierCommand)([&Ran](FRHICommandListImmediate&) { ++Ran; });
	}
	FRenderCommandFence Fence;
	Fence.BeginFence();
	auto Forgotten = std::make_unique<FRenderCommandFence>();
	Forgotten->BeginFence();
	Forgotten.reset(); // its marker still runs later, safely
	ENQUEUE_RENDER_COMMAND(LaterCommand)([&Ran](FRHICommandListImmediate&) {
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
		Ran += 1000;
	});
	ASSERT_TRUE(Gate.Entered());
	std::this_thread::sleep_for(std::chrono::milliseconds(20));
	EXPECT_FALSE(Fence.IsFenceComplete()) << "the render thread is held before the fence";
	EXPECT_EQ(Ran.load(), 0);

	std::thread Opener([&Gate] {
		std::this_thread::sleep_for(std::chrono::milliseconds(30));
		Gate.Open();
	});
	Fence.Wait();
	Opener.join();
	EXPECT_TRUE(Fence.IsFenceComplete());
	EXPECT_EQ(Ran.load() % 1000, 50) << "every earlier command ran before the fence completed";

	// Beginning again forgets the completed marker.
	FRenderThreadGate SecondGate;
	SecondGate.Close();
	Fence.BeginFence();
	EXPECT_FALSE(Fence.IsFenceComplete());
	SecondGate.Open();
	Fence.Wait();
	EXPECT_TRUE(Fence.IsFenceComplete());

	// Flush waits for everything enqueued before it, from any thread.
	std::thread([&Ran] {
		for (int32 Index = 0; Index < 10; ++Index)
		{
			ENQUEUE_RENDER_COMMAND(SlowCommand)([&Ran](FRHICommandListImmediate&) {
				std::this_thread::sleep_for(std::chrono::milliseconds(2));
				++Ran;
			});
		}
	}).join();
	FlushRenderingCommands();
	EXPECT_EQ(Ran.load(), 1060);
}

TEST_F(RenderCommandFenceTest, AFenceBegunOnAnotherThreadIsWaitedOnThere)
{
	std::atomic<int32> Ran = 0;
	FRenderThreadGate Gate;
	Gate.Close();
	std::future<bool> Waited = std::async(std::launch::async, [&Ran] {
		ENQUEUE_RENDER_COMMAND(WorkerCommand)([&Ran](FRHICommandListImmediate&) { ++Ran; });
		FRenderCommandFence Fence;
		Fence.BeginFence();
		Fence.Wait();
		return Ran.load() == 1 && Fence.IsFenceComplete();
	});
	EXPECT_EQ(Waited.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout) << "the worker waits for the held render thread";
	Gate.Open();
	ASSERT_EQ(Waited.wait_for(std::chrono::seconds(20)), std::future_status::ready);
	EXPECT_TRUE(Waited.get());
}

TEST_F(RenderCommandFenceTest, AFailedCheckInACommandIsRaisedOnceAtTheNextFlushAndLaterCommandsStillRun)
{
	FLogCapture Capture;
	bool bLaterRan = false;
	const int32 Value = 1;
	ENQUEUE_RENDER_COMMAND(CheckingCommand)([Value](FRHICommandListImmediate&) {
		checkf(Value == 2, TEXT("Value is %d"), Value);
	});
	ENQUEUE_RENDER_COMMAND(LaterCommand)([&bLaterRan](FRHICommandListImmediate&) { bLaterRan = true; });

	try
	{
		FlushRenderingCommands();
		ADD_FAILURE() << "the failure was not raised";
	}
	catch (const FCheckFailure& Failure)
	{
		// Caught as a plain failed check, it reads as the check was written.
		EXPECT_EQ(Failure.GetExpression(), "Value == 2");
		EXPECT_EQ(Failure.GetMessage(), "Value is 1");
		EXPECT_STREQ(Failure.GetFile(), __FILE__);
		EXPECT_STREQ(Failure.what(), "Render command 'CheckingCommand' failed: Assertion failed: Value == 2 Value is 1");
	}
	EXPECT_TRUE(bLaterRan);
	EXPECT_EQ(RaisedByFlush(), "nothing") << "raised once only";
	EXPECT_TRUE(Capture.Contains(TEXT("Render command 'CheckingCommand' failed: Assertion failed: Value == 2 Value is 1")));

	// The first failure wins; the ones after it are logged, never lost silently or raised later.
	Capture.Clear();
	ENQUEUE_RENDER_COMMAND(FirstFailure)([](FRHICommandListImmediate&) { throw std::runtime_error("disk full"); });
	const int32 CheckLine = __LINE__ + 1;
	ENQUEUE_RENDER_COMMAND(SecondFailure)([Value](FRHICommandListImmediate&) { check(Value + 1 == 3); });
	ENQUEUE_RENDER_COMMAND(ThirdFailure)([](FRHICommandListImmediate&) { throw 42; });
	EXPECT_EQ(RaisedByFlush(), "FirstFailure||disk full|Render command 'FirstFailure' failed: disk full");
	EXPECT_EQ(RaisedByFlush(), "nothing");
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error), (TArray<FString>{
		TEXT("Render command 'FirstFailure' failed: disk full"),
		FString::Printf(TEXT("Assertion failed: Value + 1 == 3 [File:%s] [Line: %d]"), __FILE__, CheckLine),
		TEXT("Render command 'SecondFailure' failed: Assertion failed: Value + 1 == 3 (logged only: the failure of render command 'FirstFailure' is raised first)"),
		TEXT("Render command 'ThirdFailure' failed: It threw something other than a std::exception (logged only: the failure of render command 'FirstFailure' is raised first)"),
	}));

	// After a raise the next failure is raised in turn, by a fence wait as well.
	ENQUEUE_RENDER_COMMAND(UnknownFailure)([](FRHICommandListImmediate&) { throw 42; });
	FRenderCommandFence Fence;
	Fence.BeginFence();
	try
	{
		Fence.Wait();
		ADD_FAILURE() << "the failure was not raised";
	}
	catch (const FRenderCommandFailure& Failure)
	{
		EXPECT_EQ(Failure.GetCommandName(), "UnknownFailure");
		EXPECT_STREQ(Failure.what(), "Render command 'UnknownFailure' failed: It threw something other than a std::exception");
	}
	EXPECT_TRUE(Fence.IsFenceComplete());
}

TEST_F(RenderCommandFenceTest, FailuresAreRaisedOnTheGameThreadOnlyInBothModes)
{
	for (const bool bThreaded : {true, false})
	{
		SetRenderingThreaded(bThreaded);
		bool bLaterRan = false;
		EXPECT_NO_THROW(ENQUEUE_RENDER_COMMAND(FailingCommand)([](FRHICommandListImmediate&) { check(false); }))
			<< "enqueueing never raises, not even inline";
		ENQUEUE_RENDER_COMMAND(LaterCommand)([&bLaterRan](FRHICommandListImmediate&) { bLaterRan = true; });

		// A worker's wait leaves the failure for the game thread.
		std::future<bool> WorkerWaited = std::async(std::launch::async, [] {
			FRenderCommandFence Fence;
			Fence.BeginFence();
			Fence.Wait();
			return Fence.IsFenceComplete();
		});
		ASSERT_EQ(WorkerWaited.wait_for(std::chrono::seconds(20)), std::future_status::ready);
		EXPECT_TRUE(WorkerWaited.get());

		// A switch of modes neither raises nor drops it.
		SetRenderingThreaded(!bThreaded);
		EXPECT_EQ(RaisedByFlush(), "FailingCommand|false||Render command 'FailingCommand' failed: Assertion failed: false")
			<< (bThreaded ? "threaded" : "inline");
		EXPECT_TRUE(bLaterRan);
		EXPECT_EQ(RaisedByFlush(), "nothing");
	}
}

TEST_F(RenderCommandFenceTest, ExitingTheProcessDrainsTheRenderThreadAndReportsAnUnraisedFailure)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT(
		{
			alarm(20); // a hang at exit fails the test instead of hanging it
			for (int32 Index = 0; Index < 20; ++Index)
			{
				ENQUEUE_RENDER_COMMAND(SlowCommand)([](FRHICommandListImmediate&) { std::this_thread::sleep_for(std::chrono::milliseconds(5)); });
			}
			const int32 Exiting = 1;
			ENQUEUE_RENDER_COMMAND(FailingCommand)([Exiting](FRHICommandListImmediate&) { check(Exiting == 0); });
			ENQUEUE_RENDER_COMMAND(LastCommand)([](FRHICommandListImmediate&) {
				std::fprintf(stderr, "last command ran\n");
				UE_LOG(LogTemp, Display, TEXT("logging still works"));
			});
			std::exit(3);
		},
		::testing::ExitedWithCode(3),
		"Render command 'FailingCommand' failed: Assertion failed: Exiting == 0.*last command ran.*logging still works.*"
		"The failure of render command 'FailingCommand' was never raised: Assertion failed: Exiting == 0");
}
