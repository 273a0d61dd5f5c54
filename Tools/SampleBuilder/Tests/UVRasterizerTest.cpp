#include "SampleImage.h"
#include "UVRasterizer.h"

#include <gtest/gtest.h>

namespace
{
	/** One quad over the left half of UV space, its corners valued 0 (left) and 1 (right) in red. */
	FSampleSourceMesh MakeLeftHalfQuad()
	{
		FSampleSourceMesh Mesh;
		Mesh.GroupNames.Add(TEXT("body"));
		Mesh.Positions = {FVector3f(0, 0, 0), FVector3f(1, 0, 0), FVector3f(1, 1, 0), FVector3f(0, 1, 0)};
		Mesh.TexCoords = {FVector2f(0.0f, 0.0f), FVector2f(0.5f, 0.0f), FVector2f(0.5f, 1.0f), FVector2f(0.0f, 1.0f)};
		FSampleSourceMesh::FFace Face;
		Face.NumCorners = 4;
		for (int32 Corner = 0; Corner < 4; ++Corner)
		{
			Face.Vertices[Corner] = Corner;
			Face.TexCoords[Corner] = Corner;
		}
		Mesh.Faces.Add(Face);
		return Mesh;
	}

	TEST(UVRasterizerTest, FillsTheFacesInterpolatingTheirCornersAndLeavesTheRestAlone)
	{
		const FSampleSourceMesh Mesh = MakeLeftHalfQuad();
		FUVRasterizer Rasterizer(16, FLinearColor(0, 0, 1, 1));
		Rasterizer.Fill(Mesh, {&Mesh.Faces[0]}, [](int32 Vertex) { return FLinearColor(Vertex == 1 || Vertex == 2 ? 1.0f : 0.0f, 0, 0, 1); });
		for (int32 Y = 0; Y < 16; ++Y)
		{
			// Texel centres from 0.5 to 7.5 of the 8 covered columns run from 1/16 to 15/16 of the way across.
			for (int32 X = 0; X < 8; ++X)
			{
				ASSERT_TRUE(Rasterizer.IsCovered(X, Y)) << X << ", " << Y;
				EXPECT_NEAR(Rasterizer.GetTexel(X, Y).R, (float(X) + 0.5f) / 8.0f, 1e-4f);
			}
			// The half-texel margin reaches the first column past the edge; nothing beyond it.
			for (int32 X = 9; X < 16; ++X)
			{
				EXPECT_FALSE(Rasterizer.IsCovered(X, Y));
				EXPECT_EQ(Rasterizer.GetTexel(X, Y), FLinearColor(0, 0, 1, 1));
			}
		}
	}

	TEST(UVRasterizerTest, DilationGrowsThePaintedAreaOneTexelPerPassFromItsNeighbours)
	{
		const FSampleSourceMesh Mesh = MakeLeftHalfQuad();
		FUVRasterizer Rasterizer(16, FLinearColor(0, 0, 1, 1));
		Rasterizer.Fill(Mesh, {&Mesh.Faces[0]}, [](int32) { return FLinearColor(0.25f, 0.5f, 0, 1); });
		Rasterizer.Dilate(2);
		EXPECT_TRUE(Rasterizer.IsCovered(10, 5));
		EXPECT_NEAR(Rasterizer.GetTexel(10, 5).R, 0.25f, 1e-6f);
		EXPECT_NEAR(Rasterizer.GetTexel(10, 5).G, 0.5f, 1e-6f);
		EXPECT_FALSE(Rasterizer.IsCovered(11, 5));
		EXPECT_EQ(Rasterizer.GetTexel(11, 5), FLinearColor(0, 0, 1, 1));
	}

	TEST(SampleImageTest, BytesAreBgraRoundedAndClamped)
	{
		FSampleImage Image(2, 1);
		Image.At(0, 0) = FLinearColor(1.5f, 0.5f, -0.2f, 1.0f);
		Image.At(1, 0) = FLinearColor(0.1f, 0.2f, 0.3f, 0.0f);
		const TArray<uint8> Bytes = Image.ToBGRA();
		EXPECT_EQ(Bytes, (TArray<uint8>{0, 128, 255, 255, 77, 51, 26, 0}));
	}
}
