#include "Rendering/SkeletalMeshLODRenderData.h"

#include "RenderResource.h"

int32 FSkeletalMeshLODRenderData::FindSectionIndexForVertex(uint32 VertexIndex) const
{
	return RenderSections.IndexOfByPredicate([VertexIndex](const FSkelMeshRenderSection& Section) { return Section.ContainsVertex(VertexIndex); });
}

void FSkeletalMeshLODRenderData::InitResources()
{
	BeginInitResource(&StaticVertexBuffers.PositionVertexBuffer);
	BeginInitResource(&StaticVertexBuffers.StaticMeshVertexBuffer);
	BeginInitResource(&StaticVertexBuffers.ColorVertexBuffer);
}

void FSkeletalMeshLODRenderData::ReleaseResources()
{
	BeginReleaseResource(&StaticVertexBuffers.PositionVertexBuffer);
	BeginReleaseResource(&StaticVertexBuffers.StaticMeshVertexBuffer);
	BeginReleaseResource(&StaticVertexBuffers.ColorVertexBuffer);
}
