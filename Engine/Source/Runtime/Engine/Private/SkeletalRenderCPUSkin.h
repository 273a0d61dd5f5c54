#pragma once

#include "CoreMinimal.h"
#include "Math/Matrix.h"
#include "SkeletalRenderPublic.h"

class FSkeletalMeshLODRenderData;
class UMorphTarget;

namespace UE::Engine::Private
{
	/** A morph target to blend in and its weight. */
	struct FActiveMorph
	{
		const UMorphTarget* MorphTarget = nullptr;
		float Weight = 0.0f;
	};

	/**
	 * The morphed and skinned vertices of one LOD (see USkinnedMeshComponent::GetCPUSkinnedVertices).
	 * Everything is checked before anything is computed; OutVertices changes only on success.
	 */
	void SkinVerticesOnCPU(const FSkeletalMeshLODRenderData& LOD, int32 LODIndex, const TArray<FActiveMorph>& Morphs,
		const TArray<FMatrix44f>& RefToLocals, TArray<FFinalSkinVertex>& OutVertices);
}
