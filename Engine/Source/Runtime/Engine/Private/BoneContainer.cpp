#include "BoneContainer.h"

#include "Animation/Skeleton.h"
#include "Engine/SkeletalMesh.h"
#include "Templates/Casts.h"

FBoneContainer::FBoneContainer(const TArray<FBoneIndexType>& InRequiredBoneIndexArray, const UE::Anim::FCurveFilterSettings& InCurveFilterSettings,
	const UObject& InAsset)
{
	InitializeTo(InRequiredBoneIndexArray, InCurveFilterSettings, InAsset);
}

void FBoneContainer::InitializeTo(const TArray<FBoneIndexType>& InRequiredBoneIndexArray,
	const UE::Anim::FCurveFilterSettings& InCurveFilterSettings, const UObject& InAsset)
{
	const USkeletalMesh* Mesh = Cast<USkeletalMesh>(&InAsset);
	const USkeleton* Skeleton = Mesh ? Mesh->GetSkeleton() : Cast<USkeleton>(&InAsset);
	checkf(Mesh || Skeleton, TEXT("FBoneContainer: %s is neither a skeleton nor a skeletal mesh"), *InAsset.GetName());
	const FReferenceSkeleton& RefSkeleton = Mesh ? Mesh->GetRefSkeleton() : Skeleton->GetReferenceSkeleton();

	TArray<int32> ParentIndices;
	ParentIndices.Reserve(InRequiredBoneIndexArray.Num());
	for (int32 CompactIndex = 0; CompactIndex < InRequiredBoneIndexArray.Num(); ++CompactIndex)
	{
		const int32 BoneIndex = InRequiredBoneIndexArray[CompactIndex];
		checkf(RefSkeleton.IsValidIndex(BoneIndex), TEXT("FBoneContainer: %s has no bone %d"), *InAsset.GetName(), BoneIndex);
		checkf(CompactIndex == 0 || InRequiredBoneIndexArray[CompactIndex - 1] < BoneIndex,
			TEXT("FBoneContainer: required bones of %s must be increasing, but %d follows %d"), *InAsset.GetName(), BoneIndex,
			int32(InRequiredBoneIndexArray[CompactIndex - 1]));
		const int32 Parent = RefSkeleton.GetParentIndex(BoneIndex);
		// Parents precede children in both lists, so the parent's compact index is already known.
		const int32 CompactParent = Parent == INDEX_NONE ? INDEX_NONE : InRequiredBoneIndexArray.Find(FBoneIndexType(Parent));
		checkf(Parent == INDEX_NONE || CompactParent != INDEX_NONE, TEXT("FBoneContainer: bone %s of %s is required but its parent %s is not"),
			*RefSkeleton.GetBoneName(BoneIndex).ToString(), *InAsset.GetName(), *RefSkeleton.GetBoneName(Parent).ToString());
		ParentIndices.Add(CompactParent);
	}

	Asset = &InAsset;
	AssetSkeleton = Skeleton;
	AssetSkeletalMesh = Mesh;
	BoneIndicesArray = InRequiredBoneIndexArray;
	CompactParentIndices = std::move(ParentIndices);
	RefPoseArray = RefSkeleton.GetRefBonePose();
	CurveFilterSettings = InCurveFilterSettings;
}

bool FBoneContainer::IsValid() const
{
	return Asset.IsValid() && !RefPoseArray.IsEmpty();
}

USkeleton* FBoneContainer::GetSkeletonAsset() const
{
	return AssetSkeleton.Get();
}

USkeletalMesh* FBoneContainer::GetSkeletalMeshAsset() const
{
	return AssetSkeletalMesh.Get();
}

const FReferenceSkeleton& FBoneContainer::GetReferenceSkeleton() const
{
	checkf(IsValid(), TEXT("FBoneContainer: the container lists no bones of a live asset"));
	const USkeletalMesh* Mesh = AssetSkeletalMesh.Get();
	return Mesh ? Mesh->GetRefSkeleton() : AssetSkeleton.Get()->GetReferenceSkeleton();
}

FCompactPoseBoneIndex FBoneContainer::GetCompactPoseIndexFromSkeletonIndex(int32 SkeletonIndex) const
{
	return FCompactPoseBoneIndex(SkeletonIndex < 0 || SkeletonIndex > 0xffff ? INDEX_NONE : BoneIndicesArray.Find(FBoneIndexType(SkeletonIndex)));
}

int32 FBoneContainer::GetPoseBoneIndexForBoneName(const FName& BoneName) const
{
	return IsValid() ? GetReferenceSkeleton().FindBoneIndex(BoneName) : INDEX_NONE;
}

void FBoneContainer::SetRefPoseOverride(const TSharedPtr<FSkelMeshRefPoseOverride>& InRefPoseOverride)
{
	if (InRefPoseOverride.IsValid())
	{
		checkf(InRefPoseOverride->RefBonePoses.Num() == RefPoseArray.Num(), TEXT("FBoneContainer: a reference pose override of %d bones for %d bones"),
			InRefPoseOverride->RefBonePoses.Num(), RefPoseArray.Num());
		RefPoseArray = InRefPoseOverride->RefBonePoses;
	}
	else if (IsValid())
	{
		RefPoseArray = GetReferenceSkeleton().GetRefBonePose();
	}
}
