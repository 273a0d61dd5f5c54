#include "EditorLayout.h"

#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"

namespace
{
	const TCHAR* const PickerHandlerType = TEXT("PixelPickerElement");

	EEditorSliderKind ShapeSliderKind(int32 ShapeCount)
	{
		return ShapeCount == 1 ? EEditorSliderKind::OneShape : ShapeCount == 2 ? EEditorSliderKind::TwoShapes : EEditorSliderKind::Polygon;
	}
}

FEditorLayout::FEditorLayout(const UHCCharacterEditorConfigData& Config, const UHCCharacterEditorSkinCompositionData& Skin)
{
	AddShapeSliders(Config);
	AddColourPickers(Config, Skin);
}

const FEditorSection* FEditorLayout::FindSection(const FString& Title) const
{
	return Sections.FindByPredicate([&Title](const FEditorSection& Section) { return Section.Title.Equals(Title, ESearchCase::IgnoreCase); });
}

void FEditorLayout::AddShapeSliders(const UHCCharacterEditorConfigData& Config)
{
	for (const FHCCharacterEditorSegmentation& Segmentation : Config.segmentations)
	{
		for (const FHCShapeConstraints& Constraint : Segmentation.shapeConstraints)
		{
			if (!Constraint.shapes.IsEmpty())
			{
				SectionTitled(Segmentation.displayName).Sliders.Add({Constraint.displayName, ShapeSliderKind(Constraint.shapes.Num()), &Constraint});
			}
		}
	}
}

void FEditorLayout::AddColourPickers(const UHCCharacterEditorConfigData& Config, const UHCCharacterEditorSkinCompositionData& Skin)
{
	// A later segmentation that targets a mesh takes it over, as in the editor; names ignore letter case.
	TMap<FString, const FHCCharacterEditorSegmentation*> SegmentationOfMesh;
	for (const FHCCharacterEditorSegmentation& Segmentation : Config.segmentations)
	{
		for (const FString& Mesh : Segmentation.targetSkinCompositionMeshes)
		{
			SegmentationOfMesh.Add(Mesh, &Segmentation);
		}
	}
	// Handlers with a label already shown for their segmentation share that label's picker.
	TMap<const FHCCharacterEditorSegmentation*, TSet<FString>> ShownLabels;
	for (const FHCCharacterEditorSkinCompositionComponent& Component : Skin.components)
	{
		// The texture-editing controller gives pickers only to the handlers of components whose
		// first mesh a segmentation targets; any other handler would be a slider that does nothing.
		const FHCCharacterEditorSegmentation* const* Segmentation = Component.meshes.IsEmpty() ? nullptr : SegmentationOfMesh.Find(Component.meshes[0]);
		if (!Segmentation)
		{
			continue;
		}
		TSet<FString>& Shown = ShownLabels.FindOrAdd(*Segmentation);
		for (const FHCCharacterEditorSkinCompositionHandler& Handler : Component.handlers)
		{
			if (Handler.type.Equals(PickerHandlerType, ESearchCase::CaseSensitive) && !Shown.Contains(Handler.displayName))
			{
				Shown.Add(Handler.displayName);
				SectionTitled((*Segmentation)->displayName).Sliders.Add({Handler.displayName, EEditorSliderKind::ColourPicker, nullptr, *Segmentation, &Handler});
			}
		}
	}
}

FEditorSection& FEditorLayout::SectionTitled(const FString& Title)
{
	for (FEditorSection& Section : Sections)
	{
		if (Section.Title.Equals(Title, ESearchCase::IgnoreCase))
		{
			return Section;
		}
	}
	return Sections.Add_GetRef({Title, {}});
}
