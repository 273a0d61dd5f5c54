#include "SampleDataFiles.h"

#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "SampleLayout.h"
#include "SampleShapes.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace
{
	using FJson = nlohmann::ordered_json;

	std::string Utf8(const FString& Text)
	{
		return std::string(*Text);
	}

	std::string ObjectPath(const TCHAR* Name)
	{
		return Utf8(SampleLayout::ObjectPath(Name));
	}

	/** A stable identifier made from a name (FNV-1a spread over 128 bits), shaped like a GUID. */
	std::string MakeGuid(const char* Name)
	{
		uint64 Hashes[2] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull};
		for (const char* Char = Name; *Char; ++Char)
		{
			for (uint64& Hash : Hashes)
			{
				Hash = (Hash ^ uint8(*Char)) * 0x100000001b3ull;
			}
		}
		char Text[40];
		std::snprintf(Text, sizeof(Text), "%08X-%04X-%04X-%04X-%012llX", uint32(Hashes[0] >> 32), uint32(Hashes[0] >> 16) & 0xffffu,
			uint32(Hashes[0]) & 0xffffu, uint32(Hashes[1] >> 48), static_cast<unsigned long long>(Hashes[1] & 0xffffffffffffull));
		return Text;
	}

	/** The catalog's textures: content name and whether it holds linear data rather than colour. */
	struct FCatalogTexture
	{
		const TCHAR* Name;
		bool bLinear;
	};

	const FCatalogTexture CatalogTextures[] = {
		{SampleLayout::BodyAlbedo, false},
		{SampleLayout::HeadAlbedo, false},
		{SampleLayout::BodyAlbedoAged, false},
		{SampleLayout::HeadAlbedoAged, false},
		{SampleLayout::BodyAlbedoTanned, false},
		{SampleLayout::HeadAlbedoTanned, false},
		{SampleLayout::TightsAlbedoBlack, false},
		{SampleLayout::TightsAlbedoNavy, false},
		{SampleLayout::TightsNormal, true},
		{SampleLayout::TightsMask, true},
		{SampleLayout::SkirtAlbedoPlaid, false},
		{SampleLayout::SkirtAlbedoDenim, false},
		{SampleLayout::SkirtNormal, true},
		{SampleLayout::SkirtMask, true},
	};

	int32 TextureIndex(const TCHAR* Name)
	{
		for (int32 Index = 0; Index < int32(std::size(CatalogTextures)); ++Index)
		{
			if (FString(CatalogTextures[Index].Name) == FString(Name))
			{
				return Index;
			}
		}
		checkf(false, TEXT("%s is not a catalog texture"), Name);
		return INDEX_NONE;
	}

	FJson TextureExport(const char* Key, const char* Slot, std::initializer_list<const TCHAR*> Variations)
	{
		FJson Indices = FJson::array();
		for (const TCHAR* Variation : Variations)
		{
			Indices.push_back(TextureIndex(Variation));
		}
		return {{"key", Key}, {"isBlendable", std::string(Slot) == "ALBEDO"}, {"slot", Slot}, {"textureVariationIndices", Indices}};
	}

	FJson SkinMaterial(const TCHAR* Name, const TCHAR* Albedo)
	{
		return {{"name", Utf8(Name)}, {"shader", "Skin"}, {"textureExports", FJson::array({TextureExport("_BaseColorMap", "ALBEDO", {Albedo})})}};
	}

	FJson GarmentMaterial(const TCHAR* Name, std::initializer_list<const TCHAR*> Albedos, const TCHAR* Normal, const TCHAR* Mask)
	{
		return {{"name", Utf8(Name)}, {"shader", "Cloth"},
			{"textureExports", FJson::array({TextureExport("_BaseColorMap", "ALBEDO", Albedos), TextureExport("_NormalMap", "NORMAL", {Normal}),
								   TextureExport("_MaskMap", "MASK", {Mask})})}};
	}

	// Catalog positions the files refer to.
	enum EMesh
	{
		MeshBody,
		MeshTights,
		MeshSkirt
	};
	enum EMaterial
	{
		MaterialBody,
		MaterialHead,
		MaterialBodyAged,
		MaterialHeadAged,
		MaterialBodyTanned,
		MaterialHeadTanned,
		MaterialTights,
		MaterialSkirt
	};
	enum EDeformable
	{
		DeformableTights,
		DeformableSkirt
	};

	FJson RenderObject(EMesh Mesh, EMaterial Material, const char* MeshName, const TCHAR* Slot)
	{
		return {{"meshExportIndex", int32(Mesh)}, {"materialExportIndex", FJson::array({int32(Material)})}, {"meshName", MeshName},
			{"materialNames", FJson::array({Utf8(Slot)})}};
	}

	/** Position of a shape asset by name: the morph shapes in slider order, then the texture-only one. */
	int32 ShapeIndex(const FString& Name)
	{
		const TArray<FString> Targets = SampleShapes::GetTargets();
		for (int32 Index = 0; Index < Targets.Num(); ++Index)
		{
			if (SampleShapes::GetMorphName(*Targets[Index]) == Name)
			{
				return Index;
			}
		}
		checkf(Name == SampleShapes::TannedShape, TEXT("%s is not a sample shape"), *Name);
		return Targets.Num();
	}

	FJson MakeCatalog()
	{
		FJson Textures = FJson::array();
		for (const FCatalogTexture& Texture : CatalogTextures)
		{
			Textures.push_back({{"path", Utf8(FString(Texture.Name) + TEXT(".png"))}, {"isLinear", Texture.bLinear}, {"texture", ObjectPath(Texture.Name)}});
		}
		FJson Meshes = FJson::array({{{"name", "SK_Body"}, {"identifier", "body"}, {"submeshCount", 2}},
			{{"name", "SK_Tights"}, {"identifier", "helper-tights"}, {"submeshCount", 1}},
			{{"name", "SK_Skirt"}, {"identifier", "helper-skirt"}, {"submeshCount", 1}}});
		FJson Materials = FJson::array({SkinMaterial(FSampleDataFiles::BodySlot, SampleLayout::BodyAlbedo),
			SkinMaterial(FSampleDataFiles::HeadSlot, SampleLayout::HeadAlbedo), SkinMaterial(TEXT("M_Body_Aged"), SampleLayout::BodyAlbedoAged),
			SkinMaterial(TEXT("M_Head_Aged"), SampleLayout::HeadAlbedoAged), SkinMaterial(TEXT("M_Body_Tanned"), SampleLayout::BodyAlbedoTanned),
			SkinMaterial(TEXT("M_Head_Tanned"), SampleLayout::HeadAlbedoTanned),
			GarmentMaterial(FSampleDataFiles::TightsSlot, {SampleLayout::TightsAlbedoBlack, SampleLayout::TightsAlbedoNavy},
				SampleLayout::TightsNormal, SampleLayout::TightsMask),
			GarmentMaterial(FSampleDataFiles::SkirtSlot, {SampleLayout::SkirtAlbedoPlaid, SampleLayout::SkirtAlbedoDenim},
				SampleLayout::SkirtNormal, SampleLayout::SkirtMask)});
		FJson Templates = FJson::array({{{"assetGuid", MakeGuid("Human")}, {"assetName", "Human"}, {"path", ObjectPath(SampleLayout::BodyMesh)},
			{"LODData", FJson::array({{{"lodIndex", 0}, {"fbxPath", Utf8(FString(SampleLayout::BodyMesh) + TEXT(".glb"))}}})},
			{"skinnedRenderObjects", FJson::array({RenderObject(MeshBody, MaterialBody, "Body", FSampleDataFiles::BodySlot),
										 RenderObject(MeshBody, MaterialHead, "Head", FSampleDataFiles::HeadSlot)})}}});
		FJson Deformables = FJson::array({{{"assetName", "Tights"}, {"assetGuid", MakeGuid("Tights")}, {"path", ObjectPath(SampleLayout::TightsMesh)},
											  {"skinnedRenderObjects", FJson::array({RenderObject(MeshTights, MaterialTights, "Tights", FSampleDataFiles::TightsSlot)})},
											  {"templateIndex", 0}},
			{{"assetName", "Skirt"}, {"assetGuid", MakeGuid("Skirt")}, {"path", ObjectPath(SampleLayout::SkirtMesh)},
				{"skinnedRenderObjects", FJson::array({RenderObject(MeshSkirt, MaterialSkirt, "Skirt", FSampleDataFiles::SkirtSlot)})}, {"templateIndex", 0}}});
		FJson Shapes = FJson::array();
		for (const FString& Target : SampleShapes::GetTargets())
		{
			const FString Name = SampleShapes::GetMorphName(*Target);
			FJson RenderObjects = FJson::array();
			if (Name == SampleShapes::AgedShape)
			{
				RenderObjects = {RenderObject(MeshBody, MaterialBodyAged, "Body", FSampleDataFiles::BodySlot),
					RenderObject(MeshBody, MaterialHeadAged, "Head", FSampleDataFiles::HeadSlot)};
			}
			Shapes.push_back({{"assetName", Utf8(Name)}, {"path", Utf8(FString(TEXT("targets/")) + Target + TEXT(".target"))},
				{"skinnedRenderObjects", RenderObjects}, {"shapeIndex", ShapeIndex(Name)}, {"templateIndex", 0}});
		}
		Shapes.push_back({{"assetName", Utf8(SampleShapes::TannedShape)}, {"path", ""},
			{"skinnedRenderObjects", FJson::array({RenderObject(MeshBody, MaterialBodyTanned, "Body", FSampleDataFiles::BodySlot),
										 RenderObject(MeshBody, MaterialHeadTanned, "Head", FSampleDataFiles::HeadSlot)})},
			{"shapeIndex", ShapeIndex(SampleShapes::TannedShape)}, {"templateIndex", 0}});
		// An overlay: a beauty mark placed on the cheek of the head's albedo, in two sizes.
		FJson Overlays = FJson::array({{{"assetName", "BeautyMark"},
			{"overlayMaterialConnections",
				FJson::array({{{"materialIndex", int32(MaterialHead)},
					{"overlayAtlasInformations",
						FJson::array({{{"variantRegions",
							FJson::array({{{"textureIndex", TextureIndex(SampleLayout::HeadAlbedoAged)}, {"textureKey", "_BaseColorMap"},
											  {"sourceRect", {{"xMin", 300}, {"yMin", 120}, {"width", 8}, {"height", 8}}},
											  {"targetRect", {{"xMin", 300}, {"yMin", 120}, {"width", 8}, {"height", 8}}}},
								{{"textureIndex", TextureIndex(SampleLayout::HeadAlbedoAged)}, {"textureKey", "_BaseColorMap"},
									{"sourceRect", {{"xMin", 300}, {"yMin", 120}, {"width", 16}, {"height", 16}}},
									{"targetRect", {{"xMin", 296}, {"yMin", 116}, {"width", 16}, {"height", 16}}}}})}}})}}})},
			{"templateIndex", 0}}});
		FJson Editors = FJson::array({{{"characterEditorBasePath", "Editor"},
			{"characterEditorConfigPath", Utf8(FString(SampleLayout::EditorConfig) + TEXT(".json"))},
			{"characterEditorSegmentationPath", Utf8(FString(SampleLayout::SkinComposition) + TEXT(".json"))}, {"templateAssetIndex", "0"}}});
		return {{"textures", Textures}, {"meshes", Meshes}, {"materials", Materials}, {"templateAssets", Templates},
			{"deformableAssets", Deformables}, {"shapeAssets", Shapes}, {"overlayAssets", Overlays}, {"characterEditors", Editors}};
	}

	struct FWorn
	{
		EDeformable Asset;
		int32 Variation;
	};

	FJson Blend(std::initializer_list<std::pair<const char*, double>> ShapeWeights, std::initializer_list<std::pair<const char*, double>> TextureWeights,
		std::initializer_list<FWorn> Worn)
	{
		FJson Shapes = FJson::array();
		for (const auto& [Name, Weight] : ShapeWeights)
		{
			Shapes.push_back({{"name", Name}, {"index", ShapeIndex(FString(Name))}, {"weight", Weight}});
		}
		FJson Textures = FJson::array();
		for (const auto& [Name, Weight] : TextureWeights)
		{
			Textures.push_back({{"name", Name}, {"index", ShapeIndex(FString(Name))}, {"weight", Weight}});
		}
		FJson Garments = FJson::array();
		for (const FWorn& Garment : Worn)
		{
			const TCHAR* Component = Garment.Asset == DeformableTights ? FSampleDataFiles::TightsComponent : FSampleDataFiles::SkirtComponent;
			Garments.push_back({{"name", Utf8(Component)}, {"deformableAssetIndex", int32(Garment.Asset)}, {"variationIndex", Garment.Variation}});
		}
		return {{"templateAssetIndex", 0}, {"templateWeight", 1.0}, {"shapeWeights", Shapes}, {"textureWeights", Textures},
			{"deformableAssetsIndices", Garments}};
	}

	FJson Character(const char* Name, const char* Group, FJson Blends, FJson Overlays = FJson::array())
	{
		return {{"name", Name}, {"group", Group}, {"blends", Blends}, {"overlayAssetsIndices", Overlays}};
	}

	FJson MakeDescriptor()
	{
		FJson Everyday = FJson::array({
			Character("Ava", "Everyday",
				{Blend({{"bodyshapes-elvs-fem-full-hourglass", 0.6}, {"head-oval", 0.5}, {"nose-scale-horiz-decr", 0.3}}, {{"Tanned", 0.1}},
					{{DeformableTights, 0}, {DeformableSkirt, 0}})}),
			Character("Ben", "Everyday",
				{Blend({{"torso-scale-horiz-incr", 0.5}, {"head-square", 0.7}, {"chin-prominent-incr", 0.4}}, {{"Tanned", 0.6}},
					{{DeformableTights, 1}})}),
			Character("Cleo", "Everyday",
				{Blend({{"head-round", 0.4}, {"stomach-pregnant-incr", 0.3}, {"buttocks-volume-incr", 0.5}}, {{"Tanned", 0.3}},
					{{DeformableSkirt, 1}})},
				{{{"name", "BeautyMark"}, {"overlayAssetIndex", 0}, {"variationIndex", 1}}}),
		});
		FJson Elders = FJson::array({
			Character("Dora", "Elders",
				{Blend({{"head-age-incr", 1.0}, {"bodyshapes-elvs-fem-apple", 0.5}}, {{"head-age-incr", 0.8}},
					{{DeformableSkirt, 0}, {DeformableTights, 0}})}),
			Character("Eli", "Elders",
				{Blend({{"head-age-incr", 0.7}, {"head-triangular", 0.5}, {"neck-double-incr", 0.6}}, {{"head-age-incr", 0.5}, {"Tanned", 0.2}},
					{{DeformableTights, 1}})}),
			// Only the first blend is worn; the second is kept with the data.
			Character("Fay", "Elders",
				{Blend({{"asian-male-young", 0.5}, {"head-age-incr", 0.4}, {"eyebrows-trans-up", 0.6}}, {{"head-age-incr", 0.3}},
					 {{DeformableSkirt, 1}}),
					Blend({{"head-diamond", 1.0}}, {}, {})}),
		});
		return {{"groups", FJson::array({{{"characters", Everyday}}, {{"characters", Elders}}})}};
	}

	FJson Range(double Default, double Min, double Max, double Deviation)
	{
		return {{"defaultValue", Default}, {"minValue", Min}, {"maxValue", Max}, {"standardDeviation", Deviation}};
	}

	FJson MakeEditorConfig()
	{
		FJson Segmentations = FJson::array();
		for (const FSampleSegment& Segment : SampleShapes::GetSegments())
		{
			FJson Constraints = FJson::array();
			int32 SliderIndex = 0;
			for (const FSampleShapeSlider& Slider : SampleShapes::GetSliders())
			{
				if (FString(Slider.Segment) != FString(Segment.Name))
				{
					continue;
				}
				FJson Shapes = FJson::array();
				for (const TCHAR* Target : Slider.Targets)
				{
					Shapes.push_back(Utf8(SampleShapes::GetMorphName(Target)));
				}
				Constraints.push_back(
					{{"displayName", Utf8(Slider.DisplayName)}, {"uiWeight", {{"x", 0.0}, {"y", double(SliderIndex++)}}}, {"shapes", Shapes}});
			}
			FJson Entry = {{"displayName", Utf8(Segment.DisplayName)}, {"name", Utf8(Segment.Name)}, {"meshMasks", FJson::array()},
				{"transformConstraints", FJson::array()}, {"shapeConstraints", Constraints}, {"targetSkinCompositionMeshes", FJson::array()}};
			if (FString(Segment.Name) == TEXT("Skin"))
			{
				Entry["meshMasks"] = {{{"meshName", "Head"}, {"texturePath", Utf8(FString(SampleLayout::LipsMask) + TEXT(".png"))}},
					{{"meshName", "Body"}, {"texturePath", Utf8(FString(SampleLayout::NailsMask) + TEXT(".png"))}}};
				Entry["targetSkinCompositionMeshes"] = {"Body", "Head"};
			}
			if (FString(Segment.Name) == TEXT("Body"))
			{
				Entry["transformConstraints"] = {{{"displayName", "Spine Length"}, {"value", 0.0}, {"range", Range(0.0, -1.0, 1.0, 0.35)},
					{"boneTransformation", FJson::array({{{"boneName", "spine03"}, {"invert", false}, {"transformation", 0}, {"range", Range(0, -2, 2, 0.7)}},
											   {{"boneName", "spine01"}, {"invert", true}, {"transformation", 0}, {"range", Range(0, -1, 1, 0.35)}}})}}};
			}
			Segmentations.push_back(Entry);
		}
		return {{"version", 1}, {"rigShapePath", ObjectPath(SampleLayout::BodyMesh)}, {"animationPath", ObjectPath(SampleLayout::ShapeRig)},
			{"meshAlbedos", FJson::array({{{"meshName", "Body"}, {"texturePath", Utf8(FString(SampleLayout::BodyAlbedo) + TEXT(".png"))},
											 {"texture", ObjectPath(SampleLayout::BodyAlbedo)}},
								{{"meshName", "Head"}, {"texturePath", Utf8(FString(SampleLayout::HeadAlbedo) + TEXT(".png"))},
									{"texture", ObjectPath(SampleLayout::HeadAlbedo)}}})},
			{"segmentations", Segmentations}};
	}

	/** A skin composition image path: relative to the composition's own folder (Editor/). */
	std::string EditorImage(const TCHAR* Name)
	{
		return Utf8(FString(Name).Mid(FString(TEXT("Editor/")).Len()) + TEXT(".png"));
	}

	FJson Processor(const char* Name, const char* Type, const char* BlendMode, FJson Ints, FJson Strings)
	{
		return {{"name", Name}, {"type", Type}, {"blendMode", BlendMode}, {"intParams", Ints}, {"floatParams", FJson::array()},
			{"stringParams", Strings}, {"textureReferences", FJson::array()}};
	}

	FJson MaskStack(const char* Name, const TCHAR* Mask)
	{
		return {{"name", Name}, {"materialKey", ""},
			{"processors", FJson::array({Processor("Mask", "ImageTexture", "", FJson::array(), {EditorImage(Mask)})})}};
	}

	FJson Picker(const char* DisplayName, int32 Stack, int32 Process, double X, double Y, const TCHAR* Palette)
	{
		return {{"type", "PixelPickerElement"}, {"displayName", DisplayName}, {"stack", Stack}, {"process", Process}, {"field", "Color"},
			{"intParams", FJson::array()}, {"floatParams", {X, Y}}, {"stringParams", FJson::array()}, {"textureParams", {ObjectPath(Palette)}}};
	}

	/**
	 * The skin stack of one part: its detail image tinted by the skin tone, doubled back to full
	 * brightness ("LinearDodge" of its own colour), then each masked region tinted in turn. The
	 * "ArmToMads" entry converts no channels (the sample's masks are already laid out as the
	 * material reads them) and takes no interface position.
	 */
	FJson SkinStack(const TCHAR* Detail, std::initializer_list<std::pair<const char*, int32>> MaskedTints)
	{
		FJson Processors = FJson::array({Processor("Detail", "ImageTexture", "", FJson::array(), {EditorImage(Detail)}),
			Processor("SkinTone", "Colorize", "", FJson::array(), FJson::array()),
			Processor("Brighten", "Swizzle", "LinearDodge", {1, 2, 3, 0}, FJson::array()),
			Processor("ArmToMads", "Swizzle", "", FJson::array(), {"ArmToMads"})});
		for (const auto& [Name, MaskStackIndex] : MaskedTints)
		{
			Processors.push_back(Processor(Name, "Colorize", "", {MaskStackIndex}, FJson::array()));
		}
		return {{"name", "Skin"}, {"materialKey", "_BaseColorMap"}, {"processors", Processors}};
	}

	/** A stack that is one flat colour: a white canvas tinted by a picker (interface position 1). */
	FJson ColourStack(const char* Name)
	{
		return {{"name", Name}, {"materialKey", ""},
			{"processors", FJson::array({Processor("Canvas", "ImageTexture", "", FJson::array(), {EditorImage(SampleLayout::WhiteCanvas)}),
							   Processor("Colour", "Colorize", "", FJson::array(), FJson::array())})}};
	}

	FJson MakeSkinComposition()
	{
		// Interface positions in a skin stack: 0 the detail image, 1 the skin tone, 2 the brightening
		// swizzle, then the masked tints from 3 on ("ArmToMads" takes none).
		FJson Body = {{"meshes", {"Body"}},
			{"processorStacks", FJson::array({MaskStack("NailsMask", SampleLayout::NailsMask), SkinStack(SampleLayout::BodyDetail, {{"Nails", 0}})})},
			{"handlers", FJson::array({Picker("Skin Tone", 1, 1, -0.4, -0.2, SampleLayout::SkinTonePalette),
							 Picker("Nail Colour", 1, 3, 0.0, -0.9, SampleLayout::NailsPalette)})}};
		// The head also paints eye shadow over its lids: the colour stack's flat colour, laid over
		// the skin through the lids' mask (a source stack and a mask stack, no image of its own).
		FJson HeadSkin = SkinStack(SampleLayout::HeadDetail, {{"Lips", 0}, {"Brows", 1}});
		HeadSkin["processors"].push_back(Processor("EyeShadow", "ImageTexture", "", {3, 2}, FJson::array()));
		FJson Head = {{"meshes", {"Head"}},
			{"processorStacks", FJson::array({MaskStack("LipsMask", SampleLayout::LipsMask), MaskStack("BrowsMask", SampleLayout::BrowsMask),
									MaskStack("EyelidsMask", SampleLayout::EyelidsMask), ColourStack("EyeShadow"), HeadSkin})},
			{"handlers", FJson::array({Picker("Skin Tone", 4, 1, -0.4, -0.2, SampleLayout::SkinTonePalette),
							 Picker("Lip Colour", 4, 3, -0.2, 0.1, SampleLayout::LipsPalette),
							 Picker("Brow Colour", 4, 4, -0.5, 0.7, SampleLayout::BrowsPalette),
							 Picker("Eye Shadow", 3, 1, -0.8, -0.6, SampleLayout::EyeShadowPalette)})}};
		return {{"version", 1}, {"components", FJson::array({Body, Head})}};
	}

	FJson MakeCullMasks(const TCHAR* BodyMask)
	{
		return {{"NameToCullMap", {{Utf8(FSampleDataFiles::BodySlot), ObjectPath(BodyMask)}}}};
	}

	FJson MakeProject()
	{
		auto Attachment = [](const TCHAR* Component, const TCHAR* Mesh, const TCHAR* CullMasks, const TCHAR* VertexCache, const TCHAR* Points)
		{
			return FJson{{"component", Utf8(Component)}, {"mesh", ObjectPath(Mesh)}, {"cullMasks", ObjectPath(CullMasks)},
				{"vertexCache", ObjectPath(VertexCache)}, {"points", Utf8(FString(Points) + TEXT(".bin"))}};
		};
		return {{"name", "Human"}, {"description", "A human character built from CC0 base mesh data: a body, tights and a skirt, six characters."},
			{"catalog", ObjectPath(SampleLayout::AssetCatalog)}, {"descriptor", ObjectPath(SampleLayout::CharacterDescriptor)},
			{"editorConfig", ObjectPath(SampleLayout::EditorConfig)}, {"skinComposition", ObjectPath(SampleLayout::SkinComposition)},
			{"body", ObjectPath(SampleLayout::BodyMesh)}, {"animation", ObjectPath(SampleLayout::ShapeRig)},
			{"attachments", FJson::array({Attachment(FSampleDataFiles::TightsComponent, SampleLayout::TightsMesh, SampleLayout::TightsCullMasks,
											  SampleLayout::TightsVertexCache, SampleLayout::TightsPoints),
								Attachment(FSampleDataFiles::SkirtComponent, SampleLayout::SkirtMesh, SampleLayout::SkirtCullMasks,
									SampleLayout::SkirtVertexCache, SampleLayout::SkirtPoints)})}};
	}

	bool WriteJson(const FString& Filename, const FJson& Json, FString& OutError)
	{
		IFileManager::Get().MakeDirectory(*FPaths::GetPath(Filename), true);
		const std::string Text = Json.dump(2) + "\n";
		if (!FFileHelper::SaveStringToFile(FString(Text.c_str()), *Filename))
		{
			OutError = FString::Printf(TEXT("cannot write %s"), *Filename);
			return false;
		}
		return true;
	}
}

bool FSampleDataFiles::WriteAll(const FString& ProjectDir, FString& OutError)
{
	const FString Content = ProjectDir / TEXT("Content");
	auto Write = [&](const TCHAR* Name, const FJson& Json) { return WriteJson(SampleLayout::File(Content, Name, TEXT(".json")), Json, OutError); };
	return Write(SampleLayout::AssetCatalog, MakeCatalog()) && Write(SampleLayout::CharacterDescriptor, MakeDescriptor()) &&
		   Write(SampleLayout::EditorConfig, MakeEditorConfig()) && Write(SampleLayout::SkinComposition, MakeSkinComposition()) &&
		   Write(SampleLayout::TightsCullMasks, MakeCullMasks(SampleLayout::TightsBodyCullMask)) &&
		   Write(SampleLayout::SkirtCullMasks, MakeCullMasks(SampleLayout::SkirtBodyCullMask)) &&
		   WriteJson(ProjectDir / TEXT("project.json"), MakeProject(), OutError);
}
