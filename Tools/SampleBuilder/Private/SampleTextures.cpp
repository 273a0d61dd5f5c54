#include "SampleTextures.h"

#include "SampleNoise.h"
#include "UVRasterizer.h"

#include <algorithm>
#include <cmath>

namespace
{
	constexpr int32 DilationPasses = 6;
	constexpr float Pi = 3.14159265358979f;

	const FLinearColor SkinTone(0.88f, 0.68f, 0.58f, 1.0f);
	const FLinearColor LipsTone(0.74f, 0.40f, 0.40f, 1.0f);
	const FLinearColor BrowsTone(0.30f, 0.20f, 0.14f, 1.0f);
	const FLinearColor NailsTone(0.93f, 0.80f, 0.76f, 1.0f);

	FLinearColor Lerp(const FLinearColor& A, const FLinearColor& B, float T)
	{
		return A + (B - A) * T;
	}

	float Luminance(const FLinearColor& C)
	{
		return 0.3f * C.R + 0.59f * C.G + 0.11f * C.B;
	}

	float ToLinear(float Encoded)
	{
		return Encoded <= 0.04045f ? Encoded / 12.92f : std::pow((Encoded + 0.055f) / 1.055f, 2.4f);
	}

	FLinearColor ToLinear(const FLinearColor& C)
	{
		return FLinearColor(ToLinear(C.R), ToLinear(C.G), ToLinear(C.B), C.A);
	}

	float ToSRGB(float Linear)
	{
		return Linear <= 0.0031308f ? Linear * 12.92f : 1.055f * std::pow(Linear, 1.0f / 2.4f) - 0.055f;
	}

	/** Piecewise-linear colour ramp through Stops, evenly spaced over [0, 1]. */
	FLinearColor Ramp(std::initializer_list<FLinearColor> Stops, float T)
	{
		const TArray<FLinearColor> Colours(Stops);
		const float Scaled = std::clamp(T, 0.0f, 1.0f) * float(Colours.Num() - 1);
		const int32 Index = std::min(int32(Scaled), Colours.Num() - 2);
		return Lerp(Colours[Index], Colours[Index + 1], Scaled - float(Index));
	}

	FLinearColor HueColour(float Hue)
	{
		auto Channel = [Hue](float Offset) { return std::clamp(std::abs(std::fmod(Hue * 6.0f + Offset, 6.0f) - 3.0f) - 1.0f, 0.0f, 1.0f); };
		return FLinearColor(Channel(0.0f), Channel(4.0f), Channel(2.0f), 1.0f);
	}
}

FSampleTextures::FSampleTextures(const FSampleSourceMesh& InMesh, const FSampleRegions& InRegions, int32 InBodyGroup)
	: Mesh(InMesh)
	, Regions(InRegions)
	, BodyGroup(InBodyGroup)
{
}

TArray<const FSampleSourceMesh::FFace*> FSampleTextures::GetPartFaces(ESkinPart Part) const
{
	TArray<const FSampleSourceMesh::FFace*> Faces;
	for (const FSampleSourceMesh::FFace* Face : Mesh.GetGroupFaces(BodyGroup))
	{
		if (Regions.IsHeadFace(*Face) == (Part == ESkinPart::Head))
		{
			Faces.Add(Face);
		}
	}
	return Faces;
}

FLinearColor FSampleTextures::GetSkinColour(int32 Vertex) const
{
	FLinearColor Colour = SkinTone;
	Colour = Lerp(Colour, LipsTone, Regions.GetLipsWeight(Vertex));
	Colour = Lerp(Colour, BrowsTone, Regions.GetBrowsWeight(Vertex));
	return Lerp(Colour, NailsTone, Regions.GetNailsWeight(Vertex));
}

FSampleImage FSampleTextures::MakeSkinAlbedo(ESkinPart Part, ESkinLook Look) const
{
	FUVRasterizer Rasterizer(SkinSize, SkinTone);
	Rasterizer.Fill(Mesh, GetPartFaces(Part), [this](int32 Vertex) { return GetSkinColour(Vertex); });
	Rasterizer.Dilate(DilationPasses);
	FSampleImage Image(Rasterizer);
	const float Scale = 24.0f / float(SkinSize);
	for (int32 Y = 0; Y < SkinSize; ++Y)
	{
		for (int32 X = 0; X < SkinSize; ++X)
		{
			FLinearColor& Texel = Image.At(X, Y);
			// Fine pores and broad blotches, as real skin has both.
			const float Detail = 0.04f * FSampleNoise::Fractal(X * Scale * 8.0f, Y * Scale * 8.0f, 11, 3) +
								 0.05f * FSampleNoise::Fractal(X * Scale, Y * Scale, 23, 3);
			Texel = Texel * (1.0f + Detail);
			if (Look == ESkinLook::Aged)
			{
				// Paler, greyer skin with brown age spots.
				const float Grey = Luminance(Texel);
				Texel = Lerp(Texel, FLinearColor(Grey, Grey, Grey, 1.0f), 0.35f) * 0.95f;
				const float Spot = std::clamp((FSampleNoise::Fractal(X * Scale * 1.5f, Y * Scale * 1.5f, 37, 2) - 0.4f) * 3.0f, 0.0f, 1.0f);
				Texel = Lerp(Texel, Texel * FLinearColor(0.72f, 0.58f, 0.45f, 1.0f), Spot);
			}
			else if (Look == ESkinLook::Tanned)
			{
				Texel = Texel * FLinearColor(0.74f, 0.60f, 0.48f, 1.0f);
			}
			Texel.A = 1.0f;
		}
	}
	return Image;
}

FSampleImage FSampleTextures::MakeSkinDetail(ESkinPart Part) const
{
	// The editor works on linear values (the texture is read as sRGB colour): half of the
	// skin's linear brightness relative to its base tone, encoded back to sRGB.
	FSampleImage Image = MakeSkinAlbedo(Part, ESkinLook::Natural);
	const float Reference = Luminance(ToLinear(SkinTone));
	for (int32 Y = 0; Y < SkinSize; ++Y)
	{
		for (int32 X = 0; X < SkinSize; ++X)
		{
			FLinearColor& Texel = Image.At(X, Y);
			const float Grey = ToSRGB(0.5f * Luminance(ToLinear(Texel)) / Reference);
			Texel = FLinearColor(Grey, Grey, Grey, 1.0f);
		}
	}
	return Image;
}

FSampleImage FSampleTextures::MakeRegionMask(ERegion Region) const
{
	FUVRasterizer Rasterizer(SkinSize, FLinearColor(0, 0, 0, 1));
	const ESkinPart Part = Region == ERegion::Nails ? ESkinPart::Body : ESkinPart::Head;
	Rasterizer.Fill(Mesh, GetPartFaces(Part),
		[this, Region](int32 Vertex)
		{
			float Weight = 0.0f;
			switch (Region)
			{
			case ERegion::Lips:
				Weight = Regions.GetLipsWeight(Vertex);
				break;
			case ERegion::Brows:
				Weight = Regions.GetBrowsWeight(Vertex);
				break;
			case ERegion::Eyelids:
				Weight = Regions.GetEyelidsWeight(Vertex);
				break;
			case ERegion::Nails:
				Weight = Regions.GetNailsWeight(Vertex);
				break;
			}
			return FLinearColor(Weight, Weight, Weight, 1.0f);
		});
	Rasterizer.Dilate(DilationPasses);
	return FSampleImage(Rasterizer);
}

FSampleImage FSampleTextures::MakeCullMask(const TArray<bool>& Covered) const
{
	FUVRasterizer Rasterizer(SkinSize, FLinearColor(1, 1, 1, 1));
	Rasterizer.Fill(Mesh, GetPartFaces(ESkinPart::Body),
		[&Covered](int32 Vertex)
		{
			const float Visible = Covered.IsValidIndex(Vertex) && Covered[Vertex] ? 0.0f : 1.0f;
			return FLinearColor(Visible, Visible, Visible, 1.0f);
		});
	Rasterizer.Dilate(DilationPasses);
	return FSampleImage(Rasterizer);
}

FSampleImage FSampleTextures::MakePalette(EPalette Palette)
{
	FSampleImage Image(PaletteSize, PaletteSize);
	const FLinearColor White(1, 1, 1, 1);
	for (int32 Y = 0; Y < PaletteSize; ++Y)
	{
		for (int32 X = 0; X < PaletteSize; ++X)
		{
			const float U = (float(X) + 0.5f) / float(PaletteSize);
			const float V = (float(Y) + 0.5f) / float(PaletteSize);
			FLinearColor Colour;
			switch (Palette)
			{
			case EPalette::SkinTone:
				// Light to dark across, rosy to olive down.
				Colour = Lerp(FLinearColor(1.0f, 0.84f, 0.78f, 1.0f), FLinearColor(0.98f, 0.88f, 0.66f, 1.0f), V) * (1.0f - 0.72f * U);
				break;
			case EPalette::Lips:
				// Brown, red, pink, plum across; from untinted (white) at the top to full colour at the bottom.
				Colour = Lerp(White,
					Ramp({FLinearColor(0.62f, 0.36f, 0.30f, 1), FLinearColor(0.86f, 0.16f, 0.22f, 1), FLinearColor(0.96f, 0.50f, 0.66f, 1),
							 FLinearColor(0.50f, 0.20f, 0.42f, 1)},
						U),
					V);
				break;
			case EPalette::Brows:
				Colour = Lerp(White,
					Ramp({FLinearColor(0.08f, 0.07f, 0.07f, 1), FLinearColor(0.30f, 0.18f, 0.10f, 1), FLinearColor(0.62f, 0.30f, 0.14f, 1),
							 FLinearColor(0.88f, 0.74f, 0.46f, 1), FLinearColor(0.62f, 0.62f, 0.62f, 1)},
						U),
					V);
				break;
			case EPalette::EyeShadow:
				// Taupe, bronze, plum, teal, smoke across; light to deep down. Painted over the
				// lids rather than tinting them, so there is no uncoloured row.
				Colour = Ramp({FLinearColor(0.66f, 0.56f, 0.50f, 1), FLinearColor(0.72f, 0.50f, 0.26f, 1), FLinearColor(0.50f, 0.28f, 0.46f, 1),
								  FLinearColor(0.20f, 0.46f, 0.48f, 1), FLinearColor(0.30f, 0.30f, 0.32f, 1)},
							 U) *
						 (1.1f - 0.6f * V);
				break;
			case EPalette::Nails:
				Colour = Lerp(White, HueColour(U), V);
				break;
			}
			Colour.A = 1.0f;
			Image.At(X, Y) = Colour;
		}
	}
	return Image;
}

FSampleImage FSampleTextures::MakeWhite()
{
	return FSampleImage(16, 16, FLinearColor(1, 1, 1, 1));
}

float FSampleTextures::GetWeaveHeight(EGarment Garment, int32 X, int32 Y)
{
	const float U = float(X) / float(GarmentSize);
	const float V = float(Y) / float(GarmentSize);
	if (Garment == EGarment::Tights)
	{
		// Knit: rows of loops, each loop a bump.
		return 0.5f + 0.5f * std::sin(V * 2.0f * Pi * 96.0f) * std::abs(std::sin(U * 2.0f * Pi * 64.0f));
	}
	// Twill: diagonal ribs.
	return 0.5f + 0.5f * std::sin((U + V) * 2.0f * Pi * 80.0f);
}

FSampleImage FSampleTextures::MakeGarmentAlbedo(EGarment Garment, int32 Variation)
{
	FSampleImage Image(GarmentSize, GarmentSize);
	for (int32 Y = 0; Y < GarmentSize; ++Y)
	{
		for (int32 X = 0; X < GarmentSize; ++X)
		{
			const float Weave = GetWeaveHeight(Garment, X, Y);
			FLinearColor Colour;
			if (Garment == EGarment::Tights)
			{
				Colour = (Variation == 0 ? FLinearColor(0.10f, 0.10f, 0.11f, 1) : FLinearColor(0.09f, 0.13f, 0.32f, 1)) * (0.85f + 0.15f * Weave);
			}
			else if (Variation == 0)
			{
				// Tartan: a red ground with green and dark bands crossing.
				const float U = float(X) / float(GarmentSize);
				const float V = float(Y) / float(GarmentSize);
				auto Band = [](float T, float Width) { return std::fmod(T * 8.0f, 1.0f) < Width ? 1.0f : 0.0f; };
				Colour = FLinearColor(0.62f, 0.08f, 0.10f, 1);
				Colour = Lerp(Colour, FLinearColor(0.06f, 0.26f, 0.14f, 1), 0.5f * (Band(U, 0.25f) + Band(V, 0.25f)));
				Colour = Lerp(Colour, FLinearColor(0.05f, 0.05f, 0.06f, 1), 0.8f * Band(U + 0.4f, 0.06f) * 1.0f);
				Colour = Colour * (0.9f + 0.1f * Weave);
			}
			else
			{
				const float Fade = 0.08f * FSampleNoise::Fractal(float(X) / 32.0f, float(Y) / 32.0f, 53, 3);
				Colour = FLinearColor(0.16f, 0.26f, 0.48f, 1) * (0.8f + 0.2f * Weave + Fade);
			}
			Colour.A = 1.0f;
			Image.At(X, Y) = Colour;
		}
	}
	return Image;
}

FSampleImage FSampleTextures::MakeGarmentNormal(EGarment Garment)
{
	FSampleImage Image(GarmentSize, GarmentSize);
	constexpr float Strength = 2.0f;
	for (int32 Y = 0; Y < GarmentSize; ++Y)
	{
		for (int32 X = 0; X < GarmentSize; ++X)
		{
			const int32 Right = (X + 1) % GarmentSize;
			const int32 Down = (Y + 1) % GarmentSize;
			const float DX = GetWeaveHeight(Garment, Right, Y) - GetWeaveHeight(Garment, X, Y);
			const float DY = GetWeaveHeight(Garment, X, Down) - GetWeaveHeight(Garment, X, Y);
			const FVector3f Normal = FVector3f(-DX * Strength, -DY * Strength, 1.0f).GetSafeNormal();
			Image.At(X, Y) = FLinearColor(0.5f + 0.5f * Normal.X, 0.5f + 0.5f * Normal.Y, 0.5f + 0.5f * Normal.Z, 1.0f);
		}
	}
	return Image;
}

FSampleImage FSampleTextures::MakeGarmentMask(EGarment Garment)
{
	FSampleImage Image(GarmentSize, GarmentSize);
	const float Roughness = Garment == EGarment::Tights ? 0.55f : 0.85f;
	for (int32 Y = 0; Y < GarmentSize; ++Y)
	{
		for (int32 X = 0; X < GarmentSize; ++X)
		{
			// Occlusion deepens in the weave's valleys; nothing is metallic.
			const float Occlusion = 0.8f + 0.2f * GetWeaveHeight(Garment, X, Y);
			Image.At(X, Y) = FLinearColor(Occlusion, Roughness, 0.0f, 1.0f);
		}
	}
	return Image;
}
