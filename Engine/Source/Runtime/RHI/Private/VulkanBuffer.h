#pragma once

// RHI buffers: host-visible and persistently mapped, so a lock hands out the mapping itself
// once the GPU work recorded before it has finished. Each remembers the GPU access it is in,
// for the barriers of later work (all recording happens on the rendering thread).

#include "RHIResources.h"
#include "VulkanCommon.h"
#include "VulkanDeviceObject.h"
#include "VulkanHostBuffer.h"

#include <memory>

class FVulkanBuffer final : public FRHIBuffer, public FVulkanDeviceObject
{
public:
	/** Size is at least 1; Usage decides what the buffer may be bound as. Failures are checks naming the buffer. */
	static FBufferRHIRef Create(FVulkanDynamicRHI& RHI, uint32 Size, EBufferUsageFlags Usage, uint32 Stride, ERHIAccess InitialState, const FString& Name);

	/** The RHI's buffer behind Buffer; a failed check for a null one, one the RHI did not make, or one whose RHI has shut down. */
	static FVulkanBuffer& Get(FRHIBuffer* Buffer);

	VkBuffer GetHandle() const { return Storage->GetHandle(); }
	uint8* GetMappedData() const { return Storage->GetMappedData(); }
	/** Whether shaders may bind it as a storage buffer (structured, byte-address, SRV or UAV usage). */
	bool IsStorageBuffer() const;

	ERHIAccess GetAccess() const { return Access; }
	void SetAccess(ERHIAccess InAccess) { Access = InAccess; }
	bool IsLocked() const { return bLocked; }
	void SetLocked(bool bInLocked) { bLocked = bInLocked; }

	void ReleaseDeviceObjects() override;

private:
	FVulkanBuffer(uint32 InSize, uint32 InStride, EBufferUsageFlags InUsage, FString InName, ERHIAccess InitialState)
		: FRHIBuffer(InSize, InStride, InUsage, std::move(InName)), Access(InitialState)
	{
	}
	~FVulkanBuffer() override;

	std::unique_ptr<FVulkanHostBuffer> Storage;
	ERHIAccess Access;
	bool bLocked = false;
};
