#pragma once

// A data asset class for the loader's JSON tests.

#include "CoreMinimal.h"
#include "Engine/DataAsset.h"

#include "AssetIOTestDataAsset.generated.h"

UCLASS()
class UAssetIOTestDataAsset : public UDataAsset
{
	GENERATED_BODY()

public:
	UPROPERTY()
	FString title;

	UPROPERTY()
	TArray<int32> values;
};
