#pragma once

// Pose arithmetic shared by animation, components and skinning.

#include "CoreMinimal.h"
#include "ReferenceSkeleton.h"

class ENGINE_API FAnimationRuntime
{
public:
	/**
	 * Composes local (parent-relative) bone transforms into component space, parents first.
	 * BoneSpaceTransforms must hold one transform per bone of RefSkeleton (a failed check
	 * otherwise); ComponentSpaceTransforms is resized to match.
	 */
	static void FillUpComponentSpaceTransforms(const FReferenceSkeleton& RefSkeleton, const TArray<FTransform>& BoneSpaceTransforms,
		TArray<FTransform>& ComponentSpaceTransforms);
};
