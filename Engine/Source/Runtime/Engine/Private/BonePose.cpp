#include "BonePose.h"

void FCompactPose::SetBoneContainer(const FBoneContainer* InBoneContainer)
{
	checkf(InBoneContainer && InBoneContainer->IsValid(), TEXT("FCompactPose::SetBoneContainer needs a valid bone container"));
	BoneContainer = InBoneContainer;
	ResetToRefPose();
}

const FBoneContainer& FCompactPose::GetBoneContainer() const
{
	checkf(BoneContainer != nullptr, TEXT("FCompactPose has no bone container"));
	return *BoneContainer;
}

void FCompactPose::ResetToRefPose()
{
	const FBoneContainer& Container = GetBoneContainer();
	Bones.Reset(Container.GetCompactPoseNumBones());
	for (FCompactPoseBoneIndex BoneIndex(0); BoneIndex.GetInt() < Container.GetCompactPoseNumBones(); ++BoneIndex)
	{
		Bones.Add(Container.GetRefPoseTransform(BoneIndex));
	}
}

void FCompactPose::ResetToRefPose(const FBoneContainer& InBoneContainer)
{
	SetBoneContainer(&InBoneContainer);
}

void FCompactPose::Empty()
{
	BoneContainer = nullptr;
	Bones.Empty();
}
