#pragma once

#include "Components/SkinnedMeshComponent.h"
#include "CoreMinimal.h"

#include "SkeletalMeshComponent.generated.h"

class USkeletalMesh;

/** A skinned mesh component for a skeletal mesh, with morph-target weights set by name. */
UCLASS(BlueprintType)
class ENGINE_API USkeletalMeshComponent : public USkinnedMeshComponent
{
	GENERATED_BODY()

public:
	USkeletalMeshComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/** The drawn mesh, or null (also when the skinned asset is not a skeletal mesh). */
	USkeletalMesh* GetSkeletalMeshAsset() const;
	void SetSkeletalMeshAsset(USkeletalMesh* NewMesh) { SetSkeletalMesh(NewMesh); }
	virtual void SetSkeletalMesh(USkeletalMesh* NewMesh, bool bReinitPose = true);

	/**
	 * Sets the weight of the morph target named MorphTargetName (names compare without letter
	 * case). The weight is kept whether or not the mesh has such a morph target, so it applies
	 * to a mesh set later. With bRemoveZeroWeight a weight within 0.00001 of zero removes the
	 * name instead, taking its morph target out of the active list; without it the morph target
	 * stays active at that weight. A weight that is not finite is refused with a warning.
	 */
	UFUNCTION(BlueprintCallable, Category = "Components|SkeletalMesh")
	void SetMorphTarget(FName MorphTargetName, float Value, bool bRemoveZeroWeight = true);
	/** The weight set for the name, 0 when none is. */
	UFUNCTION(BlueprintCallable, Category = "Components|SkeletalMesh")
	float GetMorphTarget(FName MorphTargetName) const;
	/** Removes every weight, leaving no morph target active. */
	UFUNCTION(BlueprintCallable, Category = "Components|SkeletalMesh")
	void ClearMorphTargets();
	/** The weights set by name, in the order the names were first set. */
	const TMap<FName, float>& GetMorphTargetCurves() const { return MorphTargetCurves; }

	/** Bodies of a physics asset follow bones; there are no physics assets here, so no body needs its bone found again. */
	void UpdateBoneBodyMapping() {}

protected:
	/** Makes every named weight whose morph target the mesh has active, in the order of the names. */
	void RefreshMorphTargets() override;

private:
	TMap<FName, float> MorphTargetCurves;
};
