#pragma once

// FSampleSourceMesh: the human base mesh (a Wavefront OBJ) the sample character is cut from.
// Its groups share one vertex list: "body" is the skin, "helper-*" are fitted garment shells and
// "joint-*" are small marker meshes whose vertex centres place the joints.
//
// Everything is converted to engine space on load. The source is Y up, facing +Z, in
// decimetres; the engine is Z up, X forward, Y right, in centimetres, so a source point
// (x, y, z) becomes (10 z, -10 x, 10 y). Texture coordinates flip V (the source's origin is the
// bottom left, the engine's the top left).

#include "CoreMinimal.h"

class FSampleSourceMesh
{
public:
	/** One polygon (the source has quads and triangles) of one group. */
	struct FFace
	{
		int32 Group = 0;
		int32 NumCorners = 0;
		int32 Vertices[4] = {};
		int32 TexCoords[4] = {};
	};

	/** Reads Filename; false with the reason in OutError when it is missing or malformed. */
	bool Load(const FString& Filename, FString& OutError);

	/** Converts a source-space offset or point (decimetres, Y up) to engine space. */
	static FVector3f ToEngine(const FVector3f& Source) { return FVector3f(10.0f * Source.Z, -10.0f * Source.X, 10.0f * Source.Y); }

	/** The group's index, or INDEX_NONE when the mesh has no group of that name. */
	int32 FindGroup(const FString& Name) const;
	/** The faces of one group, in file order. */
	TArray<const FFace*> GetGroupFaces(int32 Group) const;
	/** The vertices the faces of one group use, ascending. */
	TArray<int32> GetGroupVertices(int32 Group) const;
	/** The centre of the vertices of one group (a joint marker's position). */
	FVector3f GetGroupCentre(int32 Group, const TArray<FVector3f>& InPositions) const;

	TArray<FVector3f> Positions;
	TArray<FVector2f> TexCoords;
	TArray<FString> GroupNames;
	TArray<FFace> Faces;
};
