#pragma once

// Configuration errors that loading lets through but that the components using the data
// cannot work with: stored positions outside the lists they index, shape constraints without
// shapes, colour pickers without exactly one image, characters without a blend. Each problem
// is one line, "<JSON path of the bad value>: <what is wrong>", in file order.

#include "CoreMinimal.h"

class UHCAssetCatalogData;
class UHCCharacterDescriptorData;
class UHCCharacterEditorConfigData;
class UHCCharacterEditorSkinCompositionData;

class FConfigurationChecker
{
public:
	/** Positions into the catalog's own textures, meshes, materials and template assets. */
	static TArray<FString> CheckCatalog(const UHCAssetCatalogData& Catalog);
	/**
	 * Characters without a blend, and the positions a descriptor holds into a catalog's lists.
	 * Without Catalog those lists are unknown and only negative positions are reported.
	 */
	static TArray<FString> CheckDescriptor(const UHCCharacterDescriptorData& Descriptor, const UHCAssetCatalogData* Catalog);
	/** Shape constraints without shapes. */
	static TArray<FString> CheckEditorConfig(const UHCCharacterEditorConfigData& Config);
	/**
	 * Stack references of "ImageTexture" and "Colorize" processors (-1 meaning none; others
	 * must name an earlier stack of the component), the handlers' stack and processor
	 * positions, and "PixelPickerElement" handlers without exactly one texture.
	 */
	static TArray<FString> CheckSkinComposition(const UHCCharacterEditorSkinCompositionData& SkinComposition);
};
