#include "SampleSkeleton.h"
#include "SampleTestFolder.h"

#include <utility>

namespace
{
	class SampleSkeletonTest : public SampleTestFolder
	{
	protected:
		/** Loads the skeleton text with the rig's weights; false with the error in Error. */
		bool LoadSkeleton(const std::string& SkeletonJson, const std::string& WeightsJson = RigWeightsJson())
		{
			return Skeleton.Load(Write("rig.mhskel", SkeletonJson), Write("rig.mhw", WeightsJson), Error);
		}

		/** Each bone's world transform, composed from the local pose. */
		TArray<FTransform> ToWorld(const TArray<FTransform>& Local) const
		{
			TArray<FTransform> World;
			for (int32 Bone = 0; Bone < Local.Num(); ++Bone)
			{
				const int32 Parent = Skeleton.GetParentIndex(Bone);
				World.Add(Parent == INDEX_NONE ? Local[Bone] : Local[Bone] * World[Parent]);
			}
			return World;
		}

		int32 Bone(const TCHAR* Name) const { return Skeleton.FindBone(FName(Name)); }

		FSampleSkeleton Skeleton;
		FString Error;
	};

	constexpr double Tolerance = 1e-4;
}

TEST_F(SampleSkeletonTest, OrdersParentsFirstKeepingFileOrderOtherwise)
{
	ASSERT_TRUE(LoadSkeleton(RigSkeletonJson())) << *Error;
	const FReferenceSkeleton RefSkeleton = Skeleton.MakeReferenceSkeleton(Skeleton.ComputeRefPose(RigPositions()));
	ASSERT_EQ(RefSkeleton.GetNum(), 4);
	const std::pair<const TCHAR*, int32> Expected[] = {{TEXT("root"), INDEX_NONE}, {TEXT("spine"), 0}, {TEXT("arm"), 0}, {TEXT("hand"), 2}};
	for (int32 Index = 0; Index < 4; ++Index)
	{
		EXPECT_EQ(Skeleton.GetBoneName(Index), FName(Expected[Index].first));
		EXPECT_EQ(Skeleton.GetParentIndex(Index), Expected[Index].second);
		EXPECT_EQ(RefSkeleton.GetBoneName(Index), FName(Expected[Index].first));
		EXPECT_EQ(RefSkeleton.GetParentIndex(Index), Expected[Index].second);
	}
	EXPECT_THROW(Skeleton.MakeReferenceSkeleton({FTransform::Identity}), FCheckFailure);
}

TEST_F(SampleSkeletonTest, RefPoseFitsTheJoints)
{
	ASSERT_TRUE(LoadSkeleton(RigSkeletonJson())) << *Error;
	const TArray<FTransform> Local = Skeleton.ComputeRefPose(RigPositions());
	ASSERT_EQ(Local.Num(), 4);
	const TArray<FTransform> World = ToWorld(Local);

	// Composing the local transforms gives back every head joint, and X runs head to tail.
	const std::pair<const TCHAR*, FVector> Heads[] = {
		{TEXT("root"), FVector(0, 0, 0)}, {TEXT("spine"), FVector(0, 0, 10)}, {TEXT("arm"), FVector(0, 5, 20)}, {TEXT("hand"), FVector(0, 25, 20)}};
	for (const auto& [Name, Head] : Heads)
	{
		EXPECT_TRUE(World[Bone(Name)].GetTranslation().Equals(Head, Tolerance)) << Name << ": " << *World[Bone(Name)].ToString();
	}
	EXPECT_TRUE(World[Bone(TEXT("root"))].GetRotation().GetAxisX().Equals(FVector(0, 0, 1), Tolerance));
	EXPECT_TRUE(World[Bone(TEXT("spine"))].GetRotation().GetAxisX().Equals(FVector(0, 0, 1), Tolerance));
	EXPECT_TRUE(World[Bone(TEXT("arm"))].GetRotation().GetAxisX().Equals(FVector(0, 1, 0), Tolerance));

	// Roll: the arm's plane (4, 5, 6) has the normal (0, 20, 0) ^ (10, 0, 0) = (0, 0, -200); the
	// root has no plane and points up, so it falls back to world forward.
	EXPECT_TRUE(World[Bone(TEXT("arm"))].GetRotation().RotateVector(FVector(0, 0, 1)).Equals(FVector(0, 0, -1), Tolerance));
	EXPECT_TRUE(World[Bone(TEXT("spine"))].GetRotation().RotateVector(FVector(0, 0, 1)).Equals(FVector(-1, 0, 0), Tolerance));
	EXPECT_TRUE(World[Bone(TEXT("root"))].GetRotation().RotateVector(FVector(0, 0, 1)).Equals(FVector(1, 0, 0), Tolerance));

	// Local transforms are in the parent's frame (root axes: X up, Y -Y, Z +X).
	EXPECT_TRUE(Local[Bone(TEXT("root"))].Equals(World[Bone(TEXT("root"))]));
	EXPECT_TRUE(Local[Bone(TEXT("spine"))].GetTranslation().Equals(FVector(10, 0, 0), Tolerance));
	EXPECT_TRUE(Local[Bone(TEXT("arm"))].GetTranslation().Equals(FVector(20, -5, 0), Tolerance));
	// The hand has no length: it keeps its parent's frame, 20 along the arm.
	EXPECT_TRUE(Local[Bone(TEXT("hand"))].GetTranslation().Equals(FVector(20, 0, 0), Tolerance));
	EXPECT_TRUE(Local[Bone(TEXT("hand"))].GetRotation().Equals(FQuat::Identity, Tolerance));
}

TEST_F(SampleSkeletonTest, RefPoseFollowsTheShapeAndFallsBackWhenThePlaneIsDegenerate)
{
	ASSERT_TRUE(LoadSkeleton(RigSkeletonJson())) << *Error;
	TArray<FVector3f> Positions = RigPositions();
	// The arm's plane collapses onto the arm: the roll falls back to world up.
	Positions[6] = FVector3f(0, 40, 20);
	// Joints are vertex means: moving one of the spine tail's two vertices by 10 moves the tail by 5.
	Positions[3] = FVector3f(12, 0, 30);
	const TArray<FTransform> World = ToWorld(Skeleton.ComputeRefPose(Positions));
	EXPECT_TRUE(World[Bone(TEXT("arm"))].GetRotation().RotateVector(FVector(0, 0, 1)).Equals(FVector(0, 0, 1), Tolerance));
	EXPECT_TRUE(World[Bone(TEXT("spine"))].GetRotation().GetAxisX().Equals(FVector(5, 0, 20).GetSafeNormal(), Tolerance));

	Positions.SetNum(6);
	EXPECT_THROW(Skeleton.ComputeRefPose(Positions), FCheckFailure);
	EXPECT_FALSE(Skeleton.CheckVertexCount(6, Error));
	EXPECT_EQ(Error, FString(TEXT("joint elbow_side uses vertex 6 of a mesh with 6 vertices")));
	EXPECT_TRUE(Skeleton.CheckVertexCount(8, Error));
}

TEST_F(SampleSkeletonTest, LoadRefusesMalformedRigs)
{
	const std::string Joints = R"("joints": {"a": [0], "b": [1]}, "planes": {"p": ["a", "b", "a"], "short": ["a", "b"]})";
	const std::pair<std::string, const char*> Cases[] = {
		{"{", "parse error"},
		{"[]", "the top level is not an object"},
		{R"({"bones": {}})", "\"bones\" and \"joints\" must be objects"},
		{R"({"bones": {}, "joints": {"a": [0]}})", "the skeleton has no bones"},
		{R"({"bones": {"r": {"head": "a", "tail": "b", "parent": "x"}}, )" + Joints + "}", "bone r: parent x is not a bone"},
		{R"({"bones": {"r": {"head": "a", "tail": "nope", "parent": null}}, )" + Joints + "}", "bone r needs a head and a tail joint"},
		{R"({"bones": {"r": {"head": "a", "tail": "b", "parent": null, "rotation_plane": "short"}}, )" + Joints + "}", "rotation plane \"short\" is not a plane"},
		{R"({"bones": {"r": {"head": "a", "tail": "b", "parent": null}, "s": {"head": "a", "tail": "b", "parent": null}}, )" + Joints + "}",
			"bones r and s are both roots"},
		{R"({"bones": {"r": {"head": "a", "tail": "b", "parent": null}, "s": {"head": "a", "tail": "b", "parent": "t"}, "t": {"head": "a", "tail": "b", "parent": "s"}}, )"
			+ Joints + "}", "bone s is not below the root (a parent cycle)"},
		{R"({"bones": {"s": {"head": "a", "tail": "b", "parent": "s"}}, )" + Joints + "}", "no root bone"},
		{R"({"bones": {"r": {"head": "a", "tail": "b", "parent": null}, "R": {"head": "a", "tail": "b", "parent": "r"}}, )" + Joints + "}",
			"bone name \"R\" is empty or used twice"},
		{R"({"bones": {}, "joints": {"a": [-1]}})", "joint a lists -1, which is no vertex index"},
		{R"({"bones": {}, "joints": {"a": []}})", "joint a needs a non-empty list of vertices"},
		{R"({"bones": {}, "joints": {"a": [0], "A": [1]}})", "joint name A is used twice"},
	};
	for (const auto& [Json, Expected] : Cases)
	{
		EXPECT_FALSE(LoadSkeleton(Json)) << Json;
		EXPECT_TRUE(Error.Contains(Path("rig.mhskel")) && Error.Contains(Expected)) << *Error << " / expected: " << Expected;
	}

	const std::pair<std::string, const char*> WeightCases[] = {
		{R"({"weights": {"tail": [[0, 1]]}})", "weights for tail, which is not a bone"},
		{R"({"weights": {"root": [[0, -0.5]]}})", "bone root: [0,-0.5] is not a [vertex, weight] pair"},
		{R"({"weights": {"root": [[0]]}})", "is not a [vertex, weight] pair"},
		{R"({"weights": []})", "\"weights\" must be an object"},
	};
	for (const auto& [Json, Expected] : WeightCases)
	{
		EXPECT_FALSE(LoadSkeleton(RigSkeletonJson(), Json)) << Json;
		EXPECT_TRUE(Error.Contains(Path("rig.mhw")) && Error.Contains(Expected)) << *Error << " / expected: " << Expected;
	}
	EXPECT_EQ(Skeleton.GetNumBones(), 0) << "a failed load keeps nothing";

	EXPECT_FALSE(Skeleton.Load(Path("missing.mhskel"), Path("missing.mhw"), Error));
	EXPECT_EQ(Error, TEXT("cannot read ") + Path("missing.mhskel"));
}

TEST_F(SampleSkeletonTest, SkinWeightsKeepTheFourStrongestSummingTo65535)
{
	const std::string Skeleton6 = R"({"bones": {"root": {"head": "a", "tail": "b", "parent": null},
		"b1": {"head": "a", "tail": "b", "parent": "root"}, "b2": {"head": "a", "tail": "b", "parent": "root"},
		"b3": {"head": "a", "tail": "b", "parent": "root"}, "b4": {"head": "a", "tail": "b", "parent": "root"},
		"b5": {"head": "a", "tail": "b", "parent": "root"}}, "joints": {"a": [0], "b": [1]}})";
	// Vertex 0: six influences that sum to 1.16; vertex 1: b2 listed twice (added up) and a tie
	// between b3 and b4; vertex 2: only a zero weight; vertex 3: nothing.
	const std::string Weights = R"({"weights": {"root": [[0, 0.5]], "b1": [[0, 0.1]], "b2": [[0, 0.2], [1, 0.25], [1, 0.25]],
		"b3": [[0, 0.05], [1, 0.25]], "b4": [[0, 0.3], [1, 0.25], [2, 0]], "b5": [[0, 0.01]]}})";
	ASSERT_TRUE(LoadSkeleton(Skeleton6, Weights)) << *Error;
	const TArray<FSkinWeightInfo> Info = Skeleton.GetSkinWeights({0, 1, 2, 3, 100});
	ASSERT_EQ(Info.Num(), 5);

	const std::pair<const TCHAR*, double> Strongest[] = {{TEXT("root"), 0.5}, {TEXT("b4"), 0.3}, {TEXT("b2"), 0.2}, {TEXT("b1"), 0.1}};
	int32 Sum = 0;
	for (int32 Slot = 0; Slot < 4; ++Slot)
	{
		EXPECT_EQ(Info[0].InfluenceBones[Slot], Bone(Strongest[Slot].first)) << Slot;
		EXPECT_NEAR(Info[0].InfluenceWeights[Slot], Strongest[Slot].second / 1.1 * 65535.0, 1.0) << Slot;
		Sum += Info[0].InfluenceWeights[Slot];
	}
	EXPECT_EQ(Sum, 65535);
	EXPECT_EQ(Info[0].InfluenceWeights[4], 0);

	EXPECT_EQ(Info[1].InfluenceBones[0], Bone(TEXT("b2")));
	EXPECT_EQ(Info[1].InfluenceBones[1], Bone(TEXT("b3")));
	EXPECT_EQ(Info[1].InfluenceBones[2], Bone(TEXT("b4")));
	EXPECT_EQ(Info[1].InfluenceWeights[0] + Info[1].InfluenceWeights[1] + Info[1].InfluenceWeights[2], 65535);
	EXPECT_NEAR(Info[1].InfluenceWeights[0], 32767.5, 1.0);

	for (int32 Vertex = 2; Vertex < 5; ++Vertex)
	{
		EXPECT_EQ(Info[Vertex].InfluenceBones[0], 0) << Vertex;
		EXPECT_EQ(Info[Vertex].InfluenceWeights[0], 65535) << Vertex;
		EXPECT_EQ(Info[Vertex].InfluenceWeights[1], 0) << Vertex;
	}
	EXPECT_THROW(Skeleton.GetSkinWeights({-1}), FCheckFailure);
}
