// The composite component's morph, rig, culling and debug-drawing steps on a small character
// made in code.

#include "Components/LineBatchComponent.h"
#include "DataAssets/HCVertexCacheData.h"
#include "DrawDebugHelpers.h"
#include "HCCompositeComponentTestSupport.h"
#include "HCMorphShapingTestSupport.h"
#include "RHICommandList.h"

using namespace HCCompositeTest;

namespace
{
	void ExpectPose(const FTransform& Actual, const FQuat& Rotation, const FVector& Translation)
	{
		EXPECT_TRUE(Actual.GetRotation().Equals(Rotation, 1e-6)) << *Actual.GetRotation().ToString() << " vs " << *Rotation.ToString();
		EXPECT_TRUE(Actual.GetTranslation().Equals(Translation, 1e-5)) << *Actual.GetTranslation().ToString();
		EXPECT_TRUE(Actual.GetScale3D().Equals(FVector::OneVector)) << "scale is never blended: " << *Actual.GetScale3D().ToString();
	}

	UHCAttachmentVertexCacheData* MakeCache(std::initializer_list<float> Opacities)
	{
		UHCAttachmentVertexCacheData* Cache = NewObject<UHCAttachmentVertexCacheData>();
		Cache->VertexOpacity = TArray<float>(Opacities);
		return Cache;
	}

	TArray<FColor> CpuColors(const USkeletalMesh* Mesh)
	{
		const FColorVertexBuffer& Colors = Mesh->GetResourceForRendering()->LODRenderData[0].StaticVertexBuffers.ColorVertexBuffer;
		TArray<FColor> Result;
		for (uint32 Vertex = 0; Vertex < Colors.GetNumVertices(); ++Vertex)
		{
			Result.Add(Colors.VertexColor(Vertex));
		}
		return Result;
	}

	TArray<FColor> GpuColors(const USkeletalMesh* Mesh)
	{
		FColorVertexBuffer* Colors = &Mesh->GetResourceForRendering()->LODRenderData[0].StaticVertexBuffers.ColorVertexBuffer;
		TArray<FColor> Result;
		ENQUEUE_RENDER_COMMAND(ReadColors)([Colors, &Result](FRHICommandListImmediate& RHICmdList) {
			const uint32 Bytes = Colors->GetNumVertices() * Colors->GetStride();
			const FColor* Data = static_cast<const FColor*>(RHICmdList.LockBuffer(Colors->VertexBufferRHI, 0, Bytes, RLM_ReadOnly));
			Result = TArray<FColor>(Data, static_cast<int32>(Colors->GetNumVertices()));
			RHICmdList.UnlockBuffer(Colors->VertexBufferRHI);
		});
		FlushRenderingCommands();
		return Result;
	}
}

TEST_F(HCCompositeComponentTest, MorphTargetsOfTheFirstBlendReachTheBodyAndTheDescendantsThatHaveThem)
{
	FirstBlend().shapeWeights.Add({TEXT("Missing"), 0, 0.25f});
	USkeletalMeshComponent* Hat = Keep(NewObject<USkeletalMeshComponent>(Garment, FName(TEXT("Hat"))));
	Hat->SetSkeletalMeshAsset(Keep(HCMorphShapingTest::MakeMesh({TEXT("Other")})));
	Hat->SetupAttachment(Garment);
	Register();

	// The second blend's 0.9 is never read; the body keeps a weight its mesh has no target for.
	EXPECT_EQ(Body->GetMorphTarget(FName(TEXT("bulge"))), 0.5f);
	EXPECT_EQ(Body->GetMorphTarget(FName(TEXT("Missing"))), 0.25f);
	EXPECT_EQ(Garment->GetMorphTarget(FName(TEXT("Bulge"))), 0.5f);
	EXPECT_FALSE(Garment->GetMorphTargetCurves().Contains(FName(TEXT("Missing"))));
	EXPECT_TRUE(Hat->GetMorphTargetCurves().IsEmpty()) << "a descendant at any depth without the targets is left untouched";
}

TEST_F(HCCompositeComponentTest, TheRigBlendsShapeFramesIntoTheReferencePoseOfTheBodyAndItsGarments)
{
	// No shape weights: exactly the skeleton's reference pose.
	FirstBlend().shapeWeights.Empty();
	Register();
	const TArray<FTransform>& Reference = Body->GetSkeletalMeshAsset()->GetRefSkeleton().GetRefBonePose();
	ASSERT_EQ(Body->GetRefPoseOverride()->RefBonePoses.Num(), Reference.Num());
	for (int32 Bone = 0; Bone < Reference.Num(); ++Bone)
	{
		EXPECT_TRUE(Body->GetRefPoseOverride()->RefBonePoses[Bone].Equals(Reference[Bone], 0.0)) << Bone;
	}

	// Weight 0 changes nothing; weight 1 takes the frame's rotation and translation, never its scale.
	FirstBlend().shapeWeights = {{TEXT("Lean"), 0, 0.0f}};
	Body->RunDeferredInit();
	ExpectPose(ArmPose(Body), FQuat::Identity, FVector(10, 0, 0));
	FirstBlend().shapeWeights = {{TEXT("Lean"), 0, 1.0f}};
	Body->RunDeferredInit();
	ExpectPose(ArmPose(Body), TurnAboutZ(), FVector(20, 0, 0));
	ExpectPose(ArmPose(Garment), TurnAboutZ(), FVector(20, 0, 0));
	FirstBlend().shapeWeights = {{TEXT("Lean"), 0, 0.5f}};
	Body->RunDeferredInit();
	ExpectPose(ArmPose(Body), FQuat(FVector(0, 0, 1), FMath::DegreesToRadians(45.0)), FVector(15, 0, 0));

	// Two shapes: translations add, rotation changes compose in the order of the weights.
	FirstBlend().shapeWeights = {{TEXT("Lean"), 0, 1.0f}, {TEXT("Twist"), 1, 1.0f}};
	Body->RunDeferredInit();
	ExpectPose(ArmPose(Body), TurnAboutZ() * TurnAboutX(), FVector(20, 6, 0));
	FirstBlend().shapeWeights = {{TEXT("Twist"), 1, 1.0f}, {TEXT("Lean"), 0, 1.0f}};
	Body->RunDeferredInit();
	ExpectPose(ArmPose(Body), TurnAboutX() * TurnAboutZ(), FVector(20, 6, 0));
}

TEST_F(HCCompositeComponentTest, TheRigSamplesEveryKeyEvenlyAndASingleKeyAtTimeZero)
{
	FRawAnimSequenceTrack Arm;
	Arm.PosKeys = {FVector3f(10, 0, 0)};
	Arm.RotKeys = {FQuat4f::Identity};
	Body->AnimationSequence->SetBoneTracks(1.0f, 11, {FName(TEXT("arm"))}, {Arm});
	FirstBlend().shapeWeights.Empty();
	FLogCapture Capture;
	Body->RunDeferredInit();
	TArray<FString> Frames;
	for (const FString& Message : Capture.GetMessages(ELogVerbosity::Warning))
	{
		if (Message.StartsWith(TEXT("Frame ")))
		{
			Frames.Add(Message);
		}
	}
	ASSERT_EQ(Frames.Num(), 11);
	for (int32 Frame = 0; Frame <= 10; ++Frame)
	{
		EXPECT_EQ(Frames[Frame], FString::Printf(TEXT("Frame %d: Time %f"), Frame, Frame / 10.0)) << Frame;
	}
	EXPECT_TRUE(Capture.Contains(TEXT("Bone 1: Transform ") + FTransform(FVector(10, 0, 0)).ToString()));

	Body->AnimationSequence->SetBoneTracks(0.0f, 1, {FName(TEXT("arm"))}, {Arm});
	Capture.Clear();
	Body->RunDeferredInit();
	EXPECT_TRUE(Capture.Contains(TEXT("Frame 0: Time 0.000000")));
	EXPECT_FALSE(Capture.Contains(TEXT("Frame 1: Time 0.000000")));
	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty());
}

TEST_F(HCCompositeComponentTest, WithoutAnimationOrSkeletonTheRigIsRefusedWithItsWarnings)
{
	Body->AnimationSequence = nullptr;
	Garment->SetSkeletalMeshAsset(nullptr);
	FLogCapture Capture;
	Register();
	EXPECT_TRUE(Capture.Contains(TEXT("Invalid AnimationSequence or SkeletalMesh")));
	EXPECT_TRUE(Capture.Contains(TEXT("BoneTransformsPerFrame is invalid.")));
	EXPECT_TRUE(Capture.Contains(TEXT("Invalid USkinnedAsset")));
	EXPECT_FALSE(Body->GetRefPoseOverride().IsValid());
	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty());
}

TEST_F(HCCompositeComponentTest, CullingWritesTheProductOfTheCacheOpacitiesIntoRedOnTheCpuAndTheGpu)
{
	USkeletalMesh* Mesh = Body->GetSkeletalMeshAsset();
	Mesh->InitResources();
	Register();
	const FColor OpaqueRed(255, 0, 0, 255);
	EXPECT_EQ(CpuColors(Mesh), TArray<FColor>({OpaqueRed, OpaqueRed, OpaqueRed, OpaqueRed}));

	// Null and empty caches are skipped; 0.5 × 0.5 × 255 = 63.75 truncates to 63.
	Body->AttachmentCullData = {MakeCache({0.5f, 1.0f, 0.0f, 0.9f}), nullptr, MakeCache({}), MakeCache({0.5f, 0.5f, 1.0f, 1.0f})};
	Body->RunDeferredInit();
	FlushRenderingCommands();
	const TArray<FColor> Expected = {FColor(63, 0, 0, 255), FColor(127, 0, 0, 255), FColor(0, 0, 0, 255), FColor(229, 0, 0, 255)};
	EXPECT_EQ(CpuColors(Mesh), Expected);
	EXPECT_EQ(GpuColors(Mesh), Expected);
	Mesh->ReleaseResources();

	// Vertex buffers without CPU copies break the mesh's contract with culling: a failed check.
	Body->SetSkeletalMeshAsset(Keep(SceneTest::MakeTwoBoneMesh(false)));
	EXPECT_CHECK_FAILS(Body->RunDeferredInit(), "PositionVB->GetAllowCPUAccess()");
}

TEST_F(HCCompositeComponentTest, BoneDebugAidsRecordSpheresAndParentLinesIntoTheWorld)
{
	DrawDebugSphere(World, FVector::ZeroVector, 1.0f, 12, FColor::White);
	const int32 SphereLines = World->LineBatcher->GetLines().Num();
	World->LineBatcher->Flush();
	FirstBlend().shapeWeights.Empty();
	Body->SetWorldLocation(FVector(0, 0, 100));
	Register();

	Body->BoneDebugger(Body);
	const TArray<FBatchedLine>& Lines = World->LineBatcher->GetLines();
	ASSERT_EQ(Lines.Num(), 2 * SphereLines + 1);
	const FBatchedLine& ArmToRoot = Lines[2 * SphereLines];
	EXPECT_EQ(ArmToRoot.Start, FVector(10, 0, 100));
	EXPECT_EQ(ArmToRoot.End, FVector(0, 0, 100));
	EXPECT_EQ(ArmToRoot.Thickness, 1.0f);
	EXPECT_TRUE(World->PersistentLineBatcher->GetLines().IsEmpty());

	// Given local transforms are chained through the parents: the arm 30 up from the root at 5 along X.
	World->LineBatcher->Flush();
	Body->BoneDebugger(Body, {FTransform(FVector(5, 0, 0)), FTransform(FVector(0, 0, 30))});
	EXPECT_EQ(World->LineBatcher->GetLines().Last().Start, FVector(5, 0, 130));
	EXPECT_CHECK_FAILS(Body->BoneDebugger(Body, {FTransform::Identity}), "RefSkeleton.GetNum() == Transforms.Num()");

	World->LineBatcher->Flush();
	Body->BoneVisualizer(Garment);
	EXPECT_EQ(World->LineBatcher->GetLines().Num(), 2 * SphereLines + 1);
	World->Tick(LEVELTICK_All, 1.0f / 60.0f);
	EXPECT_TRUE(World->LineBatcher->GetLines().IsEmpty()) << "debug lines last one frame";
}
