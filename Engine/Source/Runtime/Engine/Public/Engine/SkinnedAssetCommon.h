#pragma once

#include "CoreMinimal.h"
#include "UObject/ObjectPtr.h"

#include "SkinnedAssetCommon.generated.h"

class UMaterialInterface;

/** One material slot of a skinned mesh: the material and the name the slot is known by. */
USTRUCT(BlueprintType)
struct ENGINE_API FSkeletalMaterial
{
	GENERATED_BODY()

	FSkeletalMaterial() = default;
	FSkeletalMaterial(UMaterialInterface* InMaterialInterface, FName InMaterialSlotName = NAME_None, FName InImportedMaterialSlotName = NAME_None)
		: MaterialInterface(InMaterialInterface), MaterialSlotName(InMaterialSlotName), ImportedMaterialSlotName(InImportedMaterialSlotName)
	{
	}

	UPROPERTY(EditAnywhere, BlueprintReadOnly, Category = "SkeletalMesh")
	TObjectPtr<UMaterialInterface> MaterialInterface = nullptr;

	/** The slot's name, by which code and other assets address it. */
	UPROPERTY(EditAnywhere, BlueprintReadOnly, Category = "SkeletalMesh")
	FName MaterialSlotName;

	/** The material's name in the file the mesh came from. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "SkeletalMesh")
	FName ImportedMaterialSlotName;
};
