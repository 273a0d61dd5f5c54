#pragma once

// The sections and sliders the character editor shows for an editor configuration and a skin
// composition, laid out as the editor widget lays them out: one section per segmentation
// display name (segmentations that share one share the section), holding first a slider for
// every shape constraint of its segmentations, then one colour picker per handler display name
// of the skin components whose meshes the segmentation targets. A script addresses a slider by
// its section's title and its label.

#include "CoreMinimal.h"

class UHCCharacterEditorConfigData;
class UHCCharacterEditorSkinCompositionData;
struct FHCCharacterEditorSegmentation;
struct FHCCharacterEditorSkinCompositionHandler;
struct FHCShapeConstraints;

enum class EEditorSliderKind : uint8
{
	/** A 1-D slider over [0, 1] for a constraint of one shape. */
	OneShape,
	/** A 1-D slider over [-1, 1] for a constraint of two shapes: below 0 drives the first, above 0 the second. */
	TwoShapes,
	/** A polygon slider for a constraint of three or more shapes. */
	Polygon,
	/** A 2-D colour picker over a handler's palette. */
	ColourPicker,
};

/** One slider; the records it points into live in the configuration assets. */
struct FEditorSlider
{
	FString Label;
	EEditorSliderKind Kind = EEditorSliderKind::OneShape;
	/** The constraint a shape slider drives. */
	const FHCShapeConstraints* ShapeConstraints = nullptr;
	/** The segmentation and handler a colour picker passes to the texture-editing controller. */
	const FHCCharacterEditorSegmentation* Segmentation = nullptr;
	const FHCCharacterEditorSkinCompositionHandler* Handler = nullptr;
};

struct FEditorSection
{
	FString Title;
	TArray<FEditorSlider> Sliders;
};

class FEditorLayout
{
public:
	/**
	 * Lays out Config and Skin, which must outlive the layout. Constraints without shapes and
	 * handlers that are no "PixelPickerElement" get no slider (the configuration checker reports
	 * the former). A skin component's pickers go to the segmentation of its first mesh, the one
	 * the texture-editing controller groups them by; a component whose first mesh no
	 * segmentation targets gets none, as the controller makes no picker for it.
	 */
	FEditorLayout(const UHCCharacterEditorConfigData& Config, const UHCCharacterEditorSkinCompositionData& Skin);

	/** The sections in the order the editor shows them. */
	const TArray<FEditorSection>& GetSections() const { return Sections; }

	/** The section titled Title, letter case ignored; null when there is none. */
	const FEditorSection* FindSection(const FString& Title) const;

private:
	void AddShapeSliders(const UHCCharacterEditorConfigData& Config);
	void AddColourPickers(const UHCCharacterEditorConfigData& Config, const UHCCharacterEditorSkinCompositionData& Skin);
	FEditorSection& SectionTitled(const FString& Title);

	TArray<FEditorSection> Sections;
};
