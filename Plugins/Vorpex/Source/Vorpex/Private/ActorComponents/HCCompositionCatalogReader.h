#pragma once

// Catalog look-ups for the composite component's texture step that check every index before
// they follow it, so a step can find out what is wrong with its data before changing anything.

#include "CoreMinimal.h"
#include "DataAssets/HCDataAssets.h"

#include <cstddef>

class UTexture2D;

/** Reads the catalog for the texture step; every accessor returns null after recording what is wrong. */
class FHCCompositionCatalogReader
{
public:
	explicit FHCCompositionCatalogReader(const UHCAssetCatalogData& InCatalog)
		: Catalog(InCatalog)
	{
	}

	/** The first problem met, empty while there is none. */
	const FString& GetProblem() const { return Problem; }

	const FHCMaterial* Material(int32 Index);
	/** The material named by entry 0 of a render object's materialExportIndex. */
	const FHCMaterial* FirstMaterial(const FHCSkinnedRenderObject& RenderObject);
	/** The loaded texture of variation Variation of Export. */
	UTexture2D* Texture(const FHCTextureExport& Export, int32 Variation);
	const FHCTemplateAsset* Template(int32 Index);
	const FHCShapeAsset* Shape(int32 Index);
	const FHCDeformableAsset* Deformable(int32 Index);

private:
	/** Records InProblem unless an earlier problem is recorded. */
	std::nullptr_t Fail(const FString& InProblem);

	const UHCAssetCatalogData& Catalog;
	FString Problem;
};
