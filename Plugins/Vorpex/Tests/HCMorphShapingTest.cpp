// The morph-shaping model and controller: weights taken from a mesh's morph targets, slider
// calls for one, two and polygon constraints, refused calls, and weights pushed into a
// skeletal mesh component.

#include "Components/SkeletalMeshComponent.h"
#include "Controllers/HCMorphShapingController.h"
#include "HCMorphShapingTestSupport.h"
#include "Logging/LogCapture.h"
#include "UObject/StrongObjectPtr.h"

#include <gtest/gtest.h>

using HCMorphShapingTest::MakeConstraint;
using HCMorphShapingTest::MakeMesh;
using HCMorphShapingTest::Weights;

class HCMorphShapingControllerTest : public ::testing::Test
{
protected:
	/** A model of Mesh's morph targets and a controller wired to it, as editing begins. */
	void Begin(USkeletalMesh* InMesh)
	{
		Mesh.Reset(InMesh);
		Model.Reset(NewObject<UHCMorphShapingModel>());
		Model->Initialize(nullptr, InMesh);
		Controller.Reset(NewObject<UHCMorphShapingController>());
		Controller->Initialize(nullptr);
		Controller->SetModel(Model.Get());
	}

	/** Pushes the weights into a fresh component of the mesh and returns it. */
	USkeletalMeshComponent* Apply()
	{
		Component.Reset(NewObject<USkeletalMeshComponent>());
		Component->SetSkeletalMeshAsset(Mesh.Get());
		Controller->ApplyChanges(Component.Get());
		return Component.Get();
	}

	TStrongObjectPtr<USkeletalMesh> Mesh;
	TStrongObjectPtr<UHCMorphShapingModel> Model;
	TStrongObjectPtr<UHCMorphShapingController> Controller;
	TStrongObjectPtr<USkeletalMeshComponent> Component;
};

TEST(HCMorphShapingModelTest, InitializeTakesEveryMorphTargetAtZeroInMeshOrder)
{
	TStrongObjectPtr<UHCMorphShapingModel> Model(NewObject<UHCMorphShapingModel>());
	EXPECT_FALSE(Model->IsMarkedDirty());
	EXPECT_TRUE(Model->GetMorphTargetWeights().IsEmpty());

	TStrongObjectPtr<USkeletalMesh> Body(MakeMesh({TEXT("Jaw_Wide"), TEXT("Brow_Up"), TEXT("Nose_Long")}));
	Model->Initialize(nullptr, Body.Get());
	EXPECT_TRUE(Model->IsMarkedDirty());
	EXPECT_EQ(Weights(Model.Get()), (TArray<FString>{TEXT("Jaw_Wide=0"), TEXT("Brow_Up=0"), TEXT("Nose_Long=0")}));

	// A second mesh adds its new names after the others; a name the model has, in any
	// spelling, goes back to 0 in its place.
	TStrongObjectPtr<USkeletalMesh> Head(MakeMesh({TEXT("Ear_Big"), TEXT("JAW_WIDE")}));
	FHCShapeConstraints Jaw = MakeConstraint(TEXT("Jaw"), {TEXT("Jaw_Wide")});
	TStrongObjectPtr<UHCMorphShapingController> Controller(NewObject<UHCMorphShapingController>());
	Controller->SetModel(Model.Get());
	Controller->UpdateModel(&Jaw, 0, 0.5f, -1, 0.0f);
	Model->Initialize(nullptr, Head.Get());
	EXPECT_EQ(Model->GetMorphTargetWeights().Num(), 4);
	EXPECT_EQ(Model->GetMorphTargetWeights().FindRef(TEXT("jaw_wide")), 0.0f);
	EXPECT_EQ(Model->GetMorphTargetWeights().FindRef(TEXT("Ear_Big")), 0.0f);

	// A missing mesh warns, keeps the weights and still marks the model dirty.
	Controller->ApplyChanges(NewObject<USkeletalMeshComponent>());
	ASSERT_FALSE(Model->IsMarkedDirty());
	const TArray<FString> Before = Weights(Model.Get());
	FLogCapture Capture;
	Model->Initialize(nullptr, nullptr);
	EXPECT_EQ(Capture.GetLines(), (TArray<FString>{TEXT("LogTemp: Warning: MorphableMesh is null!")}));
	EXPECT_EQ(Weights(Model.Get()), Before);
	EXPECT_TRUE(Model->IsMarkedDirty());
}

TEST_F(HCMorphShapingControllerTest, AMeshWithoutMorphTargetsGivesAnEmptyDirtyModelThatAppliesNothing)
{
	Begin(MakeMesh({}));
	EXPECT_TRUE(Model->GetMorphTargetWeights().IsEmpty());
	EXPECT_TRUE(Model->IsMarkedDirty());
	USkeletalMeshComponent* Pushed = Apply();
	EXPECT_FALSE(Model->IsMarkedDirty());
	EXPECT_TRUE(Pushed->GetMorphTargetCurves().IsEmpty());
}

TEST_F(HCMorphShapingControllerTest, OneTwoAndPolygonConstraintsSetTheirNamedShapesAndZeroTheRest)
{
	Begin(MakeMesh({TEXT("Chin"), TEXT("Nose_Narrow"), TEXT("Nose_Wide"), TEXT("Face_A"), TEXT("Face_B"), TEXT("Face_C"), TEXT("Face_D")}));
	const FHCShapeConstraints Chin = MakeConstraint(TEXT("Chin"), {TEXT("Chin")});
	const FHCShapeConstraints Nose = MakeConstraint(TEXT("Nose"), {TEXT("Nose_Narrow"), TEXT("Nose_Wide")});
	const FHCShapeConstraints Face = MakeConstraint(TEXT("Face"), {TEXT("Face_A"), TEXT("Face_B"), TEXT("Face_C"), TEXT("Face_D")});
	auto WeightOf = [this](const TCHAR* Name) { return Model->GetMorphTargetWeights().FindChecked(Name); };

	// One shape: the slider value itself.
	Controller->UpdateModel(&Chin, 0, 0.7f, -1, 0.0f);
	EXPECT_EQ(WeightOf(TEXT("Chin")), 0.7f);

	// Two shapes: -0.4 drives shape 0 with its magnitude, 0.4 drives shape 1.
	Controller->UpdateModel(&Nose, 0, 0.4f, 1, 0.0f);
	EXPECT_EQ(WeightOf(TEXT("Nose_Narrow")), 0.4f);
	EXPECT_EQ(WeightOf(TEXT("Nose_Wide")), 0.0f);
	Controller->UpdateModel(&Nose, 0, 0.0f, 1, 0.4f);
	EXPECT_EQ(WeightOf(TEXT("Nose_Narrow")), 0.0f);
	EXPECT_EQ(WeightOf(TEXT("Nose_Wide")), 0.4f);

	// Polygon: the two outer corners of triangle i; the next call clears what the last one set.
	Controller->UpdateModel(&Face, 1, 0.25f, 2, 0.5f);
	EXPECT_EQ(Weights(Model.Get()), (TArray<FString>{TEXT("Chin=0.7"), TEXT("Nose_Narrow=0"), TEXT("Nose_Wide=0.4"), TEXT("Face_A=0"),
										 TEXT("Face_B=0.25"), TEXT("Face_C=0.5"), TEXT("Face_D=0")}));
	Controller->UpdateModel(&Face, 3, 0.6f, 0, 0.1f);
	EXPECT_EQ(Weights(Model.Get()), (TArray<FString>{TEXT("Chin=0.7"), TEXT("Nose_Narrow=0"), TEXT("Nose_Wide=0.4"), TEXT("Face_A=0.1"),
										 TEXT("Face_B=0"), TEXT("Face_C=0"), TEXT("Face_D=0.6")}));

	// Weights are stored as given, neither clamped nor normalised, and one slider back to 0
	// leaves the other constraints alone.
	Controller->UpdateModel(&Chin, 0, -3.5f, -1, 0.0f);
	EXPECT_EQ(WeightOf(TEXT("Chin")), -3.5f);
	Controller->UpdateModel(&Chin, 0, 0.0f, -1, 0.0f);
	EXPECT_EQ(Weights(Model.Get()), (TArray<FString>{TEXT("Chin=0"), TEXT("Nose_Narrow=0"), TEXT("Nose_Wide=0.4"), TEXT("Face_A=0.1"),
										 TEXT("Face_B=0"), TEXT("Face_C=0"), TEXT("Face_D=0.6")}));
}

TEST_F(HCMorphShapingControllerTest, NamesDifferingOnlyInLetterCaseAddressTheMeshSpelling)
{
	Begin(MakeMesh({TEXT("Brow_Up"), TEXT("Brow_Down")}));
	const FHCShapeConstraints Brow = MakeConstraint(TEXT("Brow"), {TEXT("brow_down"), TEXT("BROW_UP")});
	Controller->UpdateModel(&Brow, 0, 0.0f, 1, 0.3f);
	EXPECT_EQ(Weights(Model.Get()), (TArray<FString>{TEXT("Brow_Up=0.3"), TEXT("Brow_Down=0")}));

	// The component receives the mesh's spelling too.
	USkeletalMeshComponent* Pushed = Apply();
	ASSERT_EQ(Pushed->GetMorphTargetCurves().Num(), 1);
	EXPECT_EQ(Pushed->GetMorphTargetCurves().begin()->Key.ToString(), FString(TEXT("Brow_Up")));
}

TEST_F(HCMorphShapingControllerTest, CallsThatDoNotFitTheModelAreRefusedWholeWithOneError)
{
	Begin(MakeMesh({TEXT("A"), TEXT("B"), TEXT("C")}));
	const FHCShapeConstraints Pair = MakeConstraint(TEXT("Pair"), {TEXT("A"), TEXT("B")});
	const FHCShapeConstraints Stray = MakeConstraint(TEXT("Stray"), {TEXT("C"), TEXT("Missing")});
	Controller->UpdateModel(&Pair, 0, 0.2f, 1, 0.8f);
	Apply();
	ASSERT_FALSE(Model->IsMarkedDirty());
	const TArray<FString> Before = Weights(Model.Get());

	struct FRefusedCall
	{
		const FHCShapeConstraints* Constraint;
		int32 FirstIndex;
		int32 SecondIndex;
		const TCHAR* Error;
	};
	const FRefusedCall Calls[] = {
		{&Pair, 2, -1, TEXT("Shape index 2 is outside the 2 shapes of constraint \"Pair\"")},
		{&Pair, -1, 1, TEXT("Shape index -1 is outside the 2 shapes of constraint \"Pair\"")},
		{&Pair, 0, 2, TEXT("Shape index 2 is outside the 2 shapes of constraint \"Pair\"")},
		// Shape 0 exists, but writing it would zero C while Missing cannot be set.
		{&Stray, 0, -1, TEXT("Constraint \"Stray\" names shape \"Missing\", which is no morph target of the model")},
		{nullptr, 0, -1, TEXT("No shape constraint was given")},
	};
	for (const FRefusedCall& Call : Calls)
	{
		FLogCapture Capture;
		Controller->UpdateModel(Call.Constraint, Call.FirstIndex, 0.9f, Call.SecondIndex, 0.9f);
		EXPECT_EQ(Capture.GetLines(),
			TArray<FString>{FString::Printf(TEXT("LogTemp: Error: UHCMorphShapingController::UpdateModel - %s; nothing changed"), Call.Error)});
		EXPECT_EQ(Weights(Model.Get()), Before) << Call.Error;
		EXPECT_FALSE(Model->IsMarkedDirty()) << Call.Error;
		EXPECT_FALSE(Model->GetMorphTargetWeights().Contains(TEXT("Missing")));
	}

	TStrongObjectPtr<UHCMorphShapingController> Unwired(NewObject<UHCMorphShapingController>());
	FLogCapture Capture;
	Unwired->UpdateModel(&Pair, 0, 1.0f, -1, 0.0f);
	Unwired->ApplyChanges(Component.Get());
	Controller->ApplyChanges(nullptr);
	EXPECT_EQ(Capture.GetLines(), (TArray<FString>{
		TEXT("LogTemp: Error: UHCMorphShapingController::UpdateModel - The controller has no model; nothing changed"),
		TEXT("LogTemp: Error: UHCMorphShapingController::ApplyChanges - No model or component to apply the morph target weights to"),
		TEXT("LogTemp: Error: UHCMorphShapingController::ApplyChanges - No model or component to apply the morph target weights to")}));
	EXPECT_EQ(Weights(Model.Get()), Before);
}

TEST_F(HCMorphShapingControllerTest, ApplyChangesPushesEveryWeightAndZeroWeightsLeaveTheActiveList)
{
	Begin(MakeMesh({TEXT("Smile"), TEXT("Frown"), TEXT("Blink")}));
	const FHCShapeConstraints Mouth = MakeConstraint(TEXT("Mouth"), {TEXT("Frown"), TEXT("Smile")});
	const FHCShapeConstraints Eyes = MakeConstraint(TEXT("Eyes"), {TEXT("Blink")});
	Controller->UpdateModel(&Mouth, 0, 0.0f, 1, 0.6f);
	Controller->UpdateModel(&Eyes, 0, -0.25f, -1, 0.0f);
	ASSERT_TRUE(Model->IsMarkedDirty());

	USkeletalMeshComponent* Pushed = Apply();
	EXPECT_FALSE(Model->IsMarkedDirty());
	EXPECT_EQ(Pushed->GetMorphTarget(FName(TEXT("Smile"))), 0.6f);
	EXPECT_EQ(Pushed->GetMorphTarget(FName(TEXT("Blink"))), -0.25f);
	// Frown is at 0, so it is not even set: the component holds the two others, in model order.
	ASSERT_EQ(Pushed->GetMorphTargetCurves().Num(), 2);
	EXPECT_EQ(Pushed->GetActiveMorphTargets().Num(), 2);
	EXPECT_FALSE(Pushed->GetMorphTargetCurves().Contains(FName(TEXT("Frown"))));

	// Several moves between two pushes reach the component as the last weights; a slider back
	// at 0 takes its morph target out of the active list.
	Controller->UpdateModel(&Mouth, 0, 0.3f, 1, 0.0f);
	Controller->UpdateModel(&Mouth, 0, 0.5f, 1, 0.0f);
	Controller->UpdateModel(&Eyes, 0, 0.0f, -1, 0.0f);
	Controller->ApplyChanges(Pushed);
	EXPECT_FALSE(Model->IsMarkedDirty());
	EXPECT_EQ(Pushed->GetMorphTarget(FName(TEXT("Frown"))), 0.5f);
	EXPECT_EQ(Pushed->GetMorphTargetCurves().Num(), 1);
	ASSERT_EQ(Pushed->GetActiveMorphTargets().Num(), 1);
	EXPECT_EQ(Pushed->GetActiveMorphTargets().begin()->Key->GetName(), FString(TEXT("Frown")));

	// Neither has anything to do for morph targets.
	Controller->UpdateModel(&Eyes, 0, 0.8f, -1, 0.0f);
	const TArray<FString> Before = Weights(Model.Get());
	Controller->Randomize();
	Controller->ResetToConfigValues();
	EXPECT_EQ(Weights(Model.Get()), Before);
	EXPECT_TRUE(Model->IsMarkedDirty());
}

TEST_F(HCMorphShapingControllerTest, TheControllerKeepsItsModelAndConfigurationAlive)
{
	Begin(MakeMesh({TEXT("Smile")}));
	UHCCharacterEditorConfigData* Config = NewObject<UHCCharacterEditorConfigData>();
	Controller->Initialize(Config);
	const TWeakObjectPtr<UHCMorphShapingModel> WeakModel(Model.Get());
	const TWeakObjectPtr<UHCCharacterEditorConfigData> WeakConfig(Config);
	Model.Reset();
	CollectGarbage();
	EXPECT_TRUE(WeakModel.IsValid());
	EXPECT_TRUE(WeakConfig.IsValid());

	Controller.Reset();
	CollectGarbage();
	EXPECT_FALSE(WeakModel.IsValid());
	EXPECT_FALSE(WeakConfig.IsValid());
}
