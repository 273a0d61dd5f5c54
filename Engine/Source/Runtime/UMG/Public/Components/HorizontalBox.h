#pragma once

#include "Components/PanelWidget.h"
#include "CoreMinimal.h"

#include "HorizontalBox.generated.h"

class UHorizontalBoxSlot;

/** A panel that lays its children out side by side, left to right. */
UCLASS()
class UMG_API UHorizontalBox : public UPanelWidget
{
	GENERATED_BODY()

public:
	/** AddChild, returning the new slot as the box's own slot class; null when nothing was added. */
	UHorizontalBoxSlot* AddChildToHorizontalBox(UWidget* Content);

protected:
	UClass* GetSlotClass() const override;
	FVector2f ComputeDesiredSize() const override;
	void ArrangeChildren(const FGeometry& Geometry) override;
};
