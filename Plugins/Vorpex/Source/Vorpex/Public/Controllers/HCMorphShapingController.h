#pragma once

// Turns slider input into morph-target weights of the morph-shaping model, and pushes the
// weights into the edited mesh component.

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"

#include "HCMorphShapingController.generated.h"

class UHCCharacterEditorConfigData;
class UHCMorphShapingModel;
class USkeletalMeshComponent;
struct FHCShapeConstraints;

UCLASS(BlueprintType, meta = (ToolTip = "Morph Target Controller"))
class VORPEX_API UHCMorphShapingController : public UObject
{
	GENERATED_BODY()

public:
	/** Keeps the editor configuration; nothing else. */
	void Initialize(UHCCharacterEditorConfigData* Config);

	/** The model that UpdateModel writes and ApplyChanges reads. */
	void SetModel(UHCMorphShapingModel* Model);

	/**
	 * Sets every shape of ShapeConstraints to 0, then shape FirstIndex to FirstWeight and, when
	 * SecondIndex is not negative, shape SecondIndex to SecondWeight, and marks the model dirty.
	 * Shapes of other constraints keep their weights. A call without a model or constraint, with
	 * an index outside the constraint's shapes, or naming a shape the model has no weight for
	 * is refused with one error on LogTemp and changes nothing.
	 */
	void UpdateModel(const FHCShapeConstraints* ShapeConstraints, int32 FirstIndex, float FirstWeight, int32 SecondIndex, float SecondWeight);

	/**
	 * Marks the model clean and sets every weight on Component, in the model's order; a weight
	 * of 0 takes its morph target out of the component's active list. Refreshing the render
	 * state is the caller's business.
	 */
	void ApplyChanges(USkeletalMeshComponent* Component);

	/** Morph weights have no random ranges in the configuration: nothing changes. */
	void Randomize();

	/** Morph weights have no configured start values: nothing changes. */
	void ResetToConfigValues();

private:
	/** Why UpdateModel cannot apply its arguments, or an empty string when it can. */
	FString FindUpdateError(const FHCShapeConstraints* ShapeConstraints, int32 FirstIndex, int32 SecondIndex) const;

	UPROPERTY()
	TObjectPtr<UHCCharacterEditorConfigData> Configuration = nullptr;

	UPROPERTY()
	TObjectPtr<UHCMorphShapingModel> ModelToControl = nullptr;
};
