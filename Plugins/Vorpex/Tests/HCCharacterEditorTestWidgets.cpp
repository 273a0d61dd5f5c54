#include "HCCharacterEditorTestWidgets.h"

#include "Engine/Texture2D.h"
#include "Layout/SlateRect.h"
#include "Styling/WidgetStyle.h"
#include "Types/PaintArgs.h"

TArray<FString>& HCCharacterEditorTest::Events()
{
	static TArray<FString> Recorded;
	return Recorded;
}

void HCCharacterEditorTest::BuildSliderTree(UUserWidget& Widget, float Width, float Height)
{
	if (Widget.WidgetTree)
	{
		return;
	}
	Widget.WidgetTree = NewObject<UWidgetTree>(&Widget, FName(TEXT("WidgetTree")));
	UVerticalBox* Root = Widget.WidgetTree->ConstructWidget<UVerticalBox>();
	USizeBox* Target = Widget.WidgetTree->ConstructWidget<USizeBox>(USizeBox::StaticClass(), FName(TEXT("Target")));
	Target->SetWidthOverride(Width);
	Target->SetHeightOverride(Height);
	Root->AddChild(Target);
	Widget.WidgetTree->RootWidget = Root;
}

bool UHCTestCharacterEditorWidget::Initialize()
{
	if (!WidgetTree)
	{
		WidgetTree = NewObject<UWidgetTree>(this, FName(TEXT("WidgetTree")));
		WidgetTree->RootWidget = WidgetTree->ConstructWidget<UVerticalBox>(UVerticalBox::StaticClass(), FName(TEXT("SettingsList")));
	}
	return Super::Initialize();
}

void UHCTestCharacterEditorWidget::SetSliderClasses(UClass* OneD, UClass* TwoD, UClass* Polygon)
{
	HCCharacterEditor1DSliderClass = OneD;
	HCCharacterEditor2DSliderClass = TwoD;
	HCCharacterEditorPolygonSliderClass = Polygon;
}

bool UHCTestEditorWithoutList::Initialize()
{
	if (!WidgetTree)
	{
		WidgetTree = NewObject<UWidgetTree>(this, FName(TEXT("WidgetTree")));
		WidgetTree->RootWidget = WidgetTree->ConstructWidget<UVerticalBox>(UVerticalBox::StaticClass(), FName(TEXT("Sections")));
	}
	return Super::Initialize();
}

bool UHCTest1DSlider::Initialize()
{
	HCCharacterEditorTest::BuildSliderTree(*this, 100.0f, 20.0f);
	return Super::Initialize();
}

void UHCTest1DSlider::SetRange(const FHCRange& range)
{
	HCCharacterEditorTest::Events().Add(FString::Printf(TEXT("SetRange %g %g %g %g (kind %d)"), double(range.defaultValue), double(range.minValue),
		double(range.maxValue), double(range.standardDeviation), BindingKind));
}

bool UHCTest2DSlider::Initialize()
{
	HCCharacterEditorTest::BuildSliderTree(*this, 100.0f, 60.0f);
	return Super::Initialize();
}

void UHCTest2DSlider::SetBackgroundTexture(UTexture2D* BackgroundTexture)
{
	HCCharacterEditorTest::Events().Add(FString::Printf(TEXT("SetBackgroundTexture %s"), BackgroundTexture ? *BackgroundTexture->GetName() : TEXT("null")));
}

void UHCTest2DSlider::SetPickerPosition(int32 x, int32 y)
{
	HCCharacterEditorTest::Events().Add(FString::Printf(TEXT("SetPickerPosition %d %d"), x, y));
}

bool UHCTestPolygonSlider::Initialize()
{
	HCCharacterEditorTest::BuildSliderTree(*this, 200.0f, 200.0f);
	return Super::Initialize();
}

int32 UHCTestPolygonSlider::PaintTo(FSlateWindowElementList& Elements, int32 LayerId) const
{
	const FGeometry& Geometry = GetCachedGeometry();
	return NativePaint(FPaintArgs(), Geometry, FSlateRect(), Elements, LayerId, FWidgetStyle(), true);
}
