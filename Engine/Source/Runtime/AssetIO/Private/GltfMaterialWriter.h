#pragma once

// FGltfMaterialWriter: the glTF materials of a skinned mesh component's slots, and the PNG
// images of the textures bound to them, each texture stored once per file (the rules are in
// GltfExporter.h).

#include "CoreMinimal.h"

class UTexture;
class USkinnedAsset;
class USkinnedMeshComponent;

namespace UE::AssetIO::Private
{
	class FGltfBuilder;

	class FGltfMaterialWriter
	{
	public:
		FGltfMaterialWriter(FGltfBuilder& InBuilder, bool bInExportTextures) : Builder(InBuilder), bExportTextures(bInExportTextures) {}

		/**
		 * Adds one material per slot of Asset, in slot order, with the textures of the
		 * component's material for that slot; the index of the first. A texture that cannot
		 * be encoded fails the export (FGltfExportFailure).
		 */
		int32 AddSlots(const USkinnedMeshComponent* Component, const USkinnedAsset* Asset);

	private:
		/** The glTF texture of Texture, encoding it on first use; Where names its use for a failure. */
		int32 TextureIndex(const UTexture* Texture, const FString& Where);

		FGltfBuilder& Builder;
		bool bExportTextures;
		TMap<const UTexture*, int32> Textures;
	};
}
