#pragma once

// One level of detail of a skeletal mesh as the renderer holds it: render sections (each a
// range of vertices and triangles drawn with one material), the vertex buffers, the skin
// weights and the triangle list. An importer fills the buffers on the game thread and then
// has the mesh initialize its render resources.

#include "BoneIndices.h"
#include "CoreMinimal.h"
#include "Rendering/MultiSizeIndexContainer.h"
#include "Rendering/SkinWeightVertexBuffer.h"
#include "StaticMeshResources.h"

/** A range of the LOD's vertices and triangles drawn with one material slot. */
struct FSkelMeshRenderSection
{
	/** The material slot (index into the mesh's materials) the section is drawn with. */
	uint16 MaterialIndex = 0;
	/** The first index of the section's triangles in the index buffer. */
	uint32 BaseIndex = 0;
	uint32 NumTriangles = 0;
	/** The first vertex of the section in the vertex buffers. */
	uint32 BaseVertexIndex = 0;
	uint32 NumVertices = 0;
	int32 MaxBoneInfluences = 4;
	/** Maps the section's bone indices (those the skin weights use) to bones of the reference skeleton. */
	TArray<FBoneIndexType> BoneMap;
	bool bDisabled = false;

	int32 GetNumVertices() const { return int32(NumVertices); }
	int32 GetVertexBufferIndex() const { return int32(BaseVertexIndex); }
	bool ContainsVertex(uint32 VertexIndex) const { return VertexIndex >= BaseVertexIndex && VertexIndex - BaseVertexIndex < NumVertices; }
};

class ENGINE_API FSkeletalMeshLODRenderData
{
public:
	TArray<FSkelMeshRenderSection> RenderSections;
	FStaticMeshVertexBuffers StaticVertexBuffers;
	FSkinWeightVertexBuffer SkinWeightVertexBuffer;
	FMultiSizeIndexContainer MultiSizeIndexContainer;
	/** The reference-skeleton bones the LOD's skinning uses, in increasing order. */
	TArray<FBoneIndexType> RequiredBones;
	TArray<FBoneIndexType> ActiveBoneIndices;

	FSkeletalMeshLODRenderData() = default;
	FSkeletalMeshLODRenderData(const FSkeletalMeshLODRenderData&) = delete;
	FSkeletalMeshLODRenderData& operator=(const FSkeletalMeshLODRenderData&) = delete;

	uint32 GetNumVertices() const { return StaticVertexBuffers.PositionVertexBuffer.GetNumVertices(); }
	uint32 GetNumTexCoords() const { return StaticVertexBuffers.StaticMeshVertexBuffer.GetNumTexCoords(); }
	FSkinWeightVertexBuffer* GetSkinWeightVertexBuffer() { return &SkinWeightVertexBuffer; }
	const FSkinWeightVertexBuffer* GetSkinWeightVertexBuffer() const { return &SkinWeightVertexBuffer; }
	/** The index of the render section holding VertexIndex, or INDEX_NONE. */
	int32 FindSectionIndexForVertex(uint32 VertexIndex) const;

	/** Hands the vertex buffers to the rendering thread to make their GPU copies (game thread). */
	void InitResources();
	/** Hands the vertex buffers to the rendering thread to drop their GPU copies (game thread). */
	void ReleaseResources();
};
