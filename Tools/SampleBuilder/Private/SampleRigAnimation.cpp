#include "SampleRigAnimation.h"

#include "Animation/AnimSequence.h"
#include "Animation/Skeleton.h"
#include "UObject/UObjectGlobals.h"

UAnimSequence* FSampleRigAnimation::Make(const FSampleSkeleton& Skeleton, USkeleton* TargetSkeleton, const TArray<TArray<FTransform>>& Frames, UObject* Outer, FName Name)
{
	const int32 NumBones = Skeleton.GetNumBones();
	checkf(NumBones > 0, TEXT("animation %s: the rig has no bones"), *Name.ToString());
	checkf(!Frames.IsEmpty(), TEXT("animation %s needs at least one frame"), *Name.ToString());
	checkf(TargetSkeleton != nullptr, TEXT("animation %s needs a skeleton"), *Name.ToString());
	TArray<FName> TrackNames;
	for (int32 Bone = 0; Bone < NumBones; ++Bone)
	{
		TrackNames.Add(Skeleton.GetBoneName(Bone));
		checkf(TargetSkeleton->GetReferenceSkeleton().FindBoneIndex(TrackNames.Last()) != INDEX_NONE, TEXT("animation %s: skeleton %s has no bone %s"),
			*Name.ToString(), *TargetSkeleton->GetName(), *TrackNames.Last().ToString());
	}
	TArray<FRawAnimSequenceTrack> Tracks;
	Tracks.SetNum(NumBones);
	for (int32 Frame = 0; Frame < Frames.Num(); ++Frame)
	{
		checkf(Frames[Frame].Num() == NumBones, TEXT("animation %s: frame %d holds %d bones of %d"), *Name.ToString(), Frame, Frames[Frame].Num(), NumBones);
		for (int32 Bone = 0; Bone < NumBones; ++Bone)
		{
			const FTransform& Pose = Frames[Frame][Bone];
			// The sequence refuses a zero rotation too, but only after the object exists.
			checkf(Pose.GetRotation().SizeSquared() > 0.0, TEXT("animation %s: frame %d has a zero rotation for bone %s"), *Name.ToString(), Frame,
				*TrackNames[Bone].ToString());
			Tracks[Bone].PosKeys.Add(FVector3f(Pose.GetTranslation()));
			Tracks[Bone].RotKeys.Add(FQuat4f(Pose.GetRotation()));
			Tracks[Bone].ScaleKeys.Add(FVector3f(Pose.GetScale3D()));
		}
	}
	UAnimSequence* Sequence = NewObject<UAnimSequence>(Outer, Name);
	Sequence->SetSkeleton(TargetSkeleton);
	Sequence->SetBoneTracks(float(Frames.Num() - 1) / FrameRate, Frames.Num(), TrackNames, Tracks);
	return Sequence;
}
