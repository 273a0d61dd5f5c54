#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"

#include "MorphTarget.generated.h"

class USkeletalMesh;

/** How one vertex of the base mesh moves at full weight. */
struct FMorphTargetDelta
{
	FVector3f PositionDelta = FVector3f(0, 0, 0);
	/** The change of the vertex normal. */
	FVector3f TangentZDelta = FVector3f(0, 0, 0);
	/** The vertex of the base mesh LOD that moves. */
	uint32 SourceIdx = 0;
};

/** The deltas of one level of detail, sorted by vertex, at most one per vertex. */
struct FMorphTargetLODModel
{
	TArray<FMorphTargetDelta> Vertices;
	/** The vertex count of the base mesh LOD the deltas were made for. */
	int32 NumBaseMeshVerts = 0;
	TArray<int32> SectionIndices;
	bool bGeneratedByEngine = false;
};

/** A named shape of a skeletal mesh: per-vertex offsets blended in by a weight. The object's name is the shape's name. */
UCLASS()
class ENGINE_API UMorphTarget : public UObject
{
	GENERATED_BODY()

public:
	/** The mesh the deltas belong to. */
	UPROPERTY()
	TObjectPtr<USkeletalMesh> BaseSkelMesh = nullptr;

	TArray<FMorphTargetLODModel>& GetMorphLODModels() { return MorphLODModels; }
	const TArray<FMorphTargetLODModel>& GetMorphLODModels() const { return MorphLODModels; }
	/** The deltas of a LOD and their count; null with a count of 0 when the LOD has none. */
	const FMorphTargetDelta* GetMorphTargetDelta(int32 LODIndex, int32& OutNumDeltas) const;
	bool HasDataForLOD(int32 LODIndex) const;
	/** Whether any LOD moves any vertex. */
	bool HasValidData() const;

	/**
	 * Replaces the deltas of LOD LODIndex with Deltas (in any order) for a base mesh LOD of
	 * NumBaseMeshVerts vertices. A negative LOD or vertex count, a delta whose vertex is not
	 * below NumBaseMeshVerts, or two deltas for one vertex is a failed check naming the morph
	 * target, and nothing changes.
	 */
	void PopulateDeltas(const TArray<FMorphTargetDelta>& Deltas, int32 LODIndex, int32 NumBaseMeshVerts);

private:
	TArray<FMorphTargetLODModel> MorphLODModels;
};
