#pragma once

#include "CoreMinimal.h"
#include "Engine/SkinnedAsset.h"
#include "RenderCommandFence.h"
#include "Templates/UniquePtr.h"
#include "UObject/ObjectPtr.h"

#include "SkeletalMesh.generated.h"

class FSkeletalMeshRenderData;
class UMorphTarget;
class USkeleton;

/**
 * A skinned mesh asset: a reference skeleton with its bind pose, material slots, morph targets
 * and render data. An importer fills it through the setters, AllocateResourceForRendering and
 * the LOD buffers, then calls InitResources to make the GPU copies.
 */
UCLASS(BlueprintType)
class ENGINE_API USkeletalMesh : public USkinnedAsset
{
	GENERATED_BODY()

public:
	USkeletalMesh();
	~USkeletalMesh() override;

	USkeleton* GetSkeleton() override { return Skeleton; }
	const USkeleton* GetSkeleton() const override { return Skeleton; }
	void SetSkeleton(USkeleton* InSkeleton) { Skeleton = InSkeleton; }

	FReferenceSkeleton& GetRefSkeleton() override { return RefSkeleton; }
	const FReferenceSkeleton& GetRefSkeleton() const override { return RefSkeleton; }
	/** Replaces the bone hierarchy and bind pose and recomputes the inverse bind matrices. */
	void SetRefSkeleton(const FReferenceSkeleton& InRefSkeleton);
	const TArray<FMatrix44f>& GetRefBasesInvMatrix() const override { return RefBasesInvMatrix; }
	/** Recomputes the inverse bind matrices from the reference skeleton; call after editing it in place. */
	void CalculateInvRefMatrices();

	TArray<FSkeletalMaterial>& GetMaterials() override { return Materials; }
	const TArray<FSkeletalMaterial>& GetMaterials() const override { return Materials; }
	void SetMaterials(const TArray<FSkeletalMaterial>& InMaterials) { Materials = InMaterials; }

	/** The morph targets, in the order their indices refer to. */
	TArray<TObjectPtr<UMorphTarget>>& GetMorphTargets() { return MorphTargets; }
	const TArray<TObjectPtr<UMorphTarget>>& GetMorphTargets() const override { return MorphTargets; }
	/**
	 * Adds MorphTarget, or replaces the morph target of the same name in its place, and makes
	 * this mesh its base mesh. A null morph target is refused (false).
	 */
	bool RegisterMorphTarget(UMorphTarget* MorphTarget);
	/** Removes the morph target of that name, if any; later morph targets move down one index. */
	void UnregisterMorphTarget(UMorphTarget* MorphTarget);
	/** Replaces every morph target at once (null entries are a failed check; so are two of one name). */
	void SetMorphTargets(const TArray<UMorphTarget*>& InMorphTargets);
	/** Rebuilds the name-to-index map after GetMorphTargets() was edited directly. */
	void InitMorphTargets();
	const TMap<FName, int32>& GetMorphTargetIndexMap() const { return MorphTargetIndexMap; }
	UMorphTarget* FindMorphTargetAndIndex(FName MorphTargetName, int32& OutIndex) const override;

	FSkeletalMeshRenderData* GetResourceForRendering() const override { return SkeletalMeshRenderData.get(); }
	FSkeletalMeshRenderData* GetSkeletalMeshRenderData() const { return SkeletalMeshRenderData.get(); }
	/** Replaces the render data with an empty one (releasing the old one's GPU copies first) for an importer to fill. */
	void AllocateResourceForRendering();
	/** Makes the GPU copies of the render data's vertex buffers (game thread). */
	void InitResources();
	/** Drops the GPU copies; the next fence or flush tells when the rendering thread is done with them. */
	void ReleaseResources();

	FBoxSphereBounds GetBounds() const override { return ImportedBounds; }
	const FBoxSphereBounds& GetImportedBounds() const { return ImportedBounds; }
	void SetImportedBounds(const FBoxSphereBounds& InBounds) { ImportedBounds = InBounds; }

	/** Releases the GPU copies and waits for the rendering thread to let go of them. */
	void BeginDestroy() override;

private:
	UPROPERTY()
	TObjectPtr<USkeleton> Skeleton = nullptr;

	UPROPERTY()
	TArray<FSkeletalMaterial> Materials;

	UPROPERTY()
	TArray<TObjectPtr<UMorphTarget>> MorphTargets;

	FReferenceSkeleton RefSkeleton;
	TArray<FMatrix44f> RefBasesInvMatrix;
	TMap<FName, int32> MorphTargetIndexMap;
	TUniquePtr<FSkeletalMeshRenderData> SkeletalMeshRenderData;
	FBoxSphereBounds ImportedBounds;
	FRenderCommandFence ReleaseResourcesFence;
};
