#include "Components/VerticalBox.h"

#include "BoxPanelLayout.h"
#include "Components/VerticalBoxSlot.h"

namespace
{
	TArray<FBoxPanelChild> BoxChildren(const TArray<TObjectPtr<UPanelSlot>>& Slots)
	{
		TArray<FBoxPanelChild> Children;
		for (const TObjectPtr<UPanelSlot>& Each : Slots)
		{
			const UVerticalBoxSlot* BoxSlot = CastChecked<UVerticalBoxSlot>(Each.Get());
			Children.Add({BoxSlot->Content.Get(), BoxSlot->GetPadding(), BoxSlot->GetHorizontalAlignment(), BoxSlot->GetVerticalAlignment(), BoxSlot->GetSize()});
		}
		return Children;
	}
}

UVerticalBoxSlot* UVerticalBox::AddChildToVerticalBox(UWidget* Content)
{
	return Cast<UVerticalBoxSlot>(AddChild(Content));
}

UClass* UVerticalBox::GetSlotClass() const
{
	return UVerticalBoxSlot::StaticClass();
}

FVector2f UVerticalBox::ComputeDesiredSize() const
{
	return BoxPanelLayout::ComputeDesiredSize(BoxChildren(Slots), false);
}

void UVerticalBox::ArrangeChildren(const FGeometry& Geometry)
{
	BoxPanelLayout::ArrangeChildren(BoxChildren(Slots), false, Geometry);
}
