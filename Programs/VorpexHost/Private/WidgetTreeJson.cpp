#include "WidgetTreeJson.h"

#include "Blueprint/UserWidget.h"
#include "Components/ExpandableArea.h"
#include "Components/TextBlock.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "Engine/Texture2D.h"
#include "Layout/SlateRect.h"
#include "Rendering/DrawElements.h"
#include "Styling/WidgetStyle.h"
#include "Types/PaintArgs.h"
#include "Views/HCCharacterEditorSliders.h"

namespace
{
	using FJsonValues = TArray<TSharedPtr<FJsonValue>>;

	/** Thousandths are enough for the page, and hide the noise of single-precision layout. */
	TSharedPtr<FJsonValue> Number(double Value)
	{
		return MakeShared<FJsonValueNumber>(FMath::RoundToDouble(Value * 1000.0) / 1000.0);
	}

	TSharedPtr<FJsonValue> Pair(double X, double Y)
	{
		return MakeShared<FJsonValueArray>(FJsonValues{Number(X), Number(Y)});
	}

	TSharedPtr<FJsonValue> Strings(const TArray<FString>& Values)
	{
		FJsonValues Items;
		for (const FString& Value : Values)
		{
			Items.Add(MakeShared<FJsonValueString>(Value));
		}
		return MakeShared<FJsonValueArray>(std::move(Items));
	}

	template <typename T>
	TSharedPtr<FJsonValue> PairOrNull(const TOptional<T>& Value)
	{
		return Value ? Pair(double(Value->X), double(Value->Y)) : MakeShared<FJsonValueNull>();
	}

	TSharedPtr<FJsonObject> Geometry(const FGeometry& Geometry)
	{
		TSharedPtr<FJsonObject> Object = MakeShared<FJsonObject>();
		Object->SetField(TEXT("position"), Pair(Geometry.GetAbsolutePosition().X, Geometry.GetAbsolutePosition().Y));
		Object->SetField(TEXT("size"), Pair(Geometry.GetAbsoluteSize().X, Geometry.GetAbsoluteSize().Y));
		Object->SetField(TEXT("localSize"), Pair(Geometry.GetLocalSize().X, Geometry.GetLocalSize().Y));
		return Object;
	}

	TSharedPtr<FJsonObject> ShapeBinding(const FHCShapeConstraints& Constraint)
	{
		TSharedPtr<FJsonObject> Object = MakeShared<FJsonObject>();
		Object->SetStringField(TEXT("constraint"), Constraint.displayName);
		Object->SetField(TEXT("shapes"), Strings(Constraint.shapes));
		return Object;
	}

	void Write1DSlider(const UHCCharacterEditor1DSlider& Slider, const FSliderBlueprintState* State, FJsonObject& Out)
	{
		if (Slider.BindingKind == 1)
		{
			Out.SetStringField(TEXT("kind"), Slider.ShapeConstraints->shapes.Num() == 1 ? TEXT("oneShape") : TEXT("twoShapes"));
			Out.SetObjectField(TEXT("bound"), ShapeBinding(*Slider.ShapeConstraints));
		}
		else
		{
			Out.SetStringField(TEXT("kind"), TEXT("bone"));
			TSharedPtr<FJsonObject> Bound = MakeShared<FJsonObject>();
			Bound->SetStringField(TEXT("section"), Slider.Segmentation->displayName);
			Bound->SetStringField(TEXT("transformConstraint"), Slider.TransformConstraint->displayName);
			Out.SetObjectField(TEXT("bound"), Bound);
		}
		if (State && State->Range)
		{
			TSharedPtr<FJsonObject> Range = MakeShared<FJsonObject>();
			Range->SetField(TEXT("min"), Number(State->Range->minValue));
			Range->SetField(TEXT("max"), Number(State->Range->maxValue));
			Range->SetField(TEXT("default"), Number(State->Range->defaultValue));
			Range->SetField(TEXT("standardDeviation"), Number(State->Range->standardDeviation));
			Out.SetObjectField(TEXT("range"), Range);
			Out.SetField(TEXT("value"), Number(State->Value ? *State->Value : State->Range->defaultValue));
		}
	}

	void Write2DSlider(const UHCCharacterEditor2DSlider& Slider, const FSliderBlueprintState* State, FJsonObject& Out)
	{
		Out.SetStringField(TEXT("kind"), TEXT("colourPicker"));
		TSharedPtr<FJsonObject> Bound = MakeShared<FJsonObject>();
		Bound->SetStringField(TEXT("section"), Slider.Segmentation->displayName);
		Bound->SetStringField(TEXT("handler"), Slider.Handler->displayName);
		Out.SetObjectField(TEXT("bound"), Bound);
		const UTexture2D* Image = State ? State->PickerImage : nullptr;
		Out.SetField(TEXT("pickerImage"), Image ? TSharedPtr<FJsonValue>(MakeShared<FJsonValueString>(Image->GetPathName())) : MakeShared<FJsonValueNull>());
		Out.SetField(TEXT("marker"), State ? PairOrNull(State->Marker) : MakeShared<FJsonValueNull>());
		Out.SetField(TEXT("position"), State ? PairOrNull(State->Position) : MakeShared<FJsonValueNull>());
	}

	void WritePolygonSlider(const UHCCharacterEditorPolygonSlider& Slider, FJsonObject& Out)
	{
		Out.SetStringField(TEXT("kind"), TEXT("polygon"));
		Out.SetObjectField(TEXT("bound"), ShapeBinding(*Slider.ShapeConstraints));
		Out.SetField(TEXT("position"), Pair(Slider.CurrentValue.X, Slider.CurrentValue.Y));
		FSlateWindowElementList Elements;
		Slider.Paint(FPaintArgs(), Slider.GetCachedGeometry(), FSlateRect(), Elements, 0, FWidgetStyle(), true);
		FJsonValues Lines;
		for (const FSlateDrawElement& Element : Elements.GetDrawElements())
		{
			FJsonValues Points;
			for (const FVector2f& Point : Element.GetPoints())
			{
				const FVector2f Window = Element.GetPaintGeometry().LocalToWindow(Point);
				Points.Add(Pair(Window.X, Window.Y));
			}
			const FLinearColor& Tint = Element.GetTint();
			TSharedPtr<FJsonObject> Line = MakeShared<FJsonObject>();
			Line->SetArrayField(TEXT("points"), Points);
			Line->SetField(TEXT("thickness"), Number(Element.GetThickness()));
			Line->SetArrayField(TEXT("colour"), {Number(Tint.R), Number(Tint.G), Number(Tint.B), Number(Tint.A)});
			Line->SetBoolField(TEXT("antialiased"), Element.IsAntialiased());
			Lines.Add(MakeShared<FJsonValueObject>(Line));
		}
		Out.SetArrayField(TEXT("lines"), Lines);
	}
}

TSharedRef<FJsonObject> FWidgetTreeJson::Write(const UWidget& Root, const TMap<const UUserWidget*, FSliderBlueprintState>& States)
{
	TSharedRef<FJsonObject> Out = MakeShared<FJsonObject>();
	Out->SetStringField(TEXT("class"), Root.GetClass()->GetName());
	Out->SetStringField(TEXT("name"), Root.GetName());
	Out->SetStringField(TEXT("path"), Root.GetPathName());
	Out->SetObjectField(TEXT("geometry"), Geometry(Root.GetCachedGeometry()));
	if (const UTextBlock* Text = Cast<UTextBlock>(&Root))
	{
		Out->SetStringField(TEXT("text"), Text->GetText().ToString());
		Out->SetField(TEXT("fontSize"), Number(Text->GetFont().Size));
	}
	if (const UExpandableArea* Area = Cast<UExpandableArea>(&Root))
	{
		Out->SetBoolField(TEXT("expanded"), Area->GetIsExpanded());
	}
	const FSliderBlueprintState* State = States.Find(Cast<UUserWidget>(&Root));
	if (const UHCCharacterEditor1DSlider* OneD = Cast<UHCCharacterEditor1DSlider>(&Root))
	{
		Write1DSlider(*OneD, State, *Out);
	}
	else if (const UHCCharacterEditor2DSlider* TwoD = Cast<UHCCharacterEditor2DSlider>(&Root))
	{
		Write2DSlider(*TwoD, State, *Out);
	}
	else if (const UHCCharacterEditorPolygonSlider* Polygon = Cast<UHCCharacterEditorPolygonSlider>(&Root))
	{
		WritePolygonSlider(*Polygon, *Out);
	}
	TArray<UWidget*> Children;
	Root.GetChildWidgets(Children);
	FJsonValues ChildObjects;
	for (const UWidget* Child : Children)
	{
		ChildObjects.Add(MakeShared<FJsonValueObject>(Write(*Child, States)));
	}
	Out->SetArrayField(TEXT("children"), ChildObjects);
	return Out;
}
