#pragma once

#include "CoreMinimal.h"
#include "Materials/MaterialInterface.h"
#include "UObject/ObjectPtr.h"

#include "Material.generated.h"

class UTexture;

/**
 * A base material. Its shading graph is not evaluated here; what remains is what instances and
 * the asset pipeline use: named texture parameters, each with a default texture.
 */
UCLASS(BlueprintType)
class ENGINE_API UMaterial : public UMaterialInterface
{
	GENERATED_BODY()

public:
	/**
	 * Declares the texture parameter ParameterName with DefaultValue (which may be null), or
	 * replaces the default of a parameter declared before. An unnamed parameter is a failed check.
	 */
	void AddTextureParameter(FName ParameterName, UTexture* DefaultValue);

	bool GetTextureParameterValue(const FHashedMaterialParameterInfo& ParameterInfo, UTexture*& OutValue,
		bool bOveriddenOnly = false) const override;
	void GetAllTextureParameterInfo(TArray<FMaterialParameterInfo>& OutParameterInfo) const override;
	UMaterial* GetMaterial() override { return this; }
	const UMaterial* GetMaterial() const override { return this; }

private:
	/** Parameter name to default texture, in declaration order. */
	UPROPERTY()
	TMap<FName, TObjectPtr<UTexture>> TextureParameterDefaults;
};
