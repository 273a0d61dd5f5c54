#pragma once

// The Vulkan side of an RHI resource: every object that holds Vulkan handles registers with the
// running RHI, so that RHIExit can destroy the handles of resources still referenced before it
// destroys the device. Such a resource stays a valid C++ object without handles; its destructor
// then leaves the (gone) device alone, and using it is a failed check.

class FVulkanDynamicRHI;

class FVulkanDeviceObject
{
public:
	FVulkanDeviceObject(const FVulkanDeviceObject&) = delete;
	FVulkanDeviceObject& operator=(const FVulkanDeviceObject&) = delete;

	/** Destroys the Vulkan handles now; called by the destructor and by RHIExit. */
	virtual void ReleaseDeviceObjects() = 0;

	/** The RHI the handles belong to; null once they are released by RHIExit or never made. */
	FVulkanDynamicRHI* GetOwningRHI() const { return OwningRHI; }

protected:
	FVulkanDeviceObject() = default;
	virtual ~FVulkanDeviceObject();

	/** Registers with RHI; done before the first handle is made. */
	void Attach(FVulkanDynamicRHI& RHI);

private:
	friend class FVulkanDynamicRHI;
	FVulkanDynamicRHI* OwningRHI = nullptr;
};
