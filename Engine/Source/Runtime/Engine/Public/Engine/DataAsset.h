#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "DataAsset.generated.h"

/** Base of assets that only hold data: their reflected fields are the content. */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UDataAsset : public UObject
{
	GENERATED_BODY()
};
