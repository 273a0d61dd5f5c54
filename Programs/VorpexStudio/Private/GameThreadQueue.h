#pragma once

#include "CoreMinimal.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>

/** Thrown to a waiting caller when the queue closed before its work could run. */
class FGameThreadQueueClosed : public std::runtime_error
{
public:
	FGameThreadQueueClosed() : std::runtime_error("the studio is shutting down") {}
};

/**
 * Work handed from other threads to the game thread. Callers on any thread queue work and wait
 * for its result; the game thread runs what is queued, in order, when it gets to it. A
 * failure thrown by the work (a failed check among them) comes back to the caller as it was
 * thrown.
 */
class FGameThreadQueue
{
public:
	/** Queues Work and waits for the game thread to run it; its result, or what it threw. */
	template <typename FWork>
	auto Call(FWork&& Work) -> decltype(Work())
	{
		using FResult = decltype(Work());
		auto Task = std::make_shared<std::packaged_task<FResult()>>(std::forward<FWork>(Work));
		std::future<FResult> Result = Task->get_future();
		// The queue holds the only reference, so that work dropped unrun breaks the promise.
		if (!Post([Task = std::move(Task)] { (*Task)(); }))
		{
			throw FGameThreadQueueClosed();
		}
		return Result.get();
	}

	/**
	 * On the game thread: waits up to MaxWait for work, then runs everything queued. True when
	 * something ran.
	 */
	bool RunQueued(std::chrono::milliseconds MaxWait);

	/** Refuses new work and lets the work still queued fail its callers; the game thread is ending. */
	void Close();

private:
	/** False when the queue is closed. */
	bool Post(std::function<void()> Work);

	std::mutex Mutex;
	std::condition_variable WorkQueued;
	std::deque<std::function<void()>> Queue;
	bool bClosed = false;
};
