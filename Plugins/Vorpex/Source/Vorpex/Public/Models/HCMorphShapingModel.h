#pragma once

// The morph-shaping model: one weight per morph target of the edited mesh, and whether the
// weights changed since they were last pushed to the mesh component. The morph-shaping
// controller writes the weights while editing; the model serializer saves and restores them.

#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "HCMorphShapingModel.generated.h"

class UHCCharacterEditorConfigData;
class USkeletalMesh;

UCLASS(BlueprintType, meta = (ToolTip = "Morph Target Model"))
class VORPEX_API UHCMorphShapingModel : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Adds every morph target of MorphableMesh, in the mesh's order, at weight 0 (a name the
	 * model has already goes back to 0), and marks the model dirty. Config is not used. A null
	 * mesh is reported with a warning on LogTemp and leaves the weights as they were, but
	 * still marks the model dirty.
	 */
	void Initialize(UHCCharacterEditorConfigData* Config, USkeletalMesh* MorphableMesh);

	/** True while the weights hold changes that have not been pushed to the mesh component. */
	bool IsMarkedDirty() const { return bDirty; }

	/**
	 * The weight of each morph target by name, in the order the names were added; names
	 * compare without letter case. Weights are kept exactly as set, never clamped.
	 */
	const TMap<FString, float>& GetMorphTargetWeights() const { return MorphTargetWeights; }

private:
	bool bDirty = false;

	TMap<FString, float> MorphTargetWeights;

	/** The controller writes the weights while editing and clears the flag when it pushes them. */
	friend class UHCMorphShapingController;
	/** The serializer restores saved weights and marks them for the next push. */
	friend class UHCModelSerializer;
};
