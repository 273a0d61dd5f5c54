#pragma once

// The render data of a skeletal mesh: its levels of detail, LOD 0 first.

#include "Containers/IndirectArray.h"
#include "CoreMinimal.h"
#include "Rendering/SkeletalMeshLODRenderData.h"

class ENGINE_API FSkeletalMeshRenderData
{
public:
	TIndirectArray<FSkeletalMeshLODRenderData> LODRenderData;

	FSkeletalMeshRenderData() = default;
	FSkeletalMeshRenderData(const FSkeletalMeshRenderData&) = delete;
	FSkeletalMeshRenderData& operator=(const FSkeletalMeshRenderData&) = delete;

	/** Enqueues the GPU copies of every LOD's vertex buffers (game thread); buffers made already are kept. */
	void InitResources();
	/** Enqueues the release of every LOD's GPU copies (game thread). */
	void ReleaseResources();
	/** Whether InitResources ran more recently than ReleaseResources. */
	bool IsInitialized() const { return bInitialized; }

private:
	bool bInitialized = false;
};
