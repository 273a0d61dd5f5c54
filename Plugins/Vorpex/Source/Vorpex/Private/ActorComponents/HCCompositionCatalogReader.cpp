#include "HCCompositionCatalogReader.h"

#include "Engine/Texture2D.h"

const FHCMaterial* FHCCompositionCatalogReader::Material(int32 Index)
{
	return Catalog.materials.IsValidIndex(Index) ? &Catalog.materials[Index]
												 : Fail(FString::Printf(TEXT("material %d is outside the catalog's %d"), Index, Catalog.materials.Num()));
}

const FHCMaterial* FHCCompositionCatalogReader::FirstMaterial(const FHCSkinnedRenderObject& RenderObject)
{
	return RenderObject.materialExportIndex.IsEmpty()
		? Fail(FString::Printf(TEXT("render object \"%s\" has no materialExportIndex"), *RenderObject.meshName))
		: Material(RenderObject.materialExportIndex[0]);
}

UTexture2D* FHCCompositionCatalogReader::Texture(const FHCTextureExport& Export, int32 Variation)
{
	if (!Export.textureVariationIndices.IsValidIndex(Variation))
	{
		return Fail(FString::Printf(TEXT("texture export \"%s\" has no variation %d among its %d"), *Export.key, Variation,
			Export.textureVariationIndices.Num()));
	}
	const int32 Index = Export.textureVariationIndices[Variation];
	if (!Catalog.textures.IsValidIndex(Index))
	{
		return Fail(FString::Printf(TEXT("texture %d is outside the catalog's %d"), Index, Catalog.textures.Num()));
	}
	if (!Catalog.textures[Index].texture)
	{
		return Fail(FString::Printf(TEXT("texture %d (%s) of the catalog is not loaded"), Index, *Catalog.textures[Index].path));
	}
	return Catalog.textures[Index].texture;
}

const FHCTemplateAsset* FHCCompositionCatalogReader::Template(int32 Index)
{
	return Catalog.templateAssets.IsValidIndex(Index)
		? &Catalog.templateAssets[Index]
		: Fail(FString::Printf(TEXT("template asset %d is outside the catalog's %d"), Index, Catalog.templateAssets.Num()));
}

const FHCShapeAsset* FHCCompositionCatalogReader::Shape(int32 Index)
{
	return Catalog.shapeAssets.IsValidIndex(Index) ? &Catalog.shapeAssets[Index]
												   : Fail(FString::Printf(TEXT("shape asset %d is outside the catalog's %d"), Index, Catalog.shapeAssets.Num()));
}

const FHCDeformableAsset* FHCCompositionCatalogReader::Deformable(int32 Index)
{
	return Catalog.deformableAssets.IsValidIndex(Index)
		? &Catalog.deformableAssets[Index]
		: Fail(FString::Printf(TEXT("deformable asset %d is outside the catalog's %d"), Index, Catalog.deformableAssets.Num()));
}

std::nullptr_t FHCCompositionCatalogReader::Fail(const FString& InProblem)
{
	if (Problem.IsEmpty())
	{
		Problem = InProblem;
	}
	return nullptr;
}
