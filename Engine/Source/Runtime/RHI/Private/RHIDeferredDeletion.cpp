#include "RHIDeferredDeletion.h"

#include <mutex>
#include <vector>

namespace
{
	std::mutex GPendingMutex;
	std::vector<const FRHIResource*> GPending;
	bool GDeferring = false;
}

void FRHIDeferredDeletion::Enqueue(const FRHIResource* Resource)
{
	{
		std::lock_guard Lock(GPendingMutex);
		if (GDeferring)
		{
			GPending.push_back(Resource);
			return;
		}
	}
	delete Resource;
}

void FRHIDeferredDeletion::ProcessPending()
{
	// A deletion may drop the last reference to another resource (a view to its texture), which
	// lands in the list again; keep going until it stays empty.
	for (;;)
	{
		std::vector<const FRHIResource*> Batch;
		{
			std::lock_guard Lock(GPendingMutex);
			if (GPending.empty())
			{
				return;
			}
			Batch.swap(GPending);
		}
		for (const FRHIResource* Resource : Batch)
		{
			delete Resource;
		}
	}
}

void FRHIDeferredDeletion::StartDeferring()
{
	std::lock_guard Lock(GPendingMutex);
	GDeferring = true;
}

void FRHIDeferredDeletion::StopDeferring()
{
	{
		std::lock_guard Lock(GPendingMutex);
		GDeferring = false;
	}
	ProcessPending();
}

int32 FRHIDeferredDeletion::GetNumPending()
{
	std::lock_guard Lock(GPendingMutex);
	return int32(GPending.size());
}
