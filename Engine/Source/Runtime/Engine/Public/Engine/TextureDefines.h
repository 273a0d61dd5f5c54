#pragma once

// The settings every texture carries (UTexture's Filter, LODGroup, CompressionSettings and
// MipGenSettings), with the engine's names. Where an enumeration lists only some of the engine's
// entries, the ones it has keep the engine's order, so a setting saved by name reads back the same.

#include "CoreMinimal.h"

#include "TextureDefines.generated.h"

/** How texels are sampled between texel centres and between mips. */
UENUM()
enum TextureFilter : int
{
	TF_Nearest UMETA(DisplayName = "Nearest"),
	TF_Bilinear UMETA(DisplayName = "Bi-linear"),
	TF_Trilinear UMETA(DisplayName = "Tri-linear"),
	/** The filter of the texture's group (LODGroup). */
	TF_Default UMETA(DisplayName = "Default (from Texture Group)"),
};

/**
 * The group a texture belongs to, which supplies the defaults its own settings leave open
 * (filter, mip generation). The engine's first six groups in its order, then the groups for
 * user interface and pixel art.
 */
UENUM()
enum TextureGroup : int
{
	TEXTUREGROUP_World UMETA(DisplayName = "World"),
	TEXTUREGROUP_WorldNormalMap UMETA(DisplayName = "WorldNormalMap"),
	TEXTUREGROUP_WorldSpecular UMETA(DisplayName = "WorldSpecular"),
	TEXTUREGROUP_Character UMETA(DisplayName = "Character"),
	TEXTUREGROUP_CharacterNormalMap UMETA(DisplayName = "CharacterNormalMap"),
	TEXTUREGROUP_CharacterSpecular UMETA(DisplayName = "CharacterSpecular"),
	TEXTUREGROUP_UI UMETA(DisplayName = "UI"),
	/** Pixel art: sampled without filtering and without mips. */
	TEXTUREGROUP_Pixels2D UMETA(DisplayName = "2D Pixels (unfiltered)"),
};

/**
 * What the texels hold, which decides how the GPU copy stores them. TC_Displacementmap is the
 * engine's entry between TC_Grayscale and TC_VectorDisplacementmap.
 */
UENUM()
enum TextureCompressionSettings : int
{
	TC_Default UMETA(DisplayName = "Default (DXT1/5, BC1/3 on DX11)"),
	TC_Normalmap UMETA(DisplayName = "Normalmap (DXT5, BC5 on DX11)"),
	TC_Masks UMETA(DisplayName = "Masks (no sRGB)"),
	TC_Grayscale UMETA(DisplayName = "Grayscale (G8/16, RGB8 sRGB)"),
	TC_Displacementmap UMETA(DisplayName = "Displacementmap (G8/16)"),
	TC_VectorDisplacementmap UMETA(DisplayName = "VectorDisplacementmap (RGBA8)"),
	TC_HDR UMETA(DisplayName = "HDR (RGBA16F, no sRGB)"),
	TC_EditorIcon UMETA(DisplayName = "UserInterface2D (RGBA)"),
	TC_Alpha UMETA(DisplayName = "Alpha (no sRGB, BC4 on DX11)"),
};

/** How a texture's mips below mip 0 are made. */
UENUM()
enum TextureMipGenSettings : int
{
	/** The mip generation of the texture's group (LODGroup). */
	TMGS_FromTextureGroup UMETA(DisplayName = "FromTextureGroup"),
	TMGS_SimpleAverage UMETA(DisplayName = "SimpleAverage"),
	/** Mip 0 only. */
	TMGS_NoMipmaps UMETA(DisplayName = "NoMipmaps"),
	/** The mips the texture was imported with, unchanged. */
	TMGS_LeaveExistingMips UMETA(DisplayName = "LeaveExistingMips"),
};
