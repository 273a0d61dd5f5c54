#include "SampleSurface.h"

int32 FSampleSurface::GetTriangleCorners(const FSampleSourceMesh::FFace& Face, int32 OutCorners[6])
{
	OutCorners[0] = 0;
	OutCorners[1] = 2;
	OutCorners[2] = 1;
	if (Face.NumCorners < 4)
	{
		return 1;
	}
	OutCorners[3] = 0;
	OutCorners[4] = 3;
	OutCorners[5] = 2;
	return 2;
}

FVector3f FSampleSurface::GetFaceNormal(const FSampleSourceMesh::FFace& Face, const TArray<FVector3f>& Positions)
{
	int32 Corners[6];
	const int32 NumTriangles = GetTriangleCorners(Face, Corners);
	FVector3f Sum(0, 0, 0);
	for (int32 Triangle = 0; Triangle < NumTriangles; ++Triangle)
	{
		const FVector3f& A = Positions[Face.Vertices[Corners[Triangle * 3]]];
		const FVector3f& B = Positions[Face.Vertices[Corners[Triangle * 3 + 1]]];
		const FVector3f& C = Positions[Face.Vertices[Corners[Triangle * 3 + 2]]];
		Sum += (B - A) ^ (C - A);
	}
	return Sum;
}

TArray<FVector3f> FSampleSurface::ComputeVertexNormals(const TArray<const FSampleSourceMesh::FFace*>& Faces, const TArray<FVector3f>& Positions)
{
	TArray<FVector3f> Normals;
	Normals.Init(FVector3f(0, 0, 0), Positions.Num());
	for (const FSampleSourceMesh::FFace* Face : Faces)
	{
		const FVector3f FaceNormal = GetFaceNormal(*Face, Positions);
		for (int32 Corner = 0; Corner < Face->NumCorners; ++Corner)
		{
			Normals[Face->Vertices[Corner]] += FaceNormal;
		}
	}
	for (FVector3f& Normal : Normals)
	{
		Normal = Normal.GetSafeNormal();
	}
	return Normals;
}
