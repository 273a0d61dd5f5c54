// The editable skeletal mesh component: its states and what each operation does in each, the
// order in which ticks apply the models, the culling textures it makes, and the dynamic
// material instances that show the texture-editing results.

#include "Controllers/HCMorphShapingController.h"
#include "Controllers/HCTextureEditingController.h"
#include "DataAssets/HCDataAssets.h"
#include "HCEditableComponentTestSupport.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include <vector>

using HCEditableComponentTest::DefaultCullMask;
using HCEditableComponentTest::MakeMesh;
using HCEditableComponentTest::ReadGpuTexels;
using HCEditableComponentTest::MaterialInstances;
using HCEditableComponentTest::TextureParameter;
using HCEditableComponentTest::UserDataTexture;

namespace
{
	constexpr EHCEditableSkeletalMeshComponentState Initial = EHCEditableSkeletalMeshComponentState::ESMCS_Initial;
	constexpr EHCEditableSkeletalMeshComponentState Editing = EHCEditableSkeletalMeshComponentState::ESMCS_Editing;
	constexpr EHCEditableSkeletalMeshComponentState Finished = EHCEditableSkeletalMeshComponentState::ESMCS_Finished;
	const char* const InitialCheck = "State == EHCEditableSkeletalMeshComponentState::ESMCS_Initial";

	/** Every texel opaque white, in PF_B8G8R8A8. */
	std::vector<uint8> OpaqueWhiteTexels(int32 Side)
	{
		return std::vector<uint8>(static_cast<size_t>(Side) * Side * 4, 255);
	}

	void ExpectPixelDataTexture(const UTexture2D* Texture, int32 Side)
	{
		ASSERT_NE(Texture, nullptr);
		EXPECT_EQ(Texture->GetSizeX(), Side);
		EXPECT_EQ(Texture->GetSizeY(), Side);
		EXPECT_EQ(Texture->GetPixelFormat(), PF_B8G8R8A8);
		EXPECT_FALSE(Texture->SRGB);
		EXPECT_EQ(Texture->Filter, TF_Nearest);
		EXPECT_TRUE(Texture->NeverStream);
		EXPECT_EQ(Texture->LODGroup, TEXTUREGROUP_Pixels2D);
		EXPECT_EQ(ReadGpuTexels(Texture), OpaqueWhiteTexels(Side)) << Side << " x " << Side;
	}

	void SetWeight(UHCEditableSkeletalMeshComponent* Component, const TCHAR* Name, float Weight)
	{
		const FHCShapeConstraints Constraint = HCMorphShapingTest::MakeConstraint(TEXT("Test"), {Name});
		Component->getMorphShapingController()->UpdateModel(&Constraint, 0, Weight, -1, 0.0f);
	}
}

class HCEditableSkeletalMeshComponentTest : public HCEditableComponentWorldTest
{
protected:
	void SetUp() override
	{
		HCEditableComponentWorldTest::SetUp();
		Config = LoadJsonAsset<UHCCharacterEditorConfigData>(TEXT("Data/Config.json"),
			TEXT(R"({"segmentations": [{"name": "Skin", "targetSkinCompositionMeshes": ["Skin", "Face"]}]})"));
		// No graphs: editing works the same, without any GPU work.
		EmptySkin = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/EmptySkin.json"), TEXT(R"({"components": []})"));
	}

	/** A component of a four-vertex mesh with morph targets Smile and Frown and no material slots. */
	UHCRecordingEditableComponent* SpawnPlain()
	{
		return Spawn(MakeMesh(4, {}, {TEXT("Smile"), TEXT("Frown")}), Config, EmptySkin);
	}

	UHCCharacterEditorConfigData* Config = nullptr;
	UHCCharacterEditorSkinCompositionData* EmptySkin = nullptr;
};

TEST_F(HCEditableSkeletalMeshComponentTest, FinishingBeforeEditingSkipsEditingForGood)
{
	UHCRecordingEditableComponent* Component = SpawnPlain();
	EXPECT_EQ(Component->State, Initial);
	Tick();
	EXPECT_TRUE(Component->Events.IsEmpty()) << "an Initial tick applies nothing";

	Component->FinishEditing();
	EXPECT_EQ(Component->State, Finished);
	EXPECT_CHECK_FAILS(Component->BeginEditing(), InitialCheck);
	Component->FinishEditing();
	Tick();
	EXPECT_EQ(Component->State, Finished);
	EXPECT_TRUE(Component->Events.IsEmpty());
	EXPECT_EQ(Component->getMorphShapingModel(), nullptr);
	EXPECT_EQ(Component->getMorphShapingController(), nullptr);
	EXPECT_EQ(Component->getTextureEditingModel(), nullptr);
	EXPECT_EQ(Component->getTextureEditingController(), nullptr);
	EXPECT_EQ(UserDataTexture(Component), nullptr);
	EXPECT_EQ(DefaultCullMask(Component), nullptr);
}

TEST_F(HCEditableSkeletalMeshComponentTest, EditingBeginsOnceAppliesOnFinishingAndThenStops)
{
	UHCRecordingEditableComponent* Component = SpawnPlain();
	// Scripts call it by name.
	Component->ProcessEvent(Component->FindFunctionChecked(TEXT("BeginEditing")), nullptr);
	EXPECT_EQ(Component->State, Editing);
	UHCMorphShapingModel* MorphModel = Component->getMorphShapingModel();
	UHCMorphShapingController* MorphController = Component->getMorphShapingController();
	UHCTextureEditingModel* TextureModel = Component->getTextureEditingModel();
	UHCTextureEditingController* TextureController = Component->getTextureEditingController();
	ASSERT_TRUE(MorphModel && MorphController && TextureModel && TextureController);
	EXPECT_EQ(HCMorphShapingTest::Weights(MorphModel), (TArray<FString>{TEXT("Smile=0"), TEXT("Frown=0")}));
	EXPECT_TRUE(MorphModel->IsMarkedDirty());
	EXPECT_TRUE(TextureModel->IsMarkedDirty());

	// The component alone keeps its editor objects alive.
	const TWeakObjectPtr<UObject> Objects[] = {MorphModel, MorphController, TextureModel, TextureController, UserDataTexture(Component),
		DefaultCullMask(Component)};
	CollectGarbage();
	for (const TWeakObjectPtr<UObject>& Object : Objects)
	{
		EXPECT_TRUE(Object.IsValid());
	}
	EXPECT_EQ(MorphModel->GetOuter(), Component);
	EXPECT_EQ(TextureController->GetOuter(), Component);

	// Beginning again is refused and replaces nothing.
	EXPECT_CHECK_FAILS(Component->BeginEditing(), InitialCheck);
	EXPECT_EQ(Component->State, Editing);
	EXPECT_EQ(Component->getMorphShapingModel(), MorphModel);
	EXPECT_EQ(Component->getTextureEditingController(), TextureController);

	// Finishing applies what is pending one last time.
	SetWeight(Component, TEXT("Smile"), 0.5f);
	Component->Events.Empty();
	Component->ProcessEvent(Component->FindFunctionChecked(TEXT("FinishEditing")), nullptr);
	EXPECT_EQ(Component->State, Finished);
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("Smile"))), 0.5f);
	EXPECT_EQ(Component->Events,
		(TArray<FString>{TEXT("morphs (texture clean, morph clean)"), TEXT("render state (texture clean, morph clean)")}));

	// Finished is final: neither ticks nor finishing again apply anything, and the models stay readable.
	SetWeight(Component, TEXT("Smile"), 0.8f);
	Component->Events.Empty();
	Tick();
	Component->FinishEditing();
	EXPECT_CHECK_FAILS(Component->BeginEditing(), InitialCheck);
	EXPECT_EQ(Component->State, Finished);
	EXPECT_TRUE(Component->Events.IsEmpty());
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("Smile"))), 0.5f);
	EXPECT_TRUE(Component->getMorphShapingModel()->IsMarkedDirty());
	EXPECT_EQ(Component->getMorphShapingModel()->GetMorphTargetWeights().FindRef(TEXT("Smile")), 0.8f);
}

TEST_F(HCEditableSkeletalMeshComponentTest, EachEditingTickAppliesTextureChangesBeforeMorphChangesAndRefreshesTheRenderState)
{
	UHCRecordingEditableComponent* Component = SpawnPlain();
	Component->BeginEditing();
	Component->Events.Empty();

	// Both models start dirty; the texture model is clean by the time the first weight arrives.
	Tick();
	EXPECT_EQ(Component->Events,
		(TArray<FString>{TEXT("morphs (texture clean, morph clean)"), TEXT("render state (texture clean, morph clean)")}));

	// Nothing changed: only the render state is refreshed.
	Component->Events.Empty();
	Tick();
	EXPECT_EQ(Component->Events, TArray<FString>{TEXT("render state (texture clean, morph clean)")});

	// A morph change alone reaches the mesh at the next tick, not before.
	SetWeight(Component, TEXT("Frown"), -0.3f);
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("Frown"))), 0.0f);
	Component->Events.Empty();
	Tick();
	EXPECT_EQ(Component->GetMorphTarget(FName(TEXT("Frown"))), -0.3f);
	EXPECT_EQ(Component->Events,
		(TArray<FString>{TEXT("morphs (texture clean, morph clean)"), TEXT("render state (texture clean, morph clean)")}));

	// A texture change alone leaves the weights alone.
	Component->getTextureEditingController()->ResetToConfigValues();
	Component->Events.Empty();
	Tick();
	EXPECT_FALSE(Component->getTextureEditingModel()->IsMarkedDirty());
	EXPECT_EQ(Component->Events, TArray<FString>{TEXT("render state (texture clean, morph clean)")});
}

TEST_F(HCEditableSkeletalMeshComponentTest, CullingTexturesAreOpaqueWhiteAndTheUserDataTextureIsTheSmallestSquareOverTheVertices)
{
	struct FCase
	{
		int32 Vertices;
		int32 Side;
	};
	// 0: a mesh without render data still gets a texture, so "CM_Texture" always has one.
	const FCase Cases[] = {{0, 1}, {1, 1}, {4, 2}, {5, 3}, {9, 3}, {10, 4}, {16384, 128}, {16385, 129}};
	for (const FCase& Case : Cases)
	{
		UHCRecordingEditableComponent* Component = Spawn(MakeMesh(Case.Vertices, {}, {}), Config, EmptySkin);
		Component->BeginEditing();
		ExpectPixelDataTexture(UserDataTexture(Component), Case.Side);
		ExpectPixelDataTexture(DefaultCullMask(Component), 16);
	}

	// Without any mesh editing still begins: no weights, no slots, the smallest texture.
	UHCRecordingEditableComponent* Bare = Spawn(nullptr, Config, EmptySkin);
	FLogCapture Capture;
	Bare->BeginEditing();
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning), TArray<FString>{TEXT("MorphableMesh is null!")});
	EXPECT_TRUE(Bare->getMorphShapingModel()->GetMorphTargetWeights().IsEmpty());
	EXPECT_TRUE(MaterialInstances(Bare).IsEmpty());
	ExpectPixelDataTexture(UserDataTexture(Bare), 1);
	Tick();
	EXPECT_EQ(Bare->Events, TArray<FString>{TEXT("render state (texture clean, morph clean)")});
}

TEST_F(HCEditableSkeletalMeshComponentTest, SlotsTheTextureModelEditsShowItsResultsThroughDynamicMaterialInstances)
{
	// A 2 x 2 palette whose corners survive colour conversion exactly; the "Tone" picker starts at its bottom right (red).
	WritePng(TEXT("Pickers/T_Palette.png"), 2, 2, [](int32 X, int32 Y) {
		return Y == 0 ? FColor(0, 0, 255, 255) : (X == 0 ? FColor(0, 255, 0, 255) : FColor(255, 0, 0, 255));
	});
	WriteUniformPng(TEXT("Textures/T_White.png"), FColor(255, 255, 255, 255));
	UHCCharacterEditorSkinCompositionData* Skin = LoadJsonAsset<UHCCharacterEditorSkinCompositionData>(TEXT("Data/Skin.json"),
		FString::Printf(TEXT(R"({"components": [
			{"meshes": ["Skin"], "handlers": [{"type": "PixelPickerElement", "displayName": "Tone", "stack": 0, "process": 1,
				"textureParams": ["%s"], "floatParams": [1.0, 1.0]}],
			 "processorStacks": [{"materialKey": "_BaseColorMap", "processors": [
				{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]}, {"type": "Colorize"}]}]},
			{"meshes": ["Face"], "processorStacks": [{"materialKey": "_BaseColorMap", "processors": [
				{"type": "ImageTexture", "stringParams": ["../Textures/T_White.png"]}, {"type": "Colorize"}]}]}]})"),
			*ObjectPathOf(TEXT("Pickers/T_Palette.png"))));
	USkeletalMesh* Mesh = MakeMesh(6, {{TEXT("M_Skin")}, {TEXT("Cloth")}, {TEXT("m_FACE"), false}, {TEXT("M_Skin_2")}}, {});
	UMaterialInterface* Cloth = Mesh->GetMaterials()[1].MaterialInterface;
	UHCRecordingEditableComponent* Component = Spawn(Mesh, Config, Skin);
	Component->BeginEditing();

	// Slot names are looked up as mesh names without "M_", letter case or number suffix, and kept as the mesh spells them.
	const TMap<FString, TObjectPtr<UMaterialInstanceDynamic>>& Instances = MaterialInstances(Component);
	TArray<FString> Keys;
	Instances.GetKeys(Keys);
	EXPECT_EQ(Keys, (TArray<FString>{TEXT("M_Skin"), TEXT("m_FACE"), TEXT("M_Skin_2")}));
	UTextureRenderTarget2D* SkinResult =
		Component->getTextureEditingModel()->GetMeshRenderTarget(FHCTextureEditingBindingKey(TEXT("Skin"), EHCTextureEditingMaterialKey::MK_Albedo));
	for (const auto& [SlotIndex, SlotName] : {std::pair(0, TEXT("m_skin")), std::pair(3, TEXT("M_SKIN_2"))})
	{
		UMaterialInstanceDynamic* Instance = Instances.FindRef(SlotName);
		ASSERT_NE(Instance, nullptr) << SlotName;
		EXPECT_EQ(Component->GetMaterial(SlotIndex), Instance);
		EXPECT_EQ(Instance->GetOuter(), Component);
		EXPECT_EQ(Instance->Parent, Mesh->GetMaterials()[SlotIndex].MaterialInterface);
		EXPECT_EQ(TextureParameter(Instance, TEXT("BC_Texture")), SkinResult);
		EXPECT_EQ(TextureParameter(Instance, TEXT("CM_Texture")), UserDataTexture(Component));
	}
	// The face slot has no material to make an instance of: it is listed, empty. The cloth is not edited at all.
	EXPECT_TRUE(Instances.Contains(TEXT("M_FACE")));
	EXPECT_EQ(Instances.FindRef(TEXT("m_FACE")), nullptr);
	EXPECT_EQ(Component->GetMaterial(1), Cloth);

	// The picker's start colour is set when editing begins and shows once the first tick has run the graphs.
	Tick();
	FlushRenderingCommands();
	TArray<FColor> Pixels;
	ASSERT_TRUE(SkinResult->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	ASSERT_EQ(Pixels.Num(), 4096 * 4096);
	EXPECT_EQ(Pixels[0], FColor(255, 0, 0, 255));
	EXPECT_EQ(Pixels[2048 * 4096 + 2048], FColor(255, 0, 0, 255));
	EXPECT_EQ(Pixels.Last(), FColor(255, 0, 0, 255));
}
