// The composite component's texture step (albedo graphs on the GPU, garment textures) and its
// refusal of data that breaks a step.

#include "Controllers/ImageProcessor/HCBlendTexture.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "DataAssets/HCVertexCacheData.h"
#include "HCCompositeComponentTestSupport.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "UObject/WeakObjectPtr.h"

#include <functional>

using namespace HCCompositeTest;

namespace
{
	UTexture* Parameter(USkeletalMeshComponent* Component, int32 Slot, const TCHAR* Name)
	{
		UMaterialInstanceDynamic* Instance = Cast<UMaterialInstanceDynamic>(Component->GetMaterial(Slot));
		return Instance ? Instance->K2_GetTextureParameterValue(FName(Name)) : nullptr;
	}

	const TArray<TObjectPtr<UHCImageProcessor>>& Graph(const UHCCompositeSkeletalMeshComponent* Component, const TCHAR* MeshName)
	{
		static const TArray<TObjectPtr<UHCImageProcessor>> None;
		const FImageProcessorArray* Found = Component->MeshNameToImageProcessorArray.Find(MeshName);
		return Found ? Found->ImageProcessors : None;
	}
}

TEST_F(HCCompositeComponentTest, OneShapeTextureAt0Point3ComposesAFiveProcessorGraphWhoseResultIsTheWeightedSum)
{
	Register();
	const TArray<TObjectPtr<UHCImageProcessor>>& Processors = Graph(Body, TEXT("body"));
	ASSERT_EQ(Processors.Num(), 5);
	EXPECT_EQ(Cast<UHCImageTexture>(Processors[0])->GetInputTexture(), Catalog->textures[1].texture) << "shape textures first";
	EXPECT_EQ(Cast<UHCImageTexture>(Processors[1])->GetInputTexture(), Catalog->textures[0].texture) << "the template's albedo last";
	// A colorize tints by its colour read as sRGB: grey 149 is 0.3 in linear terms, 218 is 0.7.
	EXPECT_EQ(Cast<UHCColorize>(Processors[2])->GetColor(), FColor(149, 149, 149, 255));
	EXPECT_EQ(Cast<UHCColorize>(Processors[3])->GetColor(), FColor(218, 218, 218, 255));
	const UHCBlendTexture* Sum = Cast<UHCBlendTexture>(Processors[4]);
	ASSERT_NE(Sum, nullptr);
	EXPECT_EQ(Sum->GetOperation(), EHCBlendTextureOperation::BTO_Add);
	EXPECT_EQ(Sum->GetDependencies().FindRef(0), Processors[2]);
	EXPECT_EQ(Sum->GetDependencies().FindRef(1), Processors[3]);
	EXPECT_EQ(Parameter(Body, 0, TEXT("BC_Texture")), Sum->GetResultRenderTarget());

	// Read back from the GPU: 0.3 of the tanned albedo plus 0.7 of the template's.
	const TArray<FColor> Texels = ReadResult(Processors[4]);
	ASSERT_EQ(Texels.Num(), 16);
	const auto Expected = [](uint8 Tanned, uint8 Template) { return Tanned * 0.3 + Template * 0.7; };
	for (const FColor& Texel : Texels)
	{
		EXPECT_NEAR(Texel.R, Expected(TannedColor.R, TemplateColor.R), 1.0);
		EXPECT_NEAR(Texel.G, Expected(TannedColor.G, TemplateColor.G), 1.0);
		EXPECT_NEAR(Texel.B, Expected(TannedColor.B, TemplateColor.B), 1.0);
	}
}

TEST_F(HCCompositeComponentTest, TextureWeightsAboveOneLeaveTheTemplateAtZeroAndWeightsAboveOneSaturate)
{
	FirstBlend().textureWeights = {{TEXT("Tanned"), 2, 0.7f}, {TEXT("Tanned"), 2, 1.2f}};
	Register();
	const TArray<TObjectPtr<UHCImageProcessor>>& Processors = Graph(Body, TEXT("Body"));
	ASSERT_EQ(Processors.Num(), 8) << "three textures: three sources, three tints, two sums";
	EXPECT_EQ(Cast<UHCColorize>(Processors[3])->GetColor(), FColor(218, 218, 218, 255));
	EXPECT_EQ(Cast<UHCColorize>(Processors[4])->GetColor(), FColor(255, 255, 255, 255));
	EXPECT_EQ(Cast<UHCColorize>(Processors[5])->GetColor(), FColor(0, 0, 0, 255));
	EXPECT_EQ(Cast<UHCBlendTexture>(Processors[7])->GetDependencies().FindRef(0), Processors[6]);
}

TEST_F(HCCompositeComponentTest, WithoutShapeTexturesOrAMatchingSlotTheBodyMaterialIsLeftAlone)
{
	FirstBlend().textureWeights.Empty();
	Register();
	EXPECT_TRUE(Body->MeshNameToImageProcessorArray.IsEmpty());
	EXPECT_EQ(Cast<UMaterialInstanceDynamic>(Body->GetMaterial(0)), nullptr) << "even though its material has an albedo";

	Catalog->templateAssets[0].skinnedRenderObjects[0].materialNames = {TEXT("M_Elsewhere")};
	FirstBlend().textureWeights.Add({TEXT("Tanned"), 2, 0.3f});
	FLogCapture Capture;
	Body->RunDeferredInit();
	EXPECT_TRUE(Capture.Contains(TEXT("Material M_Elsewhere does not exist")));
	EXPECT_TRUE(Body->MeshNameToImageProcessorArray.IsEmpty());
}

TEST_F(HCCompositeComponentTest, GarmentsShowTheirCatalogTexturesInTheVariationTheCharacterWears)
{
	Register();
	// Slot "M_Tights_Fabric" starts with the material's name; "M_Other" does not.
	EXPECT_EQ(Parameter(Garment, 0, TEXT("BC_Texture")), Catalog->textures[3].texture) << "variation 1 of two";
	EXPECT_EQ(Parameter(Garment, 0, TEXT("N_Texture")), Catalog->textures[4].texture) << "a single variation serves every variation";
	EXPECT_EQ(Parameter(Garment, 0, TEXT("ARM_Texture")), nullptr);
	EXPECT_EQ(Cast<UMaterialInstanceDynamic>(Garment->GetMaterial(1)), nullptr);

	FirstBlend().deformableAssetsIndices[0].variationIndex = 0;
	FirstBlend().deformableAssetsIndices[0].name = TEXT("tights");
	Body->RunDeferredInit();
	EXPECT_EQ(Parameter(Garment, 0, TEXT("BC_Texture")), Catalog->textures[3].texture) << "names compare exactly: not worn any more";
	FirstBlend().deformableAssetsIndices[0].name = TEXT("Tights");
	Body->RunDeferredInit();
	EXPECT_EQ(Parameter(Garment, 0, TEXT("BC_Texture")), Catalog->textures[2].texture);
}

TEST_F(HCCompositeComponentTest, ComposingAgainReplacesTheGraphsAndTheOldProcessorsAreCollected)
{
	Register();
	TArray<TWeakObjectPtr<UHCImageProcessor>> Old;
	for (UHCImageProcessor* Processor : Graph(Body, TEXT("Body")))
	{
		Old.Add(Processor);
	}
	Body->RunDeferredInit();
	ASSERT_EQ(Graph(Body, TEXT("Body")).Num(), 5);
	EXPECT_NE(Graph(Body, TEXT("Body"))[0], Old[0].Get());
	FlushRenderingCommands();
	CollectGarbage();
	for (const TWeakObjectPtr<UHCImageProcessor>& Processor : Old)
	{
		EXPECT_FALSE(Processor.IsValid());
	}
	EXPECT_TRUE(Graph(Body, TEXT("Body"))[4]->GetResultRenderTarget() != nullptr) << "the new graph is kept";
}

namespace
{
	/** Data that breaks a step, what the error names, and how many steps it refuses. */
	struct FBrokenData
	{
		const char* Name;
		std::function<void(UHCTestCompositeComponent&, UHCCharacterDescriptorData&, UHCAssetCatalogData&)> Break;
		const TCHAR* Problem;
		/** How many steps refuse it: the three that read the character, or the one that reads the bad value. */
		int32 RefusedSteps = 1;
		/** Whether the texture step is among them, so that no graph may be rebuilt. */
		bool bRefusesTextures = true;
	};

	/** What the steps leave on the component: morph weights, the arm's pose, graphs, bound textures and vertex colours. */
	struct FComposedState
	{
		TMap<FName, float> Morphs;
		FTransform Arm;
		TArray<UHCImageProcessor*> BodyGraph;
		UTexture* BodyAlbedo = nullptr;
		UTexture* GarmentAlbedo = nullptr;
		TArray<FColor> Colors;

		static FComposedState Of(UHCTestCompositeComponent& Body, USkeletalMeshComponent& Garment)
		{
			FlushRenderingCommands();
			FComposedState State;
			State.Morphs = Body.GetMorphTargetCurves();
			State.Arm = Body.GetRefPoseOverride()->RefBonePoses[1];
			for (UHCImageProcessor* Processor : Graph(&Body, TEXT("Body")))
			{
				State.BodyGraph.Add(Processor);
			}
			State.BodyAlbedo = Parameter(&Body, 0, TEXT("BC_Texture"));
			State.GarmentAlbedo = Parameter(&Garment, 0, TEXT("BC_Texture"));
			const FColorVertexBuffer& Colors = Body.GetSkeletalMeshAsset()->GetResourceForRendering()->LODRenderData[0].StaticVertexBuffers.ColorVertexBuffer;
			for (uint32 Vertex = 0; Vertex < Colors.GetNumVertices(); ++Vertex)
			{
				State.Colors.Add(Colors.VertexColor(Vertex));
			}
			return State;
		}
	};
}

TEST_F(HCCompositeComponentTest, DataThatBreaksAStepLogsOneErrorNamingTheCharacterAndChangesNothing)
{
	using FBody = UHCTestCompositeComponent;
	using FDescriptor = UHCCharacterDescriptorData;
	using FCatalog = UHCAssetCatalogData;
	const FBrokenData Cases[] = {
		{"no descriptor", [](FBody& B, FDescriptor&, FCatalog&) { B.CharacterDescriptorData = nullptr; }, TEXT("no character descriptor is set"), 3},
		{"group outside", [](FBody& B, FDescriptor&, FCatalog&) { B.GroupIndex = 4; }, TEXT("GroupIndex 4 is outside the descriptor's 1 groups"), 3},
		{"character outside", [](FBody& B, FDescriptor&, FCatalog&) { B.CharacterIndex = -1; }, TEXT("CharacterIndex -1 is outside the group's 1 characters"), 3},
		{"no blend", [](FBody&, FDescriptor& D, FCatalog&) { D.groups[0].characters[0].blends.Empty(); }, TEXT("the character has no blend"), 3},
		{"shape outside", [](FBody&, FDescriptor& D, FCatalog&) { D.groups[0].characters[0].blends[0].shapeWeights.Add({TEXT("Lean"), 9, 1.0f}); },
			TEXT("shape weight \"Lean\" names shape asset 9 of the catalog's 3"), 1, false},
		{"frame beyond the rig", [](FBody&, FDescriptor&, FCatalog& C) { C.shapeAssets[1].shapeIndex = 3; }, TEXT("shape \"Bulge\" reads frame 4 of a rig of 4 frames"), 1, false},
		{"template outside", [](FBody&, FDescriptor& D, FCatalog&) { D.groups[0].characters[0].blends[0].templateAssetIndex = 2; },
			TEXT("template asset 2 is outside the catalog's 1")},
		{"texture weight outside", [](FBody&, FDescriptor& D, FCatalog&) { D.groups[0].characters[0].blends[0].textureWeights[0].index = 3; },
			TEXT("shape asset 3 is outside the catalog's 3")},
		{"no template material", [](FBody&, FDescriptor&, FCatalog& C) { C.templateAssets[0].skinnedRenderObjects[0].materialExportIndex.Empty(); },
			TEXT("render object \"Body\" has no materialExportIndex")},
		{"no template variation", [](FBody&, FDescriptor&, FCatalog& C) { C.materials[0].textureExports[0].textureVariationIndices.Empty(); },
			TEXT("texture export \"_ALBEDO\" has no variation 0 among its 0")},
		{"texture not loaded", [](FBody&, FDescriptor&, FCatalog& C) { C.textures[1].texture = nullptr; }, TEXT("texture 1 () of the catalog is not loaded")},
		{"garment outside", [](FBody&, FDescriptor& D, FCatalog&) { D.groups[0].characters[0].blends[0].deformableAssetsIndices[0].deformableAssetIndex = 1; },
			TEXT("garment Tights: deformable asset 1 is outside the catalog's 1")},
		{"garment variation outside", [](FBody&, FDescriptor& D, FCatalog&) { D.groups[0].characters[0].blends[0].deformableAssetsIndices[0].variationIndex = 2; },
			TEXT("garment Tights: texture export \"_ALBEDO\" has no variation 2 among its 2")},
		{"short vertex cache", [](FBody& B, FDescriptor&, FCatalog&) { B.AttachmentCullData = {NewObject<UHCAttachmentVertexCacheData>()}; B.AttachmentCullData[0]->VertexOpacity = {0.0f, 0.0f}; },
			TEXT("holds 2 opacities for 4 vertices"), 1, false},
	};
	Register();
	// With a second shape in the rig, a bake that went on half way would move the arm.
	FirstBlend().shapeWeights = {{TEXT("Lean"), 0, 1.0f}, {TEXT("Bulge"), 1, 0.5f}};
	Body->RunDeferredInit();

	for (const FBrokenData& Case : Cases)
	{
		SCOPED_TRACE(Case.Name);
		const FComposedState Before = FComposedState::Of(*Body, *Garment);
		const TArray<FHCGroups> SavedGroups = Descriptor->groups;
		const TArray<FHCTexture> SavedTextures = Catalog->textures;
		const TArray<FHCMaterial> SavedMaterials = Catalog->materials;
		const TArray<FHCTemplateAsset> SavedTemplates = Catalog->templateAssets;
		const TArray<FHCShapeAsset> SavedShapes = Catalog->shapeAssets;
		Case.Break(*Body, *Descriptor, *Catalog);
		const FString Character = FString::Printf(TEXT("character %d of group %d"), Body->CharacterIndex, Body->GroupIndex);

		FLogCapture Capture;
		Body->RunDeferredInit();
		const FComposedState After = FComposedState::Of(*Body, *Garment);
		const TArray<FString> Errors = Capture.GetMessages(ELogVerbosity::Error);
		EXPECT_EQ(Errors.Num(), Case.RefusedSteps);
		for (const FString& Error : Errors)
		{
			EXPECT_TRUE(Error.Contains(Character)) << *Error;
			EXPECT_TRUE(Error.Contains(Case.Problem)) << *Error;
		}
		EXPECT_EQ(After.Morphs.Num(), Before.Morphs.Num());
		EXPECT_TRUE(After.Arm.Equals(Before.Arm));
		EXPECT_EQ(After.Colors, Before.Colors);
		if (Case.bRefusesTextures)
		{
			EXPECT_EQ(After.BodyGraph, Before.BodyGraph) << "no graph was rebuilt";
			EXPECT_EQ(After.GarmentAlbedo, Before.GarmentAlbedo);
		}

		Body->CharacterDescriptorData = Descriptor;
		Body->GroupIndex = 0;
		Body->CharacterIndex = 0;
		Body->AttachmentCullData.Empty();
		Descriptor->groups = SavedGroups;
		Catalog->textures = SavedTextures;
		Catalog->materials = SavedMaterials;
		Catalog->templateAssets = SavedTemplates;
		Catalog->shapeAssets = SavedShapes;
	}
	FLogCapture Capture;
	Body->RunDeferredInit();
	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty()) << "the data is whole again";
}

TEST_F(HCCompositeComponentTest, TheRefusalNamesTheStepTheCharacterAndTheBadValue)
{
	Register();
	FirstBlend().textureWeights[0].index = 7;
	FLogCapture Capture;
	Body->RunDeferredInit();
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error), TArray<FString>({TEXT("UHCCompositeSkeletalMeshComponent::SetTextures: character 0 of group 0 "
																				"(\"Ava\"): shape asset 7 is outside the catalog's 3; the step is skipped.")}));
}
