#include "Models/HCTextureEditingBindingKey.h"

#include "Misc/Crc.h"

FHCTextureEditingBindingKey::FHCTextureEditingBindingKey(const FString& InMeshName, EHCTextureEditingMaterialKey InMaterialKey)
	: MeshName(InMeshName)
	, MaterialKey(InMaterialKey)
{
}

FHCTextureEditingBindingKey::FHCTextureEditingBindingKey(const FString& InMeshName, const FString& MaterialKeyText)
	: MeshName(InMeshName)
{
	if (MaterialKeyText.Equals(TEXT("_BaseColorMap"), ESearchCase::CaseSensitive))
	{
		MaterialKey = EHCTextureEditingMaterialKey::MK_Albedo;
	}
	else if (MaterialKeyText.Equals(TEXT("_NormalMap"), ESearchCase::CaseSensitive))
	{
		MaterialKey = EHCTextureEditingMaterialKey::MK_Normal;
	}
}

bool FHCTextureEditingBindingKey::operator==(const FHCTextureEditingBindingKey& Other) const
{
	return MeshName.Equals(Other.MeshName, ESearchCase::IgnoreCase) && MaterialKey == Other.MaterialKey;
}

uint32 GetTypeHash(const FHCTextureEditingBindingKey& Key)
{
	return HashCombine(FCrc::Strihash_DEPRECATED(*Key.MeshName), GetTypeHash(Key.MaterialKey));
}
