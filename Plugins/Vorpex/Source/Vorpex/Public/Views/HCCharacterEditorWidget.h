#pragma once

// The character editor: pointed at an editable skeletal mesh component that has begun
// editing, it fills its SettingsList with one expandable area per section of the component's
// editor configuration, each holding a slider row per shape constraint and per colour picker
// of the section. From then on the sliders talk to the component's controllers themselves.

#include "Blueprint/UserWidget.h"
#include "CoreMinimal.h"
#include "Templates/SubclassOf.h"

#include "HCCharacterEditorWidget.generated.h"

class UHCCharacterEditor1DSlider;
class UHCCharacterEditor2DSlider;
class UHCCharacterEditorExpandableArea;
class UHCCharacterEditorPolygonSlider;
class UHCEditableSkeletalMeshComponent;
class UVerticalBox;
struct FHCCharacterEditorSegmentation;

UCLASS(EditInlineNew)
class VORPEX_API UHCCharacterEditorWidget : public UUserWidget
{
	GENERATED_BODY()

public:
	/** The component being edited; it must have begun editing before the widget is constructed. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TObjectPtr<UHCEditableSkeletalMeshComponent> HCSkeletalMeshComponent = nullptr;

protected:
	/**
	 * Builds the editor: areas in the order they are first needed, shape sections first (in
	 * configuration order), then the sections only colour pickers reach (in skin-component
	 * order). A second construction finds the editor built and changes nothing.
	 */
	void NativeConstruct() override;

	/** The area titled Title (letter case ignored), made, initialised and added to SettingsList the first time. */
	UHCCharacterEditorExpandableArea* getOrCreateExpandableArea(const FString& Title);

	/** Receives the expandable areas. */
	UPROPERTY(Category = "Halcor", meta = (BindWidget, EditInline))
	TObjectPtr<UVerticalBox> SettingsList = nullptr;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TSubclassOf<UHCCharacterEditor1DSlider> HCCharacterEditor1DSliderClass;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TSubclassOf<UHCCharacterEditor2DSlider> HCCharacterEditor2DSliderClass;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TSubclassOf<UHCCharacterEditorPolygonSlider> HCCharacterEditorPolygonSliderClass;

	/** The areas made so far, by title; keys ignore letter case. */
	UPROPERTY(Category = "Halcor", meta = (EditInline))
	TMap<FString, TObjectPtr<UHCCharacterEditorExpandableArea>> ExpandableAreasMap;

private:
	/** A slider row for every shape constraint; fills MeshSegmentations with the segmentation each mesh belongs to. */
	void AddShapeRows(TMap<FString, const FHCCharacterEditorSegmentation*>& MeshSegmentations);
	/** A colour row per handler display name and segmentation, for the skin components whose meshes a segmentation targets. */
	void AddColourRows(const TMap<FString, const FHCCharacterEditorSegmentation*>& MeshSegmentations);
};
