#include "WidgetViewport.h"

#include "Blueprint/UserWidget.h"
#include "Engine/GameViewportClient.h"
#include "Engine/World.h"
#include "Layout/SlateRect.h"
#include "Rendering/DrawElements.h"
#include "Styling/WidgetStyle.h"
#include "Types/PaintArgs.h"

namespace
{
	const UGameViewportClient& ViewportOf(const UUserWidget& Widget)
	{
		const UWorld* World = Widget.GetWorld();
		const UGameViewportClient* Viewport = World ? World->GetGameViewport() : nullptr;
		checkf(Viewport != nullptr, TEXT("%s is in no world with a game viewport"), *Widget.GetName());
		return *Viewport;
	}
}

FWidgetViewport::FWidgetViewport(UUserWidget& InRoot)
	: Root(&InRoot)
{
	// Refused now rather than at the first tick.
	ViewportOf(InRoot);
}

void FWidgetViewport::Tick(float DeltaSeconds)
{
	CurrentTime += DeltaSeconds;
	ConstructTree(*Root);
	Layout();
	TArray<UWidget*> Widgets;
	UWidgetTree::GetChildWidgetsRecursive(Root.Get(), Widgets);
	for (UWidget* Widget : Widgets)
	{
		if (UUserWidget* UserWidget = Cast<UUserWidget>(Widget))
		{
			UserWidget->TickWidget(DeltaSeconds);
		}
	}
}

int32 FWidgetViewport::Paint(FSlateWindowElementList& OutDrawElements) const
{
	const FGeometry& Geometry = Root->GetCachedGeometry();
	const FSlateRect Window(FVector2f(Geometry.GetAbsolutePosition()), FVector2f(Geometry.GetAbsolutePosition() + Geometry.GetAbsoluteSize()));
	return Root->Paint(FPaintArgs(CurrentTime), Geometry, Window, OutDrawElements, 0, FWidgetStyle(), true);
}

void FWidgetViewport::ConstructTree(UWidget& Widget)
{
	// Children are read after the widget's construction, which may add some.
	if (UUserWidget* UserWidget = Cast<UUserWidget>(&Widget))
	{
		UserWidget->Construct();
	}
	TArray<UWidget*> Children;
	Widget.GetChildWidgets(Children);
	for (UWidget* Child : Children)
	{
		ConstructTree(*Child);
	}
}

void FWidgetViewport::Layout()
{
	const UGameViewportClient& Viewport = ViewportOf(*Root);
	FVector2D Pixels;
	Viewport.GetViewportSize(Pixels);
	const float Scale = Viewport.GetDPIScale();
	Root->Prepass();
	Root->Arrange(FGeometry::MakeRoot(FVector2f(Pixels) / Scale, Scale));
}
