#include "Blueprint/WidgetTree.h"

UWidget* UWidgetTree::FindWidget(const FName& Name) const
{
	TArray<UWidget*> Widgets;
	GetAllWidgets(Widgets);
	UWidget* const* Found = Widgets.FindByPredicate([&Name](const UWidget* Widget) { return Widget->GetFName() == Name; });
	return Found ? *Found : nullptr;
}

void UWidgetTree::GetAllWidgets(TArray<UWidget*>& OutWidgets) const
{
	if (RootWidget)
	{
		GetChildWidgetsRecursive(RootWidget, OutWidgets);
	}
}

void UWidgetTree::GetChildWidgetsRecursive(UWidget* Widget, TArray<UWidget*>& OutWidgets)
{
	OutWidgets.Add(Widget);
	TArray<UWidget*> Children;
	Widget->GetChildWidgets(Children);
	for (UWidget* Child : Children)
	{
		GetChildWidgetsRecursive(Child, OutWidgets);
	}
}
