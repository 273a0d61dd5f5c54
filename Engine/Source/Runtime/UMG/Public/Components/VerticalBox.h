#pragma once

#include "Components/PanelWidget.h"
#include "CoreMinimal.h"

#include "VerticalBox.generated.h"

class UVerticalBoxSlot;

/** A panel that lays its children out one under the other, top to bottom. */
UCLASS()
class UMG_API UVerticalBox : public UPanelWidget
{
	GENERATED_BODY()

public:
	/** AddChild, returning the new slot as the box's own slot class; null when nothing was added. */
	UVerticalBoxSlot* AddChildToVerticalBox(UWidget* Content);

protected:
	UClass* GetSlotClass() const override;
	FVector2f ComputeDesiredSize() const override;
	void ArrangeChildren(const FGeometry& Geometry) override;
};
