#include "Animation/Skeleton.h"
#include "AnimationRuntime.h"
#include "Engine/SkeletalMesh.h"
#include "Logging/LogCapture.h"
#include "ReferenceSkeleton.h"
#include "SceneTestMeshes.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

namespace
{
	/** root ─ spine ─ head, and spine ─ arm. */
	FReferenceSkeleton MakeSpine()
	{
		FReferenceSkeleton RefSkeleton;
		FReferenceSkeletonModifier Modifier(RefSkeleton, nullptr);
		Modifier.Add(FMeshBoneInfo(FName(TEXT("root")), TEXT("root"), INDEX_NONE), FTransform::Identity);
		Modifier.Add(FMeshBoneInfo(FName(TEXT("spine")), TEXT("spine"), 0), FTransform(FVector(0, 0, 10)));
		Modifier.Add(FMeshBoneInfo(FName(TEXT("head")), TEXT("head"), 1), FTransform(FVector(0, 0, 5)));
		Modifier.Add(FMeshBoneInfo(FName(TEXT("arm")), TEXT("arm"), 1), FTransform(FQuat(FVector(0, 0, 1), UE_DOUBLE_HALF_PI), FVector(3, 0, 0)));
		return RefSkeleton;
	}
}

TEST(ReferenceSkeletonTest, LookupsFollowTheOrderBonesWereAddedIn)
{
	const FReferenceSkeleton RefSkeleton = MakeSpine();
	ASSERT_EQ(RefSkeleton.GetNum(), 4);
	EXPECT_EQ(RefSkeleton.GetRawBoneNum(), 4);
	EXPECT_EQ(RefSkeleton.FindBoneIndex(FName(TEXT("head"))), 2);
	EXPECT_EQ(RefSkeleton.FindBoneIndex(FName(TEXT("HEAD"))), 2) << "bone names compare without letter case";
	EXPECT_EQ(RefSkeleton.FindBoneIndex(FName(TEXT("tail"))), INDEX_NONE);
	EXPECT_EQ(RefSkeleton.GetBoneName(3), FName(TEXT("arm")));
	EXPECT_EQ(RefSkeleton.GetParentIndex(0), INDEX_NONE);
	EXPECT_EQ(RefSkeleton.GetParentIndex(3), 1);
	EXPECT_EQ(RefSkeleton.GetRefBonePose()[1].GetTranslation(), FVector(0, 0, 10));
	EXPECT_EQ(RefSkeleton.GetRefBoneInfo()[2].ExportName, FString(TEXT("head")));

	EXPECT_TRUE(RefSkeleton.BoneIsChildOf(2, 0));
	EXPECT_FALSE(RefSkeleton.BoneIsChildOf(2, 3)) << "siblings";
	EXPECT_FALSE(RefSkeleton.BoneIsChildOf(1, 1)) << "a bone is not its own child";
	EXPECT_EQ(RefSkeleton.GetDepthBetweenBones(2, 0), 2);
	EXPECT_EQ(RefSkeleton.GetDepthBetweenBones(3, 3), 0);
	EXPECT_EQ(RefSkeleton.GetDepthBetweenBones(0, 2), INDEX_NONE);
	EXPECT_EQ(RefSkeleton.GetDepthBetweenBones(7, 0), INDEX_NONE);
	EXPECT_THROW(RefSkeleton.GetBoneName(4), FCheckFailure);
	EXPECT_THROW(RefSkeleton.GetParentIndex(-1), FCheckFailure);

	FReferenceSkeleton Emptied = RefSkeleton;
	EXPECT_EQ(Emptied, RefSkeleton);
	Emptied.Empty();
	EXPECT_EQ(Emptied.GetNum(), 0);
	EXPECT_EQ(Emptied.FindBoneIndex(FName(TEXT("head"))), INDEX_NONE);
	EXPECT_FALSE(Emptied == RefSkeleton);
}

TEST(ReferenceSkeletonTest, BadBonesAreRefusedAndLeaveTheSkeletonAsItWas)
{
	FReferenceSkeleton RefSkeleton = MakeSpine();
	FReferenceSkeletonModifier Modifier(RefSkeleton, nullptr);
	auto ExpectRefused = [&](const FMeshBoneInfo& Bone, const FTransform& Pose, const char* Fragment)
	{
		try
		{
			Modifier.Add(Bone, Pose);
			ADD_FAILURE() << "accepted " << *Bone.Name.ToString();
		}
		catch (const FCheckFailure& Failure)
		{
			EXPECT_NE(Failure.GetMessage().find(Fragment), std::string::npos) << Failure.GetMessage();
		}
		EXPECT_EQ(RefSkeleton.GetNum(), 4);
	};
	ExpectRefused(FMeshBoneInfo(FName(TEXT("Spine")), TEXT(""), 0), FTransform::Identity, "names must be unique");
	ExpectRefused(FMeshBoneInfo(NAME_None, TEXT(""), 0), FTransform::Identity, "has no name");
	ExpectRefused(FMeshBoneInfo(FName(TEXT("tail")), TEXT(""), 4), FTransform::Identity, "not a bone added before it");
	ExpectRefused(FMeshBoneInfo(FName(TEXT("tail")), TEXT(""), INDEX_NONE), FTransform::Identity, "second root");
	ExpectRefused(FMeshBoneInfo(FName(TEXT("tail")), TEXT(""), 0), FTransform(FVector(std::numeric_limits<double>::quiet_NaN(), 0, 0)),
		"not finite");
	EXPECT_EQ(RefSkeleton.FindBoneIndex(FName(TEXT("tail"))), INDEX_NONE);

	Modifier.Add(FMeshBoneInfo(FName(TEXT("prop")), TEXT(""), INDEX_NONE), FTransform::Identity, true);
	EXPECT_EQ(RefSkeleton.GetParentIndex(4), INDEX_NONE) << "a second root where asked for";
	Modifier.UpdateRefPoseTransform(4, FTransform(FVector(1, 2, 3)));
	EXPECT_EQ(RefSkeleton.GetRefBonePose()[4].GetTranslation(), FVector(1, 2, 3));
	EXPECT_THROW(Modifier.UpdateRefPoseTransform(5, FTransform::Identity), FCheckFailure);
}

TEST(ReferenceSkeletonTest, ComponentSpaceComposesEachBoneWithItsParents)
{
	const FReferenceSkeleton RefSkeleton = MakeSpine();
	TArray<FTransform> ComponentSpace;
	FAnimationRuntime::FillUpComponentSpaceTransforms(RefSkeleton, RefSkeleton.GetRefBonePose(), ComponentSpace);
	ASSERT_EQ(ComponentSpace.Num(), 4);
	EXPECT_TRUE(ComponentSpace[2].GetTranslation().Equals(FVector(0, 0, 15)));
	EXPECT_TRUE(ComponentSpace[3].GetTranslation().Equals(FVector(3, 0, 10)));
	EXPECT_TRUE(ComponentSpace[3].TransformPosition(FVector(1, 0, 0)).Equals(FVector(3, 1, 10)));

	EXPECT_THROW(FAnimationRuntime::FillUpComponentSpaceTransforms(RefSkeleton, TArray<FTransform>(), ComponentSpace), FCheckFailure);
}

TEST(ReferenceSkeletonTest, MeshInverseBindMatricesUndoTheBindPose)
{
	USkeletalMesh* Mesh = NewObject<USkeletalMesh>();
	Mesh->SetRefSkeleton(MakeSpine());
	const TArray<FMatrix44f>& InverseBind = Mesh->GetRefBasesInvMatrix();
	ASSERT_EQ(InverseBind.Num(), 4);
	// The arm bone sits at (3, 0, 10) turned 90 degrees about Z; its +X is the model's +Y.
	EXPECT_TRUE(InverseBind[3].TransformPosition(FVector3f(3, 0, 10)).Equals(FVector3f(0, 0, 0), 1e-5f));
	EXPECT_TRUE(InverseBind[3].TransformPosition(FVector3f(3, 1, 10)).Equals(FVector3f(1, 0, 0), 1e-5f));
	EXPECT_TRUE(InverseBind[0].Equals(FMatrix44f::Identity));
}

TEST(ReferenceSkeletonTest, SkeletonsMergeMeshBonesOrRefuseConflicts)
{
	USkeletalMesh* Mesh = NewObject<USkeletalMesh>();
	Mesh->SetRefSkeleton(MakeSpine());
	USkeleton* Skeleton = NewObject<USkeleton>();
	ASSERT_TRUE(Skeleton->MergeAllBonesToBoneTree(Mesh));
	EXPECT_EQ(Skeleton->GetReferenceSkeleton(), Mesh->GetRefSkeleton());

	// A second mesh adds a bone under a known parent.
	FReferenceSkeleton Extended = MakeSpine();
	FReferenceSkeletonModifier(Extended, nullptr).Add(FMeshBoneInfo(FName(TEXT("hand")), TEXT("hand"), 3), FTransform(FVector(4, 0, 0)));
	USkeletalMesh* Second = NewObject<USkeletalMesh>();
	Second->SetRefSkeleton(Extended);
	ASSERT_TRUE(Skeleton->MergeAllBonesToBoneTree(Second));
	EXPECT_EQ(Skeleton->GetReferenceSkeleton().GetNum(), 5);
	EXPECT_EQ(Skeleton->GetReferenceSkeleton().GetParentIndex(4), 3);

	// A mesh that hangs "head" under "root" conflicts, and one with another root cannot join.
	FReferenceSkeleton Moved;
	FReferenceSkeletonModifier MovedModifier(Moved, nullptr);
	MovedModifier.Add(FMeshBoneInfo(FName(TEXT("root")), TEXT(""), INDEX_NONE), FTransform::Identity);
	MovedModifier.Add(FMeshBoneInfo(FName(TEXT("head")), TEXT(""), 0), FTransform::Identity);
	USkeletalMesh* Conflicting = NewObject<USkeletalMesh>();
	Conflicting->SetRefSkeleton(Moved);
	FReferenceSkeleton OtherRoot;
	FReferenceSkeletonModifier(OtherRoot, nullptr).Add(FMeshBoneInfo(FName(TEXT("pelvis")), TEXT(""), INDEX_NONE), FTransform::Identity);
	USkeletalMesh* Rootless = NewObject<USkeletalMesh>();
	Rootless->SetRefSkeleton(OtherRoot);

	FLogCapture Capture;
	EXPECT_FALSE(Skeleton->MergeAllBonesToBoneTree(Conflicting));
	EXPECT_FALSE(Skeleton->MergeAllBonesToBoneTree(Rootless));
	EXPECT_FALSE(Skeleton->MergeAllBonesToBoneTree(nullptr));
	EXPECT_EQ(Skeleton->GetReferenceSkeleton().GetNum(), 5);
	const TArray<FString> Errors = Capture.GetMessages(ELogVerbosity::Error);
	ASSERT_EQ(Errors.Num(), 3);
	EXPECT_EQ(Errors[0], FString::Printf(TEXT("MergeAllBonesToBoneTree: bone 'head' of %s has parent 'root', but 'spine' in %s"),
							 *Conflicting->GetName(), *Skeleton->GetName()));
	EXPECT_EQ(Errors[1], FString::Printf(TEXT("MergeAllBonesToBoneTree: root bone 'pelvis' of %s is not the root of %s"), *Rootless->GetName(),
							 *Skeleton->GetName()));
}
