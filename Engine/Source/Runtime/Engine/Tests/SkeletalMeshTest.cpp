#include "Animation/MorphTarget.h"
#include "Engine/SkeletalMesh.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SceneTestMeshes.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

namespace
{
	UMorphTarget* MakeMorph(UObject* Outer, const TCHAR* Name)
	{
		return NewObject<UMorphTarget>(Outer, FName(Name));
	}

	FMorphTargetDelta Delta(uint32 Vertex, const FVector3f& Offset)
	{
		FMorphTargetDelta Result;
		Result.SourceIdx = Vertex;
		Result.PositionDelta = Offset;
		return Result;
	}
}

TEST(SkeletalMeshTest, MorphTargetsAreFoundByNameInRegistrationOrder)
{
	USkeletalMesh* Mesh = NewObject<USkeletalMesh>();
	UMorphTarget* Smile = MakeMorph(Mesh, TEXT("Smile"));
	UMorphTarget* Frown = MakeMorph(Mesh, TEXT("Frown"));
	EXPECT_TRUE(Mesh->RegisterMorphTarget(Smile));
	EXPECT_TRUE(Mesh->RegisterMorphTarget(Frown));
	EXPECT_FALSE(Mesh->RegisterMorphTarget(nullptr));
	EXPECT_EQ(Smile->BaseSkelMesh, Mesh);

	ASSERT_EQ(Mesh->GetMorphTargets().Num(), 2);
	EXPECT_EQ(Mesh->GetMorphTargets()[1], Frown);
	EXPECT_EQ(Mesh->FindMorphTarget(FName(TEXT("frown"))), Frown) << "names compare without letter case";
	EXPECT_EQ(Mesh->FindMorphTarget(FName(TEXT("Wink"))), nullptr);
	int32 Index = -7;
	EXPECT_EQ(Mesh->FindMorphTargetAndIndex(FName(TEXT("Wink")), Index), nullptr);
	EXPECT_EQ(Index, INDEX_NONE);
	EXPECT_EQ(Mesh->FindMorphTargetAndIndex(FName(TEXT("Smile")), Index), Smile);
	EXPECT_EQ(Index, 0);
	EXPECT_EQ(Mesh->GetMorphTargetIndexMap().FindRef(FName(TEXT("Frown"))), 1);

	// A morph target of a taken name replaces the old one in its place.
	UMorphTarget* NewSmile = MakeMorph(GetTransientPackage(), TEXT("SMILE"));
	EXPECT_TRUE(Mesh->RegisterMorphTarget(NewSmile));
	ASSERT_EQ(Mesh->GetMorphTargets().Num(), 2);
	EXPECT_EQ(Mesh->GetMorphTargets()[0], NewSmile);

	Mesh->UnregisterMorphTarget(NewSmile);
	ASSERT_EQ(Mesh->GetMorphTargets().Num(), 1);
	EXPECT_EQ(Mesh->FindMorphTargetAndIndex(FName(TEXT("Frown")), Index), Frown);
	EXPECT_EQ(Index, 0) << "later morph targets move down";
	EXPECT_EQ(Mesh->FindMorphTarget(FName(TEXT("Smile"))), nullptr);
}

TEST(SkeletalMeshTest, SetMorphTargetsChecksTheWholeListFirst)
{
	USkeletalMesh* Mesh = NewObject<USkeletalMesh>();
	UMorphTarget* A = MakeMorph(Mesh, TEXT("A"));
	UMorphTarget* B = MakeMorph(Mesh, TEXT("B"));
	Mesh->SetMorphTargets({A, B});
	EXPECT_EQ(Mesh->FindMorphTarget(FName(TEXT("B"))), B);

	UMorphTarget* OtherA = MakeMorph(GetTransientPackage(), TEXT("a"));
	EXPECT_THROW(Mesh->SetMorphTargets({B, OtherA, A}), FCheckFailure);
	EXPECT_THROW(Mesh->SetMorphTargets({B, nullptr}), FCheckFailure);
	ASSERT_EQ(Mesh->GetMorphTargets().Num(), 2);
	EXPECT_EQ(Mesh->GetMorphTargets()[0], A);

	// Editing the array directly leaves the map stale until InitMorphTargets; lookups never return a wrong entry meanwhile.
	Mesh->GetMorphTargets().Swap(0, 1);
	EXPECT_EQ(Mesh->FindMorphTarget(FName(TEXT("A"))), nullptr);
	Mesh->InitMorphTargets();
	int32 Index = INDEX_NONE;
	EXPECT_EQ(Mesh->FindMorphTargetAndIndex(FName(TEXT("A")), Index), A);
	EXPECT_EQ(Index, 1);
}

TEST(SkeletalMeshTest, DeltasAreSortedByVertexAndCheckedAgainstTheMesh)
{
	UMorphTarget* Morph = MakeMorph(GetTransientPackage(), TEXT("Cheeks"));
	EXPECT_FALSE(Morph->HasValidData());
	Morph->PopulateDeltas({Delta(5, FVector3f(0, 0, 1)), Delta(1, FVector3f(1, 0, 0))}, 1, 6);
	EXPECT_FALSE(Morph->HasDataForLOD(0));
	EXPECT_TRUE(Morph->HasDataForLOD(1));
	EXPECT_TRUE(Morph->HasValidData());
	int32 NumDeltas = 0;
	const FMorphTargetDelta* Deltas = Morph->GetMorphTargetDelta(1, NumDeltas);
	ASSERT_EQ(NumDeltas, 2);
	EXPECT_EQ(Deltas[0].SourceIdx, 1u);
	EXPECT_EQ(Deltas[1].PositionDelta, FVector3f(0, 0, 1));
	EXPECT_EQ(Morph->GetMorphLODModels()[1].NumBaseMeshVerts, 6);
	EXPECT_EQ(Morph->GetMorphTargetDelta(0, NumDeltas), nullptr);
	EXPECT_EQ(NumDeltas, 0);
	EXPECT_EQ(Morph->GetMorphTargetDelta(9, NumDeltas), nullptr);

	EXPECT_THROW(Morph->PopulateDeltas({Delta(6, FVector3f(0, 0, 1))}, 1, 6), FCheckFailure);
	EXPECT_THROW(Morph->PopulateDeltas({Delta(2, FVector3f(0, 0, 1)), Delta(2, FVector3f(1, 0, 0))}, 1, 6), FCheckFailure);
	EXPECT_THROW(Morph->PopulateDeltas({}, -1, 6), FCheckFailure);
	Morph->GetMorphTargetDelta(1, NumDeltas);
	EXPECT_EQ(NumDeltas, 2) << "a refused population leaves the old deltas";
}

TEST(SkeletalMeshTest, TheTestMeshIsSelfConsistent)
{
	USkeletalMesh* Mesh = SceneTest::MakeTwoBoneMesh();
	ASSERT_NE(Mesh->GetSkeleton(), nullptr);
	EXPECT_EQ(Mesh->GetSkeleton()->GetReferenceSkeleton(), Mesh->GetRefSkeleton());
	ASSERT_EQ(Mesh->GetMaterials().Num(), 1);
	EXPECT_EQ(Mesh->GetMaterials()[0].MaterialSlotName, FName(TEXT("M_Body")));
	const FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData[0];
	EXPECT_EQ(LOD.GetNumVertices(), 4u);
	EXPECT_EQ(LOD.GetNumTexCoords(), 1u);
	EXPECT_EQ(LOD.SkinWeightVertexBuffer.GetMaxBoneInfluences(), 2u);
	EXPECT_EQ(LOD.SkinWeightVertexBuffer.GetBoneWeight(3, 1), 16384);
	EXPECT_EQ(LOD.SkinWeightVertexBuffer.GetBoneIndex(3, 1), 1);
	EXPECT_THROW(LOD.SkinWeightVertexBuffer.GetBoneIndex(4, 0), FCheckFailure);
	EXPECT_EQ(LOD.FindSectionIndexForVertex(3), 0);
	EXPECT_EQ(LOD.FindSectionIndexForVertex(4), INDEX_NONE);
	TArray<uint32> Indices;
	LOD.MultiSizeIndexContainer.GetIndexBuffer(Indices);
	EXPECT_EQ(Indices, (TArray<uint32>{0, 1, 3, 1, 2, 3}));
	EXPECT_EQ(Mesh->GetBounds().BoxExtent, FVector(10, 0, 2.5));
}

TEST(SkeletalMeshTest, IndexBuffersKeepTheirWidthRule)
{
	FMultiSizeIndexContainer Indices;
	EXPECT_FALSE(Indices.IsIndexBufferValid());
	Indices.RebuildIndexBuffer(sizeof(uint32), {0, 70000, 2});
	EXPECT_EQ(Indices.GetDataTypeSize(), 4);
	EXPECT_THROW(Indices.RebuildIndexBuffer(sizeof(uint16), {0, 70000, 2}), FCheckFailure);
	EXPECT_THROW(Indices.RebuildIndexBuffer(3, {0, 1, 2}), FCheckFailure);
	TArray<uint32> Kept;
	Indices.GetIndexBuffer(Kept);
	EXPECT_EQ(Kept, (TArray<uint32>{0, 70000, 2}));
	EXPECT_EQ(Indices.GetDataTypeSize(), 4);
}

TEST(SkeletalMeshTest, AllocatingRenderDataReplacesTheOldLODs)
{
	USkeletalMesh* Mesh = SceneTest::MakeTwoBoneMesh();
	EXPECT_EQ(Mesh->GetResourceForRendering()->LODRenderData.Num(), 1);
	Mesh->AllocateResourceForRendering();
	ASSERT_NE(Mesh->GetResourceForRendering(), nullptr);
	EXPECT_TRUE(Mesh->GetResourceForRendering()->LODRenderData.IsEmpty());
	EXPECT_FALSE(Mesh->GetResourceForRendering()->IsInitialized());
}
