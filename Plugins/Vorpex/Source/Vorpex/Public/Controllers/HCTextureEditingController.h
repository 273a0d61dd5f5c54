#pragma once

// Turns colour-picker positions into colours of the texture-editing model's colorize
// processors, and runs image processors: Prepare, the game-thread walk and one render graph
// per batch (FHCImageProcessorBatch).

#include "Controllers/HCTextureEditingColorPickerData.h"
#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "HCTextureEditingController.generated.h"

class UHCCharacterEditorConfigData;
class UHCCharacterEditorSkinCompositionData;
class UHCImageProcessor;
class UHCTextureEditingModel;
struct FHCCharacterEditorSegmentation;
struct FHCCharacterEditorSkinCompositionHandler;

UCLASS(BlueprintType, Blueprintable)
class VORPEX_API UHCTextureEditingController : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Builds the colour pickers of every "PixelPickerElement" handler of Skin and reads each
	 * palette back once. Handlers with the same display name in components whose first mesh
	 * belongs to the same segmentation of Config share one picker. Handlers that cannot get a
	 * picker are skipped with an error on LogTemp.
	 */
	void Initialize(UHCCharacterEditorConfigData* Config, UHCCharacterEditorSkinCompositionData* Skin);

	void SetModel(UHCTextureEditingModel* Model);

	/** Gives every picked colorize its configured start colour and marks the model dirty. */
	void ResetToConfigValues();

	/**
	 * Marks the model dirty and, for a picker handler of the skin composition given to
	 * Initialize (by address), gives the colour at Position to every colorize of its picker.
	 */
	void UpdateModel(const FHCCharacterEditorSegmentation* Segmentation, const FHCCharacterEditorSkinCompositionHandler* Handler, FVector2f Position);

	/** Marks the model clean and runs its result nodes in one batch. */
	void ApplyChanges();

	static void ProcessImageGameThread(UHCImageProcessor* Processor);

	/** Runs Processors as one batch, in set order. */
	static void ProcessImageGameThread(const TSet<UHCImageProcessor*>& Processors);

	const TArray<FHCTextureEditingColorPickerData>& GetColorPickers() const { return ColorPickers; }

	/** The index in GetColorPickers of the picker serving Handler, or -1. */
	int32 FindColorPicker(const FHCCharacterEditorSkinCompositionHandler* Handler) const;

private:
	/** Adds Handler (of component ComponentIndex) to the picker of its display name in SegmentationPickers, making the picker first if needed. */
	void AddHandler(int32 ComponentIndex, const FHCCharacterEditorSkinCompositionHandler* Handler, TMap<FString, int32>& SegmentationPickers);

	/** Gives Color to every colorize bound to Picker; bindings that address no colorize are skipped with an error. */
	void SetPickerColor(const FHCTextureEditingColorPickerData& Picker, FColor Color) const;

	/** The picker of a picker handler, or null (with an error logged) when it has none or its palette is unreadable. */
	const FHCTextureEditingColorPickerData* FindUsablePicker(const FHCCharacterEditorSkinCompositionHandler* Handler) const;

	UHCCharacterEditorSkinCompositionData* SkinCompositionData = nullptr;

	UHCTextureEditingModel* ModelToControl = nullptr;

	UPROPERTY()
	TArray<FHCTextureEditingColorPickerData> ColorPickers;

	TMap<const FHCCharacterEditorSkinCompositionHandler*, int32> HandlerToColorPicker;
};
