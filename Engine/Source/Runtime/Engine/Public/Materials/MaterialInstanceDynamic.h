#pragma once

#include "CoreMinimal.h"
#include "Materials/MaterialInstance.h"

#include "MaterialInstanceDynamic.generated.h"

class UTexture;

/** A material instance made at run time, whose parameter values game code sets freely. */
UCLASS(BlueprintType)
class ENGINE_API UMaterialInstanceDynamic : public UMaterialInstance
{
	GENERATED_BODY()

public:
	/**
	 * A new instance of ParentMaterial in InOuter (the transient package when null). A null
	 * parent gives an instance with no parameters until values are set on it.
	 */
	static UMaterialInstanceDynamic* Create(UMaterialInterface* ParentMaterial, UObject* InOuter);
	static UMaterialInstanceDynamic* Create(UMaterialInterface* ParentMaterial, UObject* InOuter, FName Name);

	/**
	 * Binds Value (which may be null) to the texture parameter. A name the parent does not have
	 * is still stored, so an instance can carry bindings for a material that gains the parameter.
	 */
	UFUNCTION(BlueprintCallable, Category = "Rendering|Material")
	void SetTextureParameterValue(FName ParameterName, UTexture* Value);
	void SetTextureParameterValueByInfo(const FMaterialParameterInfo& ParameterInfo, UTexture* Value);

	/** The texture the parameter reads (this instance's value, else the parent chain's); null when none has the parameter. */
	UFUNCTION(BlueprintCallable, Category = "Rendering|Material", meta = (DisplayName = "Get Texture Parameter Value"))
	UTexture* K2_GetTextureParameterValue(FName ParameterName);

	/** Drops every value set on this instance, so all parameters read the parent's again. */
	UFUNCTION(BlueprintCallable, Category = "Rendering|Material")
	void ClearParameterValues();
};
