#include "Components/HorizontalBox.h"

#include "BoxPanelLayout.h"
#include "Components/HorizontalBoxSlot.h"

namespace
{
	TArray<FBoxPanelChild> BoxChildren(const TArray<TObjectPtr<UPanelSlot>>& Slots)
	{
		TArray<FBoxPanelChild> Children;
		for (const TObjectPtr<UPanelSlot>& Each : Slots)
		{
			const UHorizontalBoxSlot* BoxSlot = CastChecked<UHorizontalBoxSlot>(Each.Get());
			Children.Add({BoxSlot->Content.Get(), BoxSlot->GetPadding(), BoxSlot->GetHorizontalAlignment(), BoxSlot->GetVerticalAlignment(), BoxSlot->GetSize()});
		}
		return Children;
	}
}

UHorizontalBoxSlot* UHorizontalBox::AddChildToHorizontalBox(UWidget* Content)
{
	return Cast<UHorizontalBoxSlot>(AddChild(Content));
}

UClass* UHorizontalBox::GetSlotClass() const
{
	return UHorizontalBoxSlot::StaticClass();
}

FVector2f UHorizontalBox::ComputeDesiredSize() const
{
	return BoxPanelLayout::ComputeDesiredSize(BoxChildren(Slots), true);
}

void UHorizontalBox::ArrangeChildren(const FGeometry& Geometry)
{
	BoxPanelLayout::ArrangeChildren(BoxChildren(Slots), true, Geometry);
}
