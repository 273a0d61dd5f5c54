#pragma once

// The bones a pose is made of. A bone container lists the required bones of an asset (a
// skeleton or a skeletal mesh) by reference-skeleton index, in increasing order and with
// every parent of a required bone required too; a compact pose holds one transform per
// required bone, numbered by FCompactPoseBoneIndex.

#include "BoneIndices.h"
#include "CoreMinimal.h"
#include "Math/Matrix.h"
#include "ReferenceSkeleton.h"
#include "Templates/SharedPointer.h"
#include "UObject/WeakObjectPtrTemplates.h"

class UObject;
class USkeletalMesh;
class USkeleton;

/** A component's replacement of its mesh's reference pose. */
struct FSkelMeshRefPoseOverride
{
	/** Per bone, the inverse of the overriding pose's component-space matrix. */
	TArray<FMatrix44f> RefBasesInvMatrix;
	/** Per bone, the overriding local (parent-relative) transform. */
	TArray<FTransform> RefBonePoses;
};

namespace UE::Anim
{
	enum class ECurveFilterMode : uint8
	{
		None,
		DisallowAll,
		DisallowFiltered,
		AllowOnlyFiltered,
	};

	/** Which animation curves a bone container lets through; carried for the callers, as no curves are evaluated here. */
	struct FCurveFilterSettings
	{
		ECurveFilterMode FilterMode = ECurveFilterMode::None;
		const TArray<FName>* FilterCurves = nullptr;
		int32 LODIndex = 0;

		FCurveFilterSettings(ECurveFilterMode InFilterMode = ECurveFilterMode::None, const TArray<FName>* InFilterCurves = nullptr,
			int32 InLODIndex = 0)
			: FilterMode(InFilterMode), FilterCurves(InFilterCurves), LODIndex(InLODIndex)
		{
		}
	};
}

struct ENGINE_API FBoneContainer
{
	/** An empty, invalid container. */
	FBoneContainer() = default;
	FBoneContainer(const TArray<FBoneIndexType>& InRequiredBoneIndexArray, const UE::Anim::FCurveFilterSettings& InCurveFilterSettings,
		const UObject& InAsset);

	/**
	 * Makes the container list InRequiredBoneIndexArray of InAsset, a USkeleton or a
	 * USkeletalMesh (taken by const reference, so a skinned asset's const skeleton will do; the
	 * container only reads it). Another kind of asset, indices that are not increasing or name no bone,
	 * and a required bone whose parent is not required are failed checks that leave the
	 * container as it was.
	 */
	void InitializeTo(const TArray<FBoneIndexType>& InRequiredBoneIndexArray, const UE::Anim::FCurveFilterSettings& InCurveFilterSettings,
		const UObject& InAsset);

	/** Whether the container lists bones of an asset that is still alive. */
	bool IsValid() const;
	UObject* GetAsset() const { return Asset.Get(); }
	/** The skeleton: the asset itself, or the skeletal mesh's skeleton. */
	USkeleton* GetSkeletonAsset() const;
	/** The skeletal mesh when the asset is one, else null. */
	USkeletalMesh* GetSkeletalMeshAsset() const;
	/** The asset's reference skeleton that the indices refer to; the container must be valid. */
	const FReferenceSkeleton& GetReferenceSkeleton() const;

	const TArray<FBoneIndexType>& GetBoneIndicesArray() const { return BoneIndicesArray; }
	int32 GetCompactPoseNumBones() const { return BoneIndicesArray.Num(); }
	/** The number of bones of the reference skeleton. */
	int32 GetNumBones() const { return RefPoseArray.Num(); }
	bool Contains(FBoneIndexType BoneIndex) const { return BoneIndicesArray.Contains(BoneIndex); }
	/** The reference-skeleton index of a compact pose bone. */
	int32 GetSkeletonIndex(const FCompactPoseBoneIndex& BoneIndex) const { return BoneIndicesArray[BoneIndex.GetInt()]; }
	/** The compact pose index of a reference-skeleton bone, INDEX_NONE (invalid) when it is not required. */
	FCompactPoseBoneIndex GetCompactPoseIndexFromSkeletonIndex(int32 SkeletonIndex) const;
	/** The compact index of the bone's parent; an invalid index for a root. */
	FCompactPoseBoneIndex GetParentBoneIndex(const FCompactPoseBoneIndex& BoneIndex) const
	{
		return FCompactPoseBoneIndex(CompactParentIndices[BoneIndex.GetInt()]);
	}
	/** The reference-skeleton index of the bone named BoneName, INDEX_NONE when there is none. */
	int32 GetPoseBoneIndexForBoneName(const FName& BoneName) const;

	/** The local reference pose of every reference-skeleton bone: the override's when one is set. */
	const TArray<FTransform>& GetRefPoseArray() const { return RefPoseArray; }
	const FTransform& GetRefPoseTransform(const FCompactPoseBoneIndex& BoneIndex) const { return RefPoseArray[GetSkeletonIndex(BoneIndex)]; }
	/**
	 * Uses the override's poses as the reference pose (null restores the asset's). An override
	 * with a pose count other than the bone count is a failed check.
	 */
	void SetRefPoseOverride(const TSharedPtr<FSkelMeshRefPoseOverride>& InRefPoseOverride);

	const UE::Anim::FCurveFilterSettings& GetCurveFilterSettings() const { return CurveFilterSettings; }

private:
	TWeakObjectPtr<UObject> Asset;
	TWeakObjectPtr<USkeleton> AssetSkeleton;
	TWeakObjectPtr<USkeletalMesh> AssetSkeletalMesh;
	TArray<FBoneIndexType> BoneIndicesArray;
	TArray<int32> CompactParentIndices;
	TArray<FTransform> RefPoseArray;
	UE::Anim::FCurveFilterSettings CurveFilterSettings;
};
