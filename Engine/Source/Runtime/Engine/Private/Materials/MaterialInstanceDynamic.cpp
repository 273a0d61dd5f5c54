#include "Materials/MaterialInstanceDynamic.h"

#include "Engine/Texture.h"
#include "UObject/UObjectGlobals.h"

UMaterialInstanceDynamic* UMaterialInstanceDynamic::Create(UMaterialInterface* ParentMaterial, UObject* InOuter)
{
	return Create(ParentMaterial, InOuter, NAME_None);
}

UMaterialInstanceDynamic* UMaterialInstanceDynamic::Create(UMaterialInterface* ParentMaterial, UObject* InOuter, FName Name)
{
	UMaterialInstanceDynamic* Instance = NewObject<UMaterialInstanceDynamic>(InOuter, Name);
	Instance->Parent = ParentMaterial;
	return Instance;
}

void UMaterialInstanceDynamic::SetTextureParameterValue(FName ParameterName, UTexture* Value)
{
	SetTextureParameterValueByInfo(FMaterialParameterInfo(ParameterName), Value);
}

void UMaterialInstanceDynamic::SetTextureParameterValueByInfo(const FMaterialParameterInfo& ParameterInfo, UTexture* Value)
{
	SetTextureParameterValueInternal(ParameterInfo, Value);
}

UTexture* UMaterialInstanceDynamic::K2_GetTextureParameterValue(FName ParameterName)
{
	UTexture* Value = nullptr;
	GetTextureParameterValue(FMaterialParameterInfo(ParameterName), Value);
	return Value;
}

void UMaterialInstanceDynamic::ClearParameterValues()
{
	ClearParameterValuesInternal();
}
