#include "Components/SkeletalMeshComponent.h"

#include "Animation/MorphTarget.h"
#include "Engine/SkeletalMesh.h"
#include "EngineLogs.h"
#include "Templates/Casts.h"

namespace
{
	/** Weights this close to zero count as zero, as in the engine's animation code. */
	constexpr float ZeroAnimWeightThreshold = 0.00001f;
}

USkeletalMeshComponent::USkeletalMeshComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
}

USkeletalMesh* USkeletalMeshComponent::GetSkeletalMeshAsset() const
{
	return Cast<USkeletalMesh>(GetSkinnedAsset());
}

void USkeletalMeshComponent::SetSkeletalMesh(USkeletalMesh* NewMesh, bool bReinitPose)
{
	SetSkinnedAssetAndUpdate(NewMesh, bReinitPose);
}

void USkeletalMeshComponent::SetMorphTarget(FName MorphTargetName, float Value, bool bRemoveZeroWeight)
{
	if (!FMath::IsFinite(Value))
	{
		UE_LOG(LogSkeletalMesh, Warning, TEXT("SetMorphTarget on %s: the weight of %s is not a finite number"), *GetPathName(),
			*MorphTargetName.ToString());
		return;
	}
	if (bRemoveZeroWeight && FMath::Abs(Value) <= ZeroAnimWeightThreshold)
	{
		MorphTargetCurves.Remove(MorphTargetName);
	}
	else
	{
		MorphTargetCurves.Add(MorphTargetName, Value);
	}
	RefreshMorphTargets();
}

float USkeletalMeshComponent::GetMorphTarget(FName MorphTargetName) const
{
	return MorphTargetCurves.FindRef(MorphTargetName);
}

void USkeletalMeshComponent::ClearMorphTargets()
{
	MorphTargetCurves.Empty();
	RefreshMorphTargets();
}

void USkeletalMeshComponent::RefreshMorphTargets()
{
	Super::RefreshMorphTargets();
	const USkinnedAsset* Asset = GetSkinnedAsset();
	if (!Asset)
	{
		return;
	}
	for (const auto& Curve : MorphTargetCurves)
	{
		int32 MorphIndex = INDEX_NONE;
		if (const UMorphTarget* MorphTarget = Asset->FindMorphTargetAndIndex(Curve.Key, MorphIndex))
		{
			ActiveMorphTargets.Add(MorphTarget, MorphIndex);
			MorphTargetWeights[MorphIndex] = Curve.Value;
		}
	}
}
