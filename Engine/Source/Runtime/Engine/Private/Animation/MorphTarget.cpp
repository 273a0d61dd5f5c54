#include "Animation/MorphTarget.h"

#include "Engine/SkeletalMesh.h"

const FMorphTargetDelta* UMorphTarget::GetMorphTargetDelta(int32 LODIndex, int32& OutNumDeltas) const
{
	if (!MorphLODModels.IsValidIndex(LODIndex) || MorphLODModels[LODIndex].Vertices.IsEmpty())
	{
		OutNumDeltas = 0;
		return nullptr;
	}
	OutNumDeltas = MorphLODModels[LODIndex].Vertices.Num();
	return MorphLODModels[LODIndex].Vertices.GetData();
}

bool UMorphTarget::HasDataForLOD(int32 LODIndex) const
{
	return MorphLODModels.IsValidIndex(LODIndex) && !MorphLODModels[LODIndex].Vertices.IsEmpty();
}

bool UMorphTarget::HasValidData() const
{
	return MorphLODModels.ContainsByPredicate([](const FMorphTargetLODModel& Model) { return !Model.Vertices.IsEmpty(); });
}

void UMorphTarget::PopulateDeltas(const TArray<FMorphTargetDelta>& Deltas, int32 LODIndex, int32 NumBaseMeshVerts)
{
	checkf(LODIndex >= 0 && NumBaseMeshVerts >= 0, TEXT("PopulateDeltas of %s: LOD %d of a mesh of %d vertices"), *GetName(), LODIndex,
		NumBaseMeshVerts);
	TArray<FMorphTargetDelta> Sorted = Deltas;
	Sorted.StableSort([](const FMorphTargetDelta& A, const FMorphTargetDelta& B) { return A.SourceIdx < B.SourceIdx; });
	for (int32 Index = 0; Index < Sorted.Num(); ++Index)
	{
		checkf(Sorted[Index].SourceIdx < uint32(NumBaseMeshVerts), TEXT("PopulateDeltas of %s: vertex %u of a mesh of %d vertices"), *GetName(),
			Sorted[Index].SourceIdx, NumBaseMeshVerts);
		checkf(Index == 0 || Sorted[Index - 1].SourceIdx != Sorted[Index].SourceIdx, TEXT("PopulateDeltas of %s: two deltas for vertex %u"),
			*GetName(), Sorted[Index].SourceIdx);
	}
	if (MorphLODModels.Num() <= LODIndex)
	{
		MorphLODModels.SetNum(LODIndex + 1);
	}
	FMorphTargetLODModel& Model = MorphLODModels[LODIndex];
	Model.Vertices = std::move(Sorted);
	Model.NumBaseMeshVerts = NumBaseMeshVerts;
}
