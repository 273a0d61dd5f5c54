#include "Rendering/SkinWeightVertexBuffer.h"

FSkinWeightVertexBuffer& FSkinWeightVertexBuffer::operator=(const TArray<FSkinWeightInfo>& InWeights)
{
	Weights = InWeights;
	MaxBoneInfluences = 0;
	for (const FSkinWeightInfo& Vertex : Weights)
	{
		for (uint32 Influence = MaxBoneInfluences; Influence < MAX_TOTAL_INFLUENCES; ++Influence)
		{
			if (Vertex.InfluenceWeights[Influence] != 0)
			{
				MaxBoneInfluences = Influence + 1;
			}
		}
	}
	return *this;
}

void FSkinWeightVertexBuffer::GetVertexSkinWeights(uint32 VertexIndex, FSkinWeightInfo& OutVertex) const
{
	checkf(VertexIndex < GetNumVertices(), TEXT("GetVertexSkinWeights: vertex %u of %u"), VertexIndex, GetNumVertices());
	OutVertex = Weights[int32(VertexIndex)];
}

FBoneIndexType FSkinWeightVertexBuffer::GetBoneIndex(uint32 VertexIndex, uint32 InfluenceIndex) const
{
	checkf(VertexIndex < GetNumVertices() && InfluenceIndex < MAX_TOTAL_INFLUENCES, TEXT("GetBoneIndex: influence %u of vertex %u of %u"),
		InfluenceIndex, VertexIndex, GetNumVertices());
	return Weights[int32(VertexIndex)].InfluenceBones[InfluenceIndex];
}

uint16 FSkinWeightVertexBuffer::GetBoneWeight(uint32 VertexIndex, uint32 InfluenceIndex) const
{
	checkf(VertexIndex < GetNumVertices() && InfluenceIndex < MAX_TOTAL_INFLUENCES, TEXT("GetBoneWeight: influence %u of vertex %u of %u"),
		InfluenceIndex, VertexIndex, GetNumVertices());
	return Weights[int32(VertexIndex)].InfluenceWeights[InfluenceIndex];
}
