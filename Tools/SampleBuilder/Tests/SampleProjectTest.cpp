// The committed sample project: its data loads, everything it names exists, its names agree
// across files, and the builder reproduces it byte for byte from the source data.

#include "Animation/AnimSequence.h"
#include "Animation/MorphTarget.h"
#include "AssetLoader.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "GltfImporter.h"
#include "GltfValidation.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/PackageName.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "Misc/Paths.h"
#include "RenderingThread.h"
#include "SampleDataFiles.h"
#include "SampleLayout.h"
#include "SampleProjectBuilder.h"
#include "SampleShapes.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace
{
	const FString ProjectDir(VORPEX_SAMPLE_PROJECT);
	const FString Content = ProjectDir / TEXT("Content");

	FString ContentFile(const TCHAR* Name, const TCHAR* Extension)
	{
		return SampleLayout::File(Content, Name, Extension);
	}

	/** Every string of a JSON document, depth first. */
	void CollectStrings(const nlohmann::json& Json, std::vector<std::string>& Out)
	{
		if (Json.is_string())
		{
			Out.push_back(Json.get<std::string>());
		}
		for (const auto& Item : Json)
		{
			if (Json.is_structured())
			{
				CollectStrings(Item, Out);
			}
		}
	}

	nlohmann::json ReadJson(const FString& Filename)
	{
		std::ifstream Stream(*Filename);
		return nlohmann::json::parse(Stream);
	}

	TSet<FString> LowerMorphNames(const USkeletalMesh& Mesh)
	{
		TSet<FString> Names;
		for (const UMorphTarget* Morph : Mesh.GetMorphTargets())
		{
			Names.Add(Morph->GetName().ToLower());
		}
		return Names;
	}

	class SampleProjectTest : public ::testing::Test
	{
	protected:
		static void SetUpTestSuite()
		{
			FAssetLoader::Install();
			FPackageName::RegisterMountPoint(TEXT("/Game/"), Content);
		}

		static void TearDownTestSuite() { FPackageName::UnRegisterMountPoint(TEXT("/Game/"), Content); }

		// Imports and texture loads queue GPU uploads; they finish before the test ends, so no
		// render command is still starting the driver when the process exits.
		void TearDown() override { FlushRenderingCommands(); }

		static USkeletalMesh* ImportMesh(const TCHAR* Name)
		{
			FString Error;
			USkeletalMesh* Mesh = FGltfImporter::ImportSkeletalMesh(ContentFile(Name, TEXT(".glb")), nullptr, NAME_None, Error);
			EXPECT_NE(Mesh, nullptr) << *Error;
			return Mesh;
		}
	};

	TEST_F(SampleProjectTest, EveryDataFileLoadsThroughItsDataAsset)
	{
		const TStrongObjectPtr<UHCAssetCatalogData> Catalog = UHCAssetCatalogData::Load(ContentFile(SampleLayout::AssetCatalog, TEXT(".json")));
		const TStrongObjectPtr<UHCCharacterDescriptorData> Descriptor =
			UHCCharacterDescriptorData::Load(ContentFile(SampleLayout::CharacterDescriptor, TEXT(".json")));
		const TStrongObjectPtr<UHCCharacterEditorConfigData> Config = UHCCharacterEditorConfigData::Load(ContentFile(SampleLayout::EditorConfig, TEXT(".json")));
		const TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> Skin =
			UHCCharacterEditorSkinCompositionData::Load(ContentFile(SampleLayout::SkinComposition, TEXT(".json")));
		ASSERT_TRUE(Catalog.IsValid() && Descriptor.IsValid() && Config.IsValid() && Skin.IsValid());

		for (const FHCTexture& Texture : Catalog->textures)
		{
			EXPECT_NE(Texture.texture, nullptr) << *Texture.path;
		}
		EXPECT_EQ(Catalog->shapeAssets.Num(), SampleShapes::GetTargets().Num() + 1);
		int32 Characters = 0;
		for (const FHCGroups& Group : Descriptor->groups)
		{
			Characters += Group.characters.Num();
		}
		EXPECT_GE(Descriptor->groups.Num(), 2);
		EXPECT_GE(Characters, 5);

		// One-shape, two-shape and polygon sliders all occur.
		std::set<int32> ShapeCounts;
		for (const FHCCharacterEditorSegmentation& Segmentation : Config->segmentations)
		{
			for (const FHCShapeConstraints& Constraint : Segmentation.shapeConstraints)
			{
				ShapeCounts.insert(FMath::Min(Constraint.shapes.Num(), 3));
			}
		}
		EXPECT_GE(Config->segmentations.Num(), 4);
		EXPECT_EQ(ShapeCounts, (std::set<int32>{1, 2, 3}));

		for (const TCHAR* Name : {SampleLayout::TightsCullMasks, SampleLayout::SkirtCullMasks})
		{
			const UHCAttachmentCullMaskData* CullMasks = LoadObject<UHCAttachmentCullMaskData>(nullptr, *SampleLayout::ObjectPath(Name));
			ASSERT_NE(CullMasks, nullptr) << Name;
			const TObjectPtr<UTexture2D>* Mask = CullMasks->NameToCullMap.Find(FSampleDataFiles::BodySlot);
			ASSERT_NE(Mask, nullptr);
			EXPECT_NE(Mask->Get(), nullptr);
		}
	}

	TEST_F(SampleProjectTest, EveryPathInTheDataNamesAFile)
	{
		std::vector<std::string> Strings;
		CollectStrings(ReadJson(ProjectDir / TEXT("project.json")), Strings);
		for (const auto& Entry : std::filesystem::recursive_directory_iterator(*Content))
		{
			if (Entry.path().extension() == ".json")
			{
				CollectStrings(ReadJson(FString(Entry.path().c_str())), Strings);
			}
		}
		int32 ObjectPaths = 0;
		for (const std::string& Text : Strings)
		{
			const FString Value(Text.c_str());
			if (Value.StartsWith(TEXT("/Game/")))
			{
				// "/Game/A/B.B" is Content/A/B with the extension of its kind.
				FString Package = Value.Mid(6);
				int32 Dot = INDEX_NONE;
				if (Package.FindLastChar(TEXT('.'), Dot))
				{
					Package = Package.Left(Dot);
				}
				const bool bFound = FPaths::FileExists(Content / Package + TEXT(".png")) || FPaths::FileExists(Content / Package + TEXT(".glb")) ||
									FPaths::FileExists(Content / Package + TEXT(".json"));
				EXPECT_TRUE(bFound) << Text;
				++ObjectPaths;
			}
			else if (Value.EndsWith(TEXT(".png")) || Value.EndsWith(TEXT(".glb")) || Value.EndsWith(TEXT(".bin")) || Value.EndsWith(TEXT(".json")))
			{
				// File paths are relative to the content folder, or for the skin composition's images to its own folder.
				const bool bFound = FPaths::FileExists(Content / Value) || FPaths::FileExists(Content / TEXT("Editor") / Value);
				EXPECT_TRUE(bFound) << Text;
			}
		}
		EXPECT_GT(ObjectPaths, 30);
	}

	TEST_F(SampleProjectTest, EveryShapeTheDataNamesIsAMorphTargetOfTheBodyAndGarmentsShareTheirs)
	{
		TStrongObjectPtr<USkeletalMesh> Body(ImportMesh(SampleLayout::BodyMesh));
		TStrongObjectPtr<USkeletalMesh> Tights(ImportMesh(SampleLayout::TightsMesh));
		TStrongObjectPtr<USkeletalMesh> Skirt(ImportMesh(SampleLayout::SkirtMesh));
		ASSERT_TRUE(Body.IsValid() && Tights.IsValid() && Skirt.IsValid());
		const TSet<FString> BodyMorphs = LowerMorphNames(*Body);
		EXPECT_EQ(BodyMorphs.Num(), SampleShapes::GetTargets().Num());

		const TStrongObjectPtr<UHCCharacterEditorConfigData> Config = UHCCharacterEditorConfigData::Load(ContentFile(SampleLayout::EditorConfig, TEXT(".json")));
		const TStrongObjectPtr<UHCCharacterDescriptorData> Descriptor =
			UHCCharacterDescriptorData::Load(ContentFile(SampleLayout::CharacterDescriptor, TEXT(".json")));
		ASSERT_TRUE(Config.IsValid() && Descriptor.IsValid());
		for (const FHCCharacterEditorSegmentation& Segmentation : Config->segmentations)
		{
			for (const FHCShapeConstraints& Constraint : Segmentation.shapeConstraints)
			{
				for (const FString& Shape : Constraint.shapes)
				{
					EXPECT_TRUE(BodyMorphs.Contains(Shape.ToLower())) << *Shape;
				}
			}
		}
		for (const FHCGroups& Group : Descriptor->groups)
		{
			for (const FHCCharacter& Character : Group.characters)
			{
				for (const FHCCharacterBlend& Blend : Character.blends)
				{
					for (const FHCShapeWeight& Weight : Blend.shapeWeights)
					{
						EXPECT_TRUE(BodyMorphs.Contains(Weight.name.ToLower())) << *Character.name << ": " << *Weight.name;
					}
				}
			}
		}
		// Garments carry the body's shapes that move them, and no others.
		for (const USkeletalMesh* Garment : {Tights.Get(), Skirt.Get()})
		{
			const TSet<FString> GarmentMorphs = LowerMorphNames(*Garment);
			for (const FString& Name : GarmentMorphs)
			{
				EXPECT_TRUE(BodyMorphs.Contains(Name)) << *Name;
			}
			EXPECT_TRUE(GarmentMorphs.Contains(TEXT("stomach-pregnant-incr"))) << *Garment->GetName();
			EXPECT_TRUE(GarmentMorphs.Contains(TEXT("hip-scale-horiz-incr"))) << *Garment->GetName();
			EXPECT_FALSE(GarmentMorphs.Contains(TEXT("nose-scale-horiz-incr"))) << *Garment->GetName();
		}
	}

	TEST_F(SampleProjectTest, MaterialSlotsMeshNamesAndCatalogAgree)
	{
		TStrongObjectPtr<USkeletalMesh> Body(ImportMesh(SampleLayout::BodyMesh));
		ASSERT_TRUE(Body.IsValid());
		// The editor binds a slot by its name lower-cased without "m_".
		TSet<FString> SlotNames, EditedMeshes;
		for (const FSkeletalMaterial& Material : Body->GetMaterials())
		{
			const FString Slot = Material.MaterialSlotName.ToString();
			SlotNames.Add(Slot);
			FString Key = Slot.ToLower();
			if (Key.StartsWith(TEXT("m_")))
			{
				Key = Key.Mid(2);
			}
			EditedMeshes.Add(Key);
		}
		EXPECT_EQ(SlotNames.Num(), 2);

		const TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> Skin =
			UHCCharacterEditorSkinCompositionData::Load(ContentFile(SampleLayout::SkinComposition, TEXT(".json")));
		const TStrongObjectPtr<UHCAssetCatalogData> Catalog = UHCAssetCatalogData::Load(ContentFile(SampleLayout::AssetCatalog, TEXT(".json")));
		const TStrongObjectPtr<UHCCharacterEditorConfigData> Config = UHCCharacterEditorConfigData::Load(ContentFile(SampleLayout::EditorConfig, TEXT(".json")));
		ASSERT_TRUE(Skin.IsValid() && Catalog.IsValid() && Config.IsValid());
		TSet<FString> ComposedMeshes;
		bool bLinearDodge = false, bArmToMads = false;
		for (const FHCCharacterEditorSkinCompositionComponent& Component : Skin->components)
		{
			for (const FString& Mesh : Component.meshes)
			{
				ComposedMeshes.Add(Mesh.ToLower());
			}
			for (const FHCCharacterEditorSkinCompositionProcessorStack& Stack : Component.processorStacks)
			{
				for (const FHCCharacterEditorSkinCompositionProcessor& Processor : Stack.processors)
				{
					bLinearDodge |= Processor.blendMode == TEXT("LinearDodge");
					bArmToMads |= Processor.stringParams.Num() == 1 && Processor.stringParams[0] == TEXT("ArmToMads");
				}
			}
		}
		EXPECT_TRUE(bLinearDodge && bArmToMads);
		EXPECT_EQ(ComposedMeshes.Num(), EditedMeshes.Num());
		for (const FString& Mesh : EditedMeshes)
		{
			EXPECT_TRUE(ComposedMeshes.Contains(Mesh)) << *Mesh;
		}
		for (const FHCCharacterEditorSegmentation& Segmentation : Config->segmentations)
		{
			for (const FString& Mesh : Segmentation.targetSkinCompositionMeshes)
			{
				EXPECT_TRUE(ComposedMeshes.Contains(Mesh.ToLower())) << *Mesh;
			}
		}
		// Composition finds each template part's material slot by its first material name.
		ASSERT_EQ(Catalog->templateAssets.Num(), 1);
		for (const FHCSkinnedRenderObject& Part : Catalog->templateAssets[0].skinnedRenderObjects)
		{
			ASSERT_FALSE(Part.materialNames.IsEmpty());
			EXPECT_TRUE(SlotNames.Contains(Part.materialNames[0])) << *Part.materialNames[0];
			EXPECT_TRUE(ComposedMeshes.Contains(Part.meshName.ToLower())) << *Part.meshName;
		}
	}

	TEST_F(SampleProjectTest, EveryGltfFilePassesTheValidator)
	{
		for (const TCHAR* Name : {SampleLayout::BodyMesh, SampleLayout::TightsMesh, SampleLayout::SkirtMesh, SampleLayout::ShapeRig})
		{
			const nlohmann::json Report = GltfValidation::Validate(ContentFile(Name, TEXT(".glb")).ToStdString());
			EXPECT_EQ(Report.value("errors", -1), 0) << Name << ": " << Report.dump();
		}
	}

	TEST_F(SampleProjectTest, TheRigAnimationHoldsTheReferenceSkeletonThenOneFramePerShape)
	{
		TStrongObjectPtr<USkeletalMesh> Body(ImportMesh(SampleLayout::BodyMesh));
		FString Error;
		TStrongObjectPtr<UAnimSequence> Rig(FGltfImporter::ImportAnimation(ContentFile(SampleLayout::ShapeRig, TEXT(".glb")), nullptr, NAME_None, Error));
		ASSERT_TRUE(Body.IsValid() && Rig.IsValid()) << *Error;
		EXPECT_EQ(Rig->GetNumberOfSampledKeys(), SampleShapes::GetTargets().Num() + 2);
		const FReferenceSkeleton& Skeleton = Body->GetRefSkeleton();
		const TArray<FName>& Names = Rig->GetAnimationTrackNames();
		EXPECT_EQ(Names.Num(), Skeleton.GetNum());
		bool bAShapeMovesAJoint = false;
		for (int32 Track = 0; Track < Names.Num(); ++Track)
		{
			const int32 Bone = Skeleton.FindBoneIndex(Names[Track]);
			ASSERT_NE(Bone, INDEX_NONE) << *Names[Track].ToString();
			const FRawAnimSequenceTrack& Keys = Rig->GetRawAnimationData()[Track];
			const FVector3f Reference(Skeleton.GetRefBonePose()[Bone].GetTranslation());
			EXPECT_TRUE(Keys.PosKeys[0].Equals(Reference, 1e-3f)) << *Names[Track].ToString();
			for (const FVector3f& Key : Keys.PosKeys)
			{
				bAShapeMovesAJoint |= !Key.Equals(Reference, 0.1f);
			}
			// The texture-only shape, last, keeps the reference skeleton.
			EXPECT_TRUE(Keys.PosKeys.Last().Equals(Reference, 1e-3f)) << *Names[Track].ToString();
		}
		EXPECT_TRUE(bAShapeMovesAJoint);
	}

	TEST_F(SampleProjectTest, EveryPointOfAGarmentsPointsFileIsABodyVertexBelowTheWaist)
	{
		TStrongObjectPtr<USkeletalMesh> Body(ImportMesh(SampleLayout::BodyMesh));
		ASSERT_TRUE(Body.IsValid());
		const FPositionVertexBuffer& Positions = Body->GetResourceForRendering()->LODRenderData[0].StaticVertexBuffers.PositionVertexBuffer;
		float Height = 0.0f;
		for (uint32 Vertex = 0; Vertex < Positions.GetNumVertices(); ++Vertex)
		{
			Height = FMath::Max(Height, Positions.VertexPosition(Vertex).Z);
		}
		for (const TCHAR* Name : {SampleLayout::TightsPoints, SampleLayout::SkirtPoints})
		{
			TArray<uint8> Bytes;
			ASSERT_TRUE(FFileHelper::LoadFileToArray(Bytes, *ContentFile(Name, TEXT(".bin"))));
			ASSERT_EQ(Bytes.Num() % 12, 0);
			const int32 NumPoints = Bytes.Num() / 12;
			EXPECT_GT(NumPoints, 500) << Name;
			for (int32 Point = 0; Point < NumPoints; ++Point)
			{
				float Xyz[3];
				std::memcpy(Xyz, Bytes.GetData() + Point * 12, 12);
				// The culling reads a file point (x, y, z) as the engine position (100 x, -100 z, 100 y).
				const FVector3f Engine(100.0f * Xyz[0], -100.0f * Xyz[2], 100.0f * Xyz[1]);
				bool bMatched = false;
				for (uint32 Vertex = 0; Vertex < Positions.GetNumVertices() && !bMatched; ++Vertex)
				{
					bMatched = FVector3f::DistSquared(Positions.VertexPosition(Vertex), Engine) < 0.001f * 0.001f;
				}
				ASSERT_TRUE(bMatched) << Name << " point " << Point;
				EXPECT_LT(Engine.Z, 0.62f * Height) << Name << " point " << Point;
			}
		}
	}

	TEST_F(SampleProjectTest, EveryAttachmentsVertexCacheIsWhatTheCullBuildMakesFromItsPointsFile)
	{
		const nlohmann::json Project = ReadJson(ProjectDir / TEXT("project.json"));
		const TStrongObjectPtr<USkeletalMesh> Body(LoadObject<USkeletalMesh>(nullptr, Project["body"].get<std::string>().c_str()));
		ASSERT_TRUE(Body.IsValid());
		const int32 Vertices = static_cast<int32>(Body->GetResourceForRendering()->LODRenderData[0].GetNumVertices());
		ASSERT_EQ(Project["attachments"].size(), 2u);
		for (const nlohmann::json& Attachment : Project["attachments"])
		{
			const FString CachePath(Attachment["vertexCache"].get<std::string>().c_str());
			SCOPED_TRACE(*CachePath);
			const TStrongObjectPtr<UHCAttachmentVertexCacheData> Loaded(LoadObject<UHCAttachmentVertexCacheData>(nullptr, *CachePath));
			ASSERT_TRUE(Loaded.IsValid());
			// The cache refers to the body the project loads, and to its points file as the project names it.
			EXPECT_EQ(Loaded->TargetSkeletalMesh.Get(), Body.Get());
			EXPECT_EQ(Loaded->BinFileDirectory, FString(Attachment["points"].get<std::string>().c_str()));
			ASSERT_EQ(Loaded->VertexOpacity.Num(), Vertices);
			EXPECT_GT(std::count(Loaded->VertexOpacity.begin(), Loaded->VertexOpacity.end(), 0.0f), 500);

			// Built again from that file on the loaded body, in its vertex order, it comes out the same.
			const TStrongObjectPtr<UHCAttachmentVertexCacheData> Rebuilt(NewObject<UHCAttachmentVertexCacheData>());
			Rebuilt->TargetSkeletalMesh = Body.Get();
			Rebuilt->BinFileDirectory = Content / Loaded->BinFileDirectory;
			Rebuilt->BuildData();
			EXPECT_TRUE(Rebuilt->VertexOpacity == Loaded->VertexOpacity);
		}
	}

	TEST_F(SampleProjectTest, TheBuilderReproducesTheCommittedSampleByteForByte)
	{
		const FString Source(SAMPLE_SOURCE_DIR);
		if (!FPaths::FileExists(Source / TEXT("base.obj")))
		{
			GTEST_SKIP() << "the source data is not on this machine: " << *Source;
		}
		const std::filesystem::path Fresh = std::filesystem::temp_directory_path() / "vorpex-sample-build";
		std::filesystem::remove_all(Fresh);
		FString Error;
		ASSERT_TRUE(FSampleProjectBuilder::Build(Source, FString(Fresh.c_str()), Error)) << *Error;

		auto ListFiles = [](const std::filesystem::path& Root)
		{
			std::set<std::string> Files;
			for (const auto& Entry : std::filesystem::recursive_directory_iterator(Root))
			{
				if (Entry.is_regular_file() && Entry.path().filename() != "README.md")
				{
					Files.insert(std::filesystem::relative(Entry.path(), Root).string());
				}
			}
			return Files;
		};
		const std::filesystem::path Committed(*ProjectDir);
		const std::set<std::string> Built = ListFiles(Fresh);
		ASSERT_EQ(Built, ListFiles(Committed));
		for (const std::string& File : Built)
		{
			TArray<uint8> A, B;
			ASSERT_TRUE(FFileHelper::LoadFileToArray(A, (Fresh / File).c_str()));
			ASSERT_TRUE(FFileHelper::LoadFileToArray(B, (Committed / File).c_str()));
			EXPECT_TRUE(A == B) << File << " differs from the committed sample; rebuild it with scripts/build-sample.sh";
		}
		std::filesystem::remove_all(Fresh);
	}
}
