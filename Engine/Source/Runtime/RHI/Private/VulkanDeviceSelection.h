#pragma once

// Which Vulkan device the RHI runs on, decided over plain summaries of the devices so that
// the rules can be exercised without the devices themselves.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

/** One device as the selection sees it. */
struct FRHIDeviceCandidate
{
	FString Name;
	/** "discrete", "integrated", "virtual", "cpu" or "other", as FRHIDeviceInfo spells it. */
	FString Type;
	/** Why the RHI cannot run on the device (a missing extension, an old Vulkan); empty when it can. */
	FString UnsuitableReason;
};

/**
 * The index of the device to run on, or INDEX_NONE with the reason and the list of every device
 * in OutError. Choice is the text of VORPEX_RHI_DEVICE (empty for no choice): "cpu" or "gpu"
 * (letter case ignored) pick the best device of that kind, any other text the first suitable
 * device whose name contains it. Without a choice a discrete GPU wins over an integrated or
 * virtual one, which wins over a CPU device, which wins over anything else; among equals the
 * first listed. Unsuitable devices are never chosen.
 */
int32 SelectRHIDevice(const TArray<FRHIDeviceCandidate>& Candidates, const FString& Choice, FString& OutError);
