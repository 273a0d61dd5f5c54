#include "Materials/Material.h"

#include "Engine/Texture.h"

void UMaterial::AddTextureParameter(FName ParameterName, UTexture* DefaultValue)
{
	checkf(!ParameterName.IsNone(), TEXT("AddTextureParameter: a texture parameter of %s needs a name"), *GetName());
	TextureParameterDefaults.Add(ParameterName, DefaultValue);
}

bool UMaterial::GetTextureParameterValue(const FHashedMaterialParameterInfo& ParameterInfo, UTexture*& OutValue, bool bOveriddenOnly) const
{
	// A base material sets no values of its own over anything, so it has nothing overridden.
	const TObjectPtr<UTexture>* Default = bOveriddenOnly ? nullptr : TextureParameterDefaults.Find(ParameterInfo.Name);
	if (!Default)
	{
		return false;
	}
	OutValue = *Default;
	return true;
}

void UMaterial::GetAllTextureParameterInfo(TArray<FMaterialParameterInfo>& OutParameterInfo) const
{
	OutParameterInfo.Reset();
	for (const auto& Pair : TextureParameterDefaults)
	{
		OutParameterInfo.Add(FMaterialParameterInfo(Pair.Key));
	}
}
