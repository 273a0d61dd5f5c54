#include "Animation/AnimSequence.h"
#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "AssetIOTestFolder.h"
#include "Components/SkeletalMeshComponent.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "GltfExporter.h"
#include "GltfImporter.h"
#include "GltfValidation.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "PngReader.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "RenderingThread.h"
#include "SkeletalRenderPublic.h"
#include "TextureResource.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{
	using FJson = nlohmann::json;

	constexpr int32 NumTestVertices = 8;

	FSkinWeightInfo Influences(std::initializer_list<std::pair<FBoneIndexType, uint16>> Bones)
	{
		FSkinWeightInfo Info;
		int32 Slot = 0;
		for (const auto& [Bone, Weight] : Bones)
		{
			Info.InfluenceBones[Slot] = Bone;
			Info.InfluenceWeights[Slot] = Weight;
			++Slot;
		}
		return Info;
	}

	/**
	 * Three bones: "root" at the origin, "spine" 10 up turned 30° about X, "head" 8 further
	 * along X. Section 0 (slot "Skin") is the quad of vertices 0-3, section 1 (slot "Eyes") the
	 * quad of vertices 4-7; every vertex has its own position, normal, two UV channels and
	 * colour. Weights: vertex 1 on spine, vertex 2 on three bones, vertex 4 on the head, the
	 * rest on the root with spine. "Smile" moves vertices 1 and 5 with their normals, "Frown"
	 * moves vertex 2.
	 */
	USkeletalMesh* MakeMesh(const TCHAR* Name, bool bCPUAccess = true)
	{
		USkeletalMesh* Mesh = NewObject<USkeletalMesh>(GetTransientPackage(), MakeUniqueObjectName(GetTransientPackage(), USkeletalMesh::StaticClass(), FName(Name)));
		FReferenceSkeleton RefSkeleton;
		{
			FReferenceSkeletonModifier Modifier(RefSkeleton, nullptr);
			Modifier.Add(FMeshBoneInfo(FName(TEXT("root")), TEXT("root"), INDEX_NONE), FTransform::Identity);
			Modifier.Add(FMeshBoneInfo(FName(TEXT("spine")), TEXT("spine"), 0), FTransform(FQuat(FVector(1, 0, 0), FMath::DegreesToRadians(30.0)), FVector(0, 0, 10)));
			Modifier.Add(FMeshBoneInfo(FName(TEXT("head")), TEXT("head"), 1), FTransform(FVector(8, 0, 0)));
		}
		Mesh->SetRefSkeleton(RefSkeleton);
		USkeleton* Skeleton = NewObject<USkeleton>(Mesh);
		Skeleton->MergeAllBonesToBoneTree(Mesh);
		Mesh->SetSkeleton(Skeleton);
		UMaterial* Skin = NewObject<UMaterial>(Mesh, FName(TEXT("M_Skin")));
		Skin->AddTextureParameter(FName(TEXT("BaseColor")), nullptr);
		Skin->AddTextureParameter(FName(TEXT("Mask")), nullptr);
		UMaterial* Eyes = NewObject<UMaterial>(Mesh, FName(TEXT("M_Eyes")));
		Mesh->SetMaterials({FSkeletalMaterial(Skin, FName(TEXT("Skin")), FName(TEXT("Skin"))), FSkeletalMaterial(Eyes, FName(TEXT("Eyes")), FName(TEXT("Eyes")))});

		Mesh->AllocateResourceForRendering();
		FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData.Emplace_GetRef();
		TArray<FVector3f> Positions;
		TArray<FColor> Colors;
		for (int32 Vertex = 0; Vertex < NumTestVertices; ++Vertex)
		{
			Positions.Add(FVector3f(float(Vertex % 2) * 10.0f + float(Vertex), float(Vertex / 2 % 2) * 10.0f - 3.0f, float(Vertex) * 2.5f));
			Colors.Add(FColor(uint8(30 * Vertex), uint8(255 - 20 * Vertex), uint8(7 + Vertex), uint8(255 - 9 * Vertex)));
		}
		LOD.StaticVertexBuffers.PositionVertexBuffer.Init(Positions, bCPUAccess);
		LOD.StaticVertexBuffers.StaticMeshVertexBuffer.Init(NumTestVertices, 2, bCPUAccess);
		LOD.StaticVertexBuffers.ColorVertexBuffer.InitFromColorArray(Colors, bCPUAccess);
		for (uint32 Vertex = 0; Vertex < NumTestVertices; ++Vertex)
		{
			const FVector3f Normal = FVector3f(0.2f * float(Vertex) - 0.7f, 0.3f, 1.0f).GetSafeNormal();
			const FVector3f Tangent = (FVector3f(1, 0, 0) - Normal * Normal.X).GetSafeNormal();
			const FVector3f Bitangent = (Normal ^ Tangent) * (Vertex % 3 == 0 ? -1.0f : 1.0f);
			LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexTangents(Vertex, Tangent, Bitangent, Normal);
			LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexUV(Vertex, 0, FVector2f(float(Vertex) / 8.0f, 0.25f));
			LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexUV(Vertex, 1, FVector2f(0.5f, 1.0f - float(Vertex) / 16.0f));
		}
		// Bone indices go through each section's bone map, which section 1 orders differently.
		LOD.SkinWeightVertexBuffer = TArray<FSkinWeightInfo>{Influences({{0, 40000}, {1, 25535}}), Influences({{1, 65535}}),
			Influences({{0, 30000}, {1, 20000}, {2, 15535}}), Influences({{0, 65535}}), Influences({{0, 65535}}), Influences({{1, 50000}, {2, 15535}}),
			Influences({{2, 65535}}), Influences({{1, 32768}, {2, 32767}})};
		FSkelMeshRenderSection& Body = LOD.RenderSections.AddDefaulted_GetRef();
		Body.NumVertices = 4;
		Body.NumTriangles = 2;
		Body.BoneMap = {0, 1, 2};
		FSkelMeshRenderSection& Face = LOD.RenderSections.AddDefaulted_GetRef();
		Face.MaterialIndex = 1;
		Face.BaseIndex = 6;
		Face.BaseVertexIndex = 4;
		Face.NumVertices = 4;
		Face.NumTriangles = 2;
		Face.BoneMap = {2, 0, 1};
		LOD.MultiSizeIndexContainer.RebuildIndexBuffer(sizeof(uint16), {0, 1, 2, 0, 2, 3, 4, 6, 5, 4, 7, 6});
		Mesh->SetImportedBounds(FBoxSphereBounds(FBox(TArray<FVector>{FVector(0, -3, 0), FVector(20, 7, 20)})));

		auto Delta = [](uint32 Vertex, FVector3f Position, FVector3f Normal)
		{
			FMorphTargetDelta Result;
			Result.SourceIdx = Vertex;
			Result.PositionDelta = Position;
			Result.TangentZDelta = Normal;
			return Result;
		};
		UMorphTarget* Smile = NewObject<UMorphTarget>(Mesh, FName(TEXT("Smile")));
		Smile->PopulateDeltas({Delta(5, FVector3f(0, 1.5f, -2), FVector3f(0.1f, 0, 0)), Delta(1, FVector3f(3, 0, 0), FVector3f(0, -0.2f, 0))}, 0, NumTestVertices);
		Mesh->RegisterMorphTarget(Smile);
		UMorphTarget* Frown = NewObject<UMorphTarget>(Mesh, FName(TEXT("Frown")));
		Frown->PopulateDeltas({Delta(2, FVector3f(0, 0, -4), FVector3f(0, 0, 0))}, 0, NumTestVertices);
		Mesh->RegisterMorphTarget(Frown);
		return Mesh;
	}

	/** The file's JSON chunk and binary chunk, read field by field as the .glb layout defines them. */
	struct FGlb
	{
		FJson Json;
		std::vector<uint8> Bin;

		explicit FGlb(const FString& Filename)
		{
			TArray<uint8> Bytes;
			EXPECT_TRUE(FFileHelper::LoadFileToArray(Bytes, *Filename));
			if (Bytes.Num() < 20 || std::memcmp(Bytes.GetData(), "glTF", 4) != 0)
			{
				ADD_FAILURE() << "not a .glb file";
				return;
			}
			auto Read32 = [&Bytes](int32 Offset) { uint32 Value; std::memcpy(&Value, Bytes.GetData() + Offset, 4); return Value; };
			EXPECT_EQ(Read32(8), uint32(Bytes.Num()));
			const uint32 JsonLength = Read32(12);
			Json = FJson::parse(std::string(reinterpret_cast<const char*>(Bytes.GetData()) + 20, JsonLength));
			const int32 BinOffset = 20 + int32(JsonLength);
			if (BinOffset + 8 <= Bytes.Num())
			{
				EXPECT_EQ(Read32(BinOffset + 4), 0x004E4942u);
				Bin.assign(Bytes.GetData() + BinOffset + 8, Bytes.GetData() + BinOffset + 8 + Read32(BinOffset));
			}
		}

		TArray<uint8> BufferView(int32 View) const
		{
			const FJson& Entry = Json["bufferViews"][View];
			const size_t Offset = Entry.value("byteOffset", size_t(0));
			return TArray<uint8>(Bin.data() + Offset, int32(Entry["byteLength"].get<size_t>()));
		}
	};

	FJson Validate(const FString& Filename)
	{
		return GltfValidation::Validate(Filename.ToStdString());
	}

	/** Per skeleton bone, its weight in 1/65535 units. */
	std::map<int32, int32> BoneWeights(const FSkeletalMeshLODRenderData& LOD, uint32 Vertex)
	{
		const FSkelMeshRenderSection& Section = LOD.RenderSections[LOD.FindSectionIndexForVertex(Vertex)];
		FSkinWeightInfo Info;
		LOD.SkinWeightVertexBuffer.GetVertexSkinWeights(Vertex, Info);
		std::map<int32, int32> Weights;
		for (int32 Slot = 0; Slot < MAX_TOTAL_INFLUENCES; ++Slot)
		{
			if (Info.InfluenceWeights[Slot] != 0)
			{
				Weights[Section.BoneMap[Info.InfluenceBones[Slot]]] += Info.InfluenceWeights[Slot];
			}
		}
		return Weights;
	}

	/** A 4 × 4 matrix in glTF's column-major order. */
	using FColumnMajor = std::array<double, 16>;

	FColumnMajor Multiply(const FColumnMajor& A, const FColumnMajor& B)
	{
		FColumnMajor Out{};
		for (int Row = 0; Row < 4; ++Row)
		{
			for (int Column = 0; Column < 4; ++Column)
			{
				for (int K = 0; K < 4; ++K)
				{
					Out[Column * 4 + Row] += A[K * 4 + Row] * B[Column * 4 + K];
				}
			}
		}
		return Out;
	}

	/** T × R × S of a node, as glTF composes them. */
	FColumnMajor NodeMatrix(const FJson& Node)
	{
		const FJson T = Node.value("translation", FJson({0.0, 0.0, 0.0}));
		const FJson R = Node.value("rotation", FJson({0.0, 0.0, 0.0, 1.0}));
		const FJson S = Node.value("scale", FJson({1.0, 1.0, 1.0}));
		const double X = R[0], Y = R[1], Z = R[2], W = R[3];
		const double Rotation[3][3] = {{1 - 2 * (Y * Y + Z * Z), 2 * (X * Y - Z * W), 2 * (X * Z + Y * W)},
			{2 * (X * Y + Z * W), 1 - 2 * (X * X + Z * Z), 2 * (Y * Z - X * W)}, {2 * (X * Z - Y * W), 2 * (Y * Z + X * W), 1 - 2 * (X * X + Y * Y)}};
		FColumnMajor M{};
		for (int Row = 0; Row < 3; ++Row)
		{
			for (int Column = 0; Column < 3; ++Column)
			{
				M[Column * 4 + Row] = Rotation[Row][Column] * S[Column].get<double>();
			}
			M[12 + Row] = T[Row];
		}
		M[15] = 1;
		return M;
	}

	bool NearlyEqual(const FVector4f& A, const FVector4f& B, float Tolerance)
	{
		return FMath::Abs(A.X - B.X) <= Tolerance && FMath::Abs(A.Y - B.Y) <= Tolerance && FMath::Abs(A.Z - B.Z) <= Tolerance && FMath::Abs(A.W - B.W) <= Tolerance;
	}

	std::map<uint32, FVector3f> PositionDeltas(const UMorphTarget* MorphTarget)
	{
		std::map<uint32, FVector3f> Deltas;
		int32 NumDeltas = 0;
		const FMorphTargetDelta* Data = MorphTarget->GetMorphTargetDelta(0, NumDeltas);
		for (int32 Index = 0; Index < NumDeltas; ++Index)
		{
			Deltas[Data[Index].SourceIdx] = Data[Index].PositionDelta;
		}
		return Deltas;
	}

	class GltfExportTest : public AssetIOTestFolder
	{
	protected:
		void SetUp() override
		{
			AssetIOTestFolder::SetUp();
			Mesh = MakeMesh(TEXT("SK_Character"));
			Component = NewObject<USkeletalMeshComponent>(GetTransientPackage(), MakeUniqueObjectName(GetTransientPackage(), USkeletalMeshComponent::StaticClass(), FName(TEXT("Body"))));
			Component->SetSkeletalMeshAsset(Mesh);
		}

		/** Exports Root to Name below the test folder, failing the test on an error. */
		FString Export(const USceneComponent* Root, const TCHAR* Name, const FGltfExportOptions& Options = FGltfExportOptions())
		{
			const FString Filename = RootDir() + TEXT("/") + Name;
			FString Error;
			EXPECT_TRUE(FGltfExporter::ExportComponent(Root, Filename, Options, Error)) << Error.ToStdString();
			return Filename;
		}

		USkeletalMesh* Import(const FString& Filename)
		{
			FString Error;
			USkeletalMesh* Imported = FGltfImporter::ImportSkeletalMesh(Filename, nullptr,
				MakeUniqueObjectName(GetTransientPackage(), USkeletalMesh::StaticClass(), FName(TEXT("SK_Imported"))), Error);
			EXPECT_NE(Imported, nullptr) << Error.ToStdString();
			return Imported;
		}

		static const FSkeletalMeshLODRenderData& LOD0(const USkeletalMesh* Of) { return Of->GetResourceForRendering()->LODRenderData[0]; }

		USkeletalMesh* Mesh = nullptr;
		USkeletalMeshComponent* Component = nullptr;
	};
}

TEST_F(GltfExportTest, AComponentWithAnAttachedChildPassesTheValidator)
{
	USkeletalMeshComponent* Child = NewObject<USkeletalMeshComponent>(GetTransientPackage(), FName(TEXT("Hat")));
	Child->SetSkeletalMeshAsset(MakeMesh(TEXT("SK_Hat")));
	Child->SetupAttachment(Component);
	Child->SetRelativeLocation(FVector(0, 0, 150));
	Component->SetRelativeLocation(FVector(500, 0, 0));
	const FString Filename = Export(Component, TEXT("Character.glb"));

	const FJson Report = Validate(Filename);
	EXPECT_EQ(Report.value("errors", -1), 0) << Report.dump(1);

	const FGlb Glb(Filename);
	ASSERT_EQ(Glb.Json["meshes"].size(), 2u);
	ASSERT_EQ(Glb.Json["skins"].size(), 2u);
	std::set<std::string> Names;
	for (const FJson& Node : Glb.Json["nodes"])
	{
		EXPECT_TRUE(Names.insert(FString(Node["name"].get<std::string>()).ToLower().ToStdString()).second) << "node names repeat: " << Node["name"];
	}
	EXPECT_TRUE(Names.contains("root") && Names.contains("root_1")) << "the child's bones are renamed, the root's kept";
	for (const FJson& Skin : Glb.Json["skins"])
	{
		// Every joint's parent is the skin's component node or a joint listed before it.
		std::set<int> Seen;
		for (const int Joint : Skin["joints"])
		{
			for (int Node = 0; Node < int(Glb.Json["nodes"].size()); ++Node)
			{
				const FJson Children = Glb.Json["nodes"][Node].value("children", FJson::array());
				if (std::find(Children.begin(), Children.end(), Joint) != Children.end())
				{
					EXPECT_TRUE(Node == Skin["skeleton"].get<int>() || Seen.contains(Node)) << "joint " << Joint << " comes before its parent " << Node;
				}
			}
			Seen.insert(Joint);
		}
	}
	// The child's node sits 150 cm above the root component, which is the file's origin: 1.5 m up in glTF.
	const FJson& HatNode = Glb.Json["nodes"][Glb.Json["skins"][1]["skeleton"].get<int>()];
	EXPECT_EQ(HatNode["name"], "Hat");
	EXPECT_EQ(HatNode["translation"], FJson({0.0, 1.5, 0.0}));
	EXPECT_EQ(Glb.Json["scenes"][0]["nodes"].size(), 4u);
	std::vector<std::string> Materials;
	for (const FJson& Material : Glb.Json["materials"])
	{
		Materials.push_back(Material["name"]);
	}
	EXPECT_EQ(Materials, std::vector<std::string>({"Skin", "Eyes", "Skin_1", "Eyes_1"}));
}

TEST_F(GltfExportTest, ImportingTheExportGivesTheMeshBack)
{
	USkeletalMesh* Imported = Import(Export(Component, TEXT("RoundTrip.glb")));
	ASSERT_NE(Imported, nullptr);

	const FReferenceSkeleton& Original = Mesh->GetRefSkeleton();
	const FReferenceSkeleton& Read = Imported->GetRefSkeleton();
	ASSERT_EQ(Read.GetNum(), Original.GetNum());
	for (int32 Bone = 0; Bone < Original.GetNum(); ++Bone)
	{
		EXPECT_EQ(Read.GetBoneName(Bone), Original.GetBoneName(Bone));
		EXPECT_EQ(Read.GetParentIndex(Bone), Original.GetParentIndex(Bone));
		EXPECT_TRUE(Read.GetRefBonePose()[Bone].Equals(Original.GetRefBonePose()[Bone], 1e-4)) << Read.GetRefBonePose()[Bone].ToString().ToStdString();
	}
	ASSERT_EQ(Imported->GetMaterials().Num(), 2);
	EXPECT_EQ(Imported->GetMaterials()[0].MaterialSlotName, FName(TEXT("Skin")));
	EXPECT_EQ(Imported->GetMaterials()[1].MaterialSlotName, FName(TEXT("Eyes")));

	const FSkeletalMeshLODRenderData& Before = LOD0(Mesh);
	const FSkeletalMeshLODRenderData& After = LOD0(Imported);
	ASSERT_EQ(After.GetNumVertices(), uint32(NumTestVertices));
	ASSERT_EQ(After.GetNumTexCoords(), 2u);
	ASSERT_EQ(After.RenderSections.Num(), 2);
	EXPECT_EQ(After.RenderSections[1].MaterialIndex, 1);
	for (uint32 Vertex = 0; Vertex < uint32(NumTestVertices); ++Vertex)
	{
		const FStaticMeshVertexBuffers& A = Before.StaticVertexBuffers;
		const FStaticMeshVertexBuffers& B = After.StaticVertexBuffers;
		EXPECT_TRUE(B.PositionVertexBuffer.VertexPosition(Vertex).Equals(A.PositionVertexBuffer.VertexPosition(Vertex), 1e-4f)) << Vertex;
		EXPECT_TRUE(NearlyEqual(B.StaticMeshVertexBuffer.VertexTangentZ(Vertex), A.StaticMeshVertexBuffer.VertexTangentZ(Vertex), 1e-5f)) << Vertex;
		EXPECT_TRUE(NearlyEqual(B.StaticMeshVertexBuffer.VertexTangentX(Vertex), A.StaticMeshVertexBuffer.VertexTangentX(Vertex), 1e-5f)) << Vertex;
		for (uint32 Channel = 0; Channel < 2; ++Channel)
		{
			EXPECT_EQ(B.StaticMeshVertexBuffer.GetVertexUV(Vertex, Channel), A.StaticMeshVertexBuffer.GetVertexUV(Vertex, Channel)) << Vertex;
		}
		EXPECT_EQ(B.ColorVertexBuffer.VertexColor(Vertex), A.ColorVertexBuffer.VertexColor(Vertex)) << Vertex;
		EXPECT_EQ(BoneWeights(After, Vertex), BoneWeights(Before, Vertex)) << Vertex;
	}
	TArray<uint32> IndicesBefore;
	TArray<uint32> IndicesAfter;
	Before.MultiSizeIndexContainer.GetIndexBuffer(IndicesBefore);
	After.MultiSizeIndexContainer.GetIndexBuffer(IndicesAfter);
	EXPECT_EQ(IndicesAfter, IndicesBefore);

	ASSERT_EQ(Imported->GetMorphTargets().Num(), 2);
	for (int32 Target = 0; Target < 2; ++Target)
	{
		EXPECT_EQ(Imported->GetMorphTargets()[Target]->GetName(), Mesh->GetMorphTargets()[Target]->GetName());
		const std::map<uint32, FVector3f> Expected = PositionDeltas(Mesh->GetMorphTargets()[Target]);
		const std::map<uint32, FVector3f> Actual = PositionDeltas(Imported->GetMorphTargets()[Target]);
		ASSERT_EQ(Actual.size(), Expected.size());
		for (const auto& [Vertex, Delta] : Expected)
		{
			EXPECT_TRUE(Actual.contains(Vertex) && Actual.at(Vertex).Equals(Delta, 1e-5f)) << "target " << Target << " vertex " << Vertex;
		}
	}
}

TEST_F(GltfExportTest, MorphTargetsCarryTheCurrentWeightsOrAreBakedIn)
{
	Component->SetMorphTarget(FName(TEXT("Smile")), 0.5f);
	const FGlb Kept(Export(Component, TEXT("Kept.glb")));
	const FJson& KeptMesh = Kept.Json["meshes"][0];
	EXPECT_EQ(KeptMesh["weights"], FJson({0.5, 0.0}));
	EXPECT_EQ(KeptMesh["extras"]["targetNames"], FJson({"Smile", "Frown"}));
	EXPECT_EQ(KeptMesh["primitives"][0]["targets"].size(), 2u);

	FGltfExportOptions Bake;
	Bake.bBakeMorphTargets = true;
	const FString Filename = Export(Component, TEXT("Baked.glb"), Bake);
	const FGlb Baked(Filename);
	EXPECT_FALSE(Baked.Json["meshes"][0].contains("weights"));
	EXPECT_FALSE(Baked.Json["meshes"][0]["primitives"][0].contains("targets"));
	EXPECT_EQ(Validate(Filename).value("errors", -1), 0);

	USkeletalMesh* Imported = Import(Filename);
	ASSERT_NE(Imported, nullptr);
	EXPECT_TRUE(Imported->GetMorphTargets().IsEmpty());
	const std::map<uint32, FVector3f> Smile = PositionDeltas(Mesh->FindMorphTarget(FName(TEXT("Smile"))));
	for (uint32 Vertex = 0; Vertex < uint32(NumTestVertices); ++Vertex)
	{
		const FVector3f Moved = Smile.contains(Vertex) ? Smile.at(Vertex) * 0.5f : FVector3f(0, 0, 0);
		const FVector3f Expected = LOD0(Mesh).StaticVertexBuffers.PositionVertexBuffer.VertexPosition(Vertex) + Moved;
		EXPECT_TRUE(LOD0(Imported).StaticVertexBuffers.PositionVertexBuffer.VertexPosition(Vertex).Equals(Expected, 1e-4f)) << Vertex;
	}
}

TEST_F(GltfExportTest, TheReferencePoseOverrideIsTheBindPose)
{
	TArray<FTransform> Pose = Mesh->GetRefSkeleton().GetRefBonePose();
	Pose[1] = FTransform(FQuat(FVector(0, 1, 0), FMath::DegreesToRadians(45.0)), FVector(2, 0, 12), FVector(1.25, 1.25, 1.25));
	Pose[2].SetTranslation(FVector(0, 6, 1));
	Component->SetRefPoseOverride(Pose);
	const FString Filename = Export(Component, TEXT("Override.glb"));
	EXPECT_EQ(Validate(Filename).value("errors", -1), 0);

	// Each inverse bind matrix undoes its joint's world matrix, which the node transforms make.
	const FGlb Glb(Filename);
	const FJson& Nodes = Glb.Json["nodes"];
	std::map<int, int> Parents;
	for (int Node = 0; Node < int(Nodes.size()); ++Node)
	{
		for (const int Child : Nodes[Node].value("children", FJson::array()))
		{
			Parents[Child] = Node;
		}
	}
	const FJson& Skin = Glb.Json["skins"][0];
	const FJson& Accessor = Glb.Json["accessors"][Skin["inverseBindMatrices"].get<int>()];
	const TArray<uint8> Bytes = Glb.BufferView(Accessor["bufferView"]);
	ASSERT_EQ(Bytes.Num(), int32(Skin["joints"].size() * 64));
	for (size_t Joint = 0; Joint < Skin["joints"].size(); ++Joint)
	{
		FColumnMajor World = NodeMatrix(Nodes[Skin["joints"][Joint].get<int>()]);
		for (auto Parent = Parents.find(Skin["joints"][Joint]); Parent != Parents.end(); Parent = Parents.find(Parent->second))
		{
			World = Multiply(NodeMatrix(Nodes[Parent->second]), World);
		}
		FColumnMajor Inverse;
		for (int Element = 0; Element < 16; ++Element)
		{
			float Value;
			std::memcpy(&Value, Bytes.GetData() + Joint * 64 + Element * 4, 4);
			Inverse[Element] = Value;
		}
		const FColumnMajor Product = Multiply(Inverse, World);
		for (int Element = 0; Element < 16; ++Element)
		{
			EXPECT_NEAR(Product[Element], Element % 5 == 0 ? 1.0 : 0.0, 1e-5) << "joint " << Joint << " element " << Element;
		}
	}

	USkeletalMesh* Imported = Import(Filename);
	ASSERT_NE(Imported, nullptr);
	for (int32 Bone = 0; Bone < Pose.Num(); ++Bone)
	{
		EXPECT_TRUE(Imported->GetRefSkeleton().GetRefBonePose()[Bone].Equals(Pose[Bone], 1e-4)) << Bone;
	}
	// The vertices are what the component shows in that pose.
	TArray<FFinalSkinVertex> Shown;
	Component->GetCPUSkinnedVertices(Shown, 0);
	for (uint32 Vertex = 0; Vertex < uint32(NumTestVertices); ++Vertex)
	{
		const FSkeletalMeshLODRenderData& LOD = LOD0(Imported);
		EXPECT_TRUE(LOD.StaticVertexBuffers.PositionVertexBuffer.VertexPosition(Vertex).Equals(Shown[int32(Vertex)].Position, 1e-3f)) << Vertex;
		const FVector4f Normal = LOD.StaticVertexBuffers.StaticMeshVertexBuffer.VertexTangentZ(Vertex);
		EXPECT_TRUE(FVector3f(Normal.X, Normal.Y, Normal.Z).Equals(FVector3f(Shown[int32(Vertex)].TangentZ.X, Shown[int32(Vertex)].TangentZ.Y, Shown[int32(Vertex)].TangentZ.Z), 1e-4f)) << Vertex;
	}
}

TEST_F(GltfExportTest, BoundTexturesAreEmbeddedAndRenderTargetsReadBack)
{
	// Texels travel CPU → texture → render target on the GPU → PNG in the file. The target is
	// sRGB, so its texels are written as stored (PngTest covers the encoding of linear ones).
	TArray<uint8> Texels;
	for (int32 Index = 0; Index < 4 * 2 * 4; ++Index)
	{
		Texels.Add(uint8(5 + Index * 7));
	}
	UTexture2D* Source = UTexture2D::CreateTransient(4, 2);
	FByteBulkData& Bulk = Source->GetPlatformData()->Mips[0].BulkData;
	std::memcpy(Bulk.Lock(LOCK_READ_WRITE), Texels.GetData(), Texels.Num());
	Bulk.Unlock();
	Source->UpdateResource();
	UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
	Target->RenderTargetFormat = RTF_RGBA8_SRGB;
	Target->InitAutoFormat(4, 2);
	ENQUEUE_RENDER_COMMAND(CopyIntoTarget)([Source, Target](FRHICommandListImmediate& RHICmdList) {
		RHICmdList.CopyTexture(Source->GetResource()->TextureRHI, Target->GetRenderTargetResource()->GetRenderTargetTexture(), FRHICopyTextureInfo());
	});
	UTexture2D* Mask = UTexture2D::CreateTransient(1, 1);
	UMaterialInstanceDynamic* Instance = UMaterialInstanceDynamic::Create(Mesh->GetMaterials()[0].MaterialInterface, Component);
	Instance->SetTextureParameterValue(FName(TEXT("BaseColor")), Target);
	Instance->SetTextureParameterValue(FName(TEXT("Mask")), Mask);
	Component->SetMaterial(0, Instance);

	const FString Filename = Export(Component, TEXT("Textured.glb"));
	EXPECT_EQ(Validate(Filename).value("errors", -1), 0);
	const FGlb Glb(Filename);
	ASSERT_EQ(Glb.Json["images"].size(), 2u);
	const FJson& Material = Glb.Json["materials"][0];
	EXPECT_EQ(Material["name"], "Skin");
	const int BaseColor = Material["pbrMetallicRoughness"]["baseColorTexture"]["index"];
	EXPECT_EQ(Material["extras"]["textureParameters"], FJson({{"BaseColor", BaseColor}, {"Mask", 1 - BaseColor}}));
	EXPECT_FALSE(Material.contains("normalTexture"));
	const FJson& Image = Glb.Json["images"][Glb.Json["textures"][BaseColor]["source"].get<int>()];
	EXPECT_EQ(Image["mimeType"], "image/png");
	int32 Width = 0;
	int32 Height = 0;
	TArray<uint8> Decoded;
	FString Error;
	ASSERT_TRUE(FPngReader::DecodeBGRA(Glb.BufferView(Image["bufferView"]), Width, Height, Decoded, Error)) << Error.ToStdString();
	EXPECT_EQ(Width, 4);
	EXPECT_EQ(Height, 2);
	EXPECT_EQ(Decoded, Texels);
	EXPECT_FALSE(Glb.Json["materials"][1].contains("extras")) << "the eyes' material has no texture bound";

	FGltfExportOptions NoTextures;
	NoTextures.bExportTextures = false;
	EXPECT_FALSE(FGlb(Export(Component, TEXT("Plain.glb"), NoTextures)).Json.contains("images"));
}

TEST_F(GltfExportTest, AnimationsRoundTripTheirKeys)
{
	UAnimSequence* Sequence = NewObject<UAnimSequence>();
	Sequence->SetSkeleton(Mesh->GetSkeleton());
	FRawAnimSequenceTrack Spine;
	FRawAnimSequenceTrack Head;
	for (int32 Key = 0; Key < 4; ++Key)
	{
		Spine.PosKeys.Add(FVector3f(0, float(Key), 10));
		Spine.RotKeys.Add(FQuat4f(FVector3f(1, 0, 0), 0.3f * float(Key)));
		Spine.ScaleKeys.Add(FVector3f(1, 1, 1 + 0.1f * float(Key)));
	}
	Head.PosKeys.Add(FVector3f(8, 0, 0));
	Head.RotKeys.Add(FQuat4f(FVector3f(0, 0, 1), 0.5f));
	Sequence->SetBoneTracks(1.5f, 4, {FName(TEXT("spine")), FName(TEXT("head"))}, {Spine, Head});

	const FString Filename = RootDir() + TEXT("/Wave.glb");
	FString Error;
	ASSERT_TRUE(FGltfExporter::ExportAnimation(Sequence, Filename, Error)) << Error.ToStdString();
	EXPECT_EQ(Validate(Filename).value("errors", -1), 0);
	UAnimSequence* Imported = FGltfImporter::ImportAnimation(Filename, nullptr, MakeUniqueObjectName(GetTransientPackage(), UAnimSequence::StaticClass(), FName(TEXT("A_Wave"))), Error);
	ASSERT_NE(Imported, nullptr) << Error.ToStdString();
	EXPECT_EQ(Imported->GetNumberOfSampledKeys(), 4);
	EXPECT_FLOAT_EQ(Imported->GetPlayLength(), 1.5f);
	ASSERT_EQ(Imported->GetAnimationTrackNames(), TArray<FName>({FName(TEXT("spine")), FName(TEXT("head"))}));
	for (int32 Track = 0; Track < 2; ++Track)
	{
		const FRawAnimSequenceTrack& Expected = Track == 0 ? Spine : Head;
		const FRawAnimSequenceTrack& Actual = Imported->GetRawAnimationData()[Track];
		ASSERT_EQ(Actual.PosKeys.Num(), 4);
		for (int32 Key = 0; Key < 4; ++Key)
		{
			const int32 Source = Expected.PosKeys.Num() == 1 ? 0 : Key;
			EXPECT_TRUE(Actual.PosKeys[Key].Equals(Expected.PosKeys[Source], 1e-4f)) << Track << " " << Key;
			EXPECT_TRUE(Actual.RotKeys[Key].Equals(Expected.RotKeys[Source], 1e-5f)) << Track << " " << Key;
			const FVector3f Scale = Expected.ScaleKeys.IsEmpty() ? FVector3f(1, 1, 1) : Expected.ScaleKeys[Source];
			EXPECT_TRUE(Actual.ScaleKeys[Key].Equals(Scale, 1e-5f)) << Track << " " << Key;
		}
	}

	// A single key lies at time 0; over a play length it is held to the end, so the length survives.
	for (const float PlayLength : {0.0f, 2.0f})
	{
		UAnimSequence* Still = NewObject<UAnimSequence>();
		Still->SetSkeleton(Mesh->GetSkeleton());
		Still->SetBoneTracks(PlayLength, 1, {FName(TEXT("head"))}, {Head});
		ASSERT_TRUE(FGltfExporter::ExportAnimation(Still, Filename, Error)) << Error.ToStdString();
		EXPECT_EQ(Validate(Filename).value("errors", -1), 0);
		const UAnimSequence* Read = FGltfImporter::ImportAnimation(Filename, nullptr, MakeUniqueObjectName(GetTransientPackage(), UAnimSequence::StaticClass(), FName(TEXT("A_Still"))), Error);
		ASSERT_NE(Read, nullptr) << Error.ToStdString();
		EXPECT_EQ(Read->GetPlayLength(), PlayLength);
		EXPECT_EQ(Read->GetNumberOfSampledKeys(), PlayLength > 0 ? 2 : 1);
		EXPECT_TRUE(Read->GetRawAnimationData()[0].RotKeys.Last().Equals(Head.RotKeys[0], 1e-5f));
	}
}

TEST_F(GltfExportTest, FailuresGiveAReasonAndLeaveNoFile)
{
	const FString Filename = RootDir() + TEXT("/Never.glb");
	FString Error;
	USkeletalMeshComponent* Empty = NewObject<USkeletalMeshComponent>(GetTransientPackage(), FName(TEXT("Empty")));
	EXPECT_FALSE(FGltfExporter::ExportComponent(Empty, Filename, FGltfExportOptions(), Error));
	EXPECT_EQ(Error, TEXT("neither Empty nor any component attached below it draws a skeletal mesh"));
	EXPECT_FALSE(FGltfExporter::ExportComponent(nullptr, Filename, FGltfExportOptions(), Error));

	USkeletalMeshComponent* Hidden = NewObject<USkeletalMeshComponent>(GetTransientPackage(), FName(TEXT("Hidden")));
	USkeletalMesh* GpuOnly = MakeMesh(TEXT("SK_GpuOnly"), false);
	GpuOnly->InitResources();
	FlushRenderingCommands();
	Hidden->SetSkeletalMeshAsset(GpuOnly);
	Hidden->SetupAttachment(Empty);
	EXPECT_FALSE(FGltfExporter::ExportComponent(Empty, Filename, FGltfExportOptions(), Error));
	EXPECT_TRUE(Error.Contains(TEXT("keeps no CPU copy"))) << Error.ToStdString();

	UTexture2D* Grey = UTexture2D::CreateTransient(2, 2, PF_G8);
	UMaterialInstanceDynamic* Instance = UMaterialInstanceDynamic::Create(Mesh->GetMaterials()[0].MaterialInterface, Component);
	Instance->SetTextureParameterValue(FName(TEXT("Mask")), Grey);
	Component->SetMaterial(0, Instance);
	EXPECT_FALSE(FGltfExporter::ExportComponent(Component, Filename, FGltfExportOptions(), Error));
	EXPECT_TRUE(Error.Contains(TEXT("texture parameter Mask")) && Error.Contains(TEXT("not in PF_B8G8R8A8"))) << Error.ToStdString();
	FGltfExportOptions NoTextures;
	NoTextures.bExportTextures = false;

	// A folder where the file should go cannot be replaced by it.
	const FString Taken = RootDir() + TEXT("/Taken.glb");
	std::filesystem::create_directories(Taken.ToStdString());
	EXPECT_FALSE(FGltfExporter::ExportComponent(Component, Taken, NoTextures, Error));
	EXPECT_EQ(Error, Taken + TEXT(" cannot be written"));
	EXPECT_TRUE(std::filesystem::is_directory(Taken.ToStdString()));

	UAnimSequence* Unbound = NewObject<UAnimSequence>();
	Unbound->SetBoneTracks(1.0f, 2, {FName(TEXT("spine"))}, {FRawAnimSequenceTrack{{FVector3f(0, 0, 0)}, {FQuat4f::Identity}, {}}});
	EXPECT_FALSE(FGltfExporter::ExportAnimation(Unbound, Filename, Error));
	EXPECT_TRUE(Error.Contains(TEXT("has no skeleton"))) << Error.ToStdString();
	UAnimSequence* Stray = NewObject<UAnimSequence>();
	Stray->SetSkeleton(Mesh->GetSkeleton());
	Stray->SetBoneTracks(1.0f, 2, {FName(TEXT("tail"))}, {FRawAnimSequenceTrack{{FVector3f(0, 0, 0)}, {FQuat4f::Identity}, {}}});
	EXPECT_FALSE(FGltfExporter::ExportAnimation(Stray, Filename, Error));
	EXPECT_TRUE(Error.Contains(TEXT("track for bone tail"))) << Error.ToStdString();
	EXPECT_FALSE(FGltfExporter::ExportAnimation(nullptr, Filename, Error));

	EXPECT_FALSE(FPaths::FileExists(Filename));
	EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Root), std::filesystem::directory_iterator()), 2) << "only Content/ and Taken.glb/";
}
