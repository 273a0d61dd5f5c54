#include "Animation/Skeleton.h"

#include "Engine/SkinnedAsset.h"
#include "EngineLogs.h"

namespace
{
	FName ParentName(const FReferenceSkeleton& RefSkeleton, int32 BoneIndex)
	{
		const int32 ParentIndex = RefSkeleton.GetParentIndex(BoneIndex);
		return ParentIndex == INDEX_NONE ? FName(NAME_None) : RefSkeleton.GetBoneName(ParentIndex);
	}
}

bool USkeleton::MergeAllBonesToBoneTree(const USkinnedAsset* InSkinnedAsset)
{
	if (!InSkinnedAsset)
	{
		UE_LOG(LogAnimation, Error, TEXT("MergeAllBonesToBoneTree: no asset to merge into %s"), *GetName());
		return false;
	}
	const FReferenceSkeleton& Source = InSkinnedAsset->GetRefSkeleton();
	// Merged aside and swapped in at the end, so that a conflict leaves the skeleton unchanged.
	FReferenceSkeleton Merged = ReferenceSkeleton;
	FReferenceSkeletonModifier Modifier(Merged, this);
	for (int32 BoneIndex = 0; BoneIndex < Source.GetNum(); ++BoneIndex)
	{
		const FName BoneName = Source.GetBoneName(BoneIndex);
		const FName SourceParent = ParentName(Source, BoneIndex);
		const int32 ExistingIndex = Merged.FindBoneIndex(BoneName);
		if (ExistingIndex != INDEX_NONE)
		{
			const FName ExistingParent = ParentName(Merged, ExistingIndex);
			if (ExistingParent != SourceParent)
			{
				UE_LOG(LogAnimation, Error, TEXT("MergeAllBonesToBoneTree: bone '%s' of %s has parent '%s', but '%s' in %s"), *BoneName.ToString(),
					*InSkinnedAsset->GetName(), *SourceParent.ToString(), *ExistingParent.ToString(), *GetName());
				return false;
			}
			continue;
		}
		if (SourceParent.IsNone() && Merged.GetNum() > 0)
		{
			UE_LOG(LogAnimation, Error, TEXT("MergeAllBonesToBoneTree: root bone '%s' of %s is not the root of %s"), *BoneName.ToString(),
				*InSkinnedAsset->GetName(), *GetName());
			return false;
		}
		// The source lists parents first, so a parent is already merged by now.
		const int32 ParentIndex = SourceParent.IsNone() ? INDEX_NONE : Merged.FindBoneIndex(SourceParent);
		const FMeshBoneInfo& SourceInfo = Source.GetRefBoneInfo()[BoneIndex];
		Modifier.Add(FMeshBoneInfo(BoneName, SourceInfo.ExportName, ParentIndex), Source.GetRefBonePose()[BoneIndex]);
	}
	ReferenceSkeleton = std::move(Merged);
	return true;
}
