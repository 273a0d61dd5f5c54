#pragma once

#include "CoreMinimal.h"
#include "Engine/SkinnedAssetCommon.h"
#include "Math/BoxSphereBounds.h"
#include "Math/Matrix.h"
#include "ReferenceSkeleton.h"
#include "UObject/ObjectPtr.h"
#include "UObject/Object.h"

#include "SkinnedAsset.generated.h"

class FSkeletalMeshRenderData;
class UMorphTarget;
class USkeleton;

/** A mesh deformed by a skeleton: what skinned mesh components draw. */
UCLASS(Abstract)
class ENGINE_API USkinnedAsset : public UObject
{
	GENERATED_BODY()

public:
	virtual USkeleton* GetSkeleton() = 0;
	virtual const USkeleton* GetSkeleton() const = 0;
	/** The mesh's own bone hierarchy and bind pose, which may differ from its skeleton's. */
	virtual FReferenceSkeleton& GetRefSkeleton() = 0;
	virtual const FReferenceSkeleton& GetRefSkeleton() const = 0;
	/** Per bone, the inverse of its component-space bind-pose matrix: model space to bone space. */
	virtual const TArray<FMatrix44f>& GetRefBasesInvMatrix() const = 0;
	virtual TArray<FSkeletalMaterial>& GetMaterials() = 0;
	virtual const TArray<FSkeletalMaterial>& GetMaterials() const = 0;
	/** The render data, or null before any was made. */
	virtual FSkeletalMeshRenderData* GetResourceForRendering() const = 0;
	/** The morph targets, in the order their indices refer to. */
	virtual const TArray<TObjectPtr<UMorphTarget>>& GetMorphTargets() const = 0;
	/** The morph target named MorphTargetName (names compare without letter case) with its index, or null and INDEX_NONE. */
	virtual UMorphTarget* FindMorphTargetAndIndex(FName MorphTargetName, int32& OutIndex) const = 0;
	UMorphTarget* FindMorphTarget(FName MorphTargetName) const
	{
		int32 Index = INDEX_NONE;
		return FindMorphTargetAndIndex(MorphTargetName, Index);
	}
	/** The bounds of the mesh in its bind pose. */
	virtual FBoxSphereBounds GetBounds() const = 0;
};
