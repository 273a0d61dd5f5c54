#include "Engine/SkeletalMesh.h"

#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "AnimationRuntime.h"
#include "Materials/MaterialInterface.h"
#include "Math/QuatRotationTranslationMatrix.h"
#include "Math/ScaleMatrix.h"
#include "Rendering/SkeletalMeshRenderData.h"

#include <thread>

USkeletalMesh::USkeletalMesh() = default;

USkeletalMesh::~USkeletalMesh() = default;

void USkeletalMesh::SetRefSkeleton(const FReferenceSkeleton& InRefSkeleton)
{
	RefSkeleton = InRefSkeleton;
	CalculateInvRefMatrices();
}

void USkeletalMesh::CalculateInvRefMatrices()
{
	TArray<FTransform> ComponentSpace;
	FAnimationRuntime::FillUpComponentSpaceTransforms(RefSkeleton, RefSkeleton.GetRefBonePose(), ComponentSpace);
	RefBasesInvMatrix.Reset(ComponentSpace.Num());
	for (const FTransform& BoneToComponent : ComponentSpace)
	{
		const FMatrix BoneMatrix = FScaleMatrix(BoneToComponent.GetScale3D())
			* FQuatRotationTranslationMatrix(BoneToComponent.GetRotation(), BoneToComponent.GetTranslation());
		RefBasesInvMatrix.Add(FMatrix44f(BoneMatrix.Inverse()));
	}
}

bool USkeletalMesh::RegisterMorphTarget(UMorphTarget* MorphTarget)
{
	if (!MorphTarget)
	{
		return false;
	}
	MorphTarget->BaseSkelMesh = this;
	const int32 ExistingIndex = MorphTargets.IndexOfByPredicate(
		[MorphTarget](const TObjectPtr<UMorphTarget>& Existing) { return Existing && Existing->GetFName() == MorphTarget->GetFName(); });
	if (ExistingIndex != INDEX_NONE)
	{
		MorphTargets[ExistingIndex] = MorphTarget;
	}
	else
	{
		MorphTargets.Add(MorphTarget);
	}
	InitMorphTargets();
	return true;
}

void USkeletalMesh::UnregisterMorphTarget(UMorphTarget* MorphTarget)
{
	if (!MorphTarget)
	{
		return;
	}
	MorphTargets.RemoveAll(
		[MorphTarget](const TObjectPtr<UMorphTarget>& Existing) { return Existing && Existing->GetFName() == MorphTarget->GetFName(); });
	InitMorphTargets();
}

void USkeletalMesh::SetMorphTargets(const TArray<UMorphTarget*>& InMorphTargets)
{
	TMap<FName, int32> NewIndexMap;
	for (int32 Index = 0; Index < InMorphTargets.Num(); ++Index)
	{
		checkf(InMorphTargets[Index] != nullptr, TEXT("SetMorphTargets of %s: morph target %d is null"), *GetName(), Index);
		checkf(!NewIndexMap.Contains(InMorphTargets[Index]->GetFName()), TEXT("SetMorphTargets of %s: two morph targets are named %s"), *GetName(),
			*InMorphTargets[Index]->GetName());
		NewIndexMap.Add(InMorphTargets[Index]->GetFName(), Index);
	}
	MorphTargets.Reset(InMorphTargets.Num());
	for (UMorphTarget* MorphTarget : InMorphTargets)
	{
		MorphTarget->BaseSkelMesh = this;
		MorphTargets.Add(MorphTarget);
	}
	MorphTargetIndexMap = std::move(NewIndexMap);
}

void USkeletalMesh::InitMorphTargets()
{
	MorphTargetIndexMap.Empty();
	for (int32 Index = 0; Index < MorphTargets.Num(); ++Index)
	{
		// The first of two same-named entries wins, as FindMorphTarget would find it first.
		if (MorphTargets[Index] && !MorphTargetIndexMap.Contains(MorphTargets[Index]->GetFName()))
		{
			MorphTargetIndexMap.Add(MorphTargets[Index]->GetFName(), Index);
		}
	}
}

UMorphTarget* USkeletalMesh::FindMorphTargetAndIndex(FName MorphTargetName, int32& OutIndex) const
{
	const int32* Index = MorphTargetIndexMap.Find(MorphTargetName);
	// The map may be stale after a direct edit of the array or a collected entry; it is only trusted where it still agrees.
	if (Index && MorphTargets.IsValidIndex(*Index) && MorphTargets[*Index] && MorphTargets[*Index]->GetFName() == MorphTargetName)
	{
		OutIndex = *Index;
		return MorphTargets[*Index];
	}
	OutIndex = INDEX_NONE;
	return nullptr;
}

void USkeletalMesh::AllocateResourceForRendering()
{
	ReleaseResources();
	// The old data goes only once the rendering thread has let go of its buffers.
	if (SkeletalMeshRenderData)
	{
		FRenderCommandFence Fence;
		Fence.BeginFence();
		Fence.Wait();
	}
	SkeletalMeshRenderData = MakeUnique<FSkeletalMeshRenderData>();
}

void USkeletalMesh::InitResources()
{
	if (SkeletalMeshRenderData)
	{
		SkeletalMeshRenderData->InitResources();
		ReleaseResourcesFence.BeginFence();
	}
}

void USkeletalMesh::ReleaseResources()
{
	if (SkeletalMeshRenderData && SkeletalMeshRenderData->IsInitialized())
	{
		SkeletalMeshRenderData->ReleaseResources();
		ReleaseResourcesFence.BeginFence();
	}
}

void USkeletalMesh::BeginDestroy()
{
	ReleaseResources();
	// Render commands use the render data until the fence completes. Polling instead of Wait
	// keeps a failure of some other command from being raised inside garbage collection; the
	// next flush reports it.
	while (!ReleaseResourcesFence.IsFenceComplete())
	{
		std::this_thread::yield();
	}
	Super::BeginDestroy();
}
