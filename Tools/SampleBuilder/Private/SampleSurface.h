#pragma once

// FSampleSurface: the triangles and vertex normals of source-mesh faces, shared by the mesh
// factory and the coverage test so both agree on which side of the skin is outside.
//
// The source lists polygons counter-clockwise seen from outside (right-handed). Moving to the
// engine's axes mirrors the mesh, which turns that winding around, so a quad (0, 1, 2, 3)
// becomes the triangles (0, 2, 1) and (0, 3, 2) and a triangle (0, 1, 2) becomes (0, 2, 1).
// With that order (B - A) ^ (C - A), the engine's cross product, points outward (at the nose
// of the base mesh: +X), which is also the order the glTF importer gives front faces.

#include "CoreMinimal.h"
#include "SampleSourceMesh.h"

class FSampleSurface
{
public:
	/** Writes the face's triangles as corner indices (three per triangle) in the outward order; returns how many (1 or 2). */
	static int32 GetTriangleCorners(const FSampleSourceMesh::FFace& Face, int32 OutCorners[6]);

	/** The sum over the face's triangles of (B - A) ^ (C - A): outward, twice the face's area long. */
	static FVector3f GetFaceNormal(const FSampleSourceMesh::FFace& Face, const TArray<FVector3f>& Positions);

	/**
	 * Smooth normals, one per entry of Positions: the normalised sum of the area-weighted normals
	 * of the faces using the vertex (so UV seams do not split them); zero for unused vertices.
	 */
	static TArray<FVector3f> ComputeVertexNormals(const TArray<const FSampleSourceMesh::FFace*>& Faces, const TArray<FVector3f>& Positions);
};
