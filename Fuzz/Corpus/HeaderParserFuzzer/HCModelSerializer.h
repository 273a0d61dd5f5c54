#pragma once

// Saves and restores the edit state of a character, the weights of its morph-shaping model
// and the colorize colours of its texture-editing model, as bytes (see HCEditState.h for
// their layout) and as files.

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include "HCModelSerializer.generated.h"

class UHCColorize;
class UHCEditableSkeletalMeshComponent;
class UHCMorphShapingModel;
class UHCTextureEditingModel;
struct FHCEditState;

UCLASS(BlueprintType)
class VORPEX_API UHCModelSerializer : public UObject
{
	GENERATED_BODY()

public:
	/** The morph model to save or fill; null leaves the morph section out of the bytes. */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	void SetMorphShapingModel(UHCMorphShapingModel* Model);

	/** The texture model to save or fill; null leaves the colour section out of the bytes. */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	void SetTextureEditingModel(UHCTextureEditingModel* Model);

	/**
	 * Takes both models from SkeletalMeshComponent; they are null until its editing begins, so
	 * the bytes of a component not yet edited hold neither section. A null component, or one
	 * without a valid editor configuration, is refused with an error on LogVorpex, and the
	 * models set before are kept.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	void AssignDataModels(UHCEditableSkeletalMeshComponent* SkeletalMeshComponent);

	/**
	 * Writes the models' state over OutBytes from its start (the array grows as needed and is
	 * never shortened): every morph weight in the model's order, and the colour of every
	 * colorize among the texture model's interface processors, by component, stack and
	 * processor. Always true.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	bool SerializeToBytes(TArray<uint8>& OutBytes);

	/**
	 * Restores the state InBytes hold and marks both models dirty, so the next apply shows it.
	 * Weights of names the model lacks are added; weights the bytes do not name are kept. The
	 * whole input is checked first: bytes that are cut off or damaged, sections that do not
	 * match the models set here, or colours for processors that are no colorize are refused
	 * with one error on LogTemp and false, and the models stay exactly as they were.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	bool DeserializeFromBytes(const TArray<uint8>& InBytes);

	/**
	 * SerializeToBytes with the models of SkeletalMeshComponent (see AssignDataModels). False,
	 * with OutBytes untouched, when the component's models cannot be assigned.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	static bool SerializeEditableSkeletalMeshComponent(UHCEditableSkeletalMeshComponent* SkeletalMeshComponent, TArray<uint8>& OutBytes);

	/**
	 * DeserializeFromBytes into the models of SkeletalMeshComponent (see AssignDataModels); its
	 * next tick while editing shows the loaded state. False, with nothing changed, when the
	 * component's models cannot be assigned or the bytes do not fit them.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	static bool DeserializeEditableSkeletalMeshComponent(UHCEditableSkeletalMeshComponent* SkeletalMeshComponent, const TArray<uint8>& Bytes);

	/**
	 * Writes Bytes as the file FilePath, creating or replacing it; false (with a warning) for
	 * an empty array. The bytes go to a file beside it first, which then replaces it, so a
	 * failed save leaves the old file whole.
	 */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	static bool SaveToFile(const FString& FilePath, const TArray<uint8>& Bytes);

	/** Replaces OutBytes with the whole file FilePath; false, with OutBytes untouched, when it cannot be read. */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	static bool LoadFromFile(const FString& FilePath, TArray<uint8>& OutBytes);

private:
	/** AssignDataModels, telling whether the models were taken from the component. */
	bool TryAssignDataModels(UHCEditableSkeletalMeshComponent* SkeletalMeshComponent);

	/**
	 * Whether State can be applied to the models: its sections match the models set here and
	 * each colour addresses a colorize, which OutColorizes receives. Otherwise false, with the
	 * reason in OutError.
	 */
	bool CheckFitsModels(const FHCEditState& State, TArray<UHCColorize*>& OutColorizes, FString& OutError) const;

	/** Not owned: the models belong to the component being edited. */
	TWeakObjectPtr<UHCMorphShapingModel> MorphShapingModel;
	TWeakObjectPtr<UHCTextureEditingModel> TextureEditingModel;
};
