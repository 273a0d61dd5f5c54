#pragma once

// Where every file of the sample project lies, relative to its Content folder and without
// extension: the builder writes them there, and the data files refer to them by the object
// paths made from the same names, so the two cannot drift apart. Texture names follow the
// content loader's convention: a name ending in "_N" is a normal map and one ending in "_Mask"
// holds linear data; other PNGs are sRGB colour.

#include "CoreMinimal.h"

namespace SampleLayout
{
	// Meshes and the rig animation (glTF binaries).
	inline constexpr const TCHAR* BodyMesh = TEXT("Characters/Human/SK_Body");
	inline constexpr const TCHAR* TightsMesh = TEXT("Characters/Human/SK_Tights");
	inline constexpr const TCHAR* SkirtMesh = TEXT("Characters/Human/SK_Skirt");
	inline constexpr const TCHAR* ShapeRig = TEXT("Characters/Human/A_ShapeRig");

	// Skin albedos of the template and of the textured shape assets.
	inline constexpr const TCHAR* BodyAlbedo = TEXT("Textures/Skin/T_Body_Albedo");
	inline constexpr const TCHAR* HeadAlbedo = TEXT("Textures/Skin/T_Head_Albedo");
	inline constexpr const TCHAR* BodyAlbedoAged = TEXT("Textures/Skin/T_Body_Albedo_Aged");
	inline constexpr const TCHAR* HeadAlbedoAged = TEXT("Textures/Skin/T_Head_Albedo_Aged");
	inline constexpr const TCHAR* BodyAlbedoTanned = TEXT("Textures/Skin/T_Body_Albedo_Tanned");
	inline constexpr const TCHAR* HeadAlbedoTanned = TEXT("Textures/Skin/T_Head_Albedo_Tanned");

	// Garment textures: two albedo variations each, a normal map and a mask (AO, roughness, metallic).
	inline constexpr const TCHAR* TightsAlbedoBlack = TEXT("Textures/Garments/T_Tights_Albedo_Black");
	inline constexpr const TCHAR* TightsAlbedoNavy = TEXT("Textures/Garments/T_Tights_Albedo_Navy");
	inline constexpr const TCHAR* TightsNormal = TEXT("Textures/Garments/T_Tights_N");
	inline constexpr const TCHAR* TightsMask = TEXT("Textures/Garments/T_Tights_Mask");
	inline constexpr const TCHAR* SkirtAlbedoPlaid = TEXT("Textures/Garments/T_Skirt_Albedo_Plaid");
	inline constexpr const TCHAR* SkirtAlbedoDenim = TEXT("Textures/Garments/T_Skirt_Albedo_Denim");
	inline constexpr const TCHAR* SkirtNormal = TEXT("Textures/Garments/T_Skirt_N");
	inline constexpr const TCHAR* SkirtMask = TEXT("Textures/Garments/T_Skirt_Mask");

	// The character editor's data and the images its skin composition reads.
	inline constexpr const TCHAR* EditorConfig = TEXT("Editor/DA_CharacterEditorConfig");
	inline constexpr const TCHAR* SkinComposition = TEXT("Editor/DA_SkinComposition");
	inline constexpr const TCHAR* BodyDetail = TEXT("Editor/Textures/T_Body_Detail");
	inline constexpr const TCHAR* HeadDetail = TEXT("Editor/Textures/T_Head_Detail");
	inline constexpr const TCHAR* LipsMask = TEXT("Editor/Textures/T_Lips_Mask");
	inline constexpr const TCHAR* BrowsMask = TEXT("Editor/Textures/T_Brows_Mask");
	inline constexpr const TCHAR* EyelidsMask = TEXT("Editor/Textures/T_Eyelids_Mask");
	inline constexpr const TCHAR* WhiteCanvas = TEXT("Editor/Textures/T_White");
	inline constexpr const TCHAR* NailsMask = TEXT("Editor/Textures/T_Nails_Mask");
	inline constexpr const TCHAR* SkinTonePalette = TEXT("Editor/Textures/T_Palette_SkinTone");
	inline constexpr const TCHAR* LipsPalette = TEXT("Editor/Textures/T_Palette_Lips");
	inline constexpr const TCHAR* BrowsPalette = TEXT("Editor/Textures/T_Palette_Brows");
	inline constexpr const TCHAR* EyeShadowPalette = TEXT("Editor/Textures/T_Palette_EyeShadow");
	inline constexpr const TCHAR* NailsPalette = TEXT("Editor/Textures/T_Palette_Nails");

	// The catalog and the characters.
	inline constexpr const TCHAR* AssetCatalog = TEXT("Data/DA_AssetCatalog");
	inline constexpr const TCHAR* CharacterDescriptor = TEXT("Data/DA_CharacterDescriptor");

	// Culling: the body positions each garment covers, the body's vertex caches built from
	// them, and per-material cull masks.
	inline constexpr const TCHAR* TightsPoints = TEXT("Culling/PT_Tights");
	inline constexpr const TCHAR* SkirtPoints = TEXT("Culling/PT_Skirt");
	inline constexpr const TCHAR* TightsVertexCache = TEXT("Culling/DA_VertexCache_Tights");
	inline constexpr const TCHAR* SkirtVertexCache = TEXT("Culling/DA_VertexCache_Skirt");
	inline constexpr const TCHAR* TightsCullMasks = TEXT("Culling/DA_CullMasks_Tights");
	inline constexpr const TCHAR* SkirtCullMasks = TEXT("Culling/DA_CullMasks_Skirt");
	inline constexpr const TCHAR* TightsBodyCullMask = TEXT("Culling/T_Body_UnderTights_Mask");
	inline constexpr const TCHAR* SkirtBodyCullMask = TEXT("Culling/T_Body_UnderSkirt_Mask");

	/** "/Game/<Name>.<base name>": the object path of a content file. */
	inline FString ObjectPath(const TCHAR* Name)
	{
		const FString Path(Name);
		int32 Slash = INDEX_NONE;
		Path.FindLastChar(TEXT('/'), Slash);
		return FString::Printf(TEXT("/Game/%s.%s"), *Path, *Path.Mid(Slash + 1));
	}

	/** The file of a content name: "<Content>/<Name><Extension>". */
	inline FString File(const FString& ContentDir, const TCHAR* Name, const TCHAR* Extension)
	{
		return ContentDir / FString(Name) + Extension;
	}
}
