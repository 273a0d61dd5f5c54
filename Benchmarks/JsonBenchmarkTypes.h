#pragma once

// Reflected records shaped like an asset catalog: arrays of records holding strings,
// numbers, booleans and nested arrays of records, down to rectangles of floats.

#include "CoreMinimal.h"
#include "UObject/ObjectMacros.h"

#include "JsonBenchmarkTypes.generated.h"

USTRUCT()
struct FBenchTexture
{
	GENERATED_BODY()

	UPROPERTY()
	FString path;

	UPROPERTY()
	bool isLinear = false;
};

USTRUCT()
struct FBenchMesh
{
	GENERATED_BODY()

	UPROPERTY()
	FString name;

	UPROPERTY()
	FString identifier;

	UPROPERTY()
	int32 submeshCount = 0;
};

USTRUCT()
struct FBenchTextureExport
{
	GENERATED_BODY()

	UPROPERTY()
	FString key;

	UPROPERTY()
	bool isBlendable = false;

	UPROPERTY()
	FString slot;

	UPROPERTY()
	TArray<int32> textureVariationIndices;
};

USTRUCT()
struct FBenchMaterial
{
	GENERATED_BODY()

	UPROPERTY()
	FString name;

	UPROPERTY()
	FString shader;

	UPROPERTY()
	TArray<FBenchTextureExport> textureExports;
};

USTRUCT()
struct FBenchLODData
{
	GENERATED_BODY()

	UPROPERTY()
	int32 lodIndex = 0;

	UPROPERTY()
	FString fbxPath;
};

USTRUCT()
struct FBenchSkinnedRenderObject
{
	GENERATED_BODY()

	UPROPERTY()
	int32 meshExportIndex = 0;

	UPROPERTY()
	TArray<int32> materialExportIndex;

	UPROPERTY()
	FString meshName;

	UPROPERTY()
	TArray<FString> materialNames;
};

USTRUCT()
struct FBenchTemplateAsset
{
	GENERATED_BODY()

	UPROPERTY()
	FString assetGuid;

	UPROPERTY()
	FString assetName;

	UPROPERTY()
	FString path;

	UPROPERTY()
	TArray<FBenchLODData> LODData;

	UPROPERTY()
	TArray<FBenchSkinnedRenderObject> skinnedRenderObjects;
};

USTRUCT()
struct FBenchDeformableAsset
{
	GENERATED_BODY()

	UPROPERTY()
	FString assetName;

	UPROPERTY()
	FString assetGuid;

	UPROPERTY()
	FString path;

	UPROPERTY()
	TArray<FBenchSkinnedRenderObject> skinnedRenderObjects;

	UPROPERTY()
	int32 templateIndex = 0;
};

USTRUCT()
struct FBenchShapeAsset
{
	GENERATED_BODY()

	UPROPERTY()
	FString assetName;

	UPROPERTY()
	FString path;

	UPROPERTY()
	TArray<FBenchSkinnedRenderObject> skinnedRenderObjects;

	UPROPERTY()
	int32 shapeIndex = 0;

	UPROPERTY()
	int32 templateIndex = 0;
};

USTRUCT()
struct FBenchRect
{
	GENERATED_BODY()

	UPROPERTY()
	float xMin = 0.0f;

	UPROPERTY()
	float yMin = 0.0f;

	UPROPERTY()
	float width = 0.0f;

	UPROPERTY()
	float height = 0.0f;
};

USTRUCT()
struct FBenchVariantRegion
{
	GENERATED_BODY()

	UPROPERTY()
	int32 textureIndex = 0;

	UPROPERTY()
	FString textureKey;

	UPROPERTY()
	FBenchRect sourceRect;

	UPROPERTY()
	FBenchRect targetRect;
};

USTRUCT()
struct FBenchOverlayAsset
{
	GENERATED_BODY()

	UPROPERTY()
	FString assetName;

	UPROPERTY()
	TArray<FBenchVariantRegion> variantRegions;

	UPROPERTY()
	int32 templateIndex = 0;
};

USTRUCT()
struct FBenchCatalog
{
	GENERATED_BODY()

	UPROPERTY()
	TArray<FBenchTexture> textures;

	UPROPERTY()
	TArray<FBenchMesh> meshes;

	UPROPERTY()
	TArray<FBenchMaterial> materials;

	UPROPERTY()
	TArray<FBenchTemplateAsset> templateAssets;

	UPROPERTY()
	TArray<FBenchDeformableAsset> deformableAssets;

	UPROPERTY()
	TArray<FBenchShapeAsset> shapeAssets;

	UPROPERTY()
	TArray<FBenchOverlayAsset> overlayAssets;
};
