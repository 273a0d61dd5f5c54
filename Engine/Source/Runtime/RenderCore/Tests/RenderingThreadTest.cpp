#include "CoreGlobals.h"
#include "Misc/AssertionMacros.h"
#include "RenderCommandFence.h"
#include "RenderCoreTestEnvironment.h"
#include "RenderTestHelpers.h"
#include "RenderingThread.h"
#include "RenderingThreadPrivate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using RenderCoreTest::CheckMessageOf;
using RenderingThreadTest = RenderingTest;

TEST_F(RenderingThreadTest, CommandsRunInOrderOnOneRenderThreadAndOwnTheirCaptures)
{
	ASSERT_TRUE(GIsThreadedRendering);
	EXPECT_FALSE(IsInRenderingThread()) << "the game thread is not the rendering thread while rendering is threaded";
	EXPECT_FALSE(IsInActualRenderingThread());

	constexpr int32 Count = 10000;
	std::vector<int32> Order;
	std::vector<std::thread::id> Threads;
	std::atomic<int32> OffRenderThread = 0;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		ENQUEUE_RENDER_COMMAND(OrderedCommand)([Index, &Order, &Threads, &OffRenderThread](FRHICommandListImmediate& RHICmdList) {
			Order.push_back(Index);
			Threads.push_back(std::this_thread::get_id());
			if (!IsInRenderingThread() || !IsInActualRenderingThread() || &RHICmdList != &FRHICommandListImmediate::Get())
			{
				++OffRenderThread;
			}
		});
	}

	// Move-only and shared captures: the command owns them until it has run, then lets them go.
	auto Payload = std::make_unique<std::string>("payload");
	auto Shared = std::make_shared<int32>(7);
	std::string Seen;
	{
		std::shared_ptr<int32> Copy = Shared;
		ENQUEUE_RENDER_COMMAND(CaptureCommand)([Payload = std::move(Payload), Copy, &Seen](FRHICommandListImmediate&) {
			Seen = *Payload + " " + std::to_string(*Copy);
		});
	}
	FlushRenderingCommands();

	ASSERT_EQ(Order.size(), size_t(Count));
	for (int32 Index = 0; Index < Count; ++Index)
	{
		ASSERT_EQ(Order[Index], Index);
	}
	EXPECT_EQ(OffRenderThread.load(), 0);
	EXPECT_NE(Threads.front(), std::this_thread::get_id());
	EXPECT_EQ(std::count(Threads.begin(), Threads.end(), Threads.front()), Count) << "one render thread runs every command";
	EXPECT_EQ(Seen, "payload 7");
	EXPECT_EQ(Shared.use_count(), 1) << "a command is destroyed once it has run";
}

TEST_F(RenderingThreadTest, CommandsFromSeveralThreadsAllRunAndKeepEachThreadsOrder)
{
	constexpr int32 ThreadCount = 8;
	constexpr int32 PerThread = 2000;
	std::vector<std::pair<int32, int32>> Ran;
	std::vector<std::thread> Producers;
	for (int32 Producer = 0; Producer < ThreadCount; ++Producer)
	{
		Producers.emplace_back([Producer, &Ran] {
			for (int32 Index = 0; Index < PerThread; ++Index)
			{
				ENQUEUE_RENDER_COMMAND(ProducerCommand)([Producer, Index, &Ran](FRHICommandListImmediate&) { Ran.emplace_back(Producer, Index); });
			}
		});
	}
	for (std::thread& Producer : Producers)
	{
		Producer.join();
	}
	FlushRenderingCommands();

	ASSERT_EQ(Ran.size(), size_t(ThreadCount * PerThread));
	std::vector<int32> Next(ThreadCount, 0);
	for (const auto& [Producer, Index] : Ran)
	{
		ASSERT_EQ(Index, Next[Producer]) << "producer " << Producer;
		++Next[Producer];
	}
}

TEST_F(RenderingThreadTest, ACommandEnqueuedByACommandRunsAtOnceInsideIt)
{
	std::vector<std::string> Order;
	std::string InnerName;
	std::string NameAfterInner;
	auto Enqueue = [&] {
		ENQUEUE_RENDER_COMMAND(Outer)([&](FRHICommandListImmediate&) {
			Order.push_back("outer begins");
			ENQUEUE_RENDER_COMMAND(Inner)([&](FRHICommandListImmediate&) {
				Order.push_back("inner");
				InnerName = UE::RenderCore::Private::GetCurrentRenderCommandName();
			});
			NameAfterInner = UE::RenderCore::Private::GetCurrentRenderCommandName();
			Order.push_back("outer ends");
		});
		ENQUEUE_RENDER_COMMAND(Next)([&Order](FRHICommandListImmediate&) { Order.push_back("next"); });
	};
	const std::vector<std::string> Expected{"outer begins", "inner", "outer ends", "next"};

	// The gate keeps the render thread busy until both commands are queued.
	FRenderThreadGate Gate;
	Gate.Close();
	Enqueue();
	Gate.Open();
	FlushRenderingCommands();
	EXPECT_EQ(Order, Expected);
	EXPECT_EQ(InnerName, "Inner");
	EXPECT_EQ(NameAfterInner, "Outer") << "the enclosing command is current again after the nested one";

	Order.clear();
	SetRenderingThreaded(false);
	Enqueue();
	EXPECT_EQ(Order, Expected);
}

TEST_F(RenderingThreadTest, InlineCommandsRunAtOnceOnTheCallingThreadOneAtATime)
{
	SetRenderingThreaded(false);
	EXPECT_FALSE(GIsThreadedRendering);
	EXPECT_TRUE(IsInRenderingThread()) << "the game thread renders while rendering is not threaded";
	EXPECT_FALSE(IsInActualRenderingThread());

	std::thread::id RanOn;
	bool bInRendering = false;
	ENQUEUE_RENDER_COMMAND(InlineCommand)([&](FRHICommandListImmediate&) {
		RanOn = std::this_thread::get_id();
		bInRendering = IsInRenderingThread() && !IsInActualRenderingThread();
	});
	EXPECT_EQ(RanOn, std::this_thread::get_id()) << "ran before the enqueue returned, on the game thread";
	EXPECT_TRUE(bInRendering);

	FRenderCommandFence Fence;
	Fence.BeginFence();
	EXPECT_TRUE(Fence.IsFenceComplete());

	EXPECT_EQ(CheckMessageOf([] { StartRenderingThread(); }),
		"StartRenderingThread: Rendering is not threaded; call SetRenderingThreaded(true) first");

	// Other threads run their commands inline too, never two bodies at once.
	std::atomic<bool> bBodyRunning = false;
	std::atomic<int32> Overlaps = 0;
	std::atomic<int32> Ran = 0;
	std::atomic<int32> WorkerOutsideCommand = 0;
	std::atomic<int32> WorkerInsideCommand = 0;
	std::vector<std::thread> Workers;
	for (int32 Worker = 0; Worker < 4; ++Worker)
	{
		Workers.emplace_back([&] {
			if (!IsInRenderingThread())
			{
				++WorkerOutsideCommand;
			}
			for (int32 Index = 0; Index < 500; ++Index)
			{
				const std::thread::id Caller = std::this_thread::get_id();
				ENQUEUE_RENDER_COMMAND(WorkerCommand)([&, Caller](FRHICommandListImmediate&) {
					if (bBodyRunning.exchange(true))
					{
						++Overlaps;
					}
					if (IsInRenderingThread() && std::this_thread::get_id() == Caller)
					{
						++WorkerInsideCommand;
					}
					++Ran;
					bBodyRunning = false;
				});
			}
		});
	}
	for (std::thread& Worker : Workers)
	{
		Worker.join();
	}
	EXPECT_EQ(Ran.load(), 2000);
	EXPECT_EQ(Overlaps.load(), 0);
	EXPECT_EQ(WorkerOutsideCommand.load(), 4) << "a worker is not the rendering thread outside a command";
	EXPECT_EQ(WorkerInsideCommand.load(), 2000);
}

TEST_F(RenderingThreadTest, SwitchingModesWaitsForQueuedCommandsFirst)
{
	std::vector<std::string> Order;
	FRenderThreadGate Gate;
	Gate.Close();
	ASSERT_TRUE(Gate.Entered());
	for (int32 Index = 0; Index < 100; ++Index)
	{
		ENQUEUE_RENDER_COMMAND(QueuedCommand)([&Order](FRHICommandListImmediate&) {
			Order.push_back(IsInActualRenderingThread() ? "threaded" : "elsewhere");
		});
	}
	std::thread Opener([&Gate] {
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		Gate.Open();
	});
	SetRenderingThreaded(false);
	Opener.join();
	ASSERT_EQ(Order.size(), 100u) << "switching to inline rendering ran the queue first";
	EXPECT_EQ(std::count(Order.begin(), Order.end(), "threaded"), 100);

	ENQUEUE_RENDER_COMMAND(InlineCommand)([&Order](FRHICommandListImmediate&) { Order.push_back(IsInGameThread() ? "inline" : "elsewhere"); });
	SetRenderingThreaded(false);
	EXPECT_FALSE(GIsThreadedRendering) << "setting the same mode again changes nothing";

	SetRenderingThreaded(true);
	EXPECT_TRUE(GIsThreadedRendering);
	EXPECT_FALSE(IsInRenderingThread());
	ENQUEUE_RENDER_COMMAND(ThreadedAgain)([&Order](FRHICommandListImmediate&) {
		Order.push_back(IsInActualRenderingThread() ? "threaded" : "elsewhere");
	});
	FlushRenderingCommands();
	ASSERT_EQ(Order.size(), 102u);
	EXPECT_EQ(Order[100], "inline");
	EXPECT_EQ(Order[101], "threaded");
}

TEST_F(RenderingThreadTest, StopDrainsTheQueueAndTheThreadRestartsOnDemand)
{
	std::atomic<int32> Ran = 0;
	std::thread::id FirstThread;
	StartRenderingThread();
	StartRenderingThread();
	ENQUEUE_RENDER_COMMAND(RecordThread)([&FirstThread](FRHICommandListImmediate&) { FirstThread = std::this_thread::get_id(); });
	FRenderThreadGate Gate;
	Gate.Close();
	ASSERT_TRUE(Gate.Entered());
	StartRenderingThread();
	std::thread::id SameThread;
	ENQUEUE_RENDER_COMMAND(RecordThreadAgain)([&SameThread](FRHICommandListImmediate&) { SameThread = std::this_thread::get_id(); });
	for (int32 Index = 0; Index < 100; ++Index)
	{
		ENQUEUE_RENDER_COMMAND(QueuedCommand)([&Ran](FRHICommandListImmediate&) {
			// Commands enqueued while stopping are drained too.
			ENQUEUE_RENDER_COMMAND(ChildCommand)([&Ran](FRHICommandListImmediate&) { ++Ran; });
			++Ran;
		});
	}
	std::thread Opener([&Gate] {
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		Gate.Open();
	});
	StopRenderingThread();
	Opener.join();
	EXPECT_EQ(Ran.load(), 200);
	EXPECT_EQ(SameThread, FirstThread) << "starting a running thread again keeps it";
	StopRenderingThread();

	// Restarted by the next command, and explicitly after a stop.
	bool bOnRenderThread = false;
	ENQUEUE_RENDER_COMMAND(AfterStop)([&bOnRenderThread](FRHICommandListImmediate&) { bOnRenderThread = IsInActualRenderingThread(); });
	FlushRenderingCommands();
	EXPECT_TRUE(bOnRenderThread);
	StopRenderingThread();
	StartRenderingThread();
	bOnRenderThread = false;
	ENQUEUE_RENDER_COMMAND(AfterRestart)([&bOnRenderThread](FRHICommandListImmediate&) { bOnRenderThread = IsInActualRenderingThread(); });
	FlushRenderingCommands();
	EXPECT_TRUE(bOnRenderThread);
}

TEST_F(RenderingThreadTest, ControlCallsFromTheWrongPlaceFailChecks)
{
	std::vector<std::string> OffGameThread;
	std::thread([&OffGameThread] {
		OffGameThread.push_back(CheckMessageOf([] { StartRenderingThread(); }));
		OffGameThread.push_back(CheckMessageOf([] { StopRenderingThread(); }));
		OffGameThread.push_back(CheckMessageOf([] { SetRenderingThreaded(false); }));
		OffGameThread.push_back(CheckMessageOf([] { FlushRenderingCommands(); }));
	}).join();
	EXPECT_EQ(OffGameThread, (std::vector<std::string>{
		"StartRenderingThread: The render thread is started from the game thread only",
		"StopRenderingThread: The render thread is stopped from the game thread only",
		"SetRenderingThreaded: Rendering is switched on the game thread only",
		"FlushRenderingCommands: Called off the game thread",
	}));
	EXPECT_TRUE(GIsThreadedRendering);

	// From inside a command they would wait for the command itself: each fails, the next flush
	// raises the first, and the later failures are logged only.
	for (const bool bThreaded : {true, false})
	{
		SetRenderingThreaded(bThreaded);
		ENQUEUE_RENDER_COMMAND(FlushingCommand)([](FRHICommandListImmediate&) { FlushRenderingCommands(); });
		ENQUEUE_RENDER_COMMAND(WaitingCommand)([](FRHICommandListImmediate&) {
			FRenderCommandFence Fence;
			Fence.BeginFence();
			Fence.Wait();
		});
		std::string Raised;
		try
		{
			FlushRenderingCommands();
		}
		catch (const FCheckFailure& Failure)
		{
			Raised = Failure.GetMessage();
		}
		if (bThreaded)
		{
			EXPECT_EQ(Raised, "FlushRenderingCommands: Called off the game thread");
		}
		else
		{
			EXPECT_EQ(Raised, "FlushRenderingCommands: Called from inside render command 'FlushingCommand'; it would wait for itself");
		}
		EXPECT_NO_THROW(FlushRenderingCommands());
	}

	SetRenderingThreaded(false);
	ENQUEUE_RENDER_COMMAND(SwitchingCommand)([](FRHICommandListImmediate&) { SetRenderingThreaded(true); });
	ENQUEUE_RENDER_COMMAND(StoppingCommand)([](FRHICommandListImmediate&) { StopRenderingThread(); });
	try
	{
		FlushRenderingCommands();
		ADD_FAILURE() << "no failure raised";
	}
	catch (const FCheckFailure& Failure)
	{
		EXPECT_EQ(Failure.GetMessage(), "SetRenderingThreaded: Called from inside render command 'SwitchingCommand'; it would wait for itself");
	}
	EXPECT_FALSE(GIsThreadedRendering);
}
