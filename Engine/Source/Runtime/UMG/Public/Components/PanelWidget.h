#pragma once

#include "Components/Widget.h"
#include "CoreMinimal.h"

#include "PanelWidget.generated.h"

class UPanelSlot;

/** A widget that holds children, each in a slot of the panel's slot class. */
UCLASS(Abstract)
class UMG_API UPanelWidget : public UWidget
{
	GENERATED_BODY()

public:
	/**
	 * Puts Content last in this panel, in a new slot that this function returns. A null
	 * widget, or one that cannot take another child, adds nothing and returns null; a widget
	 * held by another panel moves here.
	 */
	UPanelSlot* AddChild(UWidget* Content);

	int32 GetChildrenCount() const { return Slots.Num(); }
	/** The child at Index; null outside 0 … count − 1. */
	UWidget* GetChildAt(int32 Index) const;
	TArray<UWidget*> GetAllChildren() const;
	const TArray<TObjectPtr<UPanelSlot>>& GetSlots() const { return Slots; }

	/** Takes Content out of this panel; false when it is not a child here. */
	bool RemoveChild(UWidget* Content);

	/** False for panels that hold one child and have it already. */
	bool CanAddMoreChildren() const { return CanHaveMultipleChildren() || Slots.IsEmpty(); }

	void GetChildWidgets(TArray<UWidget*>& OutChildren) const override;

protected:
	/** The class of the slots this panel makes. */
	virtual UClass* GetSlotClass() const;

	/** False for panels of one child. */
	virtual bool CanHaveMultipleChildren() const { return true; }

	UPROPERTY(Category = "Layout")
	TArray<TObjectPtr<UPanelSlot>> Slots;
};
