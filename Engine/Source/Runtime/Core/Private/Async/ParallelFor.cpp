#include "Async/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

int32 GetParallelForThreadCount()
{
	return int32(std::max(1u, std::thread::hardware_concurrency()));
}

void ParallelFor(int32 Num, const std::function<void(int32)>& Body, EParallelForFlags Flags)
{
	const int32 ThreadCount = Flags == EParallelForFlags::ForceSingleThread ? 1 : std::min(Num, GetParallelForThreadCount());
	if (ThreadCount <= 1)
	{
		for (int32 Index = 0; Index < Num; ++Index)
		{
			Body(Index);
		}
		return;
	}

	std::atomic<int32> NextIndex = 0;
	std::atomic<bool> bFailed = false;
	std::exception_ptr FirstFailure;
	std::mutex FailureMutex;
	auto Work = [&]()
	{
		for (int32 Index = NextIndex++; Index < Num && !bFailed; Index = NextIndex++)
		{
			try
			{
				Body(Index);
			}
			catch (...)
			{
				std::lock_guard Lock(FailureMutex);
				if (!FirstFailure)
				{
					FirstFailure = std::current_exception();
				}
				bFailed = true;
			}
		}
	};

	std::vector<std::thread> Workers;
	Workers.reserve(size_t(ThreadCount - 1));
	for (int32 Worker = 1; Worker < ThreadCount; ++Worker)
	{
		Workers.emplace_back(Work);
	}
	Work();
	for (std::thread& Worker : Workers)
	{
		Worker.join();
	}
	if (FirstFailure)
	{
		std::rethrow_exception(FirstFailure);
	}
}
