#include "Components/Widget.h"

#include "Components/PanelSlot.h"

UPanelWidget* UWidget::GetParent() const
{
	return Slot ? Slot->Parent.Get() : nullptr;
}

void UWidget::Prepass()
{
	TArray<UWidget*> Children;
	GetChildWidgets(Children);
	for (UWidget* Child : Children)
	{
		Child->Prepass();
	}
	DesiredSize = ComputeDesiredSize();
}

void UWidget::Arrange(const FGeometry& Geometry)
{
	CachedGeometry = Geometry;
	ArrangeChildren(Geometry);
}

int32 UWidget::Paint(const FPaintArgs& Args, const FGeometry& Geometry, const FSlateRect& CullingRect, FSlateWindowElementList& OutDrawElements,
	int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const
{
	TArray<UWidget*> Children;
	GetChildWidgets(Children);
	int32 MaxLayer = LayerId;
	for (const UWidget* Child : Children)
	{
		MaxLayer = FMath::Max(MaxLayer,
			Child->Paint(Args, Child->GetCachedGeometry(), CullingRect, OutDrawElements, LayerId, InWidgetStyle, bParentEnabled));
	}
	return MaxLayer;
}
