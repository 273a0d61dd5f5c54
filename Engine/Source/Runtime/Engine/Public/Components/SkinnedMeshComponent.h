#pragma once

#include "BoneContainer.h"
#include "Components/MeshComponent.h"
#include "CoreMinimal.h"
#include "Math/Matrix.h"
#include "Templates/SharedPointer.h"
#include "UObject/ObjectPtr.h"

#include "SkinnedMeshComponent.generated.h"

class UMorphTarget;
class USkinnedAsset;
struct FFinalSkinVertex;

/** Active morph targets and their index into the weights array (the morph target's index in the mesh). */
using FMorphTargetWeightMap = TMap<const UMorphTarget*, int32>;

/**
 * A mesh component that draws a skinned asset. No animation is evaluated on it: its pose is
 * the asset's reference pose, or the reference-pose override when one is set, and the active
 * morph targets are blended in with their weights. GetCPUSkinnedVertices computes the result.
 * An override is the bind pose too (its inverse bind matrices replace the asset's), so at rest
 * it moves no vertex: it places the bones that animation and export see.
 */
UCLASS(Abstract, BlueprintType)
class ENGINE_API USkinnedMeshComponent : public UMeshComponent
{
	GENERATED_BODY()

public:
	USkinnedMeshComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	USkinnedAsset* GetSkinnedAsset() const { return SkinnedAsset; }
	/**
	 * Draws InSkinnedAsset from now on. A different asset drops the reference-pose override
	 * (made for the old asset's bones) and re-resolves the active morph targets; the bounds and
	 * the render state are updated.
	 */
	virtual void SetSkinnedAssetAndUpdate(USkinnedAsset* InSkinnedAsset, bool bReinitPose = true);

	/** The asset's morph target of that name (names compare without letter case), or null. */
	UMorphTarget* FindMorphTarget(FName MorphTargetName) const;
	/** The morph targets that take part in the mesh, each with its index into GetMorphTargetWeights(). */
	const FMorphTargetWeightMap& GetActiveMorphTargets() const { return ActiveMorphTargets; }
	/** One weight per morph target of the asset; those not active are 0. */
	const TArray<float>& GetMorphTargetWeights() const { return MorphTargetWeights; }

	/**
	 * Replaces the asset's reference pose and bind pose on this component with
	 * NewRefPoseTransforms, one local transform per bone. Without an asset, or with a transform count other than its bone count,
	 * a warning is logged on LogSkeletalMesh and nothing changes.
	 */
	virtual void SetRefPoseOverride(const TArray<FTransform>& NewRefPoseTransforms);
	virtual void ClearRefPoseOverride();
	/** The override, or an invalid pointer when none is set. */
	virtual const TSharedPtr<FSkelMeshRefPoseOverride>& GetRefPoseOverride() const { return RefPoseOverride; }

	int32 GetNumBones() const;
	/** The bone's index in the asset's reference skeleton, or INDEX_NONE. */
	int32 GetBoneIndex(FName BoneName) const;
	FName GetBoneName(int32 BoneIndex) const;
	/**
	 * Every bone's transform in component space for the current pose (empty without an asset).
	 * Recomputed on each call; the array keeps its storage while the bone count stays.
	 */
	const TArray<FTransform>& GetComponentSpaceTransforms() const;
	/** A bone's world transform; a bone that does not exist gives the component's transform. */
	FTransform GetBoneTransform(int32 BoneIndex) const;
	/** Bones are the sockets: a bone name gives the bone's transform in TransformSpace. */
	FTransform GetSocketTransform(FName InSocketName, ERelativeTransformSpace TransformSpace = RTS_World) const override;
	bool DoesSocketExist(FName InSocketName) const override;

	/** The override, else the asset's material of that slot, else null. */
	UMaterialInterface* GetMaterial(int32 ElementIndex) const override;
	/** The asset's slot count (at least the overrides'). */
	int32 GetNumMaterials() const override;

	/** The asset's bounds moved by LocalToWorld; a point at the origin without an asset. */
	FBoxSphereBounds CalcBounds(const FTransform& LocalToWorld) const override;

	/**
	 * Per bone, the matrix that takes a bind-pose vertex to the current pose: the asset's inverse
	 * bind matrix, then the bone's component-space matrix in the current pose. Without an asset
	 * the array is emptied.
	 */
	void CacheRefToLocalMatrices(TArray<FMatrix44f>& OutRefToLocal) const;
	/**
	 * The vertices of LOD InLODIndex of the current state, in component space: the active morph
	 * targets applied to the bind-pose vertices (positions, normals renormalised, tangents
	 * re-orthogonalised), then linear blend skinning with CacheRefToLocalMatrices. Vertices
	 * whose weights are all zero, or that lie in no render section, stay where morphing put
	 * them. The asset, its render data and the LOD must exist, the position and tangent buffers
	 * must keep CPU copies, and the LOD's sections, weights and morph deltas must fit its
	 * vertices and bones: anything else is a failed check naming the problem, with OutVertices
	 * unchanged.
	 */
	void GetCPUSkinnedVertices(TArray<FFinalSkinVertex>& OutVertices, int32 InLODIndex) const;

protected:
	/** Re-resolves ActiveMorphTargets and MorphTargetWeights against the asset; skinned components have no weights of their own. */
	virtual void RefreshMorphTargets();

	UPROPERTY()
	TObjectPtr<USkinnedAsset> SkinnedAsset = nullptr;

	FMorphTargetWeightMap ActiveMorphTargets;
	TArray<float> MorphTargetWeights;

private:
	TSharedPtr<FSkelMeshRefPoseOverride> RefPoseOverride;
	/** Recomputed on every read, so an asset edited in place never leaves it stale. */
	mutable TArray<FTransform> ComponentSpaceTransforms;
};
