#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "UObject/ObjectPtr.h"

#include "PanelSlot.generated.h"

class UPanelWidget;
class UWidget;

/** Where one child sits in its panel; panels with layout options use a subclass of their own. */
UCLASS(BlueprintType)
class UMG_API UPanelSlot : public UObject
{
	GENERATED_BODY()

public:
	UPROPERTY(Category = "Layout")
	TObjectPtr<UPanelWidget> Parent = nullptr;

	UPROPERTY(Category = "Layout")
	TObjectPtr<UWidget> Content = nullptr;
};
