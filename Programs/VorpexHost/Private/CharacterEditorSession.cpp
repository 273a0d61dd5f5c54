#include "CharacterEditorSession.h"

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "Blueprint/WidgetLayout.h"
#include "Components/ExpandableArea.h"
#include "Components/VerticalBox.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Models/HCMorphShapingModel.h"
#include "UObject/UnrealType.h"
#include "Views/HCCharacterEditorSliders.h"
#include "Views/HCCharacterEditorWidget.h"
#include "WidgetTreeJson.h"
#include "WidgetViewport.h"

namespace
{
	/** The classes the layout files describe, in LayoutFiles' order. */
	TArray<UClass*> BlueprintClasses()
	{
		return {UHCCharacterEditorWidget::StaticClass(), UHCCharacterEditor1DSlider::StaticClass(), UHCCharacterEditor2DSlider::StaticClass(),
			UHCCharacterEditorPolygonSlider::StaticClass()};
	}

	/** Sets a class property of the editor, as a blueprint's defaults would. */
	void SetClassDefault(UHCCharacterEditorWidget& Editor, const TCHAR* Property, UClass* Value)
	{
		const FClassProperty* ClassProperty = CastField<FClassProperty>(UHCCharacterEditorWidget::StaticClass()->FindPropertyByName(FName(Property)));
		check(ClassProperty);
		ClassProperty->SetObjectPropertyValue(ClassProperty->ContainerPtrToValuePtr(&Editor), Value);
	}

	/** Parameter Index of an event's parameter block. */
	template <typename T>
	const T& Argument(const UFunction& Event, void* Parms, int32 Index)
	{
		return *Event.GetParameters()[Index]->ContainerPtrToValuePtr<T>(Parms);
	}

	TArray<UExpandableArea*> Sections(const UHCCharacterEditorWidget& Editor)
	{
		TArray<UExpandableArea*> Areas;
		const UVerticalBox* List = Editor.WidgetTree->FindWidget<UVerticalBox>(FName(TEXT("SettingsList")));
		for (UWidget* Child : List ? List->GetAllChildren() : TArray<UWidget*>())
		{
			if (UExpandableArea* Area = Cast<UExpandableArea>(Child))
			{
				Areas.Add(Area);
			}
		}
		return Areas;
	}
}

const TCHAR* const FCharacterEditorSession::LayoutFiles[4] = {
	TEXT("CharacterEditor.json"), TEXT("Slider1D.json"), TEXT("Slider2D.json"), TEXT("PolygonSlider.json")};

TUniquePtr<FCharacterEditorSession> FCharacterEditorSession::Open(UHCEditableSkeletalMeshComponent& Body, const FString& LayoutsDir, FString& OutError)
{
	TUniquePtr<FCharacterEditorSession> Session(new FCharacterEditorSession());
	if (!Session->RegisterLayouts(LayoutsDir, OutError))
	{
		return nullptr;
	}
	if (Body.State == EHCEditableSkeletalMeshComponentState::ESMCS_Initial)
	{
		Body.BeginEditing();
	}
	UHCCharacterEditorWidget* Editor = CreateWidget<UHCCharacterEditorWidget>(Body.GetWorld(), UHCCharacterEditorWidget::StaticClass());
	check(Editor);
	Editor->HCSkeletalMeshComponent = &Body;
	SetClassDefault(*Editor, TEXT("HCCharacterEditor1DSliderClass"), UHCCharacterEditor1DSlider::StaticClass());
	SetClassDefault(*Editor, TEXT("HCCharacterEditor2DSliderClass"), UHCCharacterEditor2DSlider::StaticClass());
	SetClassDefault(*Editor, TEXT("HCCharacterEditorPolygonSliderClass"), UHCCharacterEditorPolygonSlider::StaticClass());
	Session->Viewport = MakeUnique<FWidgetViewport>(*Editor);
	// Construction builds the sections; they open before the first layout, so that every
	// slider has its size from the first tick on.
	Editor->Construct();
	Session->ExpandSections();
	Session->Tick(0.0f);
	return Session;
}

FCharacterEditorSession::~FCharacterEditorSession()
{
	for (const UClass* Class : RegisteredClasses)
	{
		FWidgetBlueprintRegistry::Get().Unregister(Class);
	}
}

bool FCharacterEditorSession::RegisterLayouts(const FString& LayoutsDir, FString& OutError)
{
	const TArray<UClass*> Classes = BlueprintClasses();
	TArray<TSharedPtr<const FWidgetLayout>> Layouts;
	for (const TCHAR* File : LayoutFiles)
	{
		const FString Path = FPaths::Combine(LayoutsDir, File);
		FString Json;
		if (!FFileHelper::LoadFileToString(Json, *Path))
		{
			OutError = FString::Printf(TEXT("%s: the editor's layout cannot be read"), *Path);
			return false;
		}
		FString Error;
		Layouts.Add(FWidgetLayout::Parse(Json, Error));
		if (!Layouts.Last())
		{
			OutError = FString::Printf(TEXT("%s: %s"), *Path, *Error);
			return false;
		}
	}
	for (int32 Index = 0; Index < Classes.Num(); ++Index)
	{
		FWidgetBlueprintRegistry::Get().Register(Classes[Index], FWidgetBlueprint{Layouts[Index], this});
		RegisteredClasses.Add(Classes[Index]);
	}
	return true;
}

void FCharacterEditorSession::ExpandSections()
{
	for (UExpandableArea* Area : Sections(GetEditor()))
	{
		Area->SetIsExpanded(true);
	}
}

UHCCharacterEditorWidget& FCharacterEditorSession::GetEditor() const
{
	return *CastChecked<UHCCharacterEditorWidget>(&Viewport->GetRootWidget());
}

void FCharacterEditorSession::Tick(float DeltaSeconds)
{
	Viewport->Tick(DeltaSeconds);
}

void FCharacterEditorSession::MoveSlider(UHCCharacterEditor1DSlider& Slider, float Value)
{
	RecordMove(Slider, Value);
	Slider.OnChanged(Value);
}

void FCharacterEditorSession::MoveSlider(UUserWidget& Slider, FVector2f Position)
{
	if (UHCCharacterEditor2DSlider* Picker = Cast<UHCCharacterEditor2DSlider>(&Slider))
	{
		RecordMove(Slider, Position);
		Picker->OnChanged(Position);
		return;
	}
	CastChecked<UHCCharacterEditorPolygonSlider>(&Slider)->OnChanged(Position);
}

void FCharacterEditorSession::RecordMove(const UUserWidget& Slider, float Value)
{
	SliderStates.FindOrAdd(&Slider).Value = Value;
}

void FCharacterEditorSession::RecordMove(const UUserWidget& Slider, FVector2f Position)
{
	SliderStates.FindOrAdd(&Slider).Position = Position;
}

void FCharacterEditorSession::ShowLoadedState()
{
	const UHCMorphShapingModel* Model = GetEditor().HCSkeletalMeshComponent->getMorphShapingModel();
	const TMap<FString, float>& Weights = Model->GetMorphTargetWeights();
	const auto Weight = [&](const FString& Shape) { return Weights.FindRef(Shape); };
	for (auto& [Widget, State] : SliderStates)
	{
		const UHCCharacterEditor1DSlider* Slider = Cast<UHCCharacterEditor1DSlider>(Widget);
		// Binding kind 1 is a shape constraint; bone sliders keep the value they were moved to.
		if (Slider && Slider->BindingKind == 1)
		{
			const TArray<FString>& Shapes = Slider->ShapeConstraints->shapes;
			State.Value = Shapes.Num() == 1 ? Weight(Shapes[0]) : Weight(Shapes[1]) - Weight(Shapes[0]);
		}
		else if (Cast<UHCCharacterEditor2DSlider>(Widget))
		{
			State.Position.Reset();
		}
	}
}

TSharedRef<FJsonObject> FCharacterEditorSession::ToJson() const
{
	return FWidgetTreeJson::Write(GetEditor(), SliderStates);
}

void FCharacterEditorSession::OnBlueprintEvent(UUserWidget& Widget, const UFunction& Event, void* Parms)
{
	FSliderBlueprintState& State = SliderStates.FindOrAdd(&Widget);
	const FName Name = Event.GetFName();
	if (Name == FName(TEXT("SetRange")))
	{
		State.Range = Argument<FHCRange>(Event, Parms, 0);
	}
	else if (Name == FName(TEXT("SetBackgroundTexture")))
	{
		State.PickerImage = Argument<UTexture2D*>(Event, Parms, 0);
	}
	else if (Name == FName(TEXT("SetPickerPosition")))
	{
		State.Marker = FIntPoint(Argument<int32>(Event, Parms, 0), Argument<int32>(Event, Parms, 1));
	}
}
