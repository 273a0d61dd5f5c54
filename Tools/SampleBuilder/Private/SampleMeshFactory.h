#pragma once

// FSampleMeshFactory: turns one group of the source mesh into a skeletal mesh asset, fitted to
// the sample rig, with its morph targets. Everything lives in CPU memory (no GPU resources are
// made), ready for the glTF exporter.
//
// Layout of LOD 0: one render section per material slot, in slot order, each over its own
// vertices. A vertex is a distinct (source vertex, texture coordinate) pair within a section,
// so UV seams and slot borders split source vertices; normals are still smooth across them
// (area-weighted over every face of the group that uses the source vertex). Triangles follow
// FSampleSurface (outward-facing in engine space). Tangents follow increasing U, made
// perpendicular to the normal; the sign in TangentZ.W says whether increasing V runs along
// Z ^ X. Vertex colours are white, skin weights the rig's four strongest (every section's bone
// map is the whole skeleton, so influence indices are bone indices), the reference pose the
// rig fitted to the unmorphed mesh. Indices are 16-bit up to 65536 vertices, 32-bit beyond.

#include "CoreMinimal.h"
#include "SampleMorphTarget.h"
#include "SampleSkeleton.h"
#include "SampleSourceMesh.h"
#include "Templates/Function.h"

class UObject;
class USkeletalMesh;

/** A material slot of a made mesh and the faces drawn with it. */
struct FSampleMaterialSlot
{
	FName SlotName;
	/** Whether the slot draws the face; an unset function takes every face. */
	TFunction<bool(const FSampleSourceMesh::FFace&)> Takes;
};

class FSampleMeshFactory
{
public:
	/**
	 * Makes the mesh Name in Outer from the faces of Group. Each face goes to the first slot
	 * that takes it; each slot gets a UMaterial of its name inside the mesh with a null
	 * "BC_Texture" parameter. Each morph target that moves a vertex of this mesh by 1e-4 cm or
	 * more becomes a UMorphTarget of its name, holding the position deltas of those vertices and
	 * their normal deltas (the normal recomputed on the morphed surface minus the base normal).
	 * The mesh holds its own USkeleton. OutSourceVertices, when given, receives the source
	 * vertex of every vertex of the mesh.
	 *
	 * Null with the reason in OutError, and nothing made, for an unknown or empty group, no
	 * slots, a face no slot takes, slot or morph names that are unset, repeated or shared
	 * between a slot and a morph, an unloaded skeleton or one that does not fit the source mesh,
	 * a morph target past the source's vertices, or an object of that name already in Outer.
	 */
	static USkeletalMesh* Make(const FSampleSourceMesh& Source, int32 Group, const TArray<FSampleMaterialSlot>& Slots, const FSampleSkeleton& Skeleton,
		const TArray<FSampleMorphTarget>& Morphs, UObject* Outer, FName Name, FString& OutError, TArray<int32>* OutSourceVertices = nullptr);
};
