#pragma once

// One section of the character editor: a title over a list of rows, each a label on the left
// and a slider on the right. The area picks the slider kind for what a row edits, makes the
// slider from the class the editor widget configured, binds it to the record and the
// controller it drives, and starts it.

#include "Components/ExpandableArea.h"
#include "CoreMinimal.h"
#include "Templates/SubclassOf.h"

#include "HCCharacterEditorExpandableArea.generated.h"

class UHCCharacterEditor1DSlider;
class UHCCharacterEditor2DSlider;
class UHCCharacterEditorPolygonSlider;
class UHCMorphShapingController;
class UHCTextureEditingController;
class UHorizontalBox;
class UTextBlock;
class UUserWidget;
class UVerticalBox;
struct FHCCharacterEditorSegmentation;
struct FHCCharacterEditorSkinCompositionHandler;
struct FHCShapeConstraints;
struct FHCTransformConstraint;

UCLASS()
class VORPEX_API UHCCharacterEditorExpandableArea : public UExpandableArea
{
	GENERATED_BODY()

public:
	/** Makes the title (Title, 20 points at scale 1) the header and an empty vertical box the body. */
	void Initialize(const FString& Title);

	/**
	 * A row for a shape constraint (at least one shape; a failed check otherwise): a 1-D slider
	 * over [0, 1] for one shape and [-1, 1] for two, a polygon slider for more.
	 */
	void AddShapeConstraintsSlider(const FHCShapeConstraints& ShapeConstraints);

	/** A 2-D colour picker row for a "PixelPickerElement" handler with exactly one picker image (a failed check otherwise). */
	void AddSkinCompositingHandler(const FHCCharacterEditorSegmentation& Segmentation, const FHCCharacterEditorSkinCompositionHandler& Handler);

	/** A 1-D slider row over the constraint's range that drives nothing: bones are not shaped here. */
	void AddBoneShapingSlider(const FHCCharacterEditorSegmentation& Segmentation, const FHCTransformConstraint& TransformConstraint);

	/** Given to the sliders of shape rows. */
	UHCMorphShapingController* MorphShapingController = nullptr;
	/** Given to the colour pickers. */
	UHCTextureEditingController* TextureEditingController = nullptr;
	TSubclassOf<UHCCharacterEditor1DSlider> Slider1DClass;
	TSubclassOf<UHCCharacterEditor2DSlider> Slider2DClass;
	TSubclassOf<UHCCharacterEditorPolygonSlider> PolygonSliderClass;

protected:
	UVerticalBox* GetBodyAsVerticalBox() const;

private:
	/** A text block showing Text in the regular typeface at BaseSize points times the viewport scale, rounded. */
	UTextBlock* MakeText(const FString& Text, float BaseSize);
	/** A row holding the label Label on the left third. */
	UHorizontalBox* MakeRow(const FString& Label);
	/** Puts Slider in the right two thirds of Row and the row at the end of the body. */
	void FinishRow(UHorizontalBox* Row, UUserWidget* Slider);
	/** Slider, of SliderClass: logs why a row cannot be made when it is null. */
	template <typename SliderType>
	SliderType* CreateSlider(TSubclassOf<SliderType> SliderClass, const FString& Label);
};
