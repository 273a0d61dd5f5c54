#pragma once

// The bone influences of a mesh LOD's vertices. Each vertex names up to MAX_TOTAL_INFLUENCES
// bones, as indices into the bone map of the render section that holds the vertex, with
// weights in 1/65535 units that sum to 65535 for a well-formed mesh. Skinning runs on the CPU
// here, so the weights stay in CPU memory and have no GPU copy.

#include "BoneIndices.h"
#include "CoreMinimal.h"

#define MAX_TOTAL_INFLUENCES 12

struct FSkinWeightInfo
{
	FBoneIndexType InfluenceBones[MAX_TOTAL_INFLUENCES] = {};
	uint16 InfluenceWeights[MAX_TOTAL_INFLUENCES] = {};
};

class ENGINE_API FSkinWeightVertexBuffer
{
public:
	/** Replaces the weights with one entry per vertex. */
	FSkinWeightVertexBuffer& operator=(const TArray<FSkinWeightInfo>& InWeights);

	uint32 GetNumVertices() const { return uint32(Weights.Num()); }
	/** The most influences any vertex uses: one past the last slot with a weight. */
	uint32 GetMaxBoneInfluences() const { return MaxBoneInfluences; }
	/** Always true: the weights are only ever read on the CPU. */
	bool GetNeedsCPUAccess() const { return true; }

	/** A vertex's influences; an index past the end is a failed check, as for the other accessors. */
	void GetVertexSkinWeights(uint32 VertexIndex, FSkinWeightInfo& OutVertex) const;
	void GetSkinWeights(TArray<FSkinWeightInfo>& OutVertices) const { OutVertices = Weights; }
	FBoneIndexType GetBoneIndex(uint32 VertexIndex, uint32 InfluenceIndex) const;
	uint16 GetBoneWeight(uint32 VertexIndex, uint32 InfluenceIndex) const;

private:
	TArray<FSkinWeightInfo> Weights;
	uint32 MaxBoneInfluences = 0;
};
