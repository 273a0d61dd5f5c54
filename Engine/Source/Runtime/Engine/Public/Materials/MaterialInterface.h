#pragma once

#include "CoreMinimal.h"
#include "MaterialTypes.h"
#include "UObject/Object.h"

#include "MaterialInterface.generated.h"

class UMaterial;
class UTexture;

/** What a mesh section is drawn with: a material or an instance of one with its own parameter values. */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UMaterialInterface : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * The texture bound to the parameter: an instance's own value first, then its parents' and
	 * finally the material's default. With bOveriddenOnly only values set on instances count.
	 * False, with OutValue untouched, when no material in the chain has the parameter.
	 */
	virtual bool GetTextureParameterValue(const FHashedMaterialParameterInfo& ParameterInfo, UTexture*& OutValue,
		bool bOveriddenOnly = false) const = 0;
	/** Every texture parameter visible through this material, each once: the base material's in declaration order, then names instances add. */
	virtual void GetAllTextureParameterInfo(TArray<FMaterialParameterInfo>& OutParameterInfo) const = 0;
	/** The base material at the root of the parent chain; null for an instance without one. */
	virtual UMaterial* GetMaterial() = 0;
	virtual const UMaterial* GetMaterial() const = 0;
};
