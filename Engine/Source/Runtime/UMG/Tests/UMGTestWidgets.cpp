#include "UMGTestWidgets.h"

#include "Rendering/DrawElements.h"

bool UTestNativeWidget::Initialize()
{
	if (!WidgetTree)
	{
		WidgetTree = NewObject<UWidgetTree>(this, FName(TEXT("WidgetTree")));
		UVerticalBox* List = WidgetTree->ConstructWidget<UVerticalBox>(UVerticalBox::StaticClass(), FName(TEXT("SettingsList")));
		USizeBox* Box = WidgetTree->ConstructWidget<USizeBox>(USizeBox::StaticClass(), FName(TEXT("Target")));
		Box->SetWidthOverride(100.0f);
		Box->SetHeightOverride(50.0f);
		List->AddChild(Box);
		WidgetTree->RootWidget = List;
	}
	return Super::Initialize();
}

void UTestNativeWidget::NativeTick(const FGeometry& MyGeometry, float InDeltaTime)
{
	const FVector2D Size = MyGeometry.GetLocalSize();
	Events.Add(FString::Printf(TEXT("Tick %gx%g"), Size.X, Size.Y));
}

int32 UTestNativeWidget::NativePaint(const FPaintArgs& Args, const FGeometry& AllottedGeometry, const FSlateRect& MyCullingRect,
	FSlateWindowElementList& OutDrawElements, int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const
{
	PaintedLayer = LayerId;
	FSlateDrawElement::MakeLines(OutDrawElements, LayerId, AllottedGeometry.ToPaintGeometry(), {FVector2f(0.0f, 0.0f), FVector2f(10.0f, 5.0f)},
		ESlateDrawEffect::None, FLinearColor::Red, true, 2.0f);
	return LayerId + 1;
}

void UTestImplementingWidget::SetPickerPosition(int32 x, int32 y)
{
	Events.Add(FString::Printf(TEXT("Picker %d,%d"), x, y));
}
