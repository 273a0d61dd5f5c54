#pragma once

// FSampleMorphTarget: one shape of the base mesh, read from a target file. Each line is
// "vertexIndex dx dy dz" (a base-mesh vertex and its offset, in the source's units and axes); a
// '#' starts a comment that runs to the end of the line. Offsets are kept in engine space.

#include "CoreMinimal.h"

class FSampleMorphTarget
{
public:
	/**
	 * Reads TargetFile; the name becomes the file's base name ("head-oval"). False with
	 * "file:line: reason" in OutError for a line that is not one index and three finite numbers,
	 * a negative index, an index of NumVertices or more, or a vertex listed twice. Nothing
	 * changes on failure.
	 */
	bool Load(const FString& TargetFile, FString& OutError, int32 NumVertices = MAX_int32);

	const FString& GetName() const { return Name; }
	/** The vertices the shape moves, ascending. */
	const TArray<int32>& GetVertices() const { return Vertices; }
	/** The engine-space offset of each of GetVertices(). */
	const TArray<FVector3f>& GetDeltas() const { return Deltas; }

	/** Moves Positions by Weight times the offsets; a vertex past the end of Positions is a failed check. */
	void Apply(TArray<FVector3f>& Positions, float Weight) const;

private:
	FString Name;
	TArray<int32> Vertices;
	TArray<FVector3f> Deltas;
};
