#pragma once

// What a preview draws, taken from a world on the game thread: the triangles of every
// registered skinned mesh component, posed, morphed and in world space, grouped by render
// section with the section's textures, and the world's debug lines as screen-space quads.
// The render thread draws it later without touching the world.

#include "CoreMinimal.h"
#include "Math/Box.h"

class FTextureResource;
class UWorld;

/** One triangle corner, as the mesh pass's vertex stream holds it. */
struct FPreviewMeshVertex
{
	FVector3f Position;
	FVector3f Normal;
	FVector2f UV;
	FColor Color;
};

/** One corner of a line's quad, as the line pass's vertex stream holds it. */
struct FPreviewLineVertex
{
	FVector3f Start;
	FVector3f End;
	FLinearColor Color;
	/** 0 at the start and 1 at the end, -1 or +1 for the side, width in scene pixels. */
	FVector3f Corner;
};

/** A run of the mesh vertices drawn with one material's textures; a null resource means none is bound. */
struct FPreviewSection
{
	uint32 FirstVertex = 0;
	uint32 NumVertices = 0;
	FTextureResource* BaseColor = nullptr;
	FTextureResource* CullMask = nullptr;
};

struct FPreviewScene
{
	TArray<FPreviewMeshVertex> MeshVertices;
	TArray<FPreviewSection> Sections;
	TArray<FPreviewLineVertex> LineVertices;
	/** Everything drawn, for the camera's depth range; invalid for an empty scene. */
	FBox Bounds;

	/** The scene of World now; lines are widened for a scene drawn at SupersampleFactor times the picture's size. */
	static FPreviewScene Gather(const UWorld& World, int32 SupersampleFactor);

private:
	void AddMeshComponent(const class USkinnedMeshComponent& Component);
	void AddLine(const struct FBatchedLine& Line, float Width);
};
