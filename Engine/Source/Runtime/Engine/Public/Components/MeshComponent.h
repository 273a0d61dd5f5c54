#pragma once

#include "Components/PrimitiveComponent.h"
#include "CoreMinimal.h"
#include "UObject/ObjectPtr.h"

#include "MeshComponent.generated.h"

class UMaterialInterface;

/** A primitive drawn from a mesh asset, whose material slots this component can override one by one. */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UMeshComponent : public UPrimitiveComponent
{
	GENERATED_BODY()

public:
	UMeshComponent(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/** Per element, the material drawn instead of the mesh's; null entries keep the mesh's. */
	UPROPERTY(EditAnywhere, Category = "Rendering")
	TArray<TObjectPtr<UMaterialInterface>> OverrideMaterials;

	/** The element's override, or null. */
	UMaterialInterface* GetMaterial(int32 ElementIndex) const override;
	/** Overrides the element's material (null removes the override) and marks the render state dirty; a negative index does nothing. */
	void SetMaterial(int32 ElementIndex, UMaterialInterface* Material) override;
	int32 GetNumMaterials() const override { return OverrideMaterials.Num(); }
	void EmptyOverrideMaterials();
};
