#include "VulkanDeviceSelection.h"

namespace
{
	/** Lower is preferred when nothing is chosen. */
	int32 GetPreferenceRank(const FString& Type)
	{
		if (Type.Equals(TEXT("discrete")))
		{
			return 0;
		}
		if (Type.Equals(TEXT("integrated")) || Type.Equals(TEXT("virtual")))
		{
			return 1;
		}
		if (Type.Equals(TEXT("cpu")))
		{
			return 2;
		}
		return 3;
	}

	bool IsGpuType(const FString& Type)
	{
		return GetPreferenceRank(Type) <= 1;
	}

	FString DescribeDevices(const TArray<FRHIDeviceCandidate>& Candidates)
	{
		if (Candidates.IsEmpty())
		{
			return TEXT("none");
		}
		TArray<FString> Entries;
		for (const FRHIDeviceCandidate& Candidate : Candidates)
		{
			Entries.Add(Candidate.UnsuitableReason.IsEmpty()
					? FString::Printf(TEXT("'%s' (%s)"), *Candidate.Name, *Candidate.Type)
					: FString::Printf(TEXT("'%s' (%s, unusable: %s)"), *Candidate.Name, *Candidate.Type, *Candidate.UnsuitableReason));
		}
		return FString::Join(Entries, TEXT(", "));
	}

	/** The best suitable candidate Accept takes, by preference rank and then order. */
	template <typename AcceptType>
	int32 FindBest(const TArray<FRHIDeviceCandidate>& Candidates, AcceptType Accept)
	{
		int32 Best = INDEX_NONE;
		for (int32 Index = 0; Index < Candidates.Num(); ++Index)
		{
			const FRHIDeviceCandidate& Candidate = Candidates[Index];
			if (Candidate.UnsuitableReason.IsEmpty() && Accept(Candidate)
				&& (Best == INDEX_NONE || GetPreferenceRank(Candidate.Type) < GetPreferenceRank(Candidates[Best].Type)))
			{
				Best = Index;
			}
		}
		return Best;
	}
}

int32 SelectRHIDevice(const TArray<FRHIDeviceCandidate>& Candidates, const FString& Choice, FString& OutError)
{
	OutError.Empty();
	const FString Wanted = Choice.TrimStartAndEnd();
	int32 Selected = INDEX_NONE;
	if (Wanted.IsEmpty())
	{
		Selected = FindBest(Candidates, [](const FRHIDeviceCandidate&) { return true; });
		if (Selected == INDEX_NONE)
		{
			OutError = FString::Printf(TEXT("No Vulkan device can run the RHI. Devices: %s"), *DescribeDevices(Candidates));
		}
	}
	else if (Wanted.Equals(TEXT("cpu"), ESearchCase::IgnoreCase) || Wanted.Equals(TEXT("gpu"), ESearchCase::IgnoreCase))
	{
		const bool bWantGpu = Wanted.Equals(TEXT("gpu"), ESearchCase::IgnoreCase);
		Selected = FindBest(Candidates, [bWantGpu](const FRHIDeviceCandidate& Candidate) {
			return bWantGpu ? IsGpuType(Candidate.Type) : Candidate.Type.Equals(TEXT("cpu"));
		});
		if (Selected == INDEX_NONE)
		{
			OutError = FString::Printf(TEXT("VORPEX_RHI_DEVICE is '%s' but no usable %s device exists. Devices: %s"), *Wanted,
				bWantGpu ? TEXT("GPU") : TEXT("CPU"), *DescribeDevices(Candidates));
		}
	}
	else
	{
		for (int32 Index = 0; Index < Candidates.Num() && Selected == INDEX_NONE; ++Index)
		{
			if (Candidates[Index].UnsuitableReason.IsEmpty() && Candidates[Index].Name.Contains(Wanted, ESearchCase::IgnoreCase))
			{
				Selected = Index;
			}
		}
		if (Selected == INDEX_NONE)
		{
			OutError = FString::Printf(TEXT("VORPEX_RHI_DEVICE is '%s', which names no usable Vulkan device. Devices: %s"), *Wanted,
				*DescribeDevices(Candidates));
		}
	}
	return Selected;
}
