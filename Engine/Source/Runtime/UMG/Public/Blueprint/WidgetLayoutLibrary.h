#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "WidgetLayoutLibrary.generated.h"

UCLASS()
class UMG_API UWidgetLayoutLibrary : public UObject
{
	GENERATED_BODY()

public:
	/** The DPI scale of the game viewport of WorldContextObject's world; 1 when there is no world or it is not shown. */
	UFUNCTION(BlueprintPure, Category = "Viewport")
	static float GetViewportScale(const UObject* WorldContextObject);
};
