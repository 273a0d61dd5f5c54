#include "SkeletalRenderCPUSkin.h"

#include "Animation/MorphTarget.h"
#include "Rendering/SkeletalMeshLODRenderData.h"

namespace UE::Engine::Private
{
	namespace
	{
		FVector3f XYZ(const FVector4f& V)
		{
			return FVector3f(V.X, V.Y, V.Z);
		}

		/** Checks that the LOD's buffers, sections and morph deltas fit together, before any vertex is touched. */
		void CheckSkinningInputs(const FSkeletalMeshLODRenderData& LOD, int32 LODIndex, const TArray<FActiveMorph>& Morphs, int32 NumBones)
		{
			const FPositionVertexBuffer& Positions = LOD.StaticVertexBuffers.PositionVertexBuffer;
			const FStaticMeshVertexBuffer& Tangents = LOD.StaticVertexBuffers.StaticMeshVertexBuffer;
			const uint32 NumVertices = Positions.GetNumVertices();
			checkf(NumVertices == 0 || Positions.GetVertexData(), TEXT("CPU skinning of LOD %d: the positions have no CPU copy"), LODIndex);
			checkf(Tangents.GetNumVertices() == NumVertices, TEXT("CPU skinning of LOD %d: %u positions but %u tangent frames"), LODIndex,
				NumVertices, Tangents.GetNumVertices());
			checkf(NumVertices == 0 || Tangents.GetAllowCPUAccess(), TEXT("CPU skinning of LOD %d: the tangents have no CPU copy"), LODIndex);
			const uint32 NumWeighted = LOD.SkinWeightVertexBuffer.GetNumVertices();
			checkf(NumWeighted == 0 || NumWeighted == NumVertices, TEXT("CPU skinning of LOD %d: %u positions but %u skin weights"), LODIndex,
				NumVertices, NumWeighted);
			for (int32 SectionIndex = 0; SectionIndex < LOD.RenderSections.Num(); ++SectionIndex)
			{
				const FSkelMeshRenderSection& Section = LOD.RenderSections[SectionIndex];
				checkf(uint64(Section.BaseVertexIndex) + Section.NumVertices <= NumVertices,
					TEXT("CPU skinning of LOD %d: render section %d covers vertices %u to %llu of %u"), LODIndex, SectionIndex,
					Section.BaseVertexIndex, (unsigned long long)(uint64(Section.BaseVertexIndex) + Section.NumVertices), NumVertices);
				for (const FBoneIndexType Bone : Section.BoneMap)
				{
					checkf(int32(Bone) < NumBones, TEXT("CPU skinning of LOD %d: render section %d maps to bone %d of %d"), LODIndex, SectionIndex,
						int32(Bone), NumBones);
				}
			}
			for (const FActiveMorph& Morph : Morphs)
			{
				int32 NumDeltas = 0;
				const FMorphTargetDelta* Deltas = Morph.MorphTarget->GetMorphTargetDelta(LODIndex, NumDeltas);
				for (int32 DeltaIndex = 0; DeltaIndex < NumDeltas; ++DeltaIndex)
				{
					checkf(Deltas[DeltaIndex].SourceIdx < NumVertices, TEXT("CPU skinning of LOD %d: morph target %s moves vertex %u of %u"), LODIndex,
						*Morph.MorphTarget->GetName(), Deltas[DeltaIndex].SourceIdx, NumVertices);
				}
			}
		}

		/** Moves the vertices by the weighted deltas and repairs the tangent frames the normal deltas bent. */
		void ApplyMorphs(int32 LODIndex, const TArray<FActiveMorph>& Morphs, TArray<FFinalSkinVertex>& Vertices)
		{
			TArray<bool> Bent;
			Bent.Init(false, Vertices.Num());
			for (const FActiveMorph& Morph : Morphs)
			{
				if (Morph.Weight == 0.0f)
				{
					continue;
				}
				int32 NumDeltas = 0;
				const FMorphTargetDelta* Deltas = Morph.MorphTarget->GetMorphTargetDelta(LODIndex, NumDeltas);
				for (int32 DeltaIndex = 0; DeltaIndex < NumDeltas; ++DeltaIndex)
				{
					FFinalSkinVertex& Vertex = Vertices[int32(Deltas[DeltaIndex].SourceIdx)];
					Vertex.Position += Deltas[DeltaIndex].PositionDelta * Morph.Weight;
					const FVector3f Normal = XYZ(Vertex.TangentZ) + Deltas[DeltaIndex].TangentZDelta * Morph.Weight;
					Vertex.TangentZ = FVector4f(Normal.X, Normal.Y, Normal.Z, Vertex.TangentZ.W);
					Bent[int32(Deltas[DeltaIndex].SourceIdx)] = true;
				}
			}
			for (int32 VertexIndex = 0; VertexIndex < Vertices.Num(); ++VertexIndex)
			{
				if (!Bent[VertexIndex])
				{
					continue;
				}
				FFinalSkinVertex& Vertex = Vertices[VertexIndex];
				const FVector3f Normal = XYZ(Vertex.TangentZ).GetSafeNormal(UE_SMALL_NUMBER, FVector3f(0, 0, 1));
				Vertex.TangentZ = FVector4f(Normal.X, Normal.Y, Normal.Z, Vertex.TangentZ.W);
				// Gram-Schmidt: the tangent keeps its direction as far as it can while turning square to the new normal.
				Vertex.TangentX = (Vertex.TangentX - Normal * (Vertex.TangentX | Normal)).GetSafeNormal(UE_SMALL_NUMBER, Vertex.TangentX);
			}
		}
	}

	void SkinVerticesOnCPU(const FSkeletalMeshLODRenderData& LOD, int32 LODIndex, const TArray<FActiveMorph>& Morphs,
		const TArray<FMatrix44f>& RefToLocals, TArray<FFinalSkinVertex>& OutVertices)
	{
		CheckSkinningInputs(LOD, LODIndex, Morphs, RefToLocals.Num());

		const FPositionVertexBuffer& Positions = LOD.StaticVertexBuffers.PositionVertexBuffer;
		const FStaticMeshVertexBuffer& Tangents = LOD.StaticVertexBuffers.StaticMeshVertexBuffer;
		const uint32 NumVertices = Positions.GetNumVertices();
		TArray<FFinalSkinVertex> Vertices;
		Vertices.SetNum(int32(NumVertices));
		for (uint32 VertexIndex = 0; VertexIndex < NumVertices; ++VertexIndex)
		{
			FFinalSkinVertex& Vertex = Vertices[int32(VertexIndex)];
			Vertex.Position = Positions.VertexPosition(VertexIndex);
			Vertex.TangentX = XYZ(Tangents.VertexTangentX(VertexIndex));
			Vertex.TangentZ = Tangents.VertexTangentZ(VertexIndex);
			const FVector2f UV = Tangents.GetVertexUV(VertexIndex, 0);
			Vertex.U = UV.X;
			Vertex.V = UV.Y;
		}

		ApplyMorphs(LODIndex, Morphs, Vertices);

		const FSkinWeightVertexBuffer& Weights = LOD.SkinWeightVertexBuffer;
		for (int32 SectionIndex = 0; SectionIndex < LOD.RenderSections.Num() && Weights.GetNumVertices() > 0; ++SectionIndex)
		{
			const FSkelMeshRenderSection& Section = LOD.RenderSections[SectionIndex];
			for (uint32 VertexIndex = Section.BaseVertexIndex; VertexIndex < Section.BaseVertexIndex + Section.NumVertices; ++VertexIndex)
			{
				FSkinWeightInfo Influences;
				Weights.GetVertexSkinWeights(VertexIndex, Influences);
				uint32 WeightSum = 0;
				for (int32 Influence = 0; Influence < MAX_TOTAL_INFLUENCES; ++Influence)
				{
					WeightSum += Influences.InfluenceWeights[Influence];
				}
				if (WeightSum == 0)
				{
					continue;
				}
				// Weights are divided by their sum, so a mesh whose weights miss 65535 by rounding is not scaled.
				FMatrix44f Blended;
				bool bFirst = true;
				for (int32 Influence = 0; Influence < MAX_TOTAL_INFLUENCES; ++Influence)
				{
					if (Influences.InfluenceWeights[Influence] == 0)
					{
						continue;
					}
					const int32 LocalBone = Influences.InfluenceBones[Influence];
					checkf(Section.BoneMap.IsValidIndex(LocalBone), TEXT("CPU skinning of LOD %d: vertex %u uses bone %d of section %d's %d bones"),
						LODIndex, VertexIndex, LocalBone, SectionIndex, Section.BoneMap.Num());
					const FMatrix44f Weighted = RefToLocals[Section.BoneMap[LocalBone]] * (float(Influences.InfluenceWeights[Influence]) / float(WeightSum));
					Blended = bFirst ? Weighted : Blended + Weighted;
					bFirst = false;
				}
				FFinalSkinVertex& Vertex = Vertices[int32(VertexIndex)];
				Vertex.Position = Blended.TransformPosition(Vertex.Position);
				Vertex.TangentX = Blended.TransformVector(Vertex.TangentX).GetSafeNormal(UE_SMALL_NUMBER, Vertex.TangentX);
				const FVector3f Normal = Blended.TransformVector(XYZ(Vertex.TangentZ)).GetSafeNormal(UE_SMALL_NUMBER, XYZ(Vertex.TangentZ));
				Vertex.TangentZ = FVector4f(Normal.X, Normal.Y, Normal.Z, Vertex.TangentZ.W);
			}
		}
		OutVertices = std::move(Vertices);
	}
}
