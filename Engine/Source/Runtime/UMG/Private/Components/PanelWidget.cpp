#include "Components/PanelWidget.h"

#include "Components/PanelSlot.h"
#include "UMGLogs.h"

UPanelSlot* UPanelWidget::AddChild(UWidget* Content)
{
	if (!Content)
	{
		return nullptr;
	}
	if (!CanAddMoreChildren())
	{
		UE_LOG(LogUMG, Warning, TEXT("AddChild: %s holds one child and has it already"), *GetName());
		return nullptr;
	}
	if (UPanelWidget* OldParent = Content->GetParent())
	{
		OldParent->RemoveChild(Content);
	}
	UPanelSlot* NewSlot = NewObject<UPanelSlot>(this, GetSlotClass());
	NewSlot->Parent = this;
	NewSlot->Content = Content;
	Content->Slot = NewSlot;
	Slots.Add(NewSlot);
	return NewSlot;
}

UWidget* UPanelWidget::GetChildAt(int32 Index) const
{
	return Slots.IsValidIndex(Index) ? Slots[Index]->Content.Get() : nullptr;
}

TArray<UWidget*> UPanelWidget::GetAllChildren() const
{
	TArray<UWidget*> Children;
	GetChildWidgets(Children);
	return Children;
}

bool UPanelWidget::RemoveChild(UWidget* Content)
{
	const int32 Index = Slots.IndexOfByPredicate([Content](const TObjectPtr<UPanelSlot>& Each) { return Content && Each->Content == Content; });
	if (Index == INDEX_NONE)
	{
		return false;
	}
	Slots[Index]->Parent = nullptr;
	Slots[Index]->Content = nullptr;
	Content->Slot = nullptr;
	Slots.RemoveAt(Index);
	return true;
}

void UPanelWidget::GetChildWidgets(TArray<UWidget*>& OutChildren) const
{
	for (const TObjectPtr<UPanelSlot>& Each : Slots)
	{
		OutChildren.Add(Each->Content.Get());
	}
}

UClass* UPanelWidget::GetSlotClass() const
{
	return UPanelSlot::StaticClass();
}
