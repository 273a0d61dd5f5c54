#pragma once

#include "Animation/AnimationAsset.h"
#include "Animation/AnimationPoseData.h"
#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"

#include "AnimSequence.generated.h"

class USkeleton;

/**
 * The keys of one bone: local translation, rotation and scale. A channel holds either one key
 * per sampled key of the sequence or a single key that holds for its whole length; an empty
 * scale channel means unit scale.
 */
struct FRawAnimSequenceTrack
{
	TArray<FVector3f> PosKeys;
	TArray<FQuat4f> RotKeys;
	TArray<FVector3f> ScaleKeys;
};

/**
 * An animation: per-bone tracks of keys sampled at even intervals over its play length, the
 * first key at time 0 and the last at the play length. Tracks are matched to bones by name.
 */
UCLASS(BlueprintType)
class ENGINE_API UAnimSequence : public UObject
{
	GENERATED_BODY()

public:
	USkeleton* GetSkeleton() const { return Skeleton; }
	void SetSkeleton(USkeleton* InSkeleton) { Skeleton = InSkeleton; }

	/** Seconds from the first key to the last. */
	float GetPlayLength() const { return SequenceLength; }
	int32 GetNumberOfSampledKeys() const { return NumberOfKeys; }

	/**
	 * Replaces the animation data. InNumberOfKeys must be at least 1 and InPlayLength finite,
	 * positive with several keys and 0 or more with one; there must be one track per name, the
	 * names set and distinct, and each channel must have a key count the track comment allows
	 * with non-zero rotations. Anything else is a failed check naming the problem, and the
	 * sequence is left as it was. Rotations are stored normalised.
	 */
	void SetBoneTracks(float InPlayLength, int32 InNumberOfKeys, const TArray<FName>& InTrackBoneNames, const TArray<FRawAnimSequenceTrack>& InTracks);
	const TArray<FName>& GetAnimationTrackNames() const { return TrackBoneNames; }
	const TArray<FRawAnimSequenceTrack>& GetRawAnimationData() const { return RawTracks; }

	/**
	 * The pose at ExtractionContext.CurrentTime: for every bone of the pose's container, its
	 * track sampled at that time, or the container's reference pose for a bone without a track.
	 * Between two keys, translation and scale are interpolated linearly and rotation
	 * spherically. A time before the start or past the end holds the first or last key, or
	 * wraps around when the context loops. A time that lands on a key up to float rounding
	 * gives that key exactly. The pose must have a valid bone container (a failed check
	 * otherwise). The raw keys are the only data, so bForceUseRawData changes nothing.
	 */
	void GetBonePose(FAnimationPoseData& OutAnimationPoseData, const FAnimExtractContext& ExtractionContext, bool bForceUseRawData = false) const;

private:
	UPROPERTY()
	TObjectPtr<USkeleton> Skeleton = nullptr;

	UPROPERTY()
	float SequenceLength = 0.0f;

	UPROPERTY()
	int32 NumberOfKeys = 0;

	TArray<FName> TrackBoneNames;
	TArray<FRawAnimSequenceTrack> RawTracks;
	TMap<FName, int32> TrackIndexByBoneName;
};
