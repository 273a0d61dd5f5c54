#pragma once

// FSampleTextures paints the sample's textures. Skin textures are baked into the body's UV
// layout from colours given per vertex (a base tone, redder lips, brown brows, pale nails) with
// a little fractal noise for skin detail; garment textures are patterns in their own UV space;
// palettes are colour fields the editor's colour pickers sample. Everything is a function of
// the source mesh and fixed seeds, so two runs paint the same bytes.

#include "CoreMinimal.h"
#include "SampleImage.h"
#include "SampleRegions.h"
#include "SampleSourceMesh.h"

class FSampleTextures
{
public:
	enum class ESkinPart : uint8
	{
		Body,
		Head
	};
	enum class ESkinLook : uint8
	{
		Natural,
		Aged,
		Tanned
	};
	enum class ERegion : uint8
	{
		Lips,
		Brows,
		Eyelids,
		Nails
	};
	enum class EPalette : uint8
	{
		SkinTone,
		Lips,
		Brows,
		EyeShadow,
		Nails
	};
	enum class EGarment : uint8
	{
		Tights,
		Skirt
	};

	/** Skin textures are SkinSize square, palettes PaletteSize, garment textures GarmentSize. */
	static constexpr int32 SkinSize = 512;
	static constexpr int32 PaletteSize = 256;
	static constexpr int32 GarmentSize = 512;

	FSampleTextures(const FSampleSourceMesh& InMesh, const FSampleRegions& InRegions, int32 InBodyGroup);

	/** The finished skin of one material of the body. */
	FSampleImage MakeSkinAlbedo(ESkinPart Part, ESkinLook Look) const;
	/**
	 * The skin of one material at half its linear brightness and without colour: the editor
	 * tints it with the picked skin tone and doubles it back (the skin composition's
	 * "LinearDodge" step).
	 */
	FSampleImage MakeSkinDetail(ESkinPart Part) const;
	/** A region's weight in red, green and blue (lips, brows and eyelids on the head's layout, nails on the body's). */
	FSampleImage MakeRegionMask(ERegion Region) const;
	/** Visible (white) and covered (black) body texels of the body material; Covered is per source vertex. */
	FSampleImage MakeCullMask(const TArray<bool>& Covered) const;

	static FSampleImage MakePalette(EPalette Palette);
	/** A small plain white image: the canvas a colour picker paints a flat colour on. */
	static FSampleImage MakeWhite();
	/** Variation 0 or 1 of a garment's albedo. */
	static FSampleImage MakeGarmentAlbedo(EGarment Garment, int32 Variation);
	static FSampleImage MakeGarmentNormal(EGarment Garment);
	static FSampleImage MakeGarmentMask(EGarment Garment);

private:
	TArray<const FSampleSourceMesh::FFace*> GetPartFaces(ESkinPart Part) const;
	FLinearColor GetSkinColour(int32 Vertex) const;
	/** Height of a garment's weave in [0, 1] at a texel: knit rows for tights, a twill for the skirt. */
	static float GetWeaveHeight(EGarment Garment, int32 X, int32 Y);

	const FSampleSourceMesh& Mesh;
	const FSampleRegions& Regions;
	int32 BodyGroup;
};
