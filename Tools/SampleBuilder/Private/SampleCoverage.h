#pragma once

// FSampleCoverage: which skin vertices a garment shell hides, and the points-file format the
// cull data is written in.
//
// A body vertex counts as covered when the line through it along its outward normal meets the
// garment's surface between a quarter of MaxDistance inside the skin and MaxDistance outside
// it. Looking along the normal (rather than for the nearest garment point) keeps the skin just
// past a garment's edge uncovered: there the nearest garment point lies sideways, along the
// skin, but nothing lies above it. The short reach inside catches tight garments that dip
// under the skin where the fit is snug.

#include "CoreMinimal.h"
#include "SampleSourceMesh.h"

class FSampleCoverage
{
public:
	/**
	 * The source indices (ascending) of the vertices of BodyGroup covered by the faces of
	 * GarmentGroup, as the header describes, with normals from FSampleSurface. An unknown group
	 * or a negative or non-finite MaxDistance is a failed check.
	 */
	static TArray<int32> FindCoveredVertices(const FSampleSourceMesh& Source, int32 BodyGroup, int32 GarmentGroup, float MaxDistance);

	/**
	 * Writes EnginePositions as headerless little-endian float32 triples (x, y, z) in the file's
	 * axes, where a file point maps to the engine point (100 x, -100 z, 100 y): each engine point
	 * E is written as (E.X / 100, E.Z / 100, -E.Y / 100). False with the reason in OutError for a
	 * non-finite position or a file that cannot be written.
	 */
	static bool WritePointsFile(const TArray<FVector3f>& EnginePositions, const FString& Filename, FString& OutError);
};
