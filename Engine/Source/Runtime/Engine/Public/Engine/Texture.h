#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "Texture.generated.h"

/** Base of every texture asset. */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UTexture : public UObject
{
	GENERATED_BODY()
};
