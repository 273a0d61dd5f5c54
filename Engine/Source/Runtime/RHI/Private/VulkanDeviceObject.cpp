#include "VulkanDeviceObject.h"

#include "VulkanDynamicRHI.h"

FVulkanDeviceObject::~FVulkanDeviceObject()
{
	if (OwningRHI)
	{
		OwningRHI->UnregisterObject(*this);
	}
}

void FVulkanDeviceObject::Attach(FVulkanDynamicRHI& RHI)
{
	OwningRHI = &RHI;
	RHI.RegisterObject(*this);
}
