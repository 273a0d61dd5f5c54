#pragma once

// Helpers that keep the render thread tests bounded: no test may hang the suite.

#include "RenderingThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

/** Aborts the process, naming the test, when a test runs longer than its limit (a deadlock). */
class FWatchdog
{
public:
	explicit FWatchdog(std::chrono::seconds Limit)
		: Thread([this, Limit] {
			std::unique_lock Lock(Mutex);
			if (!Finished.wait_for(Lock, Limit, [this] { return bFinished; }))
			{
				const ::testing::TestInfo* Test = ::testing::UnitTest::GetInstance()->current_test_info();
				std::fprintf(stderr, "%s.%s hung; aborting\n", Test ? Test->test_suite_name() : "?", Test ? Test->name() : "?");
				std::abort();
			}
		})
	{
	}

	~FWatchdog()
	{
		{
			std::lock_guard Lock(Mutex);
			bFinished = true;
		}
		Finished.notify_all();
		Thread.join();
	}

private:
	std::mutex Mutex;
	std::condition_variable Finished;
	bool bFinished = false;
	std::thread Thread;
};

/** Holds the render thread inside a command until Open(), so a test can queue work behind it. */
class FRenderThreadGate
{
public:
	FRenderThreadGate()
		: Released(Promise.get_future().share())
	{
	}

	/** Enqueues the blocking command; Entered() becomes ready once it runs. */
	void Close()
	{
		auto EnteredPromise = std::make_shared<std::promise<void>>();
		EnteredFuture = EnteredPromise->get_future();
		ENQUEUE_RENDER_COMMAND(GateCommand)([Released = Released, EnteredPromise](FRHICommandListImmediate&) {
			EnteredPromise->set_value();
			EXPECT_EQ(Released.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "the gate was never opened";
		});
	}

	/** True once the blocking command runs, waiting for it a bounded time. */
	bool Entered() { return EnteredFuture.wait_for(std::chrono::seconds(20)) == std::future_status::ready; }

	void Open()
	{
		std::lock_guard Lock(Mutex);
		if (!bOpened)
		{
			bOpened = true;
			Promise.set_value();
		}
	}

	~FRenderThreadGate() { Open(); }

private:
	std::mutex Mutex;
	bool bOpened = false;
	std::promise<void> Promise;
	std::shared_future<void> Released;
	std::future<void> EnteredFuture;
};

/** Every render thread test starts and ends threaded, with no failure pending, under a watchdog. */
class RenderingTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SetRenderingThreaded(true);
		FlushRenderingCommands();
	}

	void TearDown() override
	{
		SetRenderingThreaded(true);
		EXPECT_NO_THROW(FlushRenderingCommands()) << "the test left a command failure unraised";
	}

	FWatchdog Watchdog{std::chrono::seconds(60)};
};
