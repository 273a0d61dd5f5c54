#pragma once

#include "Components/SceneComponent.h"
#include "CoreMinimal.h"

#include "PrimitiveComponent.generated.h"

class UMaterialInterface;
class UMaterialInstanceDynamic;

/** A scene component that is drawn: it has material slots, one per element (mesh section). */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UPrimitiveComponent : public USceneComponent
{
	GENERATED_BODY()

public:
	UPrimitiveComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/** The material an element is drawn with, or null. */
	virtual UMaterialInterface* GetMaterial(int32 ElementIndex) const = 0;
	virtual void SetMaterial(int32 ElementIndex, UMaterialInterface* Material) = 0;
	virtual int32 GetNumMaterials() const = 0;

	/**
	 * Makes the element's material a dynamic instance of it, owned by this component, and
	 * returns it; an element already drawn with a dynamic instance keeps it and returns it. An
	 * element without a material logs a warning on LogPrimitiveComponent and returns null.
	 */
	UMaterialInstanceDynamic* CreateAndSetMaterialInstanceDynamic(int32 ElementIndex);
	/** The same with Parent as the instance's parent (null: the element's material). */
	UMaterialInstanceDynamic* CreateAndSetMaterialInstanceDynamicFromMaterial(int32 ElementIndex, UMaterialInterface* Parent);
};
