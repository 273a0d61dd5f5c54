#include "VulkanDynamicRHI.h"

#include "RHIDeferredDeletion.h"
#include "VulkanCommandContext.h"
#include "VulkanDevice.h"
#include "VulkanDeviceObject.h"
#include "VulkanMemoryPool.h"
#include "VulkanPipelineCache.h"

#include <atomic>
#include <cstdlib>
#include <exception>

namespace
{
	std::unique_ptr<FVulkanDynamicRHI> GRunningRHI;
	std::atomic<void (*)()> GPreExitCallback = nullptr;

	void OnProcessExit()
	{
		// Nothing may escape an exit handler; a failure here is reported and the exit goes on.
		try
		{
			if (void (*Callback)() = GPreExitCallback.load())
			{
				Callback();
			}
			FVulkanDynamicRHI::Stop();
		}
		catch (const std::exception& Error)
		{
			UE_LOG(LogRHI, Error, TEXT("Shutting the RHI down at exit failed: %s"), Error.what());
		}
	}
}

FVulkanDynamicRHI::FVulkanDynamicRHI()
	: Device(std::make_unique<FVulkanDevice>())
	, MemoryPool(std::make_unique<FVulkanMemoryPool>(Device->GetHandle(), Device->GetMemoryProperties()))
	, PipelineCache(std::make_unique<FVulkanPipelineCache>(*Device))
	, CommandContext(std::make_unique<FVulkanCommandContext>(*this))
{
}

FVulkanDynamicRHI::~FVulkanDynamicRHI() = default;

FVulkanDynamicRHI& FVulkanDynamicRHI::Get()
{
	if (!GRunningRHI)
	{
		Start();
	}
	return *GRunningRHI;
}

FVulkanDynamicRHI* FVulkanDynamicRHI::GetIfRunning()
{
	return GRunningRHI.get();
}

void FVulkanDynamicRHI::Start()
{
	if (GRunningRHI)
	{
		return;
	}
	GRunningRHI = std::make_unique<FVulkanDynamicRHI>();
	FRHIDeferredDeletion::StartDeferring();
	// Registered after the RHI's own statics exist, so the handler runs before they are destroyed.
	static const bool bExitHandlerRegistered = std::atexit(&OnProcessExit) == 0;
	if (!bExitHandlerRegistered)
	{
		UE_LOG(LogRHI, Warning, TEXT("Could not register the RHI's exit handler; call RHIExit before the process exits"));
	}
}

void FVulkanDynamicRHI::Stop()
{
	if (!GRunningRHI)
	{
		return;
	}
	FVulkanDynamicRHI& RHI = *GRunningRHI;
	try
	{
		RHI.CommandContext->SubmitCommandsAndFlushGPU();
	}
	catch (const FCheckFailure&)
	{
		// Logged by the check; the shutdown must still release everything.
	}
	vkDeviceWaitIdle(RHI.Device->GetHandle());
	FRHIDeferredDeletion::ProcessPending();
	const int32 NumLive = RHI.ReleaseLiveObjects();
	if (NumLive > 0)
	{
		UE_LOG(LogRHI, Log, TEXT("RHIExit: %d resources are still referenced; their Vulkan objects are released now"), NumLive);
	}
	FRHIDeferredDeletion::StopDeferring();
	GRunningRHI.reset();
}

void FVulkanDynamicRHI::SetPreExitCallback(void (*Callback)())
{
	GPreExitCallback = Callback;
}

void FVulkanDynamicRHI::RegisterObject(FVulkanDeviceObject& Object)
{
	std::lock_guard Lock(ObjectsMutex);
	Objects.insert(&Object);
}

void FVulkanDynamicRHI::UnregisterObject(FVulkanDeviceObject& Object)
{
	std::lock_guard Lock(ObjectsMutex);
	Objects.erase(&Object);
}

int32 FVulkanDynamicRHI::ReleaseLiveObjects()
{
	std::unordered_set<FVulkanDeviceObject*> Live;
	{
		std::lock_guard Lock(ObjectsMutex);
		Live.swap(Objects);
	}
	for (FVulkanDeviceObject* Object : Live)
	{
		Object->ReleaseDeviceObjects();
		Object->OwningRHI = nullptr;
	}
	return int32(Live.size());
}
