// How the JSON files map onto the records: nesting, key letter case, unknown keys, the
// declared type of each field, and texture references.

#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Engine/SkeletalMesh.h"
#include "HCDataAssetTestFiles.h"

namespace
{
	using HCDataAssetsJson = HCDataAssetFileTest;

	const TCHAR* const SkinTexturePath = TEXT("/Game/VorpexTests/Json/T_Skin.T_Skin");
	const TCHAR* const PickerTexturePath = TEXT("/Game/VorpexTests/Json/T_Picker.T_Picker");

	UTexture2D* SkinTexture() { return RegisterTexture(TEXT("/Game/VorpexTests/Json/T_Skin"), TEXT("T_Skin")); }
	UTexture2D* PickerTexture() { return RegisterTexture(TEXT("/Game/VorpexTests/Json/T_Picker"), TEXT("T_Picker")); }
}

TEST_F(HCDataAssetsJson, CatalogFillsEveryNestedRecord)
{
	UTexture2D* Skin = SkinTexture();
	const FString Path = WriteFile("catalog.json", FString::Printf(TEXT(R"({
		"textures": [{"path": "Skin/T_Skin.png", "isLinear": true, "texture": "%s"}, {"path": "Skin/T_Normal.png"}],
		"meshes": [{"name": "Body", "identifier": "m-01", "submeshCount": 3}],
		"materials": [{"name": "M_Skin", "shader": "Skin", "textureExports": [
			{"key": "_BaseColorMap", "isBlendable": true, "slot": "ALBEDO", "textureVariationIndices": [4]},
			{"key": "_NormalMap", "slot": "albedo", "textureVariationIndices": [1, 2]}]}],
		"templateAssets": [{"assetGuid": "9f1c", "assetName": "Base", "path": "Bodies/Base",
			"LODData": [{"lodIndex": 0, "fbxPath": "Base_LOD0.fbx"}, {"lodIndex": 1, "fbxPath": "Base_LOD1.fbx"}],
			"skinnedRenderObjects": [{"meshExportIndex": 0, "materialExportIndex": [0, 2], "meshName": "Body", "materialNames": ["M_Skin"]}]}],
		"deformableAssets": [{"assetName": "Shirt", "assetGuid": "aa", "path": "Garments/Shirt", "templateIndex": 1,
			"skinnedRenderObjects": [{"meshName": "Shirt"}]}],
		"shapeAssets": [{"assetName": "Tall", "path": "Shapes/Tall", "shapeIndex": 5, "templateIndex": 0,
			"skinnedRenderObjects": [{"meshName": "Body", "materialExportIndex": [1]}]}],
		"overlayAssets": [{"assetName": "Freckles", "templateIndex": 2, "overlayMaterialConnections": [{"materialIndex": 1,
			"overlayAtlasInformations": [{"variantRegions": [{"textureIndex": 6, "textureKey": "_BaseColorMap",
				"sourceRect": {"xMin": 0.25, "yMin": 0.5, "width": 64, "height": 32},
				"targetRect": {"xMin": -1.5, "yMin": 2, "width": 0.125, "height": 8}}]}]}]}],
		"characterEditors": [{"characterEditorBasePath": "Editor", "characterEditorConfigPath": "Editor/config.json",
			"characterEditorSegmentationPath": "Editor/segments.json", "templateAssetIndex": "0"}]
	})"), SkinTexturePath));

	FLogCapture Capture;
	const TStrongObjectPtr<UHCAssetCatalogData> Catalog = UHCAssetCatalogData::Load(Path);
	ASSERT_TRUE(Catalog.IsValid());
	EXPECT_EQ(Capture.GetLines().Num(), 0);

	ASSERT_EQ(Catalog->textures.Num(), 2);
	EXPECT_EQ(Catalog->textures[0].path, "Skin/T_Skin.png");
	EXPECT_TRUE(Catalog->textures[0].isLinear);
	EXPECT_EQ(Catalog->textures[0].texture.Get(), Skin);
	EXPECT_FALSE(Catalog->textures[1].isLinear);
	EXPECT_EQ(Catalog->textures[1].texture.Get(), nullptr);

	ASSERT_EQ(Catalog->meshes.Num(), 1);
	EXPECT_EQ(Catalog->meshes[0].identifier, "m-01");
	EXPECT_EQ(Catalog->meshes[0].submeshCount, 3);

	ASSERT_EQ(Catalog->materials.Num(), 1);
	const FHCMaterial& Material = Catalog->materials[0];
	EXPECT_EQ(Material.shader, "Skin");
	ASSERT_EQ(Material.textureExports.Num(), 2);
	EXPECT_EQ(Material.textureExports[0].key, "_BaseColorMap");
	EXPECT_TRUE(Material.textureExports[0].isBlendable);
	EXPECT_FALSE(Material.textureExports[1].isBlendable);
	EXPECT_EQ(Material.textureExports[1].textureVariationIndices, (TArray<int32>{1, 2}));

	ASSERT_EQ(Catalog->templateAssets.Num(), 1);
	const FHCTemplateAsset& Template = Catalog->templateAssets[0];
	EXPECT_EQ(Template.assetGuid, "9f1c");
	ASSERT_EQ(Template.LODData.Num(), 2);
	EXPECT_EQ(Template.LODData[1].lodIndex, 1);
	EXPECT_EQ(Template.LODData[1].fbxPath, "Base_LOD1.fbx");
	ASSERT_EQ(Template.skinnedRenderObjects.Num(), 1);
	EXPECT_EQ(Template.skinnedRenderObjects[0].materialExportIndex, (TArray<int32>{0, 2}));
	EXPECT_EQ(Template.skinnedRenderObjects[0].materialNames, (TArray<FString>{"M_Skin"}));

	ASSERT_EQ(Catalog->deformableAssets.Num(), 1);
	EXPECT_EQ(Catalog->deformableAssets[0].templateIndex, 1);
	EXPECT_EQ(Catalog->deformableAssets[0].skinnedRenderObjects[0].meshName, "Shirt");
	EXPECT_EQ(Catalog->deformableAssets[0].skinnedRenderObjects[0].meshExportIndex, 0);

	ASSERT_EQ(Catalog->shapeAssets.Num(), 1);
	EXPECT_EQ(Catalog->shapeAssets[0].shapeIndex, 5);
	EXPECT_EQ(Catalog->shapeAssets[0].skinnedRenderObjects[0].materialExportIndex, (TArray<int32>{1}));

	ASSERT_EQ(Catalog->overlayAssets.Num(), 1);
	EXPECT_EQ(Catalog->overlayAssets[0].templateIndex, 2);
	const FHCVariantRegion& Region =
		Catalog->overlayAssets[0].overlayMaterialConnections[0].overlayAtlasInformations[0].variantRegions[0];
	EXPECT_EQ(Catalog->overlayAssets[0].overlayMaterialConnections[0].materialIndex, 1);
	EXPECT_EQ(Region.textureIndex, 6);
	EXPECT_EQ(Region.textureKey, "_BaseColorMap");
	EXPECT_FLOAT_EQ(Region.sourceRect.xMin, 0.25f);
	EXPECT_FLOAT_EQ(Region.sourceRect.height, 32.0f);
	EXPECT_FLOAT_EQ(Region.targetRect.xMin, -1.5f);
	EXPECT_FLOAT_EQ(Region.targetRect.width, 0.125f);

	ASSERT_EQ(Catalog->characterEditors.Num(), 1);
	EXPECT_EQ(Catalog->characterEditors[0].characterEditorSegmentationPath, "Editor/segments.json");
}

TEST_F(HCDataAssetsJson, TextureSlotsAndVariationsAreKeptExactlyAsWritten)
{
	// Which material parameter an export binds depends on the exact slot text, so reading
	// must not fold its letter case; a single variation entry stays the only entry.
	const FString Path = WriteFile("catalog.json", R"({"materials": [{"textureExports": [
		{"slot": "ALBEDO", "textureVariationIndices": [3]},
		{"slot": "albedo", "textureVariationIndices": [3]},
		{"slot": "Normal"},
		{"slot": "MASK", "textureVariationIndices": []}]}]})");
	const TStrongObjectPtr<UHCAssetCatalogData> Catalog = UHCAssetCatalogData::Load(Path);
	ASSERT_TRUE(Catalog.IsValid());
	const TArray<FHCTextureExport>& Exports = Catalog->materials[0].textureExports;
	ASSERT_EQ(Exports.Num(), 4);
	EXPECT_STREQ(*Exports[0].slot, "ALBEDO");
	EXPECT_STREQ(*Exports[1].slot, "albedo");
	EXPECT_STREQ(*Exports[2].slot, "Normal");
	EXPECT_STREQ(*Exports[3].slot, "MASK");
	EXPECT_EQ(Exports[0].textureVariationIndices, (TArray<int32>{3}));
	EXPECT_EQ(Exports[1].textureVariationIndices, (TArray<int32>{3}));
	EXPECT_EQ(Exports[2].textureVariationIndices.Num(), 0);
	EXPECT_EQ(Exports[3].textureVariationIndices.Num(), 0);
}

TEST_F(HCDataAssetsJson, DescriptorFillsCharactersAndBlends)
{
	const FString Path = WriteFile("descriptor.json", R"({"groups": [
		{"characters": []},
		{"characters": [{"name": "Ada", "group": "Adults",
			"blends": [{"templateAssetIndex": 2, "templateWeight": 0.75,
				"shapeWeights": [{"name": "Tall", "index": 1, "weight": 0.5}, {"name": "Wide", "index": 3, "weight": -0.25}],
				"textureWeights": [{"name": "Tan", "index": 4, "weight": 0.3}],
				"deformableAssetsIndices": [{"name": "Shirt", "deformableAssetIndex": 7, "variationIndex": 2}]},
				{"templateAssetIndex": 0}],
			"overlayAssetsIndices": [{"name": "Freckles", "overlayAssetIndex": 1, "variationIndex": 3}]}]}
	]})");
	const TStrongObjectPtr<UHCCharacterDescriptorData> Descriptor = UHCCharacterDescriptorData::Load(Path);
	ASSERT_TRUE(Descriptor.IsValid());
	ASSERT_EQ(Descriptor->groups.Num(), 2);
	EXPECT_EQ(Descriptor->groups[0].characters.Num(), 0);
	ASSERT_EQ(Descriptor->groups[1].characters.Num(), 1);
	const FHCCharacter& Ada = Descriptor->groups[1].characters[0];
	EXPECT_EQ(Ada.group, "Adults");
	ASSERT_EQ(Ada.blends.Num(), 2);
	const FHCCharacterBlend& Blend = Ada.blends[0];
	EXPECT_EQ(Blend.templateAssetIndex, 2);
	EXPECT_FLOAT_EQ(Blend.templateWeight, 0.75f);
	ASSERT_EQ(Blend.shapeWeights.Num(), 2);
	EXPECT_EQ(Blend.shapeWeights[1].name, "Wide");
	EXPECT_EQ(Blend.shapeWeights[1].index, 3);
	EXPECT_FLOAT_EQ(Blend.shapeWeights[1].weight, -0.25f);
	ASSERT_EQ(Blend.textureWeights.Num(), 1);
	EXPECT_EQ(Blend.textureWeights[0].index, 4);
	EXPECT_FLOAT_EQ(Blend.textureWeights[0].weight, 0.3f);
	ASSERT_EQ(Blend.deformableAssetsIndices.Num(), 1);
	EXPECT_EQ(Blend.deformableAssetsIndices[0].name, "Shirt");
	EXPECT_EQ(Blend.deformableAssetsIndices[0].deformableAssetIndex, 7);
	EXPECT_EQ(Blend.deformableAssetsIndices[0].variationIndex, 2);
	EXPECT_EQ(Ada.blends[1].shapeWeights.Num(), 0);
	EXPECT_FLOAT_EQ(Ada.blends[1].templateWeight, 0.0f);
	ASSERT_EQ(Ada.overlayAssetsIndices.Num(), 1);
	EXPECT_EQ(Ada.overlayAssetsIndices[0].overlayAssetIndex, 1);
	EXPECT_EQ(Ada.overlayAssetsIndices[0].variationIndex, 3);
}

TEST_F(HCDataAssetsJson, KeysMatchWhateverTheirLetterCase)
{
	const TStrongObjectPtr<UHCAssetCatalogData> Catalog = UHCAssetCatalogData::Load(WriteFile("catalog.json", R"({
		"TEXTURES": [{"PATH": "a.png", "IsLinear": true}],
		"templateassets": [{"loddata": [{"LODINDEX": 2}]}, {"LodData": [{"FbxPath": "b.fbx"}]}]
	})"));
	ASSERT_TRUE(Catalog.IsValid());
	ASSERT_EQ(Catalog->textures.Num(), 1);
	EXPECT_EQ(Catalog->textures[0].path, "a.png");
	EXPECT_TRUE(Catalog->textures[0].isLinear);
	ASSERT_EQ(Catalog->templateAssets.Num(), 2);
	ASSERT_EQ(Catalog->templateAssets[0].LODData.Num(), 1);
	EXPECT_EQ(Catalog->templateAssets[0].LODData[0].lodIndex, 2);
	EXPECT_EQ(Catalog->templateAssets[1].LODData[0].fbxPath, "b.fbx");

	const TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> Skin = UHCCharacterEditorSkinCompositionData::Load(
		WriteFile("skin.json", R"({"Components": [{"MESHES": ["Body"], "processorstacks": [{"MaterialKey": "_NormalMap"}]}]})"));
	ASSERT_TRUE(Skin.IsValid());
	ASSERT_EQ(Skin->components.Num(), 1);
	EXPECT_EQ(Skin->components[0].meshes, (TArray<FString>{"Body"}));
	EXPECT_EQ(Skin->components[0].processorStacks[0].materialKey, "_NormalMap");
}

TEST_F(HCDataAssetsJson, UnknownKeysAreIgnoredAndTheRestIsRead)
{
	const TStrongObjectPtr<UHCCharacterDescriptorData> Descriptor = UHCCharacterDescriptorData::Load(WriteFile("descriptor.json", R"({
		"schema": {"anything": [1, "two", null]},
		"groups": [{"comment": 5, "characters": [{"name": "Ada", "age": "unknown",
			"blends": [{"templateAssetIndex": 1, "shapeWeights": [{"name": "Tall", "weight": 1, "extra": true}]}]}]}],
		"trailer": false
	})"));
	ASSERT_TRUE(Descriptor.IsValid());
	ASSERT_EQ(Descriptor->groups.Num(), 1);
	const FHCCharacter& Ada = Descriptor->groups[0].characters[0];
	EXPECT_EQ(Ada.name, "Ada");
	EXPECT_EQ(Ada.blends[0].templateAssetIndex, 1);
	EXPECT_EQ(Ada.blends[0].shapeWeights[0].name, "Tall");
	EXPECT_FLOAT_EQ(Ada.blends[0].shapeWeights[0].weight, 1.0f);
}

TEST_F(HCDataAssetsJson, TemplateAssetIndexIsTextForEditorsAndANumberForBlends)
{
	const TStrongObjectPtr<UHCAssetCatalogData> Catalog = UHCAssetCatalogData::Load(
		WriteFile("catalog.json", R"({"characterEditors": [{"templateAssetIndex": "07"}, {"templateAssetIndex": "12"}]})"));
	ASSERT_TRUE(Catalog.IsValid());
	EXPECT_EQ(Catalog->characterEditors[0].templateAssetIndex, "07"); // kept as written, not as a number
	EXPECT_EQ(Catalog->characterEditors[1].templateAssetIndex, "12");

	const TStrongObjectPtr<UHCCharacterDescriptorData> Descriptor = UHCCharacterDescriptorData::Load(
		WriteFile("descriptor.json", R"({"groups": [{"characters": [{"blends": [{"templateAssetIndex": 7}]}]}]})"));
	ASSERT_TRUE(Descriptor.IsValid());
	EXPECT_EQ(Descriptor->groups[0].characters[0].blends[0].templateAssetIndex, 7);

	// A blend's index is an integer: a fraction fails the file rather than being cut.
	FLogCapture Capture;
	EXPECT_FALSE(UHCCharacterDescriptorData::Load(
		WriteFile("fraction.json", R"({"groups": [{"characters": [{"blends": [{"templateAssetIndex": 1.5}]}]}]})"))
					 .IsValid());
	// An editor entry's index is text: an object there fails the file.
	EXPECT_FALSE(
		UHCAssetCatalogData::Load(WriteFile("object.json", R"({"characterEditors": [{"templateAssetIndex": {"value": 0}}]})")).IsValid());
	EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Warning),
		(TArray<FString>{"Failed to parse JSON into UHCCharacterDescriptorData", "Failed to parse JSON into UHCAssetCatalogData"}));
}

TEST_F(HCDataAssetsJson, EditorConfigurationFillsSectionsAndConstraints)
{
	UTexture2D* Skin = SkinTexture();
	const FString Path = WriteFile("config.json", FString::Printf(TEXT(R"({
		"version": 2, "rigShapePath": "Rig/Shape", "animationPath": "Rig/Anim",
		"meshAlbedos": [{"meshName": "Body", "texturePath": "Skin/T_Skin.png", "texture": "%s"}, {"meshName": "Eyes", "texture": null}],
		"segmentations": [{"displayName": "Face", "name": "face",
			"meshMasks": [{"meshName": "Body", "texturePath": "Masks/Face.png"}],
			"transformConstraints": [{"displayName": "Jaw", "value": 0.5,
				"range": {"defaultValue": 0.1, "minValue": -1, "maxValue": 2, "standardDeviation": 0.3},
				"boneTransformation": [{"boneName": "jaw", "invert": true, "transformation": 2,
					"range": {"minValue": -0.5, "maxValue": 0.5}}]}],
			"shapeConstraints": [{"displayName": "Nose", "uiWeight": {"x": 0.25, "y": -0.75}, "shapes": ["NoseLong"]},
				{"displayName": "Chin", "shapes": ["ChinIn", "ChinOut"]},
				{"displayName": "Mix", "shapes": ["A", "B", "C", "D", "E"]}],
			"targetSkinCompositionMeshes": ["Body", "Head"]}]
	})"), SkinTexturePath));
	const TStrongObjectPtr<UHCCharacterEditorConfigData> Config = UHCCharacterEditorConfigData::Load(Path);
	ASSERT_TRUE(Config.IsValid());
	EXPECT_EQ(Config->version, 2);
	EXPECT_EQ(Config->rigShapePath, "Rig/Shape");
	EXPECT_EQ(Config->animationPath, "Rig/Anim");
	ASSERT_EQ(Config->meshAlbedos.Num(), 2);
	EXPECT_EQ(Config->meshAlbedos[0].texture.Get(), Skin);
	EXPECT_EQ(Config->meshAlbedos[1].texture.Get(), nullptr);

	ASSERT_EQ(Config->segmentations.Num(), 1);
	const FHCCharacterEditorSegmentation& Face = Config->segmentations[0];
	EXPECT_EQ(Face.displayName, "Face");
	EXPECT_EQ(Face.name, "face");
	EXPECT_EQ(Face.meshMasks[0].texturePath, "Masks/Face.png");
	const FHCTransformConstraint& Jaw = Face.transformConstraints[0];
	EXPECT_FLOAT_EQ(Jaw.value, 0.5f);
	EXPECT_FLOAT_EQ(Jaw.range.defaultValue, 0.1f);
	EXPECT_FLOAT_EQ(Jaw.range.minValue, -1.0f);
	EXPECT_FLOAT_EQ(Jaw.range.maxValue, 2.0f);
	EXPECT_FLOAT_EQ(Jaw.range.standardDeviation, 0.3f);
	EXPECT_EQ(Jaw.boneTransformation[0].boneName, "jaw");
	EXPECT_TRUE(Jaw.boneTransformation[0].invert);
	EXPECT_EQ(Jaw.boneTransformation[0].transformation, 2);
	EXPECT_FLOAT_EQ(Jaw.boneTransformation[0].range.defaultValue, 0.0f);
	EXPECT_FLOAT_EQ(Jaw.boneTransformation[0].range.maxValue, 0.5f);
	ASSERT_EQ(Face.shapeConstraints.Num(), 3);
	EXPECT_FLOAT_EQ(Face.shapeConstraints[0].uiWeight.x, 0.25f);
	EXPECT_FLOAT_EQ(Face.shapeConstraints[0].uiWeight.y, -0.75f);
	EXPECT_EQ(Face.shapeConstraints[0].shapes.Num(), 1);
	EXPECT_EQ(Face.shapeConstraints[1].shapes, (TArray<FString>{"ChinIn", "ChinOut"}));
	EXPECT_EQ(Face.shapeConstraints[2].shapes.Num(), 5);
	EXPECT_EQ(Face.targetSkinCompositionMeshes, (TArray<FString>{"Body", "Head"}));
}

TEST_F(HCDataAssetsJson, SkinCompositionFillsStacksAndHandlers)
{
	UTexture2D* Picker = PickerTexture();
	const FString Path = WriteFile("skin.json", FString::Printf(TEXT(R"({"version": 1, "components": [{
		"meshes": ["Body", "Head"],
		"processorStacks": [
			{"name": "Base", "materialKey": "_BaseColorMap", "processors": [
				{"name": "Albedo", "type": "ImageTexture", "blendMode": "", "intParams": [-1, 2], "floatParams": [0.5],
					"stringParams": ["Skin/T_Base.png"], "textureReferences": ["/Game/VorpexTests/Json/NotInMemory.NotInMemory", null]},
				{"type": "Colorize", "blendMode": "LinearDodge"}]},
			{"name": "Mask", "materialKey": ""}],
		"handlers": [{"type": "PixelPickerElement", "displayName": "Skin tone", "stack": 0, "process": 1, "field": "Color",
			"intParams": [9], "floatParams": [0.25, -0.5], "stringParams": ["x"], "textureParams": ["%s"]}]
	}]})"), PickerTexturePath));
	const TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> Skin = UHCCharacterEditorSkinCompositionData::Load(Path);
	ASSERT_TRUE(Skin.IsValid());
	EXPECT_EQ(Skin->version, 1);
	ASSERT_EQ(Skin->components.Num(), 1);
	const FHCCharacterEditorSkinCompositionComponent& Component = Skin->components[0];
	EXPECT_EQ(Component.meshes, (TArray<FString>{"Body", "Head"}));
	ASSERT_EQ(Component.processorStacks.Num(), 2);
	EXPECT_EQ(Component.processorStacks[1].materialKey, "");
	const FHCCharacterEditorSkinCompositionProcessor& Albedo = Component.processorStacks[0].processors[0];
	EXPECT_EQ(Albedo.type, "ImageTexture");
	EXPECT_EQ(Albedo.intParams, (TArray<int32>{-1, 2}));
	EXPECT_EQ(Albedo.floatParams, (TArray<float>{0.5f}));
	EXPECT_EQ(Albedo.stringParams, (TArray<FString>{"Skin/T_Base.png"}));
	// Soft references keep their path and load nothing, so a path not in memory is no error.
	ASSERT_EQ(Albedo.textureReferences.Num(), 2);
	EXPECT_EQ(Albedo.textureReferences[0].ToSoftObjectPath().ToString(), "/Game/VorpexTests/Json/NotInMemory.NotInMemory");
	EXPECT_EQ(Albedo.textureReferences[0].Get(), nullptr);
	EXPECT_TRUE(Albedo.textureReferences[1].IsNull());
	EXPECT_EQ(Component.processorStacks[0].processors[1].blendMode, "LinearDodge");

	ASSERT_EQ(Component.handlers.Num(), 1);
	const FHCCharacterEditorSkinCompositionHandler& Handler = Component.handlers[0];
	EXPECT_EQ(Handler.type, "PixelPickerElement");
	EXPECT_EQ(Handler.displayName, "Skin tone");
	EXPECT_EQ(Handler.stack, 0);
	EXPECT_EQ(Handler.process, 1);
	EXPECT_EQ(Handler.field, "Color");
	EXPECT_EQ(Handler.intParams, (TArray<int32>{9}));
	EXPECT_EQ(Handler.floatParams, (TArray<float>{0.25f, -0.5f}));
	EXPECT_EQ(Handler.stringParams, (TArray<FString>{"x"}));
	ASSERT_EQ(Handler.textureParams.Num(), 1);
	EXPECT_EQ(Handler.textureParams[0].Get(), Picker);
}

TEST_F(HCDataAssetsJson, ATexturePathThatGivesNoTextureFailsTheLoad)
{
	SkinTexture();
	UPackage* MeshPackage = CreatePackage(TEXT("/Game/VorpexTests/Json/SK_Body"));
	if (!FindObject<USkeletalMesh>(MeshPackage, TEXT("SK_Body")))
	{
		NewObject<USkeletalMesh>(MeshPackage, FName("SK_Body"))->AddToRoot();
	}

	FLogCapture Capture;
	EXPECT_FALSE(
		UHCAssetCatalogData::Load(WriteFile("a.json", R"({"textures": [{"texture": "/Game/VorpexTests/Json/T_Missing.T_Missing"}]})"))
			.IsValid());
	// A path to an object of another class is no texture either.
	EXPECT_FALSE(UHCAssetCatalogData::Load(WriteFile("b.json", R"({"textures": [{"texture": "/Game/VorpexTests/Json/SK_Body.SK_Body"}]})"))
					 .IsValid());
	EXPECT_FALSE(UHCCharacterEditorConfigData::Load(
		WriteFile("c.json", R"({"meshAlbedos": [{"meshName": "Body", "texture": "/Game/VorpexTests/Json/T_Missing.T_Missing"}]})"))
					 .IsValid());
	EXPECT_FALSE(UHCCharacterEditorSkinCompositionData::Load(
		WriteFile("d.json", FString::Printf(TEXT(R"({"components": [{"handlers": [{"textureParams": ["%s", "/Game/VorpexTests/Json/T_Missing.T_Missing"]}]}]})"),
								SkinTexturePath)))
					 .IsValid());
	EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Warning),
		(TArray<FString>{"Failed to parse JSON into UHCAssetCatalogData", "Failed to parse JSON into UHCAssetCatalogData",
			"Failed to parse JSON into UHCCharacterEditorConfigData", "Failed to parse JSON into UHCCharacterEditorSkinCompositionData"}));
}
