#include "Animation/AnimSequence.h"
#include "Animation/Skeleton.h"
#include "Engine/SkeletalMesh.h"
#include "SampleRigAnimation.h"
#include "SampleTestFolder.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

namespace
{
	class SampleRigAnimationTest : public SampleTestFolder
	{
	protected:
		void SetUp() override
		{
			SampleTestFolder::SetUp();
			ASSERT_TRUE(Rig.Load(Write("rig.mhskel", RigSkeletonJson()), Write("rig.mhw", RigWeightsJson()), Error)) << *Error;
			Target = NewObject<USkeleton>();
			Holder = NewObject<USkeletalMesh>();
			Holder->SetRefSkeleton(Rig.MakeReferenceSkeleton(Rig.ComputeRefPose(RigPositions())));
			ASSERT_TRUE(Target->MergeAllBonesToBoneTree(Holder));
		}

		static bool Exists(const TCHAR* Name) { return StaticFindObject(UObject::StaticClass(), GetTransientPackage(), Name) != nullptr; }

		FSampleSkeleton Rig;
		USkeleton* Target = nullptr;
		USkeletalMesh* Holder = nullptr;
		FString Error;
	};
}

TEST_F(SampleRigAnimationTest, OneKeyPerFrameAtThirtyPerSecond)
{
	const TArray<FTransform> Reference = Rig.ComputeRefPose(RigPositions());
	TArray<FVector3f> Stretched = RigPositions();
	Stretched[5] = FVector3f(0, 45, 20);
	TArray<FTransform> Shape = Rig.ComputeRefPose(Stretched);
	Shape[1].SetScale3D(FVector(1, 2, 1));

	UAnimSequence* Sequence = FSampleRigAnimation::Make(Rig, Target, {Reference, Shape, Reference}, nullptr, FName(TEXT("A_Shapes")));
	ASSERT_NE(Sequence, nullptr);
	EXPECT_EQ(Sequence->GetName(), FString(TEXT("A_Shapes")));
	EXPECT_EQ(Sequence->GetSkeleton(), Target);
	EXPECT_EQ(Sequence->GetNumberOfSampledKeys(), 3);
	EXPECT_FLOAT_EQ(Sequence->GetPlayLength(), 2.0f / 30.0f);
	const TArray<FName>& Names = Sequence->GetAnimationTrackNames();
	ASSERT_EQ(Names.Num(), 4);
	for (int32 Bone = 0; Bone < 4; ++Bone)
	{
		EXPECT_EQ(Names[Bone], Rig.GetBoneName(Bone));
		const FRawAnimSequenceTrack& Track = Sequence->GetRawAnimationData()[Bone];
		ASSERT_EQ(Track.PosKeys.Num(), 3);
		ASSERT_EQ(Track.RotKeys.Num(), 3);
		ASSERT_EQ(Track.ScaleKeys.Num(), 3);
		EXPECT_TRUE(Track.PosKeys[0].Equals(FVector3f(Reference[Bone].GetTranslation()), 1e-4f));
		EXPECT_TRUE(Track.PosKeys[1].Equals(FVector3f(Shape[Bone].GetTranslation()), 1e-4f));
		EXPECT_TRUE(Track.RotKeys[1].Equals(FQuat4f(Shape[Bone].GetRotation()), 1e-5f));
	}
	// The stretched arm moves the hand's key only in the shape's frame: 40 instead of 20 along the arm.
	EXPECT_NEAR(Sequence->GetRawAnimationData()[3].PosKeys[1].X, 40.0f, 1e-3f);
	EXPECT_NEAR(Sequence->GetRawAnimationData()[3].PosKeys[2].X, 20.0f, 1e-3f);
	EXPECT_TRUE(Sequence->GetRawAnimationData()[1].ScaleKeys[1].Equals(FVector3f(1, 2, 1)));

	UAnimSequence* Still = FSampleRigAnimation::Make(Rig, Target, {Reference}, nullptr, FName(TEXT("A_Still")));
	ASSERT_NE(Still, nullptr);
	EXPECT_EQ(Still->GetNumberOfSampledKeys(), 1);
	EXPECT_EQ(Still->GetPlayLength(), 0.0f);
}

TEST_F(SampleRigAnimationTest, RefusesFramesThatDoNotFitBeforeMakingAnything)
{
	const TArray<FTransform> Reference = Rig.ComputeRefPose(RigPositions());
	TArray<FTransform> Short = Reference;
	Short.SetNum(3);
	TArray<FTransform> ZeroRotation = Reference;
	ZeroRotation[2].SetRotation(FQuat(0, 0, 0, 0));
	const FName Name(TEXT("A_Refused"));
	EXPECT_THROW(FSampleRigAnimation::Make(Rig, Target, {}, nullptr, Name), FCheckFailure);
	EXPECT_THROW(FSampleRigAnimation::Make(Rig, Target, {Reference, Short}, nullptr, Name), FCheckFailure);
	EXPECT_THROW(FSampleRigAnimation::Make(Rig, Target, {Reference, ZeroRotation}, nullptr, Name), FCheckFailure);
	EXPECT_THROW(FSampleRigAnimation::Make(Rig, nullptr, {Reference}, nullptr, Name), FCheckFailure);
	EXPECT_THROW(FSampleRigAnimation::Make(Rig, NewObject<USkeleton>(), {Reference}, nullptr, Name), FCheckFailure);
	EXPECT_THROW(FSampleRigAnimation::Make(FSampleSkeleton(), Target, {Reference}, nullptr, Name), FCheckFailure);
	EXPECT_FALSE(Exists(TEXT("A_Refused")));
}
