#include "Animation/AnimSequence.h"
#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "AssetIOTestFolder.h"
#include "AssetLoader.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "GltfImporter.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "RenderingThread.h"
#include "Templates/Casts.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <string>
#include <vector>

namespace
{
	using FJson = nlohmann::json;

	constexpr int FloatType = 5126;
	constexpr int UnsignedByteType = 5121;
	constexpr int UnsignedShortType = 5123;

	/**
	 * A glTF document written field by field with its one binary buffer, independently of the
	 * importer's reader. Accessors are tightly packed, one buffer view each.
	 */
	class FGltfDocument
	{
	public:
		FJson Json = {{"asset", {{"version", "2.0"}}}};
		std::vector<uint8> Bin;

		/** Appends Values as an accessor of Type ("VEC3", ...) with components of ComponentType; returns its index. */
		template <typename T>
		int Accessor(const std::vector<T>& Values, const char* Type, int ComponentType, bool bNormalized = false)
		{
			while (Bin.size() % 4 != 0)
			{
				Bin.push_back(0);
			}
			const size_t Offset = Bin.size();
			Bin.resize(Offset + Values.size() * sizeof(T));
			std::memcpy(Bin.data() + Offset, Values.data(), Values.size() * sizeof(T));
			const int Components = std::string(Type) == "SCALAR" ? 1 : Type[3] - '0';
			Json["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", Offset}, {"byteLength", Values.size() * sizeof(T)}});
			FJson Entry = {{"bufferView", Json["bufferViews"].size() - 1}, {"componentType", ComponentType}, {"count", Values.size() / Components}, {"type", Type}};
			if (bNormalized)
			{
				Entry["normalized"] = true;
			}
			Json["accessors"].push_back(Entry);
			return int(Json["accessors"].size()) - 1;
		}

		/** The document as .gltf text, the buffer embedded as a base64 data URI or, when given, at Uri. */
		TArray<uint8> Text(const std::string& Uri = std::string()) const
		{
			FJson Out = Json;
			Out["buffers"] = FJson::array({{{"byteLength", Bin.size()}, {"uri", Uri.empty() ? "data:application/octet-stream;base64," + Base64(Bin) : Uri}}});
			const std::string Dumped = Out.dump();
			return TArray<uint8>(reinterpret_cast<const uint8*>(Dumped.data()), int32(Dumped.size()));
		}

		/** The document as a .glb: header, JSON chunk, BIN chunk. */
		TArray<uint8> Binary() const
		{
			FJson Out = Json;
			Out["buffers"] = FJson::array({{{"byteLength", Bin.size()}}});
			std::string JsonChunk = Out.dump();
			while (JsonChunk.size() % 4 != 0)
			{
				JsonChunk.push_back(' ');
			}
			std::vector<uint8> BinChunk = Bin;
			while (BinChunk.size() % 4 != 0)
			{
				BinChunk.push_back(0);
			}
			TArray<uint8> Glb;
			auto Append32 = [&Glb](uint32 Value) { Glb.Append({uint8(Value), uint8(Value >> 8), uint8(Value >> 16), uint8(Value >> 24)}); };
			Glb.Append({'g', 'l', 'T', 'F'});
			Append32(2);
			Append32(uint32(12 + 8 + JsonChunk.size() + 8 + BinChunk.size()));
			Append32(uint32(JsonChunk.size()));
			Glb.Append({'J', 'S', 'O', 'N'});
			Glb.Append(reinterpret_cast<const uint8*>(JsonChunk.data()), int32(JsonChunk.size()));
			Append32(uint32(BinChunk.size()));
			Glb.Append({'B', 'I', 'N', 0});
			Glb.Append(BinChunk.data(), int32(BinChunk.size()));
			return Glb;
		}

	private:
		static std::string Base64(const std::vector<uint8>& Bytes)
		{
			static const char* Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
			std::string Out;
			for (size_t Index = 0; Index < Bytes.size(); Index += 3)
			{
				const uint32 Chunk = uint32(Bytes[Index]) << 16 | (Index + 1 < Bytes.size() ? uint32(Bytes[Index + 1]) << 8 : 0)
					| (Index + 2 < Bytes.size() ? uint32(Bytes[Index + 2]) : 0);
				Out += Alphabet[(Chunk >> 18) & 63];
				Out += Alphabet[(Chunk >> 12) & 63];
				Out += Index + 1 < Bytes.size() ? Alphabet[(Chunk >> 6) & 63] : '=';
				Out += Index + 2 < Bytes.size() ? Alphabet[Chunk & 63] : '=';
			}
			return Out;
		}
	};

	/**
	 * A two-joint character, in glTF's axes and metres:
	 *   node 0 "Armature" (not a joint) at (0, 0, 1), parent of node 1 "Hips" at (0, 1, 0),
	 *   parent of node 2 "Spine" at (1, 0, 0) turned 90° about +Y; node 3 holds the mesh and
	 *   skin 0, whose joints are listed child first: [Spine, Hips].
	 * Primitive 0 (material 1 "M_Cloth"): the quad (0,0,0) (1,0,0) (1,1,0) (0,1,0), two indexed
	 *   triangles, UVs (i / 4, 0.5), colours red, green, half-transparent blue, linear grey 0.5;
	 *   vertex 0 on Hips, 1 on Spine, 2 on Spine 3/4 + Hips 1/4, 3 half and half.
	 * Primitive 1 (material 0 "M_Skin"): one unindexed triangle at z = 1, all on Hips.
	 * Morph target 0 "Smile" lifts vertex 2 of primitive 0 by 1 cm; target 1 (unnamed) moves
	 *   vertex 0 of primitive 1 by 2 cm along +X.
	 * Animation 0: Hips translation (0, 1, 0) → (0, 2, 0) over keys 0 and 1 s; Spine rotation
	 *   identity, 45°, 90° about +Y at 0, 0.5, 1 s.
	 */
	FGltfDocument MakeCharacter()
	{
		FGltfDocument Doc;
		const float S = std::sqrt(0.5f);
		Doc.Json["nodes"] = {
			{{"name", "Armature"}, {"translation", {0, 0, 1}}, {"children", {1}}},
			{{"name", "Hips"}, {"translation", {0, 1, 0}}, {"children", {2}}},
			{{"name", "Spine"}, {"translation", {1, 0, 0}}, {"rotation", {0, S, 0, S}}},
			{{"name", "Body"}, {"mesh", 0}, {"skin", 0}},
		};
		Doc.Json["scenes"] = {{{"nodes", {0, 3}}}};
		Doc.Json["skins"] = {{{"joints", {2, 1}}}};
		Doc.Json["materials"] = {{{"name", "M_Skin"}}, {{"name", "M_Cloth"}}};

		FJson Quad;
		Quad["attributes"]["POSITION"] = Doc.Accessor<float>({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, "VEC3", FloatType);
		Quad["attributes"]["TEXCOORD_0"] = Doc.Accessor<float>({0, 0.5f, 0.25f, 0.5f, 0.5f, 0.5f, 0.75f, 0.5f}, "VEC2", FloatType);
		Quad["attributes"]["COLOR_0"] = Doc.Accessor<float>({1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0.5f, 0.5f, 0.5f, 0.5f, 1}, "VEC4", FloatType);
		Quad["attributes"]["JOINTS_0"] = Doc.Accessor<uint8>({1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0}, "VEC4", UnsignedByteType);
		Quad["attributes"]["WEIGHTS_0"] = Doc.Accessor<float>({1, 0, 0, 0, 1, 0, 0, 0, 0.75f, 0.25f, 0, 0, 0.5f, 0.5f, 0, 0}, "VEC4", FloatType);
		Quad["indices"] = Doc.Accessor<uint16>({0, 1, 2, 0, 2, 3}, "SCALAR", UnsignedShortType);
		Quad["material"] = 1;
		Quad["targets"] = {
			{{"POSITION", Doc.Accessor<float>({0, 0, 0, 0, 0, 0, 0, 0.01f, 0, 0, 0, 0}, "VEC3", FloatType)}},
			{{"POSITION", Doc.Accessor<float>({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "VEC3", FloatType)}},
		};
		FJson Triangle;
		Triangle["attributes"]["POSITION"] = Doc.Accessor<float>({0, 0, 1, 1, 0, 1, 0, 1, 1}, "VEC3", FloatType);
		Triangle["attributes"]["JOINTS_0"] = Doc.Accessor<uint16>({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4", UnsignedShortType);
		Triangle["attributes"]["WEIGHTS_0"] = Doc.Accessor<uint8>({255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0}, "VEC4", UnsignedByteType, true);
		Triangle["material"] = 0;
		Triangle["targets"] = {
			{{"POSITION", Doc.Accessor<float>({0, 0, 0, 0, 0, 0, 0, 0, 0}, "VEC3", FloatType)}},
			{{"POSITION", Doc.Accessor<float>({0.02f, 0, 0, 0, 0, 0, 0, 0, 0}, "VEC3", FloatType)}},
		};
		Doc.Json["meshes"] = {{{"primitives", {Quad, Triangle}}, {"extras", {{"targetNames", {"Smile"}}}}}};

		const float H = std::sin(UE_PI / 8);
		const float C = std::cos(UE_PI / 8);
		const int TwoKeys = Doc.Accessor<float>({0, 1}, "SCALAR", FloatType);
		const int ThreeKeys = Doc.Accessor<float>({0, 0.5f, 1}, "SCALAR", FloatType);
		Doc.Json["animations"] = {{
			{"samplers", {
				{{"input", TwoKeys}, {"output", Doc.Accessor<float>({0, 1, 0, 0, 2, 0}, "VEC3", FloatType)}},
				{{"input", ThreeKeys}, {"output", Doc.Accessor<float>({0, 0, 0, 1, 0, H, 0, C, 0, S, 0, S}, "VEC4", FloatType)}},
			}},
			{"channels", {
				{{"sampler", 0}, {"target", {{"node", 1}, {"path", "translation"}}}},
				{{"sampler", 1}, {"target", {{"node", 2}, {"path", "rotation"}}}},
			}},
		}};
		return Doc;
	}

	void ExpectNear(const FVector& Actual, const FVector& Expected, const char* What)
	{
		EXPECT_NEAR(Actual.X, Expected.X, 1e-3) << What;
		EXPECT_NEAR(Actual.Y, Expected.Y, 1e-3) << What;
		EXPECT_NEAR(Actual.Z, Expected.Z, 1e-3) << What;
	}
}

class GltfImportTest : public AssetIOTestFolder
{
protected:
	void SetUp() override
	{
		AssetIOTestFolder::SetUp();
		FAssetLoader::Install();
	}

	/** Imported meshes make their GPU copies on the rendering thread; that work must not outlive the test. */
	void TearDown() override
	{
		FlushRenderingCommands();
		AssetIOTestFolder::TearDown();
	}

	/** Writes Bytes as Content/Characters/<Name> and returns the /Game path of the asset. */
	FString Put(const std::string& Name, const TArray<uint8>& Bytes) const
	{
		WriteFile("Content/Characters/" + Name, Bytes);
		return FString(TEXT("/Game/Characters/")) + FString(std::string(Name.substr(0, Name.find('.'))));
	}

	/** Loads Path as Class and expects it to fail with one warning holding every one of Fragments. */
	void ExpectRefused(const UClass* Class, const FString& Path, std::initializer_list<const char*> Fragments)
	{
		FLogCapture Capture;
		EXPECT_EQ(FAssetLoader::LoadAsset(Class, Path), nullptr) << Path.ToStdString();
		const TArray<FString> Messages = AssetIOMessages(Capture);
		ASSERT_EQ(Messages.Num(), 1) << Path.ToStdString();
		for (const char* Fragment : Fragments)
		{
			EXPECT_NE(Messages[0].ToStdString().find(Fragment), std::string::npos) << Messages[0].ToStdString() << "\nlacks: " << Fragment;
		}
		EXPECT_EQ(StaticFindObject(UPackage::StaticClass(), nullptr, *Path), nullptr) << "a refused file leaves no package behind";
	}
};

TEST_F(GltfImportTest, SkeletonTakesTheJointsParentsFirstInEngineAxes)
{
	USkeletalMesh* Mesh = Cast<USkeletalMesh>(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Put("SK_Bones.gltf", MakeCharacter().Text())));
	ASSERT_NE(Mesh, nullptr);
	const FReferenceSkeleton& Skeleton = Mesh->GetRefSkeleton();
	ASSERT_EQ(Skeleton.GetNum(), 2);
	EXPECT_EQ(Skeleton.GetBoneName(0), FName(TEXT("Hips")));
	EXPECT_EQ(Skeleton.GetParentIndex(0), INDEX_NONE);
	EXPECT_EQ(Skeleton.GetBoneName(1), FName(TEXT("Spine")));
	EXPECT_EQ(Skeleton.GetParentIndex(1), 0);
	ASSERT_NE(Mesh->GetSkeleton(), nullptr);
	EXPECT_EQ(Mesh->GetSkeleton()->GetReferenceSkeleton().GetNum(), 2);

	// Hips: its own 1 m up plus the armature's 1 m forward, which is no bone and is folded in.
	const FTransform Hips = Skeleton.GetRefBonePose()[0];
	ExpectNear(Hips.GetTranslation(), FVector(100, 0, 100), "Hips translation");
	// Spine: glTF +X is the model's left, -Y here; a turn about glTF's up (+Y) is a turn about
	// +Z here, and it takes glTF +Z (forward, +X here) to glTF +X (-Y here).
	const FTransform Spine = Skeleton.GetRefBonePose()[1];
	ExpectNear(Spine.GetTranslation(), FVector(0, -100, 0), "Spine translation");
	ExpectNear(Spine.GetRotation().RotateVector(FVector(1, 0, 0)), FVector(0, -1, 0), "Spine forward");
	ExpectNear(Spine.GetRotation().RotateVector(FVector(0, 0, 1)), FVector(0, 0, 1), "Spine up");
	ExpectNear(Spine.GetScale3D(), FVector(1, 1, 1), "Spine scale");
}

TEST_F(GltfImportTest, PrimitivesBecomeSectionsWithTheirMaterialSlotsAndVertexData)
{
	USkeletalMesh* Mesh = Cast<USkeletalMesh>(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Put("SK_Sections.glb", MakeCharacter().Binary())));
	ASSERT_NE(Mesh, nullptr);
	ASSERT_EQ(Mesh->GetMaterials().Num(), 2);
	EXPECT_EQ(Mesh->GetMaterials()[0].MaterialSlotName, FName(TEXT("M_Skin")));
	EXPECT_EQ(Mesh->GetMaterials()[1].MaterialSlotName, FName(TEXT("M_Cloth")));
	EXPECT_NE(Mesh->GetMaterials()[1].MaterialInterface, nullptr);

	FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData[0];
	ASSERT_EQ(LOD.RenderSections.Num(), 2);
	const FSkelMeshRenderSection& Quad = LOD.RenderSections[0];
	const FSkelMeshRenderSection& Triangle = LOD.RenderSections[1];
	EXPECT_EQ(Quad.MaterialIndex, 1);
	EXPECT_EQ(Quad.BaseVertexIndex, 0u);
	EXPECT_EQ(Quad.NumVertices, 4u);
	EXPECT_EQ(Quad.NumTriangles, 2u);
	EXPECT_EQ(Triangle.MaterialIndex, 0);
	EXPECT_EQ(Triangle.BaseVertexIndex, 4u);
	EXPECT_EQ(Triangle.NumVertices, 3u);
	EXPECT_EQ(Triangle.BaseIndex, 6u);
	TArray<uint32> Indices;
	LOD.MultiSizeIndexContainer.GetIndexBuffer(Indices);
	// The mirrored axes reverse each triangle's corners; the second primitive's indices count from its first vertex.
	EXPECT_EQ(Indices, (TArray<uint32>{0, 2, 1, 0, 3, 2, 4, 6, 5}));

	const FPositionVertexBuffer& Positions = LOD.StaticVertexBuffers.PositionVertexBuffer;
	ASSERT_EQ(Positions.GetNumVertices(), 7u);
	EXPECT_TRUE(Positions.GetAllowCPUAccess());
	ExpectNear(FVector(Positions.VertexPosition(1)), FVector(0, -100, 0), "glTF (1, 0, 0)");
	ExpectNear(FVector(Positions.VertexPosition(2)), FVector(0, -100, 100), "glTF (1, 1, 0)");
	ExpectNear(FVector(Positions.VertexPosition(4)), FVector(100, 0, 0), "glTF (0, 0, 1)");
	const FStaticMeshVertexBuffer& Vertices = LOD.StaticVertexBuffers.StaticMeshVertexBuffer;
	EXPECT_EQ(Vertices.GetVertexUV(3, 0), FVector2f(0.75f, 0.5f));
	EXPECT_EQ(Vertices.GetVertexUV(5, 0), FVector2f(0, 0)) << "a primitive without UVs gets zeros";
	const FColorVertexBuffer& Colors = LOD.StaticVertexBuffers.ColorVertexBuffer;
	EXPECT_EQ(Colors.VertexColor(0), FColor(255, 0, 0, 255));
	// Alpha stays linear, quantised down as the engine's FLinearColor::ToFColor does (0.5 · 255.999).
	EXPECT_EQ(Colors.VertexColor(2), FColor(0, 0, 255, 127));
	// Linear 0.5 is 0.7354 once sRGB-encoded.
	EXPECT_EQ(Colors.VertexColor(3), FColor(188, 188, 188, 255));
	EXPECT_EQ(Colors.VertexColor(6), FColor::White) << "a primitive without colours is white";
	const FBoxSphereBounds Bounds = Mesh->GetImportedBounds();
	ExpectNear(Bounds.Origin - Bounds.BoxExtent, FVector(0, -100, 0), "bounds min");
	ExpectNear(Bounds.Origin + Bounds.BoxExtent, FVector(100, 0, 100), "bounds max");

	FlushRenderingCommands();
	EXPECT_TRUE(Positions.VertexBufferRHI.IsValid()) << "the GPU copies are made";
	EXPECT_TRUE(Colors.VertexBufferRHI.IsValid());
	EXPECT_EQ(Positions.GetVertexData() != nullptr, true) << "and the CPU copies kept";
}

TEST_F(GltfImportTest, SkinWeightsNameBonesAndSumToFull)
{
	USkeletalMesh* Mesh = Cast<USkeletalMesh>(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Put("SK_Weights.gltf", MakeCharacter().Text())));
	ASSERT_NE(Mesh, nullptr);
	const FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData[0];
	const FSkinWeightVertexBuffer& Weights = LOD.SkinWeightVertexBuffer;
	ASSERT_EQ(Weights.GetNumVertices(), 7u);
	for (uint32 Vertex = 0; Vertex < 7; ++Vertex)
	{
		FSkinWeightInfo Info;
		Weights.GetVertexSkinWeights(Vertex, Info);
		uint32 Sum = 0;
		for (const uint16 Weight : Info.InfluenceWeights)
		{
			Sum += Weight;
		}
		EXPECT_EQ(Sum, 65535u) << "vertex " << Vertex;
	}
	// The file's joint 0 is Spine (bone 1), joint 1 Hips (bone 0); the bone map is the identity.
	const FSkelMeshRenderSection& Quad = LOD.RenderSections[0];
	auto Bone = [&](uint32 Vertex, uint32 Influence) { return Quad.BoneMap[Weights.GetBoneIndex(Vertex, Influence)]; };
	EXPECT_EQ(Bone(0, 0), 0);
	EXPECT_EQ(Weights.GetBoneWeight(0, 0), 65535);
	EXPECT_EQ(Bone(1, 0), 1);
	EXPECT_EQ(Bone(2, 0), 1);
	EXPECT_EQ(Weights.GetBoneWeight(2, 0), 49151);
	EXPECT_EQ(Bone(2, 1), 0);
	EXPECT_EQ(Weights.GetBoneWeight(2, 1), 16384);
	EXPECT_EQ(Weights.GetBoneWeight(3, 0) + Weights.GetBoneWeight(3, 1), 65535) << "two halves round to one unit over; it is taken back";
	EXPECT_EQ(Bone(5, 0), 0) << "normalized byte weights of the second primitive";
	EXPECT_EQ(Weights.GetBoneWeight(5, 0), 65535);
}

TEST_F(GltfImportTest, MorphTargetsAreNamedAndHoldOnlyMovingVertices)
{
	USkeletalMesh* Mesh = Cast<USkeletalMesh>(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Put("SK_Morphs.glb", MakeCharacter().Binary())));
	ASSERT_NE(Mesh, nullptr);
	ASSERT_EQ(Mesh->GetMorphTargets().Num(), 2);
	int32 Index = INDEX_NONE;
	UMorphTarget* Smile = Mesh->FindMorphTargetAndIndex(FName(TEXT("Smile")), Index);
	ASSERT_NE(Smile, nullptr);
	EXPECT_EQ(Index, 0);
	EXPECT_EQ(Smile->BaseSkelMesh, Mesh);
	int32 NumDeltas = 0;
	const FMorphTargetDelta* Deltas = Smile->GetMorphTargetDelta(0, NumDeltas);
	ASSERT_EQ(NumDeltas, 1);
	EXPECT_EQ(Deltas[0].SourceIdx, 2u);
	ExpectNear(FVector(Deltas[0].PositionDelta), FVector(0, 0, 1), "1 cm up");
	EXPECT_EQ(Smile->GetMorphLODModels()[0].SectionIndices, TArray<int32>{0});
	EXPECT_EQ(Smile->GetMorphLODModels()[0].NumBaseMeshVerts, 7);

	UMorphTarget* Unnamed = Mesh->FindMorphTargetAndIndex(FName(TEXT("Morph1")), Index);
	ASSERT_NE(Unnamed, nullptr) << "a target without a name is named by its index";
	Deltas = Unnamed->GetMorphTargetDelta(0, NumDeltas);
	ASSERT_EQ(NumDeltas, 1);
	EXPECT_EQ(Deltas[0].SourceIdx, 4u) << "vertex 0 of the second primitive";
	ExpectNear(FVector(Deltas[0].PositionDelta), FVector(0, -2, 0), "2 cm along glTF +X");
	EXPECT_EQ(Unnamed->GetMorphLODModels()[0].SectionIndices, TArray<int32>{1});
}

TEST_F(GltfImportTest, AnimationKeysTakeTheFileSpacingAndTheRootFold)
{
	UAnimSequence* Sequence = Cast<UAnimSequence>(FAssetLoader::LoadAsset(UAnimSequence::StaticClass(), Put("A_Walk.gltf", MakeCharacter().Text())));
	ASSERT_NE(Sequence, nullptr);
	EXPECT_FLOAT_EQ(Sequence->GetPlayLength(), 1.0f);
	ASSERT_EQ(Sequence->GetNumberOfSampledKeys(), 3) << "keys at 0, 0.5 and 1 s";
	ASSERT_EQ(Sequence->GetAnimationTrackNames(), (TArray<FName>{FName(TEXT("Hips")), FName(TEXT("Spine"))}));
	const FRawAnimSequenceTrack& Hips = Sequence->GetRawAnimationData()[0];
	ASSERT_EQ(Hips.PosKeys.Num(), 3);
	ExpectNear(FVector(Hips.PosKeys[0]), FVector(100, 0, 100), "Hips at 0 s");
	ExpectNear(FVector(Hips.PosKeys[1]), FVector(100, 0, 150), "Hips at 0.5 s, interpolated");
	ExpectNear(FVector(Hips.PosKeys[2]), FVector(100, 0, 200), "Hips at 1 s");
	const FRawAnimSequenceTrack& Spine = Sequence->GetRawAnimationData()[1];
	ASSERT_EQ(Spine.RotKeys.Num(), 3);
	ExpectNear(FVector(Spine.RotKeys[0].RotateVector(FVector3f(1, 0, 0))), FVector(1, 0, 0), "Spine at 0 s");
	ExpectNear(FVector(Spine.RotKeys[1].RotateVector(FVector3f(1, 0, 0))), FVector(std::sqrt(0.5), -std::sqrt(0.5), 0), "Spine at 0.5 s");
	ExpectNear(FVector(Spine.RotKeys[2].RotateVector(FVector3f(1, 0, 0))), FVector(0, -1, 0), "Spine at 1 s");
	ExpectNear(FVector(Spine.PosKeys[2]), FVector(0, -100, 0), "an unanimated channel holds the node's own value");
}

TEST_F(GltfImportTest, UnevenKeysAreSampledThirtyTimesASecond)
{
	FGltfDocument Doc = MakeCharacter();
	const int Uneven = Doc.Accessor<float>({0, 0.3f, 1}, "SCALAR", FloatType);
	Doc.Json["animations"][0]["samplers"][1]["input"] = Uneven;
	UAnimSequence* Sequence = Cast<UAnimSequence>(FAssetLoader::LoadAsset(UAnimSequence::StaticClass(), Put("A_Uneven.gltf", Doc.Text())));
	ASSERT_NE(Sequence, nullptr);
	EXPECT_FLOAT_EQ(Sequence->GetPlayLength(), 1.0f);
	EXPECT_EQ(Sequence->GetNumberOfSampledKeys(), 31);
	// Key 9 is at 0.3 s, exactly the file's second rotation key (45°).
	const FQuat4f Key = Sequence->GetRawAnimationData()[1].RotKeys[9];
	ExpectNear(FVector(Key.RotateVector(FVector3f(1, 0, 0))), FVector(std::sqrt(0.5), -std::sqrt(0.5), 0), "Spine at 0.3 s");
}

TEST_F(GltfImportTest, GamePathsGiveTheSameObjectAndTheRequestedKind)
{
	const FString Path = Put("SK_Twice.glb", MakeCharacter().Binary());
	UObject* First = FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Path);
	ASSERT_NE(First, nullptr);
	EXPECT_EQ(First->GetPathName().ToStdString(), "/Game/Characters/SK_Twice.SK_Twice");
	EXPECT_EQ(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Path + TEXT(".SK_Twice")), First);
	EXPECT_EQ(FAssetLoader::LoadAsset(UObject::StaticClass(), Path), First);
	EXPECT_EQ(LoadObject<USkeletalMesh>(nullptr, *Path), First);

	// Any request that a mesh satisfies gets the mesh; only an animation request gets the animation.
	EXPECT_TRUE(FAssetLoader::LoadAsset(UObject::StaticClass(), Put("SK_Broad.gltf", MakeCharacter().Text()))->IsA(USkeletalMesh::StaticClass()));
	ExpectRefused(UTexture2D::StaticClass(), Put("SK_NotATexture.gltf", MakeCharacter().Text()), {"SK_NotATexture.gltf", "not a Texture2D"});
}

TEST_F(GltfImportTest, DirectImportNamesTheOuterAndRefusesATakenName)
{
	WriteFile("Body.glb", MakeCharacter().Binary());
	const FString Filename = RootDir() + TEXT("/Body.glb");
	UPackage* Package = CreatePackage(TEXT("/Temp/GltfDirect"));
	FString Error;
	USkeletalMesh* Mesh = FGltfImporter::ImportSkeletalMesh(Filename, Package, FName(TEXT("SK_Direct")), Error);
	ASSERT_NE(Mesh, nullptr) << Error.ToStdString();
	EXPECT_EQ(Mesh->GetOuter(), Package);
	EXPECT_EQ(FGltfImporter::ImportSkeletalMesh(Filename, Package, FName(TEXT("SK_Direct")), Error), nullptr);
	EXPECT_NE(Error.ToStdString().find("already holds an object called SK_Direct"), std::string::npos) << Error.ToStdString();
	UAnimSequence* Sequence = FGltfImporter::ImportAnimation(Filename, Package, FName(TEXT("A_Direct")), Error);
	ASSERT_NE(Sequence, nullptr) << Error.ToStdString();
	EXPECT_EQ(Sequence->GetOuter(), Package);

	// Without a name each import gets its own, made from the file's.
	USkeletalMesh* First = FGltfImporter::ImportSkeletalMesh(Filename, Package, NAME_None, Error);
	USkeletalMesh* Second = FGltfImporter::ImportSkeletalMesh(Filename, Package, NAME_None, Error);
	ASSERT_TRUE(First && Second) << Error.ToStdString();
	EXPECT_NE(First, Second);
	EXPECT_TRUE(First->GetName().StartsWith(TEXT("Body")));
}

TEST_F(GltfImportTest, DamagedFilesAreRefusedWithTheirReason)
{
	TArray<uint8> Glb = MakeCharacter().Binary();
	Glb.SetNum(Glb.Num() / 2);
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Half.glb", Glb), {"SK_Half.glb", "not a valid glTF binary file"});

	const std::string NotJson = "this is not JSON";
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Text.gltf", TArray<uint8>(reinterpret_cast<const uint8*>(NotJson.data()), int32(NotJson.size()))),
		{"SK_Text.gltf", "not a valid glTF text file"});
	const std::string OtherJson = R"({"name": "a settings file", "values": [1, 2, 3]})";
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Other.gltf", TArray<uint8>(reinterpret_cast<const uint8*>(OtherJson.data()), int32(OtherJson.size()))),
		{"SK_Other.gltf"});
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Empty.glb", {}), {"SK_Empty.glb"});

	FGltfDocument PastTheEnd = MakeCharacter();
	PastTheEnd.Json["accessors"][0]["count"] = 40;
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_PastTheEnd.glb", PastTheEnd.Binary()), {"SK_PastTheEnd.glb", "accessor 0", "reaches past the end of buffer view 0"});

	// An accessor without a buffer view is all zeros, so nothing in the file backs its count.
	FGltfDocument Huge = MakeCharacter();
	Huge.Json["accessors"][0].erase("bufferView");
	Huge.Json["accessors"][0]["count"] = 1000000000;
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Huge.gltf", Huge.Text()), {"SK_Huge.gltf", "accessor 0", "more than can be imported"});

	FGltfDocument FarOffset = MakeCharacter();
	FarOffset.Json["accessors"][0]["byteOffset"] = 4000000000u;
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_FarOffset.gltf", FarOffset.Text()), {"SK_FarOffset.gltf"});

	FGltfDocument NoAccessor = MakeCharacter();
	NoAccessor.Json["meshes"][0]["primitives"][0]["indices"] = 99;
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_NoAccessor.gltf", NoAccessor.Text()), {"SK_NoAccessor.gltf"});

	FGltfDocument BadIndex = MakeCharacter();
	const int Indices = BadIndex.Accessor<uint16>({0, 1, 9}, "SCALAR", UnsignedShortType);
	BadIndex.Json["meshes"][0]["primitives"][0]["indices"] = Indices;
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_BadIndex.glb", BadIndex.Binary()), {"primitive 0 has a vertex index 9 past its 4 vertices"});

	FGltfDocument BadJoint = MakeCharacter();
	const int Joints = BadJoint.Accessor<uint16>({5, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4", UnsignedShortType);
	BadJoint.Json["meshes"][0]["primitives"][1]["attributes"]["JOINTS_0"] = Joints;
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_BadJoint.glb", BadJoint.Binary()), {"primitive 1 vertex 0 names joint 5, but the skin has 2 joints"});

	FGltfDocument NoWeight = MakeCharacter();
	const int Zero = NoWeight.Accessor<uint8>({0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0}, "VEC4", UnsignedByteType, true);
	NoWeight.Json["meshes"][0]["primitives"][1]["attributes"]["WEIGHTS_0"] = Zero;
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_NoWeight.glb", NoWeight.Binary()), {"primitive 1 vertex 0 has no skin weight"});

	FGltfDocument Unskinned = MakeCharacter();
	Unskinned.Json["nodes"][3].erase("skin");
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Unskinned.gltf", Unskinned.Text()), {"SK_Unskinned.gltf", "no skinned mesh"});

	FGltfDocument Cycle = MakeCharacter();
	Cycle.Json["nodes"][2]["children"] = {0};
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Cycle.gltf", Cycle.Text()), {"SK_Cycle.gltf", "its own ancestor"});

	FGltfDocument Still = MakeCharacter();
	Still.Json.erase("animations");
	ExpectRefused(UAnimSequence::StaticClass(), Put("A_Still.gltf", Still.Text()), {"A_Still.gltf", "no animation"});

	FGltfDocument Backwards = MakeCharacter();
	const int Times = Backwards.Accessor<float>({1, 0}, "SCALAR", FloatType);
	Backwards.Json["animations"][0]["samplers"][0]["input"] = Times;
	ExpectRefused(UAnimSequence::StaticClass(), Put("A_Backwards.gltf", Backwards.Text()), {"A_Backwards.gltf", "out of order"});
}

TEST_F(GltfImportTest, BufferFilesAreReadOnlyFromBesideTheFile)
{
	const FGltfDocument Doc = MakeCharacter();
	const TArray<uint8> Bin(Doc.Bin.data(), int32(Doc.Bin.size()));
	WriteFile("Content/Characters/Body.bin", Bin);
	EXPECT_NE(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Put("SK_Beside.gltf", Doc.Text("Body.bin"))), nullptr);

	WriteFile("Secret.bin", Bin);
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Outside.gltf", Doc.Text("../../Secret.bin")), {"SK_Outside.gltf", "outside the glTF file's folder"});
	ExpectRefused(USkeletalMesh::StaticClass(), Put("SK_Absolute.gltf", Doc.Text(RootDir().ToStdString() + "/Secret.bin")), {"SK_Absolute.gltf"});
}

TEST_F(GltfImportTest, NamesTakenTwiceAreMadeUnique)
{
	FGltfDocument Doc = MakeCharacter();
	Doc.Json["nodes"][2]["name"] = "HIPS";
	Doc.Json["materials"][1]["name"] = "M_Skin";
	Doc.Json["meshes"][0]["extras"]["targetNames"] = {"Skeleton", "skeleton"};
	USkeletalMesh* Mesh = Cast<USkeletalMesh>(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Put("SK_Twins.gltf", Doc.Text())));
	ASSERT_NE(Mesh, nullptr);
	// Names ignore letter case, so "HIPS" is taken and gets its node index.
	EXPECT_EQ(Mesh->GetRefSkeleton().GetBoneName(1), FName(TEXT("HIPS_2")));
	EXPECT_EQ(Mesh->GetRefSkeleton().FindBoneIndex(FName(TEXT("Hips"))), 0);
	EXPECT_EQ(Mesh->GetMaterials()[1].MaterialSlotName, FName(TEXT("M_Skin_1")));
	ASSERT_EQ(Mesh->GetMorphTargets().Num(), 2);
	EXPECT_EQ(Mesh->GetMorphTargets()[0]->GetFName(), FName(TEXT("Skeleton")));
	EXPECT_EQ(Mesh->GetMorphTargets()[1]->GetFName(), FName(TEXT("skeleton_1")));
	ASSERT_NE(Mesh->GetSkeleton(), nullptr) << "the skeleton object does without the name a morph target took";
	EXPECT_EQ(Mesh->GetSkeleton()->GetReferenceSkeleton().GetNum(), 2);
}

TEST_F(GltfImportTest, NodeMatricesGiveTheSamePoseAsTranslationRotationScale)
{
	FGltfDocument Doc = MakeCharacter();
	// Spine as a column-major matrix: 90° about +Y, the local X axis stretched twice, at (1, 0, 0).
	Doc.Json["nodes"][2].erase("translation");
	Doc.Json["nodes"][2].erase("rotation");
	Doc.Json["nodes"][2]["matrix"] = {0, 0, -2, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1};
	USkeletalMesh* Mesh = Cast<USkeletalMesh>(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), Put("SK_Matrix.gltf", Doc.Text())));
	ASSERT_NE(Mesh, nullptr);
	const FTransform Spine = Mesh->GetRefSkeleton().GetRefBonePose()[1];
	ExpectNear(Spine.GetTranslation(), FVector(0, -100, 0), "Spine translation");
	ExpectNear(Spine.GetRotation().RotateVector(FVector(1, 0, 0)), FVector(0, -1, 0), "Spine forward");
	// glTF's X is the engine's Y, so the stretch lands on Y.
	ExpectNear(Spine.GetScale3D(), FVector(1, 2, 1), "Spine scale");
}

TEST_F(GltfImportTest, StepAndCubicSplineSamplersAreFollowed)
{
	FGltfDocument Step = MakeCharacter();
	Step.Json["animations"][0]["samplers"][0]["interpolation"] = "STEP";
	UAnimSequence* Held = Cast<UAnimSequence>(FAssetLoader::LoadAsset(UAnimSequence::StaticClass(), Put("A_Step.gltf", Step.Text())));
	ASSERT_NE(Held, nullptr);
	ExpectNear(FVector(Held->GetRawAnimationData()[0].PosKeys[1]), FVector(100, 0, 100), "a step holds the first key until the second");
	ExpectNear(FVector(Held->GetRawAnimationData()[0].PosKeys[2]), FVector(100, 0, 200), "and takes the second at its time");

	// Per key: in-tangent, value, out-tangent. Leaving key 0 at 4 m/s upwards, the Hermite curve
	// is at 0.5 · 1 + 0.125 · 4 + 0.5 · 2 = 2 m halfway, where a straight line would be at 1.5 m.
	FGltfDocument Cubic = MakeCharacter();
	const int Output = Cubic.Accessor<float>({0, 0, 0, 0, 1, 0, 0, 4, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, "VEC3", FloatType);
	Cubic.Json["animations"][0]["samplers"][0]["interpolation"] = "CUBICSPLINE";
	Cubic.Json["animations"][0]["samplers"][0]["output"] = Output;
	UAnimSequence* Curved = Cast<UAnimSequence>(FAssetLoader::LoadAsset(UAnimSequence::StaticClass(), Put("A_Cubic.gltf", Cubic.Text())));
	ASSERT_NE(Curved, nullptr);
	ExpectNear(FVector(Curved->GetRawAnimationData()[0].PosKeys[1]), FVector(100, 0, 200), "Hips halfway on the curve");
	ExpectNear(FVector(Curved->GetRawAnimationData()[0].PosKeys[2]), FVector(100, 0, 200), "Hips at the last key");

	FGltfDocument Unknown = MakeCharacter();
	Unknown.Json["animations"][0]["samplers"][0]["interpolation"] = "BOUNCE";
	ExpectRefused(UAnimSequence::StaticClass(), Put("A_Bounce.gltf", Unknown.Text()), {"A_Bounce.gltf", "unknown interpolation 'BOUNCE'"});
}
