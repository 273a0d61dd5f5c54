#include "Components/SkinnedMeshComponent.h"

#include "Animation/MorphTarget.h"
#include "AnimationRuntime.h"
#include "Engine/SkinnedAsset.h"
#include "EngineLogs.h"
#include "Materials/MaterialInterface.h"
#include "Math/QuatRotationTranslationMatrix.h"
#include "Math/ScaleMatrix.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SkeletalRenderCPUSkin.h"

namespace
{
	FMatrix TransformToMatrix(const FTransform& Transform)
	{
		return FScaleMatrix(Transform.GetScale3D()) * FQuatRotationTranslationMatrix(Transform.GetRotation(), Transform.GetTranslation());
	}
}

USkinnedMeshComponent::USkinnedMeshComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
	PrimaryComponentTick.bCanEverTick = true;
}

void USkinnedMeshComponent::SetSkinnedAssetAndUpdate(USkinnedAsset* InSkinnedAsset, bool bReinitPose)
{
	if (InSkinnedAsset == SkinnedAsset)
	{
		return;
	}
	SkinnedAsset = InSkinnedAsset;
	RefPoseOverride.Reset();
	RefreshMorphTargets();
	UpdateBounds();
	MarkRenderStateDirty();
}

UMorphTarget* USkinnedMeshComponent::FindMorphTarget(FName MorphTargetName) const
{
	return SkinnedAsset ? SkinnedAsset->FindMorphTarget(MorphTargetName) : nullptr;
}

void USkinnedMeshComponent::RefreshMorphTargets()
{
	ActiveMorphTargets.Empty();
	MorphTargetWeights.Init(0.0f, SkinnedAsset ? SkinnedAsset->GetMorphTargets().Num() : 0);
}

void USkinnedMeshComponent::SetRefPoseOverride(const TArray<FTransform>& NewRefPoseTransforms)
{
	if (!SkinnedAsset)
	{
		UE_LOG(LogSkeletalMesh, Warning, TEXT("SetRefPoseOverride on %s: there is no skinned asset to override the pose of"), *GetPathName());
		return;
	}
	const FReferenceSkeleton& RefSkeleton = SkinnedAsset->GetRefSkeleton();
	if (NewRefPoseTransforms.Num() != RefSkeleton.GetNum())
	{
		UE_LOG(LogSkeletalMesh, Warning, TEXT("SetRefPoseOverride on %s: Incorrect number of input transforms for override. Got %d, expected %d"),
			*GetPathName(), NewRefPoseTransforms.Num(), RefSkeleton.GetNum());
		return;
	}
	const TSharedPtr<FSkelMeshRefPoseOverride> Override = MakeShared<FSkelMeshRefPoseOverride>();
	Override->RefBonePoses = NewRefPoseTransforms;
	TArray<FTransform> ComponentSpace;
	FAnimationRuntime::FillUpComponentSpaceTransforms(RefSkeleton, NewRefPoseTransforms, ComponentSpace);
	for (const FTransform& BoneToComponent : ComponentSpace)
	{
		Override->RefBasesInvMatrix.Add(FMatrix44f(TransformToMatrix(BoneToComponent).Inverse()));
	}
	RefPoseOverride = Override;
	MarkRenderStateDirty();
}

void USkinnedMeshComponent::ClearRefPoseOverride()
{
	if (RefPoseOverride.IsValid())
	{
		RefPoseOverride.Reset();
		MarkRenderStateDirty();
	}
}

int32 USkinnedMeshComponent::GetNumBones() const
{
	return SkinnedAsset ? SkinnedAsset->GetRefSkeleton().GetNum() : 0;
}

int32 USkinnedMeshComponent::GetBoneIndex(FName BoneName) const
{
	return SkinnedAsset ? SkinnedAsset->GetRefSkeleton().FindBoneIndex(BoneName) : INDEX_NONE;
}

FName USkinnedMeshComponent::GetBoneName(int32 BoneIndex) const
{
	return SkinnedAsset && SkinnedAsset->GetRefSkeleton().IsValidIndex(BoneIndex) ? SkinnedAsset->GetRefSkeleton().GetBoneName(BoneIndex)
																					: FName(NAME_None);
}

const TArray<FTransform>& USkinnedMeshComponent::GetComponentSpaceTransforms() const
{
	if (!SkinnedAsset)
	{
		ComponentSpaceTransforms.Empty();
		return ComponentSpaceTransforms;
	}
	const FReferenceSkeleton& RefSkeleton = SkinnedAsset->GetRefSkeleton();
	// An override made before the asset's skeleton was edited no longer fits it; the asset's own pose is used then.
	const bool bUseOverride = RefPoseOverride.IsValid() && RefPoseOverride->RefBonePoses.Num() == RefSkeleton.GetNum();
	TArray<FTransform> Fresh;
	FAnimationRuntime::FillUpComponentSpaceTransforms(RefSkeleton, bUseOverride ? RefPoseOverride->RefBonePoses : RefSkeleton.GetRefBonePose(),
		Fresh);
	// Copied in place while the bone count stays, so a reference a caller still holds from an earlier read stays valid.
	if (Fresh.Num() == ComponentSpaceTransforms.Num())
	{
		for (int32 BoneIndex = 0; BoneIndex < Fresh.Num(); ++BoneIndex)
		{
			ComponentSpaceTransforms[BoneIndex] = Fresh[BoneIndex];
		}
	}
	else
	{
		ComponentSpaceTransforms = std::move(Fresh);
	}
	return ComponentSpaceTransforms;
}

FTransform USkinnedMeshComponent::GetBoneTransform(int32 BoneIndex) const
{
	const TArray<FTransform>& ComponentSpace = GetComponentSpaceTransforms();
	return ComponentSpace.IsValidIndex(BoneIndex) ? ComponentSpace[BoneIndex] * GetComponentTransform() : GetComponentTransform();
}

FTransform USkinnedMeshComponent::GetSocketTransform(FName InSocketName, ERelativeTransformSpace TransformSpace) const
{
	const int32 BoneIndex = GetBoneIndex(InSocketName);
	if (BoneIndex == INDEX_NONE)
	{
		return Super::GetSocketTransform(InSocketName, TransformSpace);
	}
	const TArray<FTransform>& ComponentSpace = GetComponentSpaceTransforms();
	const FTransform& BoneToComponent = ComponentSpace[BoneIndex];
	switch (TransformSpace)
	{
	case RTS_World:
		return BoneToComponent * GetComponentTransform();
	case RTS_Actor:
		return BoneToComponent * Super::GetSocketTransform(NAME_None, RTS_Actor);
	case RTS_Component:
		return BoneToComponent;
	case RTS_ParentBoneSpace:
	{
		const int32 ParentIndex = SkinnedAsset->GetRefSkeleton().GetParentIndex(BoneIndex);
		return ParentIndex == INDEX_NONE ? BoneToComponent : BoneToComponent * ComponentSpace[ParentIndex].Inverse();
	}
	}
	return BoneToComponent * GetComponentTransform();
}

bool USkinnedMeshComponent::DoesSocketExist(FName InSocketName) const
{
	return GetBoneIndex(InSocketName) != INDEX_NONE;
}

UMaterialInterface* USkinnedMeshComponent::GetMaterial(int32 ElementIndex) const
{
	if (UMaterialInterface* Override = Super::GetMaterial(ElementIndex))
	{
		return Override;
	}
	if (SkinnedAsset && SkinnedAsset->GetMaterials().IsValidIndex(ElementIndex))
	{
		return SkinnedAsset->GetMaterials()[ElementIndex].MaterialInterface;
	}
	return nullptr;
}

int32 USkinnedMeshComponent::GetNumMaterials() const
{
	return FMath::Max(Super::GetNumMaterials(), SkinnedAsset ? SkinnedAsset->GetMaterials().Num() : 0);
}

FBoxSphereBounds USkinnedMeshComponent::CalcBounds(const FTransform& LocalToWorld) const
{
	return SkinnedAsset ? SkinnedAsset->GetBounds().TransformBy(LocalToWorld) : Super::CalcBounds(LocalToWorld);
}

void USkinnedMeshComponent::CacheRefToLocalMatrices(TArray<FMatrix44f>& OutRefToLocal) const
{
	OutRefToLocal.Reset();
	if (!SkinnedAsset)
	{
		return;
	}
	const TArray<FTransform>& ComponentSpace = GetComponentSpaceTransforms();
	// An override replaces the bind pose as well as the pose: the mesh is bound to the overridden
	// skeleton, so a component resting in its reference pose shows its vertices unmoved.
	const bool bUseOverride = RefPoseOverride.IsValid() && RefPoseOverride->RefBasesInvMatrix.Num() == ComponentSpace.Num();
	const TArray<FMatrix44f>& InverseBind = bUseOverride ? RefPoseOverride->RefBasesInvMatrix : SkinnedAsset->GetRefBasesInvMatrix();
	checkf(InverseBind.Num() == ComponentSpace.Num(), TEXT("CacheRefToLocalMatrices of %s: %d inverse bind matrices for %d bones of %s"),
		*GetPathName(), InverseBind.Num(), ComponentSpace.Num(), *SkinnedAsset->GetName());
	OutRefToLocal.Reserve(ComponentSpace.Num());
	for (int32 BoneIndex = 0; BoneIndex < ComponentSpace.Num(); ++BoneIndex)
	{
		OutRefToLocal.Add(FMatrix44f(FMatrix(InverseBind[BoneIndex]) * TransformToMatrix(ComponentSpace[BoneIndex])));
	}
}

void USkinnedMeshComponent::GetCPUSkinnedVertices(TArray<FFinalSkinVertex>& OutVertices, int32 InLODIndex) const
{
	checkf(SkinnedAsset != nullptr, TEXT("GetCPUSkinnedVertices of %s: there is no skinned asset"), *GetPathName());
	const FSkeletalMeshRenderData* RenderData = SkinnedAsset->GetResourceForRendering();
	checkf(RenderData && RenderData->LODRenderData.IsValidIndex(InLODIndex), TEXT("GetCPUSkinnedVertices of %s: %s has no LOD %d"), *GetPathName(),
		*SkinnedAsset->GetName(), InLODIndex);

	// Only morph targets that are still the asset's own at their index take part.
	const TArray<TObjectPtr<UMorphTarget>>& AssetMorphTargets = SkinnedAsset->GetMorphTargets();
	TArray<UE::Engine::Private::FActiveMorph> Morphs;
	for (const auto& Pair : ActiveMorphTargets)
	{
		if (AssetMorphTargets.IsValidIndex(Pair.Value) && AssetMorphTargets[Pair.Value] == Pair.Key && MorphTargetWeights.IsValidIndex(Pair.Value))
		{
			Morphs.Add({Pair.Key, MorphTargetWeights[Pair.Value]});
		}
	}
	TArray<FMatrix44f> RefToLocals;
	CacheRefToLocalMatrices(RefToLocals);
	UE::Engine::Private::SkinVerticesOnCPU(RenderData->LODRenderData[InLODIndex], InLODIndex, Morphs, RefToLocals, OutVertices);
}
