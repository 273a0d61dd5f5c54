#include "AssetIOTestFolder.h"
#include "AssetLoader.h"
#include "Engine/Texture2D.h"
#include "Misc/Crc.h"
#include "PngReader.h"
#include "Templates/Casts.h"
#include "UObject/Class.h"

#include <string>

namespace
{
	void AppendBigEndian32(TArray<uint8>& Bytes, uint32 Value)
	{
		Bytes.Append({uint8(Value >> 24), uint8(Value >> 16), uint8(Value >> 8), uint8(Value)});
	}

	void AppendChunk(TArray<uint8>& Png, const char* Type, const TArray<uint8>& Data)
	{
		AppendBigEndian32(Png, static_cast<uint32>(Data.Num()));
		TArray<uint8> TypeAndData(reinterpret_cast<const uint8*>(Type), 4);
		TypeAndData.Append(Data);
		Png.Append(TypeAndData);
		AppendBigEndian32(Png, FCrc::MemCrc32(TypeAndData.GetData(), TypeAndData.Num()));
	}

	/** A colour chunk placed before the image data. */
	struct FColourChunk
	{
		const char* Type;
		TArray<uint8> Data;
	};

	FColourChunk GammaChunk(uint32 Gamma)
	{
		TArray<uint8> Data;
		AppendBigEndian32(Data, Gamma);
		return {"gAMA", Data};
	}

	const FColourChunk SrgbChunk{"sRGB", {0}};

	/**
	 * A PNG made byte by byte, independently of stb's writer, which has no 16-bit or grey+alpha
	 * output: Samples are the image's channel values, one row after another, at BitDepth 8 or 16
	 * (16-bit samples big-endian, as PNG stores them). The image data is one stored (uncompressed)
	 * deflate block, every row with filter type 0.
	 */
	TArray<uint8> HandMadePng(int32 Width, int32 Height, uint8 BitDepth, uint8 ColourType, const TArray<uint32>& Samples,
		const TArray<FColourChunk>& ColourChunks = {})
	{
		const int32 SamplesPerRow = Samples.Num() / Height;
		TArray<uint8> Raw;
		for (int32 Row = 0; Row < Height; ++Row)
		{
			Raw.Add(0);
			for (int32 Column = 0; Column < SamplesPerRow; ++Column)
			{
				const uint32 Sample = Samples[Row * SamplesPerRow + Column];
				if (BitDepth == 16)
				{
					Raw.Add(uint8(Sample >> 8));
				}
				Raw.Add(uint8(Sample));
			}
		}
		TArray<uint8> Zlib = {0x78, 0x01, 0x01, uint8(Raw.Num()), uint8(Raw.Num() >> 8), uint8(~Raw.Num()), uint8(~Raw.Num() >> 8)};
		Zlib.Append(Raw);
		uint32 A = 1;
		uint32 B = 0;
		for (const uint8 Byte : Raw)
		{
			A = (A + Byte) % 65521;
			B = (B + A) % 65521;
		}
		AppendBigEndian32(Zlib, (B << 16) | A);

		TArray<uint8> Png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
		TArray<uint8> Header;
		AppendBigEndian32(Header, static_cast<uint32>(Width));
		AppendBigEndian32(Header, static_cast<uint32>(Height));
		Header.Append({BitDepth, ColourType, 0, 0, 0});
		AppendChunk(Png, "IHDR", Header);
		for (const FColourChunk& Chunk : ColourChunks)
		{
			AppendChunk(Png, Chunk.Type, Chunk.Data);
		}
		AppendChunk(Png, "IDAT", Zlib);
		AppendChunk(Png, "IEND", {});
		return Png;
	}

	TArray<uint8> Decode(const TArray<uint8>& Png)
	{
		int32 Width = 0;
		int32 Height = 0;
		TArray<uint8> Texels;
		FString Error;
		EXPECT_TRUE(FPngReader::DecodeBGRA(Png, Width, Height, Texels, Error)) << Error.ToStdString();
		EXPECT_EQ(Width * Height * 4, Texels.Num());
		return Texels;
	}

	enum EPngColourType : uint8
	{
		Grey = 0,
		Rgb = 2,
		GreyAlpha = 4,
		Rgba = 6,
	};
}

TEST(PngImportTest, EveryColourTypeDecodesToBgra)
{
	EXPECT_EQ(Decode(HandMadePng(2, 1, 8, Grey, {7, 200})), (TArray<uint8>{7, 7, 7, 255, 200, 200, 200, 255}));
	EXPECT_EQ(Decode(HandMadePng(2, 1, 8, GreyAlpha, {7, 1, 200, 254})), (TArray<uint8>{7, 7, 7, 1, 200, 200, 200, 254}));
	EXPECT_EQ(Decode(HandMadePng(1, 2, 8, Rgb, {10, 20, 30, 40, 50, 60})), (TArray<uint8>{30, 20, 10, 255, 60, 50, 40, 255}));
	EXPECT_EQ(Decode(HandMadePng(1, 2, 8, Rgba, {10, 20, 30, 40, 50, 60, 70, 80})), (TArray<uint8>{30, 20, 10, 40, 70, 60, 50, 80}));
}

TEST(PngImportTest, SixteenBitChannelsAreRounded)
{
	// 0x10F0 is 16.87 in 8 bits: 17 rounded, 16 cut to the high byte. 0xF000 is 239.07: 239,
	// where the high byte would give 240. The ends map to 0 and 255.
	EXPECT_EQ(Decode(HandMadePng(1, 1, 16, Rgba, {0x10F0, 0xF000, 0xFFFF, 0x0000})), (TArray<uint8>{0xFF, 0xEF, 0x11, 0x00}));
	EXPECT_EQ(Decode(HandMadePng(2, 1, 16, Grey, {0x10F0, 0x807F})), (TArray<uint8>{0x11, 0x11, 0x11, 255, 0x80, 0x80, 0x80, 255}));
	// Halfway between 0 and 1 (0x0080.8): just below rounds down, just above rounds up.
	EXPECT_EQ(Decode(HandMadePng(2, 1, 16, GreyAlpha, {0xFFFF, 0x0080, 0x0081, 0xFFFF})), (TArray<uint8>{255, 255, 255, 0, 1, 1, 1, 255}));
}

TEST(PngImportTest, ColourChunksDecideSrgb)
{
	const TArray<uint32> Texel = {1, 2, 3};
	EXPECT_TRUE(FPngReader::IsSRGB(HandMadePng(1, 1, 8, Rgb, Texel)));
	EXPECT_TRUE(FPngReader::IsSRGB(HandMadePng(1, 1, 8, Rgb, Texel, {SrgbChunk})));
	EXPECT_FALSE(FPngReader::IsSRGB(HandMadePng(1, 1, 8, Rgb, Texel, {GammaChunk(100000)})));
	EXPECT_TRUE(FPngReader::IsSRGB(HandMadePng(1, 1, 8, Rgb, Texel, {GammaChunk(45455)})));
	// The sRGB chunk wins over a gAMA chunk, before or after it.
	EXPECT_TRUE(FPngReader::IsSRGB(HandMadePng(1, 1, 8, Rgb, Texel, {GammaChunk(100000), SrgbChunk})));
	EXPECT_TRUE(FPngReader::IsSRGB(HandMadePng(1, 1, 8, Rgb, Texel, {SrgbChunk, GammaChunk(100000)})));
}

class PngImportSettingsTest : public AssetIOTestFolder
{
protected:
	/** Writes a 1 × 1 PNG as Content/Tex/<Name>.png and loads it. */
	UTexture2D* Load(const std::string& Name, const TArray<FColourChunk>& ColourChunks = {})
	{
		WriteFile("Content/Tex/" + Name + ".png", HandMadePng(1, 1, 8, Rgb, {1, 2, 3}, ColourChunks));
		const FString Path = FString(TEXT("/Game/Tex/")) + Name.c_str();
		return Cast<UTexture2D>(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), Path));
	}

	static FString Settings(const UTexture2D* Texture)
	{
		if (!Texture)
		{
			return TEXT("not loaded");
		}
		return FString::Printf(TEXT("SRGB=%d %s %s"), Texture->SRGB ? 1 : 0,
			*StaticEnum<TextureCompressionSettings>()->GetNameStringByValue(Texture->CompressionSettings),
			*StaticEnum<TextureGroup>()->GetNameStringByValue(Texture->LODGroup));
	}
};

TEST_F(PngImportSettingsTest, ColourTexturesFollowTheirChunks)
{
	EXPECT_EQ(Settings(Load("T_Plain")), "SRGB=1 TC_Default TEXTUREGROUP_World");
	EXPECT_EQ(Settings(Load("T_Tagged", {SrgbChunk})), "SRGB=1 TC_Default TEXTUREGROUP_World");
	EXPECT_EQ(Settings(Load("T_Linear", {GammaChunk(100000)})), "SRGB=0 TC_Default TEXTUREGROUP_World");
	const UTexture2D* Texture = Load("T_Texels");
	ASSERT_NE(Texture, nullptr);
	const FByteBulkData& Data = Texture->GetPlatformData()->Mips[0].BulkData;
	EXPECT_EQ(TArray<uint8>(static_cast<const uint8*>(Data.LockReadOnly()), 4), (TArray<uint8>{3, 2, 1, 255}));
	Data.Unlock();
}

TEST_F(PngImportSettingsTest, NormalMapAndMaskSuffixesMakeLinearDataTextures)
{
	// The suffix wins over an sRGB chunk, which editors write into data textures too.
	EXPECT_EQ(Settings(Load("T_Body_N", {SrgbChunk})), "SRGB=0 TC_Normalmap TEXTUREGROUP_WorldNormalMap");
	EXPECT_EQ(Settings(Load("T_Face_n")), "SRGB=0 TC_Normalmap TEXTUREGROUP_WorldNormalMap");
	EXPECT_EQ(Settings(Load("T_Body_Mask", {SrgbChunk})), "SRGB=0 TC_Masks TEXTUREGROUP_World");
	EXPECT_EQ(Settings(Load("T_Body_M")), "SRGB=0 TC_Masks TEXTUREGROUP_World");
	EXPECT_EQ(Settings(Load("T_Eye_mask")), "SRGB=0 TC_Masks TEXTUREGROUP_World");
	// Only a whole "_N", "_M" or "_Mask" at the end counts.
	EXPECT_EQ(Settings(Load("T_Skin")), "SRGB=1 TC_Default TEXTUREGROUP_World");
	EXPECT_EQ(Settings(Load("T_Mud")), "SRGB=1 TC_Default TEXTUREGROUP_World");
	EXPECT_EQ(Settings(Load("T_Body_Normal")), "SRGB=1 TC_Default TEXTUREGROUP_World");
	EXPECT_EQ(Settings(Load("T_Body_Masked")), "SRGB=1 TC_Default TEXTUREGROUP_World");
	EXPECT_EQ(Settings(Load("T_BodyN")), "SRGB=1 TC_Default TEXTUREGROUP_World");
}
