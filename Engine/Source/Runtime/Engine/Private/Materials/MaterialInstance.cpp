#include "Materials/MaterialInstance.h"

#include "Engine/Texture.h"
#include "Materials/Material.h"

bool UMaterialInstance::GetTextureParameterValue(const FHashedMaterialParameterInfo& ParameterInfo, UTexture*& OutValue, bool bOveriddenOnly) const
{
	const FTextureParameterValue* Own =
		TextureParameterValues.FindByPredicate([&ParameterInfo](const FTextureParameterValue& Value) { return Value.ParameterInfo == ParameterInfo; });
	if (Own)
	{
		OutValue = Own->ParameterValue;
		return true;
	}
	// A parent instance's own values are overrides too; only the base material's defaults are not.
	return Parent && Parent->GetTextureParameterValue(ParameterInfo, OutValue, bOveriddenOnly);
}

void UMaterialInstance::GetAllTextureParameterInfo(TArray<FMaterialParameterInfo>& OutParameterInfo) const
{
	OutParameterInfo.Reset();
	if (Parent)
	{
		Parent->GetAllTextureParameterInfo(OutParameterInfo);
	}
	for (const FTextureParameterValue& Value : TextureParameterValues)
	{
		OutParameterInfo.AddUnique(Value.ParameterInfo);
	}
}

UMaterial* UMaterialInstance::GetMaterial()
{
	return Parent ? Parent->GetMaterial() : nullptr;
}

const UMaterial* UMaterialInstance::GetMaterial() const
{
	return Parent ? static_cast<const UMaterialInterface*>(Parent.Get())->GetMaterial() : nullptr;
}

void UMaterialInstance::SetTextureParameterValueInternal(const FMaterialParameterInfo& ParameterInfo, UTexture* Value)
{
	FTextureParameterValue* Own =
		TextureParameterValues.FindByPredicate([&ParameterInfo](const FTextureParameterValue& Entry) { return Entry.ParameterInfo == ParameterInfo; });
	if (!Own)
	{
		Own = &TextureParameterValues.AddDefaulted_GetRef();
		Own->ParameterInfo = ParameterInfo;
	}
	Own->ParameterValue = Value;
}

void UMaterialInstance::ClearParameterValuesInternal()
{
	TextureParameterValues.Empty();
}
