#pragma once

#include "CoreMinimal.h"
#include "DataAssets/HCEnumerations.h"

#include "HCTextureEditingBindingKey.generated.h"

/** Names one material slot of one mesh: the place an edited texture is shown. Mesh names compare without letter case. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCTextureEditingBindingKey
{
	GENERATED_BODY()

	FHCTextureEditingBindingKey() = default;
	FHCTextureEditingBindingKey(const FString& InMeshName, EHCTextureEditingMaterialKey InMaterialKey);
	/** Reads the material key as the configuration writes it: "_BaseColorMap", "_NormalMap", anything else is MK_None (letter case counts). */
	FHCTextureEditingBindingKey(const FString& InMeshName, const FString& MaterialKeyText);

	bool operator==(const FHCTextureEditingBindingKey& Other) const;

	FString MeshName;
	EHCTextureEditingMaterialKey MaterialKey = EHCTextureEditingMaterialKey::MK_None;
};

/** Consistent with operator==: the mesh name is hashed without letter case. */
VORPEX_API uint32 GetTypeHash(const FHCTextureEditingBindingKey& Key);
