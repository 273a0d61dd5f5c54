#pragma once

#include "CoreMinimal.h"
#include "Engine/TextureDefines.h"
#include "UObject/Object.h"

#include "Texture.generated.h"

/**
 * Base of every texture asset: the settings that tell the renderer how to read its texels.
 * The importer (FAssetLoader) chooses them from the file; see AssetLoader.h.
 */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UTexture : public UObject
{
	GENERATED_BODY()

public:
	/** The texels are sRGB-encoded colour, converted to linear when sampled; false for data (normals, masks). */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Texture")
	bool SRGB = true;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Texture")
	TEnumAsByte<TextureFilter> Filter = TF_Default;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "LevelOfDetail", meta = (DisplayName = "Texture Group"))
	TEnumAsByte<TextureGroup> LODGroup = TEXTUREGROUP_World;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Compression")
	TEnumAsByte<TextureCompressionSettings> CompressionSettings = TC_Default;

	/** Keep every mip resident instead of streaming them in on demand. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "LevelOfDetail")
	bool NeverStream = false;

	UPROPERTY(EditAnywhere, Category = "LevelOfDetail")
	TEnumAsByte<TextureMipGenSettings> MipGenSettings = TMGS_FromTextureGroup;
};
