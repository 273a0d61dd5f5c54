#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"

#include "SkeletalMesh.generated.h"

/** A skinned mesh asset. Its geometry, skeleton and morph targets come with the scene runtime. */
UCLASS(BlueprintType)
class ENGINE_API USkeletalMesh : public UObject
{
	GENERATED_BODY()
};
