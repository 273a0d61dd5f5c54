// The model serializer on editable components: the models taken from a component, refusals
// with their LogVorpex messages, and the edit state of a component saved and loaded back, up to
// what the next tick shows.

#include "Controllers/HCMorphShapingController.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "DataAssets/HCDataAssets.h"
#include "HCEditableComponentTestSupport.h"
#include "HCModelSerializer.h"

using HCEditableComponentTest::MakeMesh;
using HCMorphShapingTest::Weights;

namespace
{
	const TCHAR* const NoComponent =
		TEXT("LogVorpex: Error: UHCModelSerializer::AssignDataModels - Unable to assign data models. No valid SkeletalMeshComponent assigned");
	const TCHAR* const NoConfig =
		TEXT("LogVorpex: Error: UHCModelSerializer::AssignDataModels - Unable to assign data models. No valid CEConfigData assigned");

	/** Which sections the bytes hold, read from the header's two flags. */
	FString Sections(const TArray<uint8>& Bytes)
	{
		if (Bytes.Num() < 16)
		{
			return TEXT("no header");
		}
		return FString::Printf(TEXT("morph %d, texture %d"), Bytes[4], Bytes[8]);
	}
}

class HCModelSerializerComponentTest : public HCEditableComponentWorldTest
{
protected:
	void SetUp() override
	{
		HCEditableComponentWorldTest::SetUp();
		Config = LoadJsonAsset<UHCCharacterEditorConfigData>(TEXT("Data/Config.json"), TEXT(R"({"segmentations": []})"));
		WriteUniformPng(TEXT("Textures/T_White.png"), FColor(255, 255, 255, 255));
		Skin = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/Skin.json"), TEXT(R"({"components": [
			{"meshes": ["Body"], "processorStacks": [{"materialKey": "_BaseColorMap", "processors": [
				{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]}, {"type": "Colorize"}]}]}]})"));
	}

	/** A component of a mesh with morph targets Smile and Frown, not yet editing. */
	UHCRecordingEditableComponent* SpawnCharacter(UHCCharacterEditorConfigData* InConfig)
	{
		return Spawn(MakeMesh(4, {{TEXT("M_Body")}}, {TEXT("Smile"), TEXT("Frown")}), InConfig, Skin);
	}

	static UHCColorize* Colorize(const UHCEditableSkeletalMeshComponent* Component)
	{
		return Component->getTextureEditingModel()->FindInterfaceColorize(0, 0, 1);
	}

	static void SetWeight(UHCEditableSkeletalMeshComponent* Component, const TCHAR* Name, float Weight)
	{
		const FHCShapeConstraints Constraint = HCMorphShapingTest::MakeConstraint(TEXT("Test"), {Name});
		Component->getMorphShapingController()->UpdateModel(&Constraint, 0, Weight, -1, 0.0f);
	}

	/** Both models' weights, colour and dirty flags, to see that nothing changed. */
	static TArray<FString> Snapshot(const UHCEditableSkeletalMeshComponent* Component)
	{
		TArray<FString> State = Weights(Component->getMorphShapingModel());
		State.Add(Colorize(Component)->GetColor().ToString());
		State.Add(FString::Printf(TEXT("dirty %d %d"), Component->getMorphShapingModel()->IsMarkedDirty(),
			Component->getTextureEditingModel()->IsMarkedDirty()));
		return State;
	}

	UHCCharacterEditorConfigData* Config = nullptr;
	UHCCharacterEditorSkinCompositionData* Skin = nullptr;
};

TEST_F(HCModelSerializerComponentTest, AssignDataModelsTakesTheComponentModelsAndKeepsTheOldOnesWhenRefused)
{
	UHCRecordingEditableComponent* NotEditing = SpawnCharacter(Config);
	UHCRecordingEditableComponent* Editing = SpawnCharacter(Config);
	Editing->BeginEditing();
	TStrongObjectPtr<UHCModelSerializer> Serializer(NewObject<UHCModelSerializer>());
	TArray<uint8> Bytes;

	Serializer->AssignDataModels(Editing);
	Serializer->SerializeToBytes(Bytes);
	EXPECT_EQ(Sections(Bytes), TEXT("morph 1, texture 1"));

	// Before its editing begins a component has no models: the header alone.
	Serializer->AssignDataModels(NotEditing);
	Bytes.Reset();
	Serializer->SerializeToBytes(Bytes);
	EXPECT_EQ(Bytes.Num(), 16);
	EXPECT_EQ(Sections(Bytes), TEXT("morph 0, texture 0"));

	// Refusals leave the models set before in place.
	Serializer->SetMorphShapingModel(Editing->getMorphShapingModel());
	UHCRecordingEditableComponent* Unconfigured = SpawnCharacter(nullptr);
	UHCRecordingEditableComponent* DiscardedConfig = SpawnCharacter(NewObject<UHCCharacterEditorConfigData>());
	DiscardedConfig->CEConfigData->MarkAsGarbage();
	FLogCapture Capture;
	Serializer->AssignDataModels(nullptr);
	Serializer->AssignDataModels(Unconfigured);
	Serializer->AssignDataModels(DiscardedConfig);
	EXPECT_EQ(Capture.GetLines(), (TArray<FString>{NoComponent, NoConfig, NoConfig}));
	DiscardedConfig->CEConfigData->ClearGarbage();
	Serializer->SerializeToBytes(Bytes);
	EXPECT_EQ(Sections(Bytes), TEXT("morph 1, texture 0"));
}

TEST_F(HCModelSerializerComponentTest, AComponentRoundTripRestoresWeightsAndColoursAndTheNextTickShowsThem)
{
	UHCRecordingEditableComponent* Component = SpawnCharacter(Config);
	Component->BeginEditing();
	SetWeight(Component, TEXT("Smile"), 0.25f);
	Colorize(Component)->SetColor(FColor(255, 0, 0, 255));
	TArray<uint8> Saved;
	ASSERT_TRUE(UHCModelSerializer::SerializeEditableSkeletalMeshComponent(Component, Saved));

	SetWeight(Component, TEXT("Smile"), 0.0f);
	SetWeight(Component, TEXT("Frown"), 0.75f);
	Colorize(Component)->SetColor(FColor(0, 0, 255, 255));
	Tick();
	ASSERT_FALSE(Component->getMorphShapingModel()->IsMarkedDirty());
	ASSERT_FALSE(Component->getTextureEditingModel()->IsMarkedDirty());

	ASSERT_TRUE(UHCModelSerializer::DeserializeEditableSkeletalMeshComponent(Component, Saved));
	EXPECT_EQ(Weights(Component->getMorphShapingModel()), (TArray<FString>{TEXT("Smile=0.25"), TEXT("Frown=0")}));
	EXPECT_EQ(Colorize(Component)->GetColor(), FColor(255, 0, 0, 255));
	EXPECT_TRUE(Component->getMorphShapingModel()->IsMarkedDirty());
	EXPECT_TRUE(Component->getTextureEditingModel()->IsMarkedDirty());

	Tick();
	FlushRenderingCommands();
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("Smile"))), 0.25f);
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("Frown"))), 0.0f);
	UTextureRenderTarget2D* Albedo =
		Component->getTextureEditingModel()->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Body"), EHCTextureEditingMaterialKey::MK_Albedo));
	TArray<FColor> Pixels;
	ASSERT_TRUE(Albedo->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	EXPECT_EQ(Pixels[1234], FColor(255, 0, 0, 255));

	// A finished component still saves its state; one whose editing has not begun has no
	// models to load it into and refuses it.
	Component->FinishEditing();
	TArray<uint8> Finished;
	ASSERT_TRUE(UHCModelSerializer::SerializeEditableSkeletalMeshComponent(Component, Finished));
	EXPECT_EQ(Finished, Saved);
	UHCRecordingEditableComponent* Fresh = SpawnCharacter(Config);
	FLogCapture Capture;
	EXPECT_FALSE(UHCModelSerializer::DeserializeEditableSkeletalMeshComponent(Fresh, Saved));
	EXPECT_EQ(Capture.GetLines(), TArray<FString>{TEXT("LogTemp: Error: UHCModelSerializer::DeserializeFromBytes - The bytes hold morph "
													   "weights, but there is no morph-shaping model to load them into; nothing was loaded")});
}

TEST_F(HCModelSerializerComponentTest, ComponentOperationsRefuseWhatTheyCannotApplyAndChangeNothing)
{
	UHCRecordingEditableComponent* Component = SpawnCharacter(Config);
	Component->BeginEditing();
	SetWeight(Component, TEXT("Frown"), 0.5f);
	TArray<uint8> Saved;
	ASSERT_TRUE(UHCModelSerializer::SerializeEditableSkeletalMeshComponent(Component, Saved));
	SetWeight(Component, TEXT("Frown"), 0.125f);
	Tick();
	const TArray<FString> Before = Snapshot(Component);

	// Damaged bytes: cut inside the name of the second morph weight.
	TArray<uint8> Cut = Saved;
	ASSERT_GT(Cut.Num(), 40);
	Cut.SetNum(40);
	FLogCapture Capture;
	EXPECT_FALSE(UHCModelSerializer::DeserializeEditableSkeletalMeshComponent(Component, Cut));
	ASSERT_EQ(Capture.GetMessages(ELogVerbosity::Error).Num(), 1);
	EXPECT_EQ(Snapshot(Component), Before);

	// No component, or one without an editor configuration: nothing is written or read, and the
	// failure is not reported as a saved or loaded state.
	Component->CEConfigData = nullptr;
	TArray<uint8> Untouched = {1, 2, 3};
	FLogCapture Refusals;
	EXPECT_FALSE(UHCModelSerializer::SerializeEditableSkeletalMeshComponent(nullptr, Untouched));
	EXPECT_FALSE(UHCModelSerializer::SerializeEditableSkeletalMeshComponent(Component, Untouched));
	EXPECT_FALSE(UHCModelSerializer::DeserializeEditableSkeletalMeshComponent(nullptr, Saved));
	EXPECT_FALSE(UHCModelSerializer::DeserializeEditableSkeletalMeshComponent(Component, Saved));
	EXPECT_EQ(Refusals.GetLines(), (TArray<FString>{NoComponent, NoConfig, NoComponent, NoConfig}));
	EXPECT_EQ(Untouched, (TArray<uint8>{1, 2, 3}));
	EXPECT_EQ(Snapshot(Component), Before);
}
