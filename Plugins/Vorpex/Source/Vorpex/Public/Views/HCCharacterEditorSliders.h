#pragma once

// The editor's three slider widgets, the user's input to the editing controllers. Each one's
// look comes from its widget blueprint, which calls OnChanged when the user moves it and
// implements the events the native side raises; the native classes hold the binding to the
// edited record and turn slider values into controller calls.
//
// Positions are in normalised slider space: each component in [-1, 1], (0, 0) in the middle
// of the widget, y pointing down. A normalised point p lies at Half × p + Half in the widget's
// local space, Half being half of the widget's size.

#include "Blueprint/UserWidget.h"
#include "CoreMinimal.h"
#include "DataAssets/HCDataAssets.h"

#include "HCCharacterEditorSliders.generated.h"

class UHCMorphShapingController;
class UHCTextureEditingController;
class USizeBox;
class UTexture2D;
struct FHCCharacterEditorSkinCompositionHandler;

/**
 * One value: a constraint of one shape (0 to 1) or of two (-1 to 1, below 0 the first shape,
 * above 0 the second), or a bone-shaping constraint, which does nothing.
 */
UCLASS(EditInlineNew)
class VORPEX_API UHCCharacterEditor1DSlider : public UUserWidget
{
	GENERATED_BODY()

public:
	/** Sets the constraint's weights for slider value v; nothing for a bone-shaping slider. */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	void OnChanged(float v);

	/** The range the blueprint's slider keeps its value in, with its start value. */
	UFUNCTION(BlueprintImplementableEvent, Category = "Halcor")
	void SetRange(const FHCRange& range);

	/** 1: a shape constraint; 0: a bone-shaping transform constraint. */
	int32 BindingKind = 0;
	UHCMorphShapingController* Controller = nullptr;
	const FHCShapeConstraints* ShapeConstraints = nullptr;
	/** Bone binding only; held, not used. */
	const FHCCharacterEditorSegmentation* Segmentation = nullptr;
	const FHCTransformConstraint* TransformConstraint = nullptr;
};

/** A position on a colour picker image, recolouring the skin through one handler. */
UCLASS(EditInlineNew)
class VORPEX_API UHCCharacterEditor2DSlider : public UUserWidget
{
	GENERATED_BODY()

public:
	/** Picks the colour at position v for the handler; nothing unless bound to one. */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	void OnChanged(FVector2f v);

	/** The picker image to show. */
	UFUNCTION(BlueprintImplementableEvent, Category = "Halcor")
	void SetBackgroundTexture(UTexture2D* BackgroundTexture);

	/** Where the marker starts, in the widget's local space. */
	UFUNCTION(BlueprintImplementableEvent, Category = "Halcor")
	void SetPickerPosition(int32 x, int32 y);

	/** 1: bound to a skin-composition handler. */
	int32 BindingKind = 0;
	UHCTextureEditingController* Controller = nullptr;
	const FHCCharacterEditorSegmentation* Segmentation = nullptr;
	/** The controller knows its colour picker by this address. */
	const FHCCharacterEditorSkinCompositionHandler* Handler = nullptr;
	/** The marker's start position is placed (or there is none to place). */
	bool bPickerPositionInitialized = false;

protected:
	/**
	 * Places the marker at the handler's two start values once the widget is laid out: a
	 * handler without exactly two float parameters has no start position. Waits while the
	 * widget has no size.
	 */
	void NativeTick(const FGeometry& MyGeometry, float InDeltaTime) override;

	/** The picker area; half its height is added to the marker's start height. */
	UPROPERTY(BlueprintReadWrite, Category = "Halcor", meta = (BindWidget))
	TObjectPtr<USizeBox> Target = nullptr;
};

/**
 * A position inside a regular polygon with a corner per shape of a constraint of three or
 * more: corner 0 at the top, the rest clockwise, fitted to [-1, 1] in both axes and cut into
 * one triangle per side around a common centre. A position in triangle i weighs the shapes of
 * its outer corners i and i + 1 (mod N) by their barycentric weights; every other shape of the
 * constraint drops to 0.
 */
UCLASS(EditInlineNew)
class VORPEX_API UHCCharacterEditorPolygonSlider : public UUserWidget
{
	GENERATED_BODY()

public:
	/** Moves the selection to v and, inside a triangle, sets the weights of its two corners. */
	UFUNCTION(BlueprintCallable, Category = "Halcor")
	void OnChanged(FVector2f v);

	/** v as it is: the blueprint may snap a position before giving it to OnChanged. */
	UFUNCTION(BlueprintPure, Category = "Halcor")
	FVector2f AdjustValue(FVector2f v) const;

	/** The selection relative to the widget's centre, in layout units. */
	UFUNCTION(BlueprintPure, Category = "Halcor")
	FVector2f GetSelectionPosition() const;

	/** Declared for blueprints that show an image; the native side never raises it. */
	UFUNCTION(BlueprintImplementableEvent, Category = "Halcor")
	void SetBackgroundTexture(UTexture2D* BackgroundTexture);

	/** Declared for blueprints that show a marker; the native side never raises it. */
	UFUNCTION(BlueprintImplementableEvent, Category = "Halcor")
	void SetPickerPosition(int32 x, int32 y);

	/**
	 * Makes the polygon of Sides corners (3 or more; a failed check otherwise) and moves the
	 * selection to the centre. The centre is where the unit circle's centre lies relative to
	 * the middle of the corners' box, not rescaled with the corners: (0, 0.25) for three sides.
	 */
	void SetSides(int32 Sides);

	UHCMorphShapingController* Controller = nullptr;
	/** Corner i stands for shapes entry i. */
	const FHCShapeConstraints* ShapeConstraints = nullptr;
	/** The common corner of all triangles. */
	FVector2D Center = FVector2D(0.0, 0.0);
	/** The corners, in order. */
	TArray<FVector2D> Vertices;
	/** The last value given to OnChanged. */
	FVector2D CurrentValue = FVector2D(0.0, 0.0);
	/** Thickness of the outline; the spokes are 0.3 of it. */
	float LineThickness = 2.0f;

protected:
	/** The outline, then spokes from every corner to the selection and to the centre, in red, over the content. */
	int32 NativePaint(const FPaintArgs& Args, const FGeometry& AllottedGeometry, const FSlateRect& MyCullingRect,
		FSlateWindowElementList& OutDrawElements, int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const override;

	/** Declared for blueprints that lay out a picker area; the native code does not use it. */
	UPROPERTY(BlueprintReadWrite, Category = "Halcor", meta = (BindWidget))
	TObjectPtr<USizeBox> Target = nullptr;

private:
	/**
	 * The first triangle, in corner order, that holds value (clamped to the widget's box)
	 * strictly inside, with the weights of the centre (u), corner index (v) and the next
	 * corner (w). False, with the outputs untouched, for the centre, the outline, a spoke and
	 * points outside the polygon.
	 */
	bool GetTriangleUnderValue(FVector2f value, int32& index, float& u, float& v, float& w) const;
};
