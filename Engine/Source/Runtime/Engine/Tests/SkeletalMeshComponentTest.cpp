#include "Components/SkeletalMeshComponent.h"
#include "Logging/LogCapture.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "SceneTestMeshes.h"
#include "SkeletalRenderPublic.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

namespace
{
	class SkeletalMeshComponentTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Mesh.Reset(SceneTest::MakeTwoBoneMesh());
			Component.Reset(NewObject<USkeletalMeshComponent>());
			Component->SetSkeletalMeshAsset(Mesh.Get());
		}

		/** The active morph targets as "Name=weight", in the order they became active. */
		TArray<FString> ActiveWeights() const
		{
			TArray<FString> Result;
			for (const auto& Pair : Component->GetActiveMorphTargets())
			{
				Result.Add(FString::Printf(TEXT("%s=%g"), *Pair.Key->GetName(), double(Component->GetMorphTargetWeights()[Pair.Value])));
			}
			return Result;
		}

		TArray<FFinalSkinVertex> Skin() const
		{
			TArray<FFinalSkinVertex> Vertices;
			Component->GetCPUSkinnedVertices(Vertices, 0);
			return Vertices;
		}

		/** The pose that moves the mesh: the root turned 90 degrees about Z and raised 100, the arm stretched to 20. */
		static TArray<FTransform> StretchedPose()
		{
			return {FTransform(FQuat(FVector(0, 0, 1), UE_DOUBLE_HALF_PI), FVector(0, 0, 100)), FTransform(FVector(20, 0, 0))};
		}

		TStrongObjectPtr<USkeletalMesh> Mesh;
		TStrongObjectPtr<USkeletalMeshComponent> Component;
	};

	void ExpectVector(const FVector3f& Actual, const FVector3f& Expected)
	{
		EXPECT_TRUE(Actual.Equals(Expected, 1e-4f)) << *Actual.ToString() << " vs " << *Expected.ToString();
	}
}

TEST_F(SkeletalMeshComponentTest, MorphWeightsAreKeptByNameAndZeroWeightsLeaveTheActiveList)
{
	UMorphTarget* Smile = NewObject<UMorphTarget>(Mesh.Get(), FName(TEXT("Smile")));
	Mesh->RegisterMorphTarget(Smile);
	Component->SetSkeletalMeshAsset(nullptr);
	Component->SetSkeletalMeshAsset(Mesh.Get());
	EXPECT_EQ(Component->FindMorphTarget(FName(TEXT("smile"))), Smile);
	EXPECT_EQ(Component->GetMorphTargetWeights(), (TArray<float>{0.0f, 0.0f}));

	Component->SetMorphTarget(FName(TEXT("Bulge")), 0.5f);
	Component->SetMorphTarget(FName(TEXT("Smile")), -0.25f);
	EXPECT_EQ(ActiveWeights(), (TArray<FString>{TEXT("Bulge=0.5"), TEXT("Smile=-0.25")}));
	EXPECT_EQ(Component->GetMorphTargetWeights(), (TArray<float>{0.5f, -0.25f}));

	// Zero removes with bRemoveZeroWeight, also under another spelling and within the engine's threshold.
	Component->SetMorphTarget(FName(TEXT("BULGE")), 0.0f, true);
	Component->SetMorphTarget(FName(TEXT("Smile")), 0.000005f);
	EXPECT_TRUE(Component->GetActiveMorphTargets().IsEmpty());
	EXPECT_TRUE(Component->GetMorphTargetCurves().IsEmpty());
	EXPECT_EQ(Component->GetMorphTargetWeights(), (TArray<float>{0.0f, 0.0f}));

	// Without it the morph target stays active at zero.
	Component->SetMorphTarget(FName(TEXT("Bulge")), 0.0f, false);
	EXPECT_EQ(ActiveWeights(), (TArray<FString>{TEXT("Bulge=0")}));

	// A name the mesh lacks is kept but makes nothing active.
	Component->SetMorphTarget(FName(TEXT("Wink")), 0.7f);
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("wink"))), 0.7f);
	EXPECT_EQ(Component->GetActiveMorphTargets().Num(), 1);
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("Frown"))), 0.0f);

	FLogCapture Capture;
	Component->SetMorphTarget(FName(TEXT("Bulge")), std::numeric_limits<float>::quiet_NaN());
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning).Num(), 1);
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("Bulge"))), 0.0f);
	EXPECT_EQ(Component->GetActiveMorphTargets().Num(), 1);

	Component->ClearMorphTargets();
	EXPECT_TRUE(Component->GetActiveMorphTargets().IsEmpty());
	EXPECT_TRUE(Component->GetMorphTargetCurves().IsEmpty());
}

TEST_F(SkeletalMeshComponentTest, WeightsSetBeforeTheMeshApplyOnceItIsSet)
{
	USkeletalMeshComponent* Bare = NewObject<USkeletalMeshComponent>();
	Bare->SetMorphTarget(FName(TEXT("Bulge")), 0.3f);
	EXPECT_EQ(Bare->FindMorphTarget(FName(TEXT("Bulge"))), nullptr);
	EXPECT_TRUE(Bare->GetActiveMorphTargets().IsEmpty());
	Bare->SetSkeletalMeshAsset(Mesh.Get());
	EXPECT_EQ(Bare->GetSkeletalMeshAsset(), Mesh.Get());
	ASSERT_EQ(Bare->GetActiveMorphTargets().Num(), 1);
	EXPECT_EQ(Bare->GetMorphTargetWeights()[0], 0.3f);
}

TEST_F(SkeletalMeshComponentTest, MaterialsComeFromTheMeshUntilOverriddenByDynamicInstances)
{
	UMaterialInterface* Base = Mesh->GetMaterials()[0].MaterialInterface;
	EXPECT_EQ(Component->GetNumMaterials(), 1);
	EXPECT_EQ(Component->GetMaterial(0), Base);
	EXPECT_EQ(Component->GetMaterial(1), nullptr);

	UMaterialInstanceDynamic* Instance = Component->CreateAndSetMaterialInstanceDynamic(0);
	ASSERT_NE(Instance, nullptr);
	EXPECT_EQ(Instance->Parent, Base);
	EXPECT_EQ(Instance->GetOuter(), Component.Get());
	EXPECT_EQ(Component->GetMaterial(0), Instance);
	EXPECT_EQ(Component->CreateAndSetMaterialInstanceDynamic(0), Instance) << "an existing dynamic instance is reused";
	EXPECT_EQ(Mesh->GetMaterials()[0].MaterialInterface, Base) << "the mesh keeps its material";

	FLogCapture Capture;
	EXPECT_EQ(Component->CreateAndSetMaterialInstanceDynamic(3), nullptr);
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning),
		(TArray<FString>{FString::Printf(TEXT("CreateAndSetMaterialInstanceDynamic on %s: Material index 3 is invalid."), *Component->GetPathName())}));

	Component->SetMaterial(0, nullptr);
	EXPECT_EQ(Component->GetMaterial(0), Base);
	Component->SetMaterial(-1, Instance);
	EXPECT_EQ(Component->OverrideMaterials.Num(), 1);
	Component->SetMaterial(2, Instance);
	EXPECT_EQ(Component->GetMaterial(2), Instance);
	EXPECT_EQ(Component->GetNumMaterials(), 3);
	Component->EmptyOverrideMaterials();
	EXPECT_EQ(Component->GetNumMaterials(), 1);
	EXPECT_EQ(Component->GetMaterial(2), nullptr);
}

TEST_F(SkeletalMeshComponentTest, TheReferencePoseOverrideReplacesTheMeshPoseOnThisComponentOnly)
{
	EXPECT_FALSE(Component->GetRefPoseOverride().IsValid());
	EXPECT_TRUE(Component->GetComponentSpaceTransforms()[1].GetTranslation().Equals(FVector(10, 0, 0)));

	Component->SetRefPoseOverride(StretchedPose());
	const TSharedPtr<FSkelMeshRefPoseOverride>& Override = Component->GetRefPoseOverride();
	ASSERT_TRUE(Override.IsValid());
	EXPECT_EQ(Override->RefBonePoses.Num(), 2);
	// The arm's component-space origin: the root turns (20, 0, 0) into (0, 20, 0) and raises it.
	EXPECT_TRUE(Component->GetComponentSpaceTransforms()[1].GetTranslation().Equals(FVector(0, 20, 100), 1e-9));
	EXPECT_TRUE(Override->RefBasesInvMatrix[1].TransformPosition(FVector3f(0, 20, 100)).Equals(FVector3f(0, 0, 0), 1e-4f));
	EXPECT_EQ(Mesh->GetRefSkeleton().GetRefBonePose()[1].GetTranslation(), FVector(10, 0, 0)) << "the mesh is untouched";

	Component->SetRelativeLocation(FVector(0, 0, 1000));
	EXPECT_TRUE(Component->GetBoneTransform(1).GetTranslation().Equals(FVector(0, 20, 1100), 1e-9));
	EXPECT_TRUE(Component->GetSocketTransform(FName(TEXT("arm")), RTS_World).GetTranslation().Equals(FVector(0, 20, 1100), 1e-9));
	EXPECT_TRUE(Component->GetSocketTransform(FName(TEXT("arm")), RTS_ParentBoneSpace).GetTranslation().Equals(FVector(20, 0, 0), 1e-9));
	EXPECT_TRUE(Component->DoesSocketExist(FName(TEXT("ARM"))));
	EXPECT_FALSE(Component->DoesSocketExist(FName(TEXT("leg"))));
	EXPECT_EQ(Component->GetBoneIndex(FName(TEXT("arm"))), 1);
	EXPECT_EQ(Component->GetBoneName(5), FName(NAME_None));

	FLogCapture Capture;
	Component->SetRefPoseOverride({FTransform::Identity});
	USkeletalMeshComponent* Bare = NewObject<USkeletalMeshComponent>();
	Bare->SetRefPoseOverride(StretchedPose());
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning),
		(TArray<FString>{
			FString::Printf(TEXT("SetRefPoseOverride on %s: Incorrect number of input transforms for override. Got 1, expected 2"),
				*Component->GetPathName()),
			FString::Printf(TEXT("SetRefPoseOverride on %s: there is no skinned asset to override the pose of"), *Bare->GetPathName())}));
	EXPECT_EQ(Component->GetRefPoseOverride()->RefBonePoses.Num(), 2) << "a refused override keeps the old one";
	EXPECT_FALSE(Bare->GetRefPoseOverride().IsValid());

	// Another mesh has other bones: its own pose applies until it gets an override of its own.
	Component->SetSkeletalMeshAsset(SceneTest::MakeTwoBoneMesh());
	EXPECT_FALSE(Component->GetRefPoseOverride().IsValid());
	Component->SetSkeletalMeshAsset(Mesh.Get());
	Component->SetRefPoseOverride(StretchedPose());
	Component->ClearRefPoseOverride();
	EXPECT_TRUE(Component->GetComponentSpaceTransforms()[1].GetTranslation().Equals(FVector(10, 0, 0)));
}

TEST_F(SkeletalMeshComponentTest, BoundsFollowTheMeshAndTheComponent)
{
	Component->SetRelativeTransform(FTransform(FQuat::Identity, FVector(0, 0, 50), FVector(2, 2, 2)));
	Component->UpdateBounds();
	EXPECT_TRUE(Component->Bounds.Origin.Equals(FVector(20, 0, 55)));
	EXPECT_TRUE(Component->Bounds.BoxExtent.Equals(FVector(20, 0, 5)));
	USkeletalMeshComponent* Bare = NewObject<USkeletalMeshComponent>();
	Bare->UpdateBounds();
	EXPECT_EQ(Bare->Bounds.SphereRadius, 0.0);
}

TEST_F(SkeletalMeshComponentTest, CpuSkinningInTheBindPoseGivesTheMeshBack)
{
	const TArray<FFinalSkinVertex> Vertices = Skin();
	ASSERT_EQ(Vertices.Num(), 4);
	ExpectVector(Vertices[2].Position, FVector3f(20, 0, 0));
	ExpectVector(Vertices[3].Position, FVector3f(15, 0, 5));
	ExpectVector(Vertices[3].TangentX, FVector3f(1, 0, 0));
	EXPECT_EQ(Vertices[3].TangentZ, FVector4f(0, 0, 1, 1));
	EXPECT_EQ(Vertices[3].U, 0.75f);
	EXPECT_EQ(Vertices[3].V, 0.5f);
	ExpectVector(Vertices[0].GetTangentY(), FVector3f(0, 1, 0));
}

TEST_F(SkeletalMeshComponentTest, CpuSkinningAppliesMorphWeightsAndAnOverrideRebindsWithoutMovingVertices)
{
	Component->SetMorphTarget(FName(TEXT("Bulge")), 0.5f);
	Component->SetRefPoseOverride(StretchedPose());
	const TArray<FFinalSkinVertex> Vertices = Skin();
	ASSERT_EQ(Vertices.Num(), 4);
	// The override is the new bind pose as well as the pose, so only the morph moves vertices:
	// vertex 2 rose by half of 2, vertex 3 moved by half of (0, 2, 0).
	ExpectVector(Vertices[0].Position, FVector3f(0, 0, 0));
	ExpectVector(Vertices[2].Position, FVector3f(20, 0, 1));
	ExpectVector(Vertices[3].Position, FVector3f(15, 1, 5));

	// Vertex 2's normal leaned by half of (1, 0, 0): (0.5, 0, 1) normalised, its tangent squared to it.
	const float InvSqrt5 = 1.0f / FMath::Sqrt(5.0f);
	ExpectVector(FVector3f(Vertices[2].TangentZ.X, Vertices[2].TangentZ.Y, Vertices[2].TangentZ.Z), FVector3f(InvSqrt5, 0, 2 * InvSqrt5));
	ExpectVector(Vertices[2].TangentX, FVector3f(2 * InvSqrt5, 0, -InvSqrt5));
	EXPECT_EQ(Vertices[2].TangentZ.W, 1.0f);

	// Dropping the weight gives the mesh back.
	Component->SetMorphTarget(FName(TEXT("Bulge")), 0.0f);
	ExpectVector(Skin()[2].Position, FVector3f(20, 0, 0));
}

TEST_F(SkeletalMeshComponentTest, CpuSkinningRefusesDataThatDoesNotFit)
{
	const TArray<FFinalSkinVertex> Before = Skin();
	auto ExpectRefused = [this, &Before](const char* Fragment)
	{
		TArray<FFinalSkinVertex> Vertices = Before;
		try
		{
			Component->GetCPUSkinnedVertices(Vertices, 0);
			ADD_FAILURE() << "skinned data that does not fit: " << Fragment;
		}
		catch (const FCheckFailure& Failure)
		{
			EXPECT_NE(Failure.GetMessage().find(Fragment), std::string::npos) << Failure.GetMessage();
		}
		ASSERT_EQ(Vertices.Num(), Before.Num());
		for (int32 Index = 0; Index < Vertices.Num(); ++Index)
		{
			EXPECT_EQ(Vertices[Index].Position, Before[Index].Position) << "the output is left as it was";
		}
	};
	FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData[0];

	LOD.RenderSections[0].BoneMap = {0, 2};
	ExpectRefused("maps to bone 2 of 2");
	LOD.RenderSections[0].BoneMap = {0};
	ExpectRefused("vertex 1 uses bone 1 of section 0's 1 bones");
	LOD.RenderSections[0].BoneMap = {0, 1};
	LOD.RenderSections[0].NumVertices = 5;
	ExpectRefused("render section 0 covers vertices 0 to 5 of 4");
	LOD.RenderSections[0].NumVertices = 4;

	UMorphTarget* Stray = NewObject<UMorphTarget>(Mesh.Get(), FName(TEXT("Stray")));
	FMorphTargetDelta Far;
	Far.SourceIdx = 9;
	Stray->PopulateDeltas({Far}, 0, 10);
	Mesh->RegisterMorphTarget(Stray);
	Component->SetMorphTarget(FName(TEXT("Stray")), 1.0f);
	ExpectRefused("morph target Stray moves vertex 9 of 4");
	Component->SetMorphTarget(FName(TEXT("Stray")), 0.0f);

	TArray<FFinalSkinVertex> Vertices;
	EXPECT_THROW(Component->GetCPUSkinnedVertices(Vertices, 1), FCheckFailure);
	USkeletalMeshComponent* Bare = NewObject<USkeletalMeshComponent>();
	EXPECT_THROW(Bare->GetCPUSkinnedVertices(Vertices, 0), FCheckFailure);
	EXPECT_TRUE(Vertices.IsEmpty());
	EXPECT_EQ(Skin().Num(), 4) << "the mesh skins again once its data fits";
}
