#pragma once

// The sections and sliders of a character editor widget, read from its laid-out tree: one
// section per expandable area, titled by its header, holding its rows' sliders in order, each
// named by its row's label. A script addresses a slider by its section's title and its label.

#include "CoreMinimal.h"

class UHCCharacterEditorWidget;
class UUserWidget;
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

/** One slider of the editor; the widget lives as long as the editor. */
struct FEditorSlider
{
	FString Label;
	EEditorSliderKind Kind = EEditorSliderKind::OneShape;
	UUserWidget* Widget = nullptr;
	/** The constraint a shape slider drives; null for a colour picker. */
	const FHCShapeConstraints* ShapeConstraints = nullptr;
};

struct FEditorSection
{
	FString Title;
	TArray<FEditorSlider> Sliders;
};

class FEditorLayout
{
public:
	/** The sections of Editor, which must be constructed; rows whose slider drives nothing (bone shaping) are left out. */
	explicit FEditorLayout(const UHCCharacterEditorWidget& Editor);

	/** The sections in the order the editor shows them. */
	const TArray<FEditorSection>& GetSections() const { return Sections; }

	/** The section titled Title, letter case ignored; null when there is none. */
	const FEditorSection* FindSection(const FString& Title) const;

private:
	TArray<FEditorSection> Sections;
};
