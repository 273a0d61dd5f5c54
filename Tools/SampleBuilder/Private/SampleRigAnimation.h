#pragma once

// FSampleRigAnimation: an animation that steps through rig poses, one key per pose at 30 keys
// per second. The sample uses it to carry the bone pose of every body shape: key 0 holds the
// reference pose and key k + 1 the pose fitted to shape k, so a reader can look a shape's
// skeleton up by time.

#include "CoreMinimal.h"
#include "SampleSkeleton.h"

class UAnimSequence;
class UObject;
class USkeleton;

class FSampleRigAnimation
{
public:
	/** Keys per second of the made animations. */
	static constexpr float FrameRate = 30.0f;

	/**
	 * Makes the animation Name in Outer, bound to TargetSkeleton: a track for every bone of
	 * Skeleton with one translation, rotation and scale key per frame of Frames (each frame one
	 * local transform per bone, in Skeleton's order), playing (frames - 1) / 30 seconds. No
	 * frames, a frame of another bone count or with a zero rotation, a skeleton without bones or a TargetSkeleton
	 * missing one of its bones is a failed check, and nothing is made.
	 */
	static UAnimSequence* Make(const FSampleSkeleton& Skeleton, USkeleton* TargetSkeleton, const TArray<TArray<FTransform>>& Frames, UObject* Outer, FName Name);
};
