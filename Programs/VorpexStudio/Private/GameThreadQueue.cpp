#include "GameThreadQueue.h"

bool FGameThreadQueue::Post(std::function<void()> Work)
{
	{
		std::lock_guard Lock(Mutex);
		if (bClosed)
		{
			return false;
		}
		Queue.push_back(std::move(Work));
	}
	WorkQueued.notify_one();
	return true;
}

bool FGameThreadQueue::RunQueued(std::chrono::milliseconds MaxWait)
{
	std::deque<std::function<void()>> Ready;
	{
		std::unique_lock Lock(Mutex);
		WorkQueued.wait_for(Lock, MaxWait, [this] { return !Queue.empty() || bClosed; });
		Ready.swap(Queue);
	}
	// Packaged tasks keep what their work throws for the caller, so nothing escapes here.
	for (std::function<void()>& Work : Ready)
	{
		Work();
	}
	return !Ready.empty();
}

void FGameThreadQueue::Close()
{
	std::deque<std::function<void()>> Abandoned;
	{
		std::lock_guard Lock(Mutex);
		bClosed = true;
		Abandoned.swap(Queue);
	}
	// Destroying an unrun packaged task breaks its promise: the caller's wait ends with an error.
	Abandoned.clear();
}
