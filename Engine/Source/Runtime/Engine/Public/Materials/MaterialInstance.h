#pragma once

#include "CoreMinimal.h"
#include "Materials/MaterialInterface.h"
#include "UObject/ObjectPtr.h"

#include "MaterialInstance.generated.h"

class UTexture;

/** A texture parameter value an instance sets over its parent's. */
USTRUCT(BlueprintType)
struct ENGINE_API FTextureParameterValue
{
	GENERATED_BODY()

	FMaterialParameterInfo ParameterInfo;

	UPROPERTY(EditAnywhere, Category = "MaterialTextureParameterValue")
	TObjectPtr<UTexture> ParameterValue = nullptr;
};

/** A material with its own values for some parameters of its parent; parameters it does not set read through to the parent. */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UMaterialInstance : public UMaterialInterface
{
	GENERATED_BODY()

public:
	/** The material this instance reads through to; it must not lead back to the instance. */
	UPROPERTY(EditAnywhere, BlueprintReadOnly, Category = "MaterialInstance")
	TObjectPtr<UMaterialInterface> Parent = nullptr;

	/** The values set on this instance, in the order they were first set. */
	UPROPERTY(EditAnywhere, Category = "MaterialInstance")
	TArray<FTextureParameterValue> TextureParameterValues;

	bool GetTextureParameterValue(const FHashedMaterialParameterInfo& ParameterInfo, UTexture*& OutValue,
		bool bOveriddenOnly = false) const override;
	void GetAllTextureParameterInfo(TArray<FMaterialParameterInfo>& OutParameterInfo) const override;
	UMaterial* GetMaterial() override;
	const UMaterial* GetMaterial() const override;

protected:
	/** Sets or replaces the instance's own value of the parameter. */
	void SetTextureParameterValueInternal(const FMaterialParameterInfo& ParameterInfo, UTexture* Value);
	void ClearParameterValuesInternal();
};
