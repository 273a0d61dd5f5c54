#include "Rendering/SkeletalMeshRenderData.h"

void FSkeletalMeshRenderData::InitResources()
{
	for (FSkeletalMeshLODRenderData& LOD : LODRenderData)
	{
		LOD.InitResources();
	}
	bInitialized = true;
}

void FSkeletalMeshRenderData::ReleaseResources()
{
	for (FSkeletalMeshLODRenderData& LOD : LODRenderData)
	{
		LOD.ReleaseResources();
	}
	bInitialized = false;
}
