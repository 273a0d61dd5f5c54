#include "ReferenceSkeleton.h"

#include "Animation/Skeleton.h"

namespace
{
	bool IsFiniteVector(const FVector& V)
	{
		return FMath::IsFinite(V.X) && FMath::IsFinite(V.Y) && FMath::IsFinite(V.Z);
	}

	bool IsFiniteTransform(const FTransform& Transform)
	{
		return !Transform.GetRotation().ContainsNaN() && IsFiniteVector(Transform.GetTranslation()) && IsFiniteVector(Transform.GetScale3D());
	}
}

int32 FReferenceSkeleton::FindBoneIndex(const FName& BoneName) const
{
	const int32* Index = RawNameToIndexMap.Find(BoneName);
	return Index ? *Index : INDEX_NONE;
}

FName FReferenceSkeleton::GetBoneName(int32 BoneIndex) const
{
	checkf(IsValidIndex(BoneIndex), TEXT("GetBoneName: %d is not a bone of a skeleton of %d bones"), BoneIndex, GetNum());
	return RawRefBoneInfo[BoneIndex].Name;
}

int32 FReferenceSkeleton::GetParentIndex(int32 BoneIndex) const
{
	checkf(IsValidIndex(BoneIndex), TEXT("GetParentIndex: %d is not a bone of a skeleton of %d bones"), BoneIndex, GetNum());
	return RawRefBoneInfo[BoneIndex].ParentIndex;
}

bool FReferenceSkeleton::BoneIsChildOf(int32 ChildBoneIndex, int32 ParentBoneIndex) const
{
	return ChildBoneIndex != ParentBoneIndex && GetDepthBetweenBones(ChildBoneIndex, ParentBoneIndex) > 0;
}

int32 FReferenceSkeleton::GetDepthBetweenBones(int32 BoneIndex, int32 ParentBoneIndex) const
{
	if (!IsValidIndex(BoneIndex) || !IsValidIndex(ParentBoneIndex))
	{
		return INDEX_NONE;
	}
	// Parents always precede their children, so the walk up ends before it can pass the ancestor.
	int32 Depth = 0;
	for (int32 Current = BoneIndex; Current != INDEX_NONE && Current >= ParentBoneIndex; Current = RawRefBoneInfo[Current].ParentIndex)
	{
		if (Current == ParentBoneIndex)
		{
			return Depth;
		}
		++Depth;
	}
	return INDEX_NONE;
}

void FReferenceSkeleton::Empty(int32 Size)
{
	RawRefBoneInfo.Empty(Size);
	RawRefBonePose.Empty(Size);
	RawNameToIndexMap.Empty();
}

bool FReferenceSkeleton::operator==(const FReferenceSkeleton& Other) const
{
	if (RawRefBoneInfo != Other.RawRefBoneInfo || RawRefBonePose.Num() != Other.RawRefBonePose.Num())
	{
		return false;
	}
	for (int32 Index = 0; Index < RawRefBonePose.Num(); ++Index)
	{
		if (!RawRefBonePose[Index].Equals(Other.RawRefBonePose[Index], 0.0))
		{
			return false;
		}
	}
	return true;
}

FReferenceSkeletonModifier::FReferenceSkeletonModifier(FReferenceSkeleton& InRefSkel, const USkeleton* InSkeleton)
	: RefSkeleton(InRefSkel), Skeleton(InSkeleton)
{
}

void FReferenceSkeletonModifier::Add(const FMeshBoneInfo& BoneInfo, const FTransform& BonePose, bool bAllowMultipleRoots)
{
	const int32 NewIndex = RefSkeleton.GetNum();
	checkf(!BoneInfo.Name.IsNone(), TEXT("Bone %d of %s has no name"), NewIndex, *DescribeOwner());
	checkf(RefSkeleton.FindBoneIndex(BoneInfo.Name) == INDEX_NONE, TEXT("Bone '%s' of %s is already there: bone names must be unique"),
		*BoneInfo.Name.ToString(), *DescribeOwner());
	if (BoneInfo.ParentIndex == INDEX_NONE)
	{
		checkf(NewIndex == 0 || bAllowMultipleRoots, TEXT("Bone '%s' of %s would be a second root"), *BoneInfo.Name.ToString(), *DescribeOwner());
	}
	else
	{
		checkf(BoneInfo.ParentIndex >= 0 && BoneInfo.ParentIndex < NewIndex,
			TEXT("Bone '%s' of %s has parent %d, which is not a bone added before it"), *BoneInfo.Name.ToString(), *DescribeOwner(),
			BoneInfo.ParentIndex);
	}
	checkf(IsFiniteTransform(BonePose), TEXT("Bone '%s' of %s has a reference pose that is not finite"), *BoneInfo.Name.ToString(),
		*DescribeOwner());

	RefSkeleton.RawRefBoneInfo.Add(BoneInfo);
	RefSkeleton.RawRefBonePose.Add(BonePose);
	RefSkeleton.RawNameToIndexMap.Add(BoneInfo.Name, NewIndex);
}

void FReferenceSkeletonModifier::UpdateRefPoseTransform(int32 BoneIndex, const FTransform& BonePose)
{
	checkf(RefSkeleton.IsValidIndex(BoneIndex), TEXT("UpdateRefPoseTransform: %d is not a bone of %s"), BoneIndex, *DescribeOwner());
	checkf(IsFiniteTransform(BonePose), TEXT("UpdateRefPoseTransform: the pose of bone %d of %s is not finite"), BoneIndex, *DescribeOwner());
	RefSkeleton.RawRefBonePose[BoneIndex] = BonePose;
}

FString FReferenceSkeletonModifier::DescribeOwner() const
{
	return Skeleton ? FString::Printf(TEXT("skeleton %s"), *Skeleton->GetPathName()) : FString(TEXT("the reference skeleton"));
}
