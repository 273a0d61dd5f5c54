#include "Animation/AnimSequence.h"

#include "Animation/Skeleton.h"

namespace
{
	/** Where a time falls between two keys. */
	struct FKeyPosition
	{
		int32 KeyA = 0;
		int32 KeyB = 0;
		double Alpha = 0.0;
	};

	/** How near a key a time must come to sample that key alone: float rounding of times computed as key × interval. */
	constexpr double KeySnapTolerance = 1.0e-4;

	FKeyPosition FindKeys(double Time, double PlayLength, int32 NumberOfKeys, bool bLooping)
	{
		FKeyPosition Position;
		if (NumberOfKeys <= 1 || PlayLength <= 0.0)
		{
			return Position;
		}
		if (bLooping)
		{
			Time = FMath::Fmod(Time, PlayLength);
			if (Time < 0.0)
			{
				Time += PlayLength;
			}
		}
		Time = FMath::Clamp(Time, 0.0, PlayLength);
		double KeyPosition = Time / PlayLength * double(NumberOfKeys - 1);
		const double Nearest = FMath::RoundToDouble(KeyPosition);
		if (FMath::Abs(KeyPosition - Nearest) < KeySnapTolerance)
		{
			KeyPosition = Nearest;
		}
		Position.KeyA = FMath::Min(int32(FMath::FloorToDouble(KeyPosition)), NumberOfKeys - 1);
		Position.KeyB = FMath::Min(Position.KeyA + 1, NumberOfKeys - 1);
		Position.Alpha = KeyPosition - double(Position.KeyA);
		return Position;
	}

	template <typename KeyType>
	const KeyType& KeyAt(const TArray<KeyType>& Keys, int32 KeyIndex)
	{
		return Keys.Num() == 1 ? Keys[0] : Keys[KeyIndex];
	}

	FVector LerpVectorKeys(const TArray<FVector3f>& Keys, const FKeyPosition& Position)
	{
		const FVector A(KeyAt(Keys, Position.KeyA));
		const FVector B(KeyAt(Keys, Position.KeyB));
		return A + (B - A) * Position.Alpha;
	}

	FTransform SampleTrack(const FRawAnimSequenceTrack& Track, const FKeyPosition& Position)
	{
		const FQuat Rotation = FQuat::Slerp(FQuat(KeyAt(Track.RotKeys, Position.KeyA)), FQuat(KeyAt(Track.RotKeys, Position.KeyB)), Position.Alpha);
		const FVector Scale = Track.ScaleKeys.IsEmpty() ? FVector(1, 1, 1) : LerpVectorKeys(Track.ScaleKeys, Position);
		return FTransform(Rotation, LerpVectorKeys(Track.PosKeys, Position), Scale);
	}

	bool ChannelFits(int32 KeyCount, int32 NumberOfKeys, bool bMayBeEmpty)
	{
		return KeyCount == NumberOfKeys || KeyCount == 1 || (bMayBeEmpty && KeyCount == 0);
	}
}

void UAnimSequence::SetBoneTracks(float InPlayLength, int32 InNumberOfKeys, const TArray<FName>& InTrackBoneNames,
	const TArray<FRawAnimSequenceTrack>& InTracks)
{
	checkf(InNumberOfKeys >= 1, TEXT("SetBoneTracks of %s: %d keys"), *GetName(), InNumberOfKeys);
	checkf(FMath::IsFinite(InPlayLength) && (InNumberOfKeys == 1 ? InPlayLength >= 0.0f : InPlayLength > 0.0f),
		TEXT("SetBoneTracks of %s: a play length of %f seconds for %d keys"), *GetName(), double(InPlayLength), InNumberOfKeys);
	checkf(InTrackBoneNames.Num() == InTracks.Num(), TEXT("SetBoneTracks of %s: %d track names for %d tracks"), *GetName(), InTrackBoneNames.Num(),
		InTracks.Num());
	TMap<FName, int32> IndexByName;
	TArray<FRawAnimSequenceTrack> Tracks = InTracks;
	for (int32 TrackIndex = 0; TrackIndex < Tracks.Num(); ++TrackIndex)
	{
		const FName BoneName = InTrackBoneNames[TrackIndex];
		checkf(!BoneName.IsNone(), TEXT("SetBoneTracks of %s: track %d names no bone"), *GetName(), TrackIndex);
		checkf(!IndexByName.Contains(BoneName), TEXT("SetBoneTracks of %s: two tracks for bone %s"), *GetName(), *BoneName.ToString());
		FRawAnimSequenceTrack& Track = Tracks[TrackIndex];
		checkf(ChannelFits(Track.PosKeys.Num(), InNumberOfKeys, false) && ChannelFits(Track.RotKeys.Num(), InNumberOfKeys, false)
				&& ChannelFits(Track.ScaleKeys.Num(), InNumberOfKeys, true),
			TEXT("SetBoneTracks of %s: the track of bone %s has %d translation, %d rotation and %d scale keys for %d sampled keys"), *GetName(),
			*BoneName.ToString(), Track.PosKeys.Num(), Track.RotKeys.Num(), Track.ScaleKeys.Num(), InNumberOfKeys);
		for (FQuat4f& Rotation : Track.RotKeys)
		{
			checkf(!Rotation.ContainsNaN() && Rotation.SizeSquared() > UE_SMALL_NUMBER,
				TEXT("SetBoneTracks of %s: the track of bone %s has a rotation key that is no rotation"), *GetName(), *BoneName.ToString());
			Rotation.Normalize();
		}
		IndexByName.Add(BoneName, TrackIndex);
	}
	SequenceLength = InPlayLength;
	NumberOfKeys = InNumberOfKeys;
	TrackBoneNames = InTrackBoneNames;
	RawTracks = std::move(Tracks);
	TrackIndexByBoneName = std::move(IndexByName);
}

void UAnimSequence::GetBonePose(FAnimationPoseData& OutAnimationPoseData, const FAnimExtractContext& ExtractionContext, bool bForceUseRawData) const
{
	FCompactPose& Pose = OutAnimationPoseData.GetPose();
	checkf(Pose.IsValid(), TEXT("GetBonePose of %s: the pose has no valid bone container"), *GetName());
	const FBoneContainer& Container = Pose.GetBoneContainer();
	const FReferenceSkeleton& RefSkeleton = Container.GetReferenceSkeleton();
	const FKeyPosition Position = FindKeys(ExtractionContext.CurrentTime, SequenceLength, NumberOfKeys, ExtractionContext.bLooping);

	Pose.ResetToRefPose();
	for (FCompactPoseBoneIndex BoneIndex(0); BoneIndex.GetInt() < Pose.GetNumBones(); ++BoneIndex)
	{
		const int32* TrackIndex = TrackIndexByBoneName.Find(RefSkeleton.GetBoneName(Container.GetSkeletonIndex(BoneIndex)));
		if (TrackIndex)
		{
			Pose[BoneIndex] = SampleTrack(RawTracks[*TrackIndex], Position);
		}
	}
}
