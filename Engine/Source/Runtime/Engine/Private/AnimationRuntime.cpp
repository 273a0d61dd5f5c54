#include "AnimationRuntime.h"

void FAnimationRuntime::FillUpComponentSpaceTransforms(const FReferenceSkeleton& RefSkeleton, const TArray<FTransform>& BoneSpaceTransforms,
	TArray<FTransform>& ComponentSpaceTransforms)
{
	checkf(BoneSpaceTransforms.Num() == RefSkeleton.GetNum(), TEXT("FillUpComponentSpaceTransforms: %d transforms for %d bones"),
		BoneSpaceTransforms.Num(), RefSkeleton.GetNum());
	TArray<FTransform> Result;
	Result.Reserve(BoneSpaceTransforms.Num());
	for (int32 BoneIndex = 0; BoneIndex < BoneSpaceTransforms.Num(); ++BoneIndex)
	{
		const int32 ParentIndex = RefSkeleton.GetParentIndex(BoneIndex);
		Result.Add(ParentIndex == INDEX_NONE ? BoneSpaceTransforms[BoneIndex] : BoneSpaceTransforms[BoneIndex] * Result[ParentIndex]);
	}
	// Built aside so that the output may alias the input.
	ComponentSpaceTransforms = std::move(Result);
}
