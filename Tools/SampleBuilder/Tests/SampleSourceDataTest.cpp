// Checks on the real base mesh data where a machine has it (skipped elsewhere), printing the
// sizes the sample's build depends on.

#include "Engine/SkeletalMesh.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SampleCoverage.h"
#include "SampleMeshFactory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace
{
	FString SourceFile(const char* Name) { return FString((std::filesystem::path(SAMPLE_SOURCE_DIR) / Name).string()); }
}

TEST(SampleSourceDataTest, BodyRigMorphsAndCoverage)
{
	if (!std::filesystem::exists(std::filesystem::path(SAMPLE_SOURCE_DIR) / "base.obj"))
	{
		GTEST_SKIP() << "no base mesh data at " << SAMPLE_SOURCE_DIR;
	}
	FSampleSourceMesh Source;
	FSampleSkeleton Skeleton;
	FString Error;
	ASSERT_TRUE(Source.Load(SourceFile("base.obj"), Error)) << *Error;
	ASSERT_TRUE(Skeleton.Load(SourceFile("rigs/default.mhskel"), SourceFile("rigs/default_weights.mhw"), Error)) << *Error;
	EXPECT_TRUE(Skeleton.CheckVertexCount(Source.Positions.Num(), Error)) << *Error;
	EXPECT_EQ(Skeleton.GetNumBones(), 163);
	EXPECT_EQ(Skeleton.GetBoneName(0), FName(TEXT("root")));
	TArray<FSampleMorphTarget> Morphs;
	for (const char* Name : {"targets/head/head-oval.target", "targets/stomach/stomach-pregnant-incr.target"})
	{
		ASSERT_TRUE(Morphs.AddDefaulted_GetRef().Load(SourceFile(Name), Error, Source.Positions.Num())) << *Error;
	}

	const int32 Body = Source.FindGroup(TEXT("body"));
	USkeletalMesh* Mesh = FSampleMeshFactory::Make(Source, Body, {{FName(TEXT("Skin")), nullptr}}, Skeleton, Morphs, nullptr, FName(TEXT("SK_RealBody")), Error);
	ASSERT_NE(Mesh, nullptr) << *Error;
	const FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData[0];
	std::printf("body: %d source vertices, %u after the UV split\n", Source.GetGroupVertices(Body).Num(), LOD.GetNumVertices());
	EXPECT_EQ(Mesh->GetMorphTargets().Num(), 2);

	// Outward triangles enclose a positive volume.
	TArray<uint32> Indices;
	LOD.MultiSizeIndexContainer.GetIndexBuffer(Indices);
	const FPositionVertexBuffer& Positions = LOD.StaticVertexBuffers.PositionVertexBuffer;
	double Volume = 0.0;
	for (int32 Index = 0; Index < Indices.Num(); Index += 3)
	{
		const FVector A(Positions.VertexPosition(Indices[Index]));
		Volume += (A | ((FVector(Positions.VertexPosition(Indices[Index + 1])) - A) ^ (FVector(Positions.VertexPosition(Indices[Index + 2])) - A))) / 6.0;
	}
	EXPECT_GT(Volume, 0.0);

	// The tights shell is a whole-body suit (feet to the neck, arms to the wrists); the skirt
	// hangs loose from the waist, so it needs a longer reach. Neither reaches the head.
	for (const auto& [Garment, Distance] : {std::pair(TEXT("helper-tights"), 2.0f), std::pair(TEXT("helper-skirt"), 10.0f)})
	{
		const TArray<int32> Covered = FSampleCoverage::FindCoveredVertices(Source, Body, Source.FindGroup(Garment), Distance);
		int32 Legs = 0;
		for (int32 Vertex : Covered)
		{
			Legs += Source.Positions[Vertex].Z > -74.0f && Source.Positions[Vertex].Z < -5.0f ? 1 : 0;
			EXPECT_LT(Source.Positions[Vertex].Z, 62.0f) << "the head is bare";
		}
		std::printf("%s within %.0f cm covers %d body vertices, %d of them on the legs\n", Garment, Distance, Covered.Num(), Legs);
		EXPECT_GT(Legs, 500);
	}
}
