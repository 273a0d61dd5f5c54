#include "EditorLayout.h"

#include "Components/ExpandableArea.h"
#include "Components/HorizontalBox.h"
#include "Components/TextBlock.h"
#include "Components/VerticalBox.h"
#include "DataAssets/HCDataAssets.h"
#include "Views/HCCharacterEditorSliders.h"
#include "Views/HCCharacterEditorWidget.h"

namespace
{
	FString TextOf(const UWidget* Widget)
	{
		const UTextBlock* Text = Cast<UTextBlock>(Widget);
		return Text ? Text->GetText().ToString() : FString();
	}

	/** The slider's kind and constraint; false for a slider that drives nothing. */
	bool Describe(UUserWidget* Widget, FEditorSlider& OutSlider)
	{
		OutSlider.Widget = Widget;
		if (const UHCCharacterEditor1DSlider* OneD = Cast<UHCCharacterEditor1DSlider>(Widget))
		{
			OutSlider.ShapeConstraints = OneD->ShapeConstraints;
			OutSlider.Kind = OneD->ShapeConstraints && OneD->ShapeConstraints->shapes.Num() == 1 ? EEditorSliderKind::OneShape : EEditorSliderKind::TwoShapes;
			return OneD->BindingKind == 1;
		}
		if (const UHCCharacterEditorPolygonSlider* Polygon = Cast<UHCCharacterEditorPolygonSlider>(Widget))
		{
			OutSlider.ShapeConstraints = Polygon->ShapeConstraints;
			OutSlider.Kind = EEditorSliderKind::Polygon;
			return true;
		}
		OutSlider.Kind = EEditorSliderKind::ColourPicker;
		return Cast<UHCCharacterEditor2DSlider>(Widget) != nullptr;
	}
}

FEditorLayout::FEditorLayout(const UHCCharacterEditorWidget& Editor)
{
	const UVerticalBox* List = Editor.WidgetTree->FindWidget<UVerticalBox>(FName(TEXT("SettingsList")));
	check(List);
	for (const UWidget* Child : List->GetAllChildren())
	{
		const UExpandableArea* Area = Cast<UExpandableArea>(Child);
		const UPanelWidget* Rows = Area ? Cast<UPanelWidget>(Area->GetContentForSlot(FName(TEXT("Body")))) : nullptr;
		if (!Rows)
		{
			continue;
		}
		FEditorSection& Section = Sections.Add_GetRef({TextOf(Area->GetContentForSlot(FName(TEXT("Header")))), {}});
		for (const UWidget* Row : Rows->GetAllChildren())
		{
			const UHorizontalBox* Box = Cast<UHorizontalBox>(Row);
			FEditorSlider Slider;
			Slider.Label = Box ? TextOf(Box->GetChildAt(0)) : FString();
			if (Box && Describe(Cast<UUserWidget>(Box->GetChildAt(1)), Slider))
			{
				Section.Sliders.Add(Slider);
			}
		}
	}
}

const FEditorSection* FEditorLayout::FindSection(const FString& Title) const
{
	return Sections.FindByPredicate([&Title](const FEditorSection& Section) { return Section.Title.Equals(Title, ESearchCase::IgnoreCase); });
}
