#include "Animation/AnimSequence.h"
#include "Animation/Skeleton.h"
#include "BoneContainer.h"
#include "BonePose.h"
#include "Misc/MemStack.h"
#include "SceneTestMeshes.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
	FQuat4f TurnAboutZ(float Degrees)
	{
		return FQuat4f(FVector3f(0, 0, 1), FMath::DegreesToRadians(Degrees));
	}

	/** Samples a sequence over all bones of its skeleton, the way rig code does. */
	class FPoseSampler
	{
	public:
		explicit FPoseSampler(USkeleton& Skeleton, TArray<FBoneIndexType> Bones = {0, 1})
			: Container(Bones, UE::Anim::FCurveFilterSettings(UE::Anim::ECurveFilterMode::DisallowAll), Skeleton)
		{
		}

		TArray<FTransform> Sample(const UAnimSequence& Sequence, double Time, bool bLooping = false)
		{
			FMemMark Mark(FMemStack::Get());
			FCompactPose Pose;
			Pose.SetBoneContainer(&Container);
			FBlendedCurve Curve;
			Curve.InitFrom(Container);
			UE::Anim::FStackAttributeContainer Attributes;
			FAnimationPoseData PoseData(Pose, Curve, Attributes);
			Sequence.GetBonePose(PoseData, FAnimExtractContext(Time, false, FDeltaTimeRecord(), bLooping));
			return Pose.GetBones();
		}

		FBoneContainer Container;
	};

	void ExpectTransform(const FTransform& Actual, const FQuat& Rotation, const FVector& Translation, const FVector& Scale)
	{
		EXPECT_TRUE(Actual.GetRotation().Equals(Rotation, 1e-6)) << *Actual.GetRotation().ToString() << " vs " << *Rotation.ToString();
		EXPECT_TRUE(Actual.GetTranslation().Equals(Translation, 1e-5)) << *Actual.GetTranslation().ToString();
		EXPECT_TRUE(Actual.GetScale3D().Equals(Scale, 1e-6)) << *Actual.GetScale3D().ToString();
	}

	class AnimSequenceTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Mesh.Reset(SceneTest::MakeTwoBoneMesh());
			Skeleton = Mesh->GetSkeleton();
			Sequence.Reset(NewObject<UAnimSequence>());
			Sequence->SetSkeleton(Skeleton);
			// arm: three keys over two seconds, one scale key for the whole length. root: no track.
			FRawAnimSequenceTrack Arm;
			Arm.PosKeys = {FVector3f(10, 0, 0), FVector3f(20, 0, 0), FVector3f(10, 0, 10)};
			Arm.RotKeys = {FQuat4f::Identity, TurnAboutZ(90), TurnAboutZ(180)};
			Arm.ScaleKeys = {FVector3f(1, 1, 2)};
			Sequence->SetBoneTracks(2.0f, 3, {FName(TEXT("arm"))}, {Arm});
		}

		TStrongObjectPtr<USkeletalMesh> Mesh;
		TStrongObjectPtr<UAnimSequence> Sequence;
		USkeleton* Skeleton = nullptr;
	};
}

TEST_F(AnimSequenceTest, KeysAreSampledExactlyAndBonesWithoutTracksKeepTheReferencePose)
{
	EXPECT_EQ(Sequence->GetNumberOfSampledKeys(), 3);
	EXPECT_EQ(Sequence->GetPlayLength(), 2.0f);
	FPoseSampler Sampler(*Skeleton);
	const TArray<FTransform> AtOne = Sampler.Sample(*Sequence, 1.0);
	ASSERT_EQ(AtOne.Num(), 2);
	EXPECT_TRUE(AtOne[0].Equals(FTransform::Identity, 0.0));
	ExpectTransform(AtOne[1], FQuat(TurnAboutZ(90)), FVector(20, 0, 0), FVector(1, 1, 2));
	ExpectTransform(Sampler.Sample(*Sequence, 2.0)[1], FQuat(TurnAboutZ(180)), FVector(10, 0, 10), FVector(1, 1, 2));
}

TEST_F(AnimSequenceTest, BetweenKeysTranslationIsLinearAndRotationSpherical)
{
	FPoseSampler Sampler(*Skeleton);
	ExpectTransform(Sampler.Sample(*Sequence, 0.5)[1], FQuat(TurnAboutZ(45)), FVector(15, 0, 0), FVector(1, 1, 2));
	ExpectTransform(Sampler.Sample(*Sequence, 1.5)[1], FQuat(TurnAboutZ(135)), FVector(15, 0, 5), FVector(1, 1, 2));
	// A quarter of the way a normalised linear blend would give 21.6 degrees; the spherical one 22.5.
	ExpectTransform(Sampler.Sample(*Sequence, 0.25)[1], FQuat(TurnAboutZ(22.5f)), FVector(12.5, 0, 0), FVector(1, 1, 2));
}

TEST_F(AnimSequenceTest, TimesOutsideThePlayLengthHoldOrWrap)
{
	FPoseSampler Sampler(*Skeleton);
	EXPECT_TRUE(Sampler.Sample(*Sequence, 3.0)[1].GetTranslation().Equals(FVector(10, 0, 10)));
	EXPECT_TRUE(Sampler.Sample(*Sequence, -1.0)[1].GetTranslation().Equals(FVector(10, 0, 0)));
	EXPECT_TRUE(Sampler.Sample(*Sequence, 3.0, true)[1].GetTranslation().Equals(FVector(20, 0, 0)));
	EXPECT_TRUE(Sampler.Sample(*Sequence, -0.5, true)[1].GetTranslation().Equals(FVector(15, 0, 5)));
}

TEST_F(AnimSequenceTest, EvenlySpacedFloatTimesLandOnTheirKeys)
{
	// Eleven keys over one second, sampled at f * (L / (N - 1)) in single precision.
	FRawAnimSequenceTrack Root;
	for (int32 Key = 0; Key < 11; ++Key)
	{
		Root.PosKeys.Add(FVector3f(float(Key), 0, 0));
	}
	Root.RotKeys = {FQuat4f::Identity};
	UAnimSequence* Frames = NewObject<UAnimSequence>();
	Frames->SetBoneTracks(1.0f, 11, {FName(TEXT("root"))}, {Root});
	FPoseSampler Sampler(*Skeleton);
	const float Interval = Frames->GetPlayLength() / float(Frames->GetNumberOfSampledKeys() - 1);
	for (int32 Frame = 0; Frame < 11; ++Frame)
	{
		const float Time = float(Frame) * Interval;
		EXPECT_EQ(Sampler.Sample(*Frames, Time)[0].GetTranslation().X, double(Frame)) << "frame " << Frame;
	}
}

TEST_F(AnimSequenceTest, ASingleKeyHoldsForEveryTime)
{
	FRawAnimSequenceTrack Arm;
	Arm.PosKeys = {FVector3f(1, 2, 3)};
	Arm.RotKeys = {FQuat4f(0, 0, 0, 2)};
	UAnimSequence* Still = NewObject<UAnimSequence>();
	Still->SetBoneTracks(0.0f, 1, {FName(TEXT("ARM"))}, {Arm});
	EXPECT_EQ(Still->GetRawAnimationData()[0].RotKeys[0], FQuat4f::Identity) << "rotations are stored normalised";
	FPoseSampler Sampler(*Skeleton);
	for (const double Time : {0.0, 0.7, 5.0})
	{
		ExpectTransform(Sampler.Sample(*Still, Time)[1], FQuat::Identity, FVector(1, 2, 3), FVector(1, 1, 1));
	}
}

TEST_F(AnimSequenceTest, BadTracksAreRefusedAndLeaveTheSequenceAsItWas)
{
	FRawAnimSequenceTrack Good;
	Good.PosKeys = {FVector3f(0, 0, 0)};
	Good.RotKeys = {FQuat4f::Identity};
	FRawAnimSequenceTrack TwoKeys = Good;
	TwoKeys.PosKeys.Add(FVector3f(1, 0, 0));
	FRawAnimSequenceTrack NoRotation = Good;
	NoRotation.RotKeys = {FQuat4f(0, 0, 0, 0)};
	FRawAnimSequenceTrack Empty;

	const FName Arm(TEXT("arm"));
	EXPECT_THROW(Sequence->SetBoneTracks(1.0f, 0, {Arm}, {Good}), FCheckFailure);
	EXPECT_THROW(Sequence->SetBoneTracks(0.0f, 3, {Arm}, {Good}), FCheckFailure);
	EXPECT_THROW(Sequence->SetBoneTracks(std::numeric_limits<float>::infinity(), 3, {Arm}, {Good}), FCheckFailure);
	EXPECT_THROW(Sequence->SetBoneTracks(1.0f, 3, {Arm}, {TwoKeys}), FCheckFailure);
	EXPECT_THROW(Sequence->SetBoneTracks(1.0f, 3, {Arm}, {NoRotation}), FCheckFailure);
	EXPECT_THROW(Sequence->SetBoneTracks(1.0f, 3, {Arm}, {Empty}), FCheckFailure);
	EXPECT_THROW(Sequence->SetBoneTracks(1.0f, 3, {Arm, FName(TEXT("ARM"))}, {Good, Good}), FCheckFailure);
	EXPECT_THROW(Sequence->SetBoneTracks(1.0f, 3, {Arm}, {Good, Good}), FCheckFailure);
	EXPECT_THROW(Sequence->SetBoneTracks(1.0f, 3, {NAME_None}, {Good}), FCheckFailure);
	EXPECT_EQ(Sequence->GetNumberOfSampledKeys(), 3);
	EXPECT_EQ(Sequence->GetAnimationTrackNames(), (TArray<FName>{Arm}));
	FPoseSampler Sampler(*Skeleton);
	EXPECT_TRUE(Sampler.Sample(*Sequence, 1.0)[1].GetTranslation().Equals(FVector(20, 0, 0)));
}

TEST_F(AnimSequenceTest, ThePoseFollowsTheBoneContainer)
{
	// Only the root is required: the arm track has nowhere to go.
	FPoseSampler RootOnly(*Skeleton, {0});
	EXPECT_EQ(RootOnly.Sample(*Sequence, 1.0).Num(), 1);
	EXPECT_EQ(RootOnly.Container.GetCompactPoseIndexFromSkeletonIndex(1), FCompactPoseBoneIndex(INDEX_NONE));

	// A reference-pose override is what bones without a track take.
	FPoseSampler Sampler(*Skeleton);
	const TSharedPtr<FSkelMeshRefPoseOverride> Override = MakeShared<FSkelMeshRefPoseOverride>();
	Override->RefBonePoses = {FTransform(FVector(0, 0, 7)), FTransform(FVector(3, 0, 0))};
	Sampler.Container.SetRefPoseOverride(Override);
	const TArray<FTransform> Pose = Sampler.Sample(*Sequence, 1.0);
	EXPECT_EQ(Pose[0].GetTranslation(), FVector(0, 0, 7));
	EXPECT_TRUE(Pose[1].GetTranslation().Equals(FVector(20, 0, 0)));
	Sampler.Container.SetRefPoseOverride(nullptr);
	EXPECT_EQ(Sampler.Sample(*Sequence, 1.0)[0].GetTranslation(), FVector(0, 0, 0));
	Override->RefBonePoses.Pop();
	EXPECT_THROW(Sampler.Container.SetRefPoseOverride(Override), FCheckFailure);

	FCompactPose Unset;
	FBlendedCurve Curve;
	UE::Anim::FStackAttributeContainer Attributes;
	FAnimationPoseData PoseData(Unset, Curve, Attributes);
	EXPECT_THROW(Sequence->GetBonePose(PoseData, FAnimExtractContext(0.0)), FCheckFailure);
}

TEST_F(AnimSequenceTest, BoneContainersRefuseBonesAPoseCannotBeBuiltFrom)
{
	const UE::Anim::FCurveFilterSettings NoCurves(UE::Anim::ECurveFilterMode::DisallowAll);
	FBoneContainer Container({0, 1}, NoCurves, *Mesh);
	EXPECT_TRUE(Container.IsValid());
	EXPECT_EQ(Container.GetSkeletalMeshAsset(), Mesh.Get());
	EXPECT_EQ(Container.GetSkeletonAsset(), Skeleton);
	EXPECT_EQ(Container.GetPoseBoneIndexForBoneName(FName(TEXT("Arm"))), 1);
	EXPECT_EQ(Container.GetParentBoneIndex(FCompactPoseBoneIndex(1)), FCompactPoseBoneIndex(0));
	EXPECT_EQ(Container.GetCurveFilterSettings().FilterMode, UE::Anim::ECurveFilterMode::DisallowAll);

	EXPECT_THROW(Container.InitializeTo({1}, NoCurves, *Skeleton), FCheckFailure) << "the arm's parent is not required";
	EXPECT_THROW(Container.InitializeTo({1, 0}, NoCurves, *Skeleton), FCheckFailure) << "not increasing";
	EXPECT_THROW(Container.InitializeTo({0, 2}, NoCurves, *Skeleton), FCheckFailure) << "no bone 2";
	UMaterial* NotAnAsset = NewObject<UMaterial>();
	EXPECT_THROW(Container.InitializeTo({0}, NoCurves, *NotAnAsset), FCheckFailure);
	EXPECT_EQ(Container.GetCompactPoseNumBones(), 2) << "a refused initialisation keeps the old bones";
	EXPECT_FALSE(FBoneContainer().IsValid());
}

TEST_F(AnimSequenceTest, CompactPosesAndCurvesAnswerForTheirBones)
{
	FPoseSampler Sampler(*Skeleton);
	FCompactPose Pose;
	EXPECT_FALSE(Pose.IsValid());
	EXPECT_THROW(Pose.GetBoneContainer(), FCheckFailure);
	EXPECT_THROW(Pose.SetBoneContainer(nullptr), FCheckFailure);
	Pose.SetBoneContainer(&Sampler.Container);
	ASSERT_EQ(Pose.GetNumBones(), 2);
	EXPECT_EQ(Pose.GetParentBoneIndex(FCompactPoseBoneIndex(1)), FCompactPoseBoneIndex(0));
	EXPECT_FALSE(Pose.GetParentBoneIndex(FCompactPoseBoneIndex(0)).IsValid());
	EXPECT_EQ(Pose.GetRefPose(FCompactPoseBoneIndex(1)).GetTranslation(), FVector(10, 0, 0));
	Pose[FCompactPoseBoneIndex(1)].SetTranslation(FVector(1, 1, 1));
	Pose.ResetToRefPose();
	EXPECT_EQ(Pose[FCompactPoseBoneIndex(1)].GetTranslation(), FVector(10, 0, 0));
	EXPECT_THROW(Pose[FCompactPoseBoneIndex(2)], FCheckFailure);
	Pose.Empty();
	EXPECT_EQ(Pose.GetNumBones(), 0);
	EXPECT_FALSE(Pose.IsValid());

	FBlendedCurve Curve;
	Curve.Set(FName(TEXT("Blink")), 0.5f);
	EXPECT_EQ(Curve.Get(FName(TEXT("blink"))), 0.5f);
	EXPECT_TRUE(Curve.Contains(FName(TEXT("Blink"))));
	EXPECT_EQ(Curve.Get(FName(TEXT("Smile"))), 0.0f);
	Curve.InitFrom(Sampler.Container);
	EXPECT_TRUE(Curve.IsEmpty()) << "a curve set starts empty for a new pose";
}

TEST(MemStackTest, MarksFreeWhatWasAllocatedAfterThem)
{
	FMemStackBase Stack;
	EXPECT_THROW(Stack.PushBytes(8, 8), FCheckFailure) << "nothing would free it";
	{
		FMemMark Outer(Stack);
		uint8* First = Stack.PushBytes(3, 1);
		uint8* Aligned = Stack.PushBytes(16, 64);
		EXPECT_EQ(reinterpret_cast<uintptr_t>(Aligned) % 64, 0u);
		EXPECT_GE(Aligned, First + 3);
		EXPECT_THROW(Stack.PushBytes(4, 3), FCheckFailure);
		const SIZE_T AfterOuter = Stack.GetByteCount();
		{
			FMemMark Inner(Stack);
			int32* Numbers = Stack.PushArray<int32>(100);
			Numbers[99] = 7;
			uint8* Large = Stack.PushBytes(FMemStackBase::DefaultChunkSize * 2, 16);
			Large[FMemStackBase::DefaultChunkSize * 2 - 1] = 1;
			EXPECT_EQ(Stack.GetNumMarks(), 2);
			EXPECT_THROW(Outer.Pop(), FCheckFailure) << "the inner mark is still set";
		}
		EXPECT_EQ(Stack.GetByteCount(), AfterOuter);
		EXPECT_EQ(Stack.GetNumMarks(), 1);
	}
	EXPECT_TRUE(Stack.IsEmpty());
	EXPECT_EQ(Stack.GetNumMarks(), 0);

	FMemMark Reused(Stack);
	EXPECT_NE(Stack.PushBytes(FMemStackBase::DefaultChunkSize, 8), nullptr);
	Reused.Pop();
	EXPECT_THROW(Reused.Pop(), FCheckFailure);
	EXPECT_TRUE(Stack.IsEmpty());
}

TEST(MemStackTest, EachThreadHasItsOwnStack)
{
	FMemStack* Here = &FMemStack::Get();
	FMemStack* There = nullptr;
	std::thread([&There] { There = &FMemStack::Get(); }).join();
	EXPECT_NE(Here, There);
	EXPECT_EQ(Here, &FMemStack::Get());
}
