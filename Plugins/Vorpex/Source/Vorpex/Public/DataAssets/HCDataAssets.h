#pragma once

// Records of the asset catalog, the character descriptor and the character editor
// configuration, and the data assets that hold them.
//
// The records are filled from JSON through reflection, so every field name below is also a
// JSON key, spelt exactly as the files spell it (lower camel case; LODData is the exception).
// Every field starts empty, zero, false or null, and a key missing from a file leaves it so.
// Positions stored in the records are zero-based indices into the arrays their comments name.

#include "CoreMinimal.h"
#include "Engine/DataAsset.h"
#include "Engine/Texture2D.h"
#include "UObject/ObjectPtr.h"
#include "UObject/StrongObjectPtr.h"

#include "HCDataAssets.generated.h"

// ---------------------------------------------------------------------------------------
// Asset catalog
// ---------------------------------------------------------------------------------------

/** One texture of the catalog. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCTexture
{
	GENERATED_BODY()

	/** Location of the texture's image. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString path;

	/** True when the texture holds linear values rather than sRGB colour. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	bool isLinear = false;

	/** The texture itself, given in JSON as an engine object path. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<UTexture2D> texture = nullptr;
};

/** One mesh of the catalog. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCMesh
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString identifier;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 submeshCount = 0;
};

/** One texture input of a material. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCTextureExport
{
	GENERATED_BODY()

	/** Name of the export. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString key;

	/** Whether the texture takes part in texture blending. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	bool isBlendable = false;

	/** Role of the texture in the material ("ALBEDO", "NORMAL", "MASK"), kept exactly as written. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString slot;

	/** Positions in the catalog's textures, one per variation. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<int32> textureVariationIndices;
};

/** One material of the catalog. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCMaterial
{
	GENERATED_BODY()

	/** Material name; a mesh's material slot belongs to this material when its name starts with it. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	/** Name of the shader the material uses. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString shader;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCTextureExport> textureExports;
};

/** One level of detail of a template asset. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCLODData
{
	GENERATED_BODY()

	/** The level of detail, 0 being the finest. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 lodIndex = 0;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString fbxPath;
};

/** One skinned part of an asset. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCSkinnedRenderObject
{
	GENERATED_BODY()

	/** The part's mesh, as a position in the catalog's meshes. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 meshExportIndex = 0;

	/** The part's materials, as positions in the catalog's materials. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<int32> materialExportIndex;

	/** Mesh name of the part; shape parts are matched to template parts by it. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString meshName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FString> materialNames;
};

/** One base body. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCTemplateAsset
{
	GENERATED_BODY()

	/** Unique identifier of the asset, as text. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString assetGuid;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString assetName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString path;

	/** One entry per level of detail; the files spell this key in capitals. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCLODData> LODData;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCSkinnedRenderObject> skinnedRenderObjects;
};

/** One garment or other attachment that deforms with the body. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCDeformableAsset
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString assetName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString assetGuid;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString path;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCSkinnedRenderObject> skinnedRenderObjects;

	/** The template asset it was made for, as a position in the catalog's templateAssets. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 templateIndex = 0;
};

/** One shape (morph) asset. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCShapeAsset
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString assetName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString path;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCSkinnedRenderObject> skinnedRenderObjects;

	/** Number of the shape; animation frame shapeIndex + 1 holds its skeleton. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 shapeIndex = 0;

	/** The template asset it belongs to, as a position in the catalog's templateAssets. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 templateIndex = 0;
};

/** An axis-aligned rectangle. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCRect
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float xMin = 0.0f;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float yMin = 0.0f;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float width = 0.0f;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float height = 0.0f;
};

// The overlay records are carried with the rest of the catalog; nothing acts on them yet.

/** One region of an overlay variation. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCVariantRegion
{
	GENERATED_BODY()

	/** Source texture, as a position in the catalog's textures. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 textureIndex = 0;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString textureKey;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FHCRect sourceRect;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FHCRect targetRect;
};

/** The alternative regions of one atlas, one per variation. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCOverlayAtlasInformation
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCVariantRegion> variantRegions;
};

/** A material an overlay paints into. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCOverlayMaterialConnection
{
	GENERATED_BODY()

	/** The material, as a position in the catalog's materials. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 materialIndex = 0;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCOverlayAtlasInformation> overlayAtlasInformations;
};

/** One overlay: a picture placed into regions of material textures. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCOverlayAsset
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString assetName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCOverlayMaterialConnection> overlayMaterialConnections;

	/** The template asset it belongs to, as a position in the catalog's templateAssets. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 templateIndex = 0;
};

/** Where the character-editor files of a template lie. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCCharacterEditor
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString characterEditorBasePath;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString characterEditorConfigPath;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString characterEditorSegmentationPath;

	/** The template's position, written as text in this record (a blend holds it as a number). */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString templateAssetIndex;
};

// ---------------------------------------------------------------------------------------
// Character descriptor
// ---------------------------------------------------------------------------------------

/** One morph-target weight of a blend. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCShapeWeight
{
	GENERATED_BODY()

	/** Morph-target name, matched against the morph targets of the meshes. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	/** The shape asset, as a position in the catalog's shapeAssets. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	int32 index = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	float weight = 0.0f;
};

/** One shape albedo blended into the skin. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCTextureWeight
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	/** The shape asset whose albedo is blended, as a position in the catalog's shapeAssets. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 index = 0;

	/** Weight of that albedo; the template's own albedo takes what the weights leave of 1. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	float weight = 0.0f;
};

/** One garment or attachment worn. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCDeformableAssetsIndex
{
	GENERATED_BODY()

	/** Object name of the attachment component that wears the asset. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	/** The deformable asset, as a position in the catalog's deformableAssets. */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Category = "Halcor")
	int32 deformableAssetIndex = 0;

	/** The variation worn: the entry of the asset's textureVariationIndices to use. */
	UPROPERTY(VisibleAnywhere, BlueprintReadWrite, Category = "Halcor")
	int32 variationIndex = 0;
};

/** One blend of a character. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCCharacterBlend
{
	GENERATED_BODY()

	/** The template asset, as a position in the catalog's templateAssets. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 templateAssetIndex = 0;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float templateWeight = 0.0f;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FHCShapeWeight> shapeWeights;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FHCTextureWeight> textureWeights;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FHCDeformableAssetsIndex> deformableAssetsIndices;
};

/** One overlay applied to a character (carried). */
USTRUCT(BlueprintType)
struct VORPEX_API FHCOverlayAssetIndex
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	/** The overlay, as a position in the catalog's overlayAssets. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 overlayAssetIndex = 0;

	/** The variation applied, as a position in the atlases' variantRegions. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 variationIndex = 0;
};

/** One character. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCCharacter
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString group;

	/** The character's blends; composition uses the first. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCCharacterBlend> blends;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCOverlayAssetIndex> overlayAssetsIndices;
};

/** One group of characters. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCGroups
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCCharacter> characters;
};

// ---------------------------------------------------------------------------------------
// Character editor configuration
// ---------------------------------------------------------------------------------------

/** The albedo texture of one mesh. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCMeshAlbedo
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString meshName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString texturePath;

	/** The texture itself, given in JSON as an engine object path. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<UTexture2D> texture = nullptr;
};

/** The mask texture of one mesh in an editor section. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCMeshMaskTexture
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString meshName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString texturePath;
};

/** A slider range; sliders receive the four values in this order. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCRange
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float defaultValue = 0.0f;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float minValue = 0.0f;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float maxValue = 0.0f;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float standardDeviation = 0.0f;
};

/** One bone moved by a bone constraint. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCBoneTransformation
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString boneName;

	/** Whether the slider value acts with the opposite sign. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	bool invert = false;

	/** Which transformation of the bone is driven, as a number. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 transformation = 0;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FHCRange range;
};

/** One bone constraint of an editor section. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCTransformConstraint
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString displayName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float value = 0.0f;

	/** Range of the constraint's slider. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FHCRange range;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCBoneTransformation> boneTransformation;
};

/** A two-dimensional weight for the user interface (carried). */
USTRUCT(BlueprintType)
struct VORPEX_API FHCUIWeight
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float x = 0.0f;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	float y = 0.0f;
};

/** One shape constraint: one slider over one or more morph targets. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCShapeConstraints
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString displayName;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FHCUIWeight uiWeight;

	/** Morph targets driven: one gives a 0-to-1 slider, two a -1-to-1 slider, more a polygon slider. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FString> shapes;
};

/** One section of the character editor. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCCharacterEditorSegmentation
{
	GENERATED_BODY()

	/** Title of the section; sections with the same title share one area of the editor. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString displayName;

	/** Name of the section; colour pickers are grouped under it. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString name;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCMeshMaskTexture> meshMasks;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCTransformConstraint> transformConstraints;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCShapeConstraints> shapeConstraints;

	/** Skin composition meshes the section targets, matched against the components' meshes. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FString> targetSkinCompositionMeshes;
};

/** A gradient image; declared with the configuration records, referred to by none of them. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCGradient
{
	GENERATED_BODY()

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString gradientTexturePath;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<UTexture2D> gradientTexture = nullptr;
};

// ---------------------------------------------------------------------------------------
// Data assets
// ---------------------------------------------------------------------------------------

/** The asset catalog: everything that can go into a character. */
UCLASS(BlueprintType)
class VORPEX_API UHCAssetCatalogData : public UDataAsset
{
	GENERATED_BODY()

public:
	/**
	 * A new catalog in the transient package, read from the JSON file at Path; an empty
	 * handle, with a warning on LogTemp, when the file cannot be read or converted.
	 */
	static TStrongObjectPtr<UHCAssetCatalogData> Load(const FString& Path);

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCTexture> textures;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCMesh> meshes;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCMaterial> materials;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCTemplateAsset> templateAssets;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCDeformableAsset> deformableAssets;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCShapeAsset> shapeAssets;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCOverlayAsset> overlayAssets;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCCharacterEditor> characterEditors;
};

/** The character descriptor: characters in groups, addressed by group and character position. */
UCLASS(BlueprintType)
class VORPEX_API UHCCharacterDescriptorData : public UDataAsset
{
	GENERATED_BODY()

public:
	/** As UHCAssetCatalogData::Load, for a descriptor file. */
	static TStrongObjectPtr<UHCCharacterDescriptorData> Load(const FString& Path);

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCGroups> groups;
};

/** The character editor configuration: rig, animation, albedos and editor sections. */
UCLASS(BlueprintType)
class VORPEX_API UHCCharacterEditorConfigData : public UDataAsset
{
	GENERATED_BODY()

public:
	/** As UHCAssetCatalogData::Load, for an editor configuration file. */
	static TStrongObjectPtr<UHCCharacterEditorConfigData> Load(const FString& Path);

	/** Version of the file; carried, any value is accepted. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 version = 0;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString rigShapePath;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString animationPath;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCMeshAlbedo> meshAlbedos;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCCharacterEditorSegmentation> segmentations;
};
