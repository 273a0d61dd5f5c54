#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "Engine/SkeletalMesh.h"
#include "Materials/Material.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SampleMeshFactory.h"
#include "SampleTestFolder.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <algorithm>
#include <cmath>

namespace
{
	/**
	 * Two quads side by side, facing the source's +Z (engine +X): vertices 0..5 in a 3 x 2 grid
	 * (engine (0, -10 x, 10 y)), quads (0 1 4 3) and (1 2 5 4); plus a "joint-tip" triangle over
	 * 6..8. With bSeam the second quad gives vertices 1 and 4 texture coordinates of its own.
	 */
	std::string TwoQuadObj(bool bSeam)
	{
		return std::string("v 0 0 0\nv 1 0 0\nv 2 0 0\nv 0 1 0\nv 1 1 0\nv 2 1 0\nv 5 5 5\nv 6 5 5\nv 5 6 5\n")
			+ "vt 0 0\nvt 0.5 0\nvt 0.5 1\nvt 0 1\nvt 0.6 0\nvt 1 0\nvt 1 1\nvt 0.6 1\n"
			+ "g body\nf 1/1 2/2 5/3 4/4\n" + (bSeam ? "f 2/5 3/6 6/7 5/8\n" : "f 2/2 3/6 6/7 5/3\n") + "g joint-tip\nf 7/1 8/1 9/1\n";
	}

	class SampleMeshFactoryTest : public SampleTestFolder
	{
	protected:
		void Load(bool bSeam)
		{
			ASSERT_TRUE(Source.Load(Write("base.obj", TwoQuadObj(bSeam)), Error)) << *Error;
			ASSERT_TRUE(Skeleton.Load(Write("rig.mhskel", RigSkeletonJson()), Write("rig.mhw", RigWeightsJson()), Error)) << *Error;
			// Vertex 2 moves 10 cm forward; vertex 0 moves 1e-5 cm, below what counts.
			Morphs.AddDefaulted();
			ASSERT_TRUE(Morphs[0].Load(Write("bump.target", "2 0 0 1\n0 0.000001 0 0\n"), Error)) << *Error;
			Morphs.AddDefaulted();
			ASSERT_TRUE(Morphs[1].Load(Write("tip.target", "7 1 0 0\n"), Error)) << *Error;
		}

		USkeletalMesh* Make(const TArray<FSampleMaterialSlot>& Slots, const TCHAR* Name)
		{
			return FSampleMeshFactory::Make(Source, Source.FindGroup(TEXT("body")), Slots, Skeleton, Morphs, nullptr, FName(Name), Error, &SourceVertices);
		}

		static bool Exists(const TCHAR* Name) { return StaticFindObject(UObject::StaticClass(), GetTransientPackage(), Name) != nullptr; }

		FSampleSourceMesh Source;
		FSampleSkeleton Skeleton;
		TArray<FSampleMorphTarget> Morphs;
		TArray<int32> SourceVertices;
		FString Error;
	};

	int32 CountOf(const TArray<int32>& Values, int32 Value) { return int32(std::count(Values.begin(), Values.end(), Value)); }
}

TEST_F(SampleMeshFactoryTest, SplitsVerticesOnSeamsAndSlotsOnly)
{
	Load(false);
	USkeletalMesh* Whole = Make({{FName(TEXT("Skin")), nullptr}}, TEXT("SK_NoSeam"));
	ASSERT_NE(Whole, nullptr) << *Error;
	EXPECT_EQ(SourceVertices.Num(), 6);
	EXPECT_EQ(Whole->GetResourceForRendering()->LODRenderData[0].GetNumVertices(), 6u);

	// A slot border splits the shared edge's vertices (1 and 4) like a seam does.
	const TArray<FSampleMaterialSlot> TwoSlots = {
		{FName(TEXT("Left")), [](const FSampleSourceMesh::FFace& Face) { return Face.Vertices[0] == 0; }}, {FName(TEXT("Right")), nullptr}};
	USkeletalMesh* Split = Make(TwoSlots, TEXT("SK_TwoSlots"));
	ASSERT_NE(Split, nullptr) << *Error;
	const FSkeletalMeshLODRenderData& LOD = Split->GetResourceForRendering()->LODRenderData[0];
	ASSERT_EQ(LOD.RenderSections.Num(), 2);
	for (int32 Section = 0; Section < 2; ++Section)
	{
		EXPECT_EQ(LOD.RenderSections[Section].MaterialIndex, Section);
		EXPECT_EQ(LOD.RenderSections[Section].BaseVertexIndex, uint32(Section * 4));
		EXPECT_EQ(LOD.RenderSections[Section].NumVertices, 4u);
		EXPECT_EQ(LOD.RenderSections[Section].BaseIndex, uint32(Section * 6));
		EXPECT_EQ(LOD.RenderSections[Section].NumTriangles, 2u);
		EXPECT_EQ(LOD.RenderSections[Section].BoneMap.Num(), 4);
	}
	EXPECT_EQ(CountOf(SourceVertices, 1), 2);
	EXPECT_EQ(CountOf(SourceVertices, 4), 2);
	EXPECT_EQ(CountOf(SourceVertices, 0), 1);
	ASSERT_EQ(Split->GetMaterials().Num(), 2);
	UMaterialInterface* Material = Split->GetMaterials()[0].MaterialInterface;
	ASSERT_NE(Material, nullptr);
	EXPECT_EQ(Material->GetName(), FString(TEXT("Left")));
	EXPECT_EQ(Material->GetOuter(), Split);
	TArray<FMaterialParameterInfo> Parameters;
	Material->GetAllTextureParameterInfo(Parameters);
	ASSERT_EQ(Parameters.Num(), 1);
	EXPECT_EQ(Parameters[0].Name, FName(TEXT("BC_Texture")));

	// Every section's triangles only use the section's own vertices.
	TArray<uint32> Indices;
	LOD.MultiSizeIndexContainer.GetIndexBuffer(Indices);
	EXPECT_EQ(LOD.MultiSizeIndexContainer.GetDataTypeSize(), sizeof(uint16));
	for (int32 Index = 0; Index < Indices.Num(); ++Index)
	{
		EXPECT_TRUE(LOD.RenderSections[Index / 6].ContainsVertex(Indices[Index])) << Index;
	}
}

TEST_F(SampleMeshFactoryTest, BuildsOutwardFramesWeightsAndSkeleton)
{
	Load(true);
	USkeletalMesh* Mesh = Make({{FName(TEXT("Skin")), nullptr}}, TEXT("SK_Seam"));
	ASSERT_NE(Mesh, nullptr) << *Error;
	const FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData[0];
	ASSERT_EQ(LOD.GetNumVertices(), 8u);
	ASSERT_EQ(SourceVertices.Num(), 8);
	EXPECT_EQ(CountOf(SourceVertices, 1), 2);
	EXPECT_EQ(CountOf(SourceVertices, 4), 2);

	const FStaticMeshVertexBuffers& Buffers = LOD.StaticVertexBuffers;
	for (uint32 Vertex = 0; Vertex < 8; ++Vertex)
	{
		const int32 SourceVertex = SourceVertices[Vertex];
		EXPECT_TRUE(Buffers.PositionVertexBuffer.VertexPosition(Vertex).Equals(Source.Positions[SourceVertex]));
		// The quads face the source's +Z, the engine's +X; U runs along source +X (engine -Y) and
		// V, flipped, runs down.
		const FVector4f Normal = Buffers.StaticMeshVertexBuffer.VertexTangentZ(Vertex);
		EXPECT_TRUE(FVector3f(Normal.X, Normal.Y, Normal.Z).Equals(FVector3f(1, 0, 0), 1e-5f)) << Vertex;
		EXPECT_EQ(Normal.W, 1.0f);
		const FVector4f Tangent = Buffers.StaticMeshVertexBuffer.VertexTangentX(Vertex);
		EXPECT_TRUE(FVector3f(Tangent.X, Tangent.Y, Tangent.Z).Equals(FVector3f(0, -1, 0), 1e-5f)) << Vertex;
		EXPECT_TRUE(Buffers.StaticMeshVertexBuffer.VertexTangentY(Vertex).Equals(FVector3f(0, 0, -1), 1e-5f)) << Vertex;
		EXPECT_EQ(Buffers.ColorVertexBuffer.VertexColor(Vertex), FColor::White);
	}
	TArray<uint32> Indices;
	LOD.MultiSizeIndexContainer.GetIndexBuffer(Indices);
	ASSERT_EQ(Indices.Num(), 12);
	for (int32 Index = 0; Index < Indices.Num(); Index += 3)
	{
		const FVector3f A = Buffers.PositionVertexBuffer.VertexPosition(Indices[Index]);
		const FVector3f B = Buffers.PositionVertexBuffer.VertexPosition(Indices[Index + 1]);
		const FVector3f C = Buffers.PositionVertexBuffer.VertexPosition(Indices[Index + 2]);
		EXPECT_GT(((B - A) ^ (C - A)).X, 0.0f) << "triangle " << Index / 3 << " faces inward";
	}

	// Vertex 1 is split 1:3 between spine and arm; 2 is all hand.
	const int32 Split = SourceVertices.IndexOfByKey(1);
	FSkinWeightInfo Influences;
	LOD.SkinWeightVertexBuffer.GetVertexSkinWeights(uint32(Split), Influences);
	EXPECT_EQ(Influences.InfluenceBones[0], Skeleton.FindBone(FName(TEXT("arm"))));
	EXPECT_EQ(Influences.InfluenceBones[1], Skeleton.FindBone(FName(TEXT("spine"))));
	EXPECT_NEAR(Influences.InfluenceWeights[0], 0.75 * 65535, 1.0);
	EXPECT_EQ(Influences.InfluenceWeights[0] + Influences.InfluenceWeights[1], 65535);
	LOD.SkinWeightVertexBuffer.GetVertexSkinWeights(uint32(SourceVertices.IndexOfByKey(2)), Influences);
	EXPECT_EQ(Influences.InfluenceBones[0], Skeleton.FindBone(FName(TEXT("hand"))));
	EXPECT_EQ(Influences.InfluenceWeights[0], 65535);

	EXPECT_EQ(Mesh->GetRefSkeleton().GetNum(), 4);
	EXPECT_TRUE(Mesh->GetRefSkeleton().GetRefBonePose()[1].Equals(Skeleton.ComputeRefPose(Source.Positions)[1]));
	ASSERT_NE(Mesh->GetSkeleton(), nullptr);
	EXPECT_EQ(Mesh->GetSkeleton()->GetReferenceSkeleton().GetNum(), 4);
	EXPECT_TRUE(Mesh->GetBounds().Origin.Equals(FVector(0, -10, 5)));
	EXPECT_TRUE(Mesh->GetBounds().BoxExtent.Equals(FVector(0, 10, 5)));
}

TEST_F(SampleMeshFactoryTest, MorphTargetsHoldTheMovedVerticesWithNormalDeltas)
{
	Load(true);
	USkeletalMesh* Mesh = Make({{FName(TEXT("Skin")), nullptr}}, TEXT("SK_Morphs"));
	ASSERT_NE(Mesh, nullptr) << *Error;
	// "tip" moves only a vertex of another group.
	ASSERT_EQ(Mesh->GetMorphTargets().Num(), 1);
	const UMorphTarget* Bump = Mesh->GetMorphTargets()[0];
	EXPECT_EQ(Bump->GetName(), FString(TEXT("bump")));
	EXPECT_EQ(Bump->BaseSkelMesh, Mesh);
	int32 NumDeltas = 0;
	const FMorphTargetDelta* Deltas = Bump->GetMorphTargetDelta(0, NumDeltas);
	ASSERT_EQ(NumDeltas, 1) << "vertex 0's move is below 1e-4 cm";
	EXPECT_EQ(SourceVertices[Deltas[0].SourceIdx], 2);
	EXPECT_TRUE(Deltas[0].PositionDelta.Equals(FVector3f(10, 0, 0), 1e-5f));
	// Moved 10 forward, vertex 2's only quad has triangle normals (100, 100, 100) and (100, 0, 0).
	const float InvSqrt6 = 1.0f / std::sqrt(6.0f);
	EXPECT_TRUE(Deltas[0].TangentZDelta.Equals(FVector3f(2 * InvSqrt6 - 1, InvSqrt6, InvSqrt6), 1e-5f));
}

TEST_F(SampleMeshFactoryTest, RefusesBadInputWithoutMakingAnything)
{
	Load(false);
	const FName Skin(TEXT("Skin"));
	const auto LeftOnly = [](const FSampleSourceMesh::FFace& Face) { return Face.Vertices[0] == 0; };
	const std::pair<TArray<FSampleMaterialSlot>, const char*> Cases[] = {
		{{}, "a mesh needs at least one material slot"},
		{{{Skin, LeftOnly}}, "face 1 of group body is taken by no material slot"},
		{{{Skin, LeftOnly}, {FName(TEXT("skin")), nullptr}}, "material slot name \"skin\" is unset or used twice"},
		{{{FName(TEXT("bump")), nullptr}}, "morph target name \"bump\" is unset or already used"},
	};
	for (const auto& [Slots, Expected] : Cases)
	{
		EXPECT_EQ(Make(Slots, TEXT("SK_Refused")), nullptr);
		EXPECT_TRUE(Error.Contains(Expected)) << *Error << " / expected: " << Expected;
		EXPECT_FALSE(Exists(TEXT("SK_Refused")));
	}

	EXPECT_EQ(FSampleMeshFactory::Make(Source, 7, {{Skin, nullptr}}, Skeleton, Morphs, nullptr, FName(TEXT("SK_Refused")), Error), nullptr);
	EXPECT_EQ(Error, FString(TEXT("mesh SK_Refused: the source has no group 7")));
	EXPECT_EQ(FSampleMeshFactory::Make(Source, 0, {{Skin, nullptr}}, FSampleSkeleton(), Morphs, nullptr, FName(TEXT("SK_Refused")), Error), nullptr);
	EXPECT_TRUE(Error.Contains(TEXT("the skeleton has no bones")));

	ASSERT_NE(Make({{Skin, nullptr}}, TEXT("SK_Taken")), nullptr) << *Error;
	EXPECT_EQ(Make({{Skin, nullptr}}, TEXT("SK_Taken")), nullptr);
	EXPECT_EQ(Error, FString(TEXT("mesh SK_Taken: an object of that name exists already")));
}
