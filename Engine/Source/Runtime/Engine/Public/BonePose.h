#pragma once

// FCompactPose: one local (parent-relative) transform per bone of a bone container.

#include "BoneContainer.h"
#include "BoneIndices.h"
#include "CoreMinimal.h"

class ENGINE_API FCompactPose
{
public:
	/** Sizes the pose to the container's bones, each set to its reference pose. The container must outlive the pose's use. */
	void SetBoneContainer(const FBoneContainer* InBoneContainer);
	/** The container; a pose without one is a failed check. */
	const FBoneContainer& GetBoneContainer() const;
	/** Whether the pose has a container that is valid. */
	bool IsValid() const { return BoneContainer && BoneContainer->IsValid(); }

	/** Sets every bone to the container's reference pose. */
	void ResetToRefPose();
	void ResetToRefPose(const FBoneContainer& InBoneContainer);
	void Empty();

	int32 GetNumBones() const { return Bones.Num(); }
	const TArray<FTransform>& GetBones() const { return Bones; }
	/** A bone's transform; an index that names no bone of the pose is a failed check. */
	FTransform& operator[](const FCompactPoseBoneIndex& BoneIndex) { return Bones[BoneIndex.GetInt()]; }
	const FTransform& operator[](const FCompactPoseBoneIndex& BoneIndex) const { return Bones[BoneIndex.GetInt()]; }
	FCompactPoseBoneIndex GetParentBoneIndex(const FCompactPoseBoneIndex& BoneIndex) const
	{
		return GetBoneContainer().GetParentBoneIndex(BoneIndex);
	}
	const FTransform& GetRefPose(const FCompactPoseBoneIndex& BoneIndex) const { return GetBoneContainer().GetRefPoseTransform(BoneIndex); }

private:
	const FBoneContainer* BoneContainer = nullptr;
	TArray<FTransform> Bones;
};
