#include "AssetIOTestFolder.h"
#include "Engine/Texture2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "RenderingThread.h"
#include "TextureResource.h"
#include "UObject/UObjectGlobals.h"
#include "Misc/Crc.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "PngReader.h"
#include "PngWriter.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <cstring>
#include <memory>

namespace
{
	/** 3 × 2 texels, every byte different, alpha included, so a swapped channel or row shows. */
	TArray<uint8> MakeTexels()
	{
		TArray<uint8> Texels;
		for (int32 Index = 0; Index < 3 * 2 * 4; ++Index)
		{
			Texels.Add(static_cast<uint8>(10 + Index * 9));
		}
		return Texels;
	}

	/** PNG bytes made by stb from RGBA (or other channel counts), independently of FPngWriter. */
	TArray<uint8> StbPng(const TArray<uint8>& Pixels, int32 Width, int32 Height, int32 Channels)
	{
		TArray<uint8> Png;
		auto Append = [](void* Context, void* Data, int Size) { static_cast<TArray<uint8>*>(Context)->Append(static_cast<const uint8*>(Data), Size); };
		stbi_write_png_to_func(Append, &Png, Width, Height, Channels, Pixels.GetData(), Width * Channels);
		return Png;
	}

	/** A PNG file decoded by the module's reader. */
	struct FDecodedPng
	{
		int32 Width = 0;
		int32 Height = 0;
		TArray<uint8> Texels;
	};

	/** Reads and decodes a PNG file; a failure fails the test and gives no texels. */
	FDecodedPng ReadPngFile(const FString& Filename)
	{
		FDecodedPng Decoded;
		TArray<uint8> Png;
		FString Error;
		if (!FFileHelper::LoadFileToArray(Png, *Filename))
		{
			ADD_FAILURE() << "cannot read " << *Filename;
		}
		else if (!FPngReader::DecodeBGRA(Png, Decoded.Width, Decoded.Height, Decoded.Texels, Error))
		{
			ADD_FAILURE() << *Filename << ": " << Error.ToStdString();
		}
		return Decoded;
	}
}

using PngTest = AssetIOTestFolder;

TEST_F(PngTest, WrittenTexelsReadBackExactly)
{
	const TArray<uint8> Texels = MakeTexels();
	const FString Filename = ContentDir() + TEXT("Out/Round.png");
	ASSERT_TRUE(FPngWriter::WriteBGRA(Texels, 3, 2, Filename));

	const FDecodedPng Read = ReadPngFile(Filename);
	EXPECT_EQ(Read.Width, 3);
	EXPECT_EQ(Read.Height, 2);
	EXPECT_EQ(Read.Texels, Texels);
}

TEST(PngLargeImageTest, ImagesDeflatedInSeveralBlocksDecodeExactlyAndShrink)
{
	// 1500 x 1100 texels is over 6 MiB of rows: deflated in blocks on every core, whose joints
	// and combined checksum an independent decoder must accept. A smooth gradient with noise in
	// its low bits, like a texture, so that a broken filter shows as wrong texels.
	constexpr int32 Width = 1500;
	constexpr int32 Height = 1100;
	TArray<uint8> Bgra;
	Bgra.SetNumUninitialized(Width * Height * 4);
	uint32 Noise = 12345;
	for (int32 Index = 0; Index < Width * Height; ++Index)
	{
		Noise = Noise * 1664525u + 1013904223u;
		const int32 X = Index % Width;
		const int32 Y = Index / Width;
		Bgra[Index * 4 + 0] = uint8(X / 6 + (Noise >> 30));
		Bgra[Index * 4 + 1] = uint8(Y / 5);
		Bgra[Index * 4 + 2] = uint8((X + Y) / 11);
		Bgra[Index * 4 + 3] = uint8(255 - (Noise >> 31));
	}
	TArray<uint8> Png;
	ASSERT_TRUE(FPngWriter::EncodeBGRA(Bgra, Width, Height, Png));
	EXPECT_LT(Png.Num(), Bgra.Num() / 2);

	int DecodedWidth = 0;
	int DecodedHeight = 0;
	int Channels = 0;
	const std::unique_ptr<stbi_uc, void (*)(void*)> Rgba(
		stbi_load_from_memory(Png.GetData(), Png.Num(), &DecodedWidth, &DecodedHeight, &Channels, 4), stbi_image_free);
	ASSERT_TRUE(Rgba) << stbi_failure_reason();
	ASSERT_EQ(DecodedWidth, Width);
	ASSERT_EQ(DecodedHeight, Height);
	int32 Mismatches = 0;
	for (int32 Index = 0; Index < Width * Height; ++Index)
	{
		const uint8* Texel = &Bgra[Index * 4];
		const uint8* Decoded = Rgba.get() + Index * 4;
		Mismatches += Decoded[0] != Texel[2] || Decoded[1] != Texel[1] || Decoded[2] != Texel[0] || Decoded[3] != Texel[3];
	}
	EXPECT_EQ(Mismatches, 0);

	// The module's reader checks every chunk's CRC as well.
	TArray<uint8> ReadBack;
	FString Error;
	int32 ReadWidth = 0;
	int32 ReadHeight = 0;
	ASSERT_TRUE(FPngReader::DecodeBGRA(Png, ReadWidth, ReadHeight, ReadBack, Error)) << Error.ToStdString();
	EXPECT_TRUE(ReadBack == Bgra);
}

TEST(PngChannelTest, FilesHoldRgbaWhileTexelsAreBgra)
{
	// Checked against stb directly, so a writer and reader that swapped channels the same
	// wrong way would not pass.
	const TArray<uint8> Bgra = {10, 20, 30, 40, 50, 60, 70, 80};
	TArray<uint8> Png;
	ASSERT_TRUE(FPngWriter::EncodeBGRA(Bgra, 2, 1, Png));
	int Width = 0;
	int Height = 0;
	int Channels = 0;
	const std::unique_ptr<stbi_uc, void (*)(void*)> Rgba(stbi_load_from_memory(Png.GetData(), Png.Num(), &Width, &Height, &Channels, 0), stbi_image_free);
	ASSERT_TRUE(Rgba);
	ASSERT_EQ(Channels, 4);
	EXPECT_EQ(TArray<uint8>(Rgba.get(), 8), (TArray<uint8>{30, 20, 10, 40, 70, 60, 50, 80}));

	TArray<uint8> Decoded;
	FString Error;
	int32 DecodedWidth = 0;
	int32 DecodedHeight = 0;
	ASSERT_TRUE(FPngReader::DecodeBGRA(StbPng({30, 20, 10, 40}, 1, 1, 4), DecodedWidth, DecodedHeight, Decoded, Error));
	EXPECT_EQ(Decoded, (TArray<uint8>{10, 20, 30, 40}));
}

TEST(PngChannelTest, GreyAndRgbImagesGetOpaqueBgra)
{
	TArray<uint8> Texels;
	FString Error;
	int32 Width = 0;
	int32 Height = 0;
	ASSERT_TRUE(FPngReader::DecodeBGRA(StbPng({7, 200}, 2, 1, 1), Width, Height, Texels, Error));
	EXPECT_EQ(Texels, (TArray<uint8>{7, 7, 7, 255, 200, 200, 200, 255}));
	ASSERT_TRUE(FPngReader::DecodeBGRA(StbPng({1, 2, 3}, 1, 1, 3), Width, Height, Texels, Error));
	EXPECT_EQ(Texels, (TArray<uint8>{3, 2, 1, 255}));
}

TEST(PngReaderTest, DamagedDataFailsAndLeavesOutputsAlone)
{
	TArray<uint8> Png = StbPng({1, 2, 3, 4, 5, 6, 7, 8}, 2, 1, 4);
	TArray<uint8> Truncated = Png;
	Truncated.SetNum(Png.Num() - 14);
	TArray<uint8> WithoutEnd = Png;
	WithoutEnd.SetNum(Png.Num() - 12);
	TArray<uint8> BadChecksum = Png;
	BadChecksum[BadChecksum.Num() - 17] ^= 0x01;
	TArray<uint8> ZeroWidth = Png;
	// IHDR's width sits at bytes 16..19; its CRC (bytes 29..32) is fixed up to match.
	ZeroWidth[16] = ZeroWidth[17] = ZeroWidth[18] = ZeroWidth[19] = 0;
	const uint32 HeaderCrc = FCrc::MemCrc32(&ZeroWidth[12], 17);
	for (int32 Index = 0; Index < 4; ++Index)
	{
		ZeroWidth[29 + Index] = static_cast<uint8>(HeaderCrc >> (24 - 8 * Index));
	}
	TArray<uint8> Bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

	int32 Width = -1;
	int32 Height = -1;
	TArray<uint8> Texels = {9};
	FString Error;
	EXPECT_FALSE(FPngReader::DecodeBGRA(TArray<uint8>(), Width, Height, Texels, Error));
	EXPECT_EQ(Error.ToStdString(), "not a PNG file");
	EXPECT_FALSE(FPngReader::DecodeBGRA(Bmp, Width, Height, Texels, Error));
	EXPECT_EQ(Error.ToStdString(), "not a PNG file");
	EXPECT_FALSE(FPngReader::DecodeBGRA(Truncated, Width, Height, Texels, Error));
	EXPECT_EQ(Error.ToStdString(), "corrupt PNG (file ends inside a chunk)");
	EXPECT_FALSE(FPngReader::DecodeBGRA(WithoutEnd, Width, Height, Texels, Error));
	EXPECT_EQ(Error.ToStdString(), "corrupt PNG (file ends before its IEND chunk)");
	// A flipped bit inside the image data: stb alone would decode it into wrong texels.
	EXPECT_FALSE(FPngReader::DecodeBGRA(BadChecksum, Width, Height, Texels, Error));
	EXPECT_EQ(Error.ToStdString(), "corrupt PNG (CRC mismatch in chunk IDAT)");
	// Chunks intact, but the image header announces no pixels.
	EXPECT_FALSE(FPngReader::DecodeBGRA(ZeroWidth, Width, Height, Texels, Error));
	EXPECT_TRUE(Error.StartsWith(TEXT("corrupt PNG ("))) << Error.ToStdString();
	EXPECT_EQ(Width, -1);
	EXPECT_EQ(Height, -1);
	EXPECT_EQ(Texels, TArray<uint8>{9});
}

TEST_F(PngTest, TexturesAreWrittenFromMipZero)
{
	UTexture2D* Texture = UTexture2D::CreateTransient(3, 2);
	ASSERT_NE(Texture, nullptr);
	FByteBulkData& Bulk = Texture->GetPlatformData()->Mips[0].BulkData;
	const TArray<uint8> Texels = MakeTexels();
	std::memcpy(Bulk.Lock(LOCK_READ_WRITE), Texels.GetData(), Texels.Num());
	Bulk.Unlock();

	const FString Filename = ContentDir() + TEXT("Texture.png");
	ASSERT_TRUE(FPngWriter::WriteTexture(Texture, Filename));
	EXPECT_EQ(ReadPngFile(Filename).Texels, Texels);
	EXPECT_FALSE(Bulk.IsLocked());
}

TEST_F(PngTest, BadInputWritesNothing)
{
	FLogCapture Capture;
	const FString Filename = ContentDir() + TEXT("Never.png");
	EXPECT_FALSE(FPngWriter::WriteBGRA(MakeTexels(), 4, 2, Filename));
	EXPECT_FALSE(FPngWriter::WriteBGRA(TArray<uint8>(), 0, 0, Filename));
	EXPECT_FALSE(FPngWriter::WriteTexture(nullptr, Filename));
	UTexture2D* Grey = UTexture2D::CreateTransient(2, 2, PF_G8);
	EXPECT_FALSE(FPngWriter::WriteTexture(Grey, Filename));
	UTexture2D* Locked = UTexture2D::CreateTransient(2, 2);
	FByteBulkData& Bulk = Locked->GetPlatformData()->Mips[0].BulkData;
	Bulk.Lock(LOCK_READ_WRITE);
	EXPECT_FALSE(FPngWriter::WriteTexture(Locked, Filename));
	Bulk.Unlock();
	EXPECT_FALSE(FPaths::FileExists(Filename));

	const TArray<FString> Messages = AssetIOMessages(Capture);
	ASSERT_EQ(Messages.Num(), 5);
	EXPECT_EQ(Messages[0].ToStdString(), "Cannot encode a PNG of 4 x 2 texels from 24 bytes (32 expected)");
	EXPECT_EQ(Messages[1].ToStdString(), "Cannot encode a PNG of 0 x 0 texels");
	EXPECT_EQ(Messages[2].ToStdString(), ("Cannot write " + Filename + ": the texture has no texels").ToStdString());
	EXPECT_EQ(Messages[3].ToStdString(), ("Cannot write " + Filename + ": " + Grey->GetPathName() + " is not in PF_B8G8R8A8").ToStdString());
	EXPECT_EQ(Messages[4].ToStdString(), ("Cannot write " + Filename + ": the texels of " + Locked->GetPathName() + " are locked").ToStdString());
}

TEST_F(PngTest, AFailedSaveIsReported)
{
	// A folder where the file should go cannot be replaced by it.
	const FString Filename = ContentDir() + TEXT("Taken.png");
	std::filesystem::create_directories(Root / "Content" / "Taken.png");
	FLogCapture Capture;
	EXPECT_FALSE(FPngWriter::WriteBGRA(MakeTexels(), 3, 2, Filename));
	EXPECT_TRUE(Capture.Contains(TEXT("Cannot write PNG file ") + Filename));
}

TEST_F(PngTest, RenderTargetsAreReadBackFromTheGpuAndWrittenAsSRGB)
{
	// The texels travel CPU → GPU texture → render target → PNG, so a swapped channel or row
	// anywhere on the way shows. An sRGB target holds encoded texels and is written as stored;
	// a plain 8-bit one holds linear light, encoded on the way (alpha as stored). The last
	// texel checks known levels: linear 0, 128 and 255 are sRGB 0, 188 and 255.
	TArray<uint8> Texels = MakeTexels();
	const uint8 Known[] = {0, 128, 255, 77};
	std::memcpy(&Texels[Texels.Num() - 4], Known, 4);
	for (const ETextureRenderTargetFormat Format : {RTF_RGBA8_SRGB, RTF_RGBA8})
	{
		UTexture2D* Texture = UTexture2D::CreateTransient(3, 2);
		FByteBulkData& Bulk = Texture->GetPlatformData()->Mips[0].BulkData;
		std::memcpy(Bulk.Lock(LOCK_READ_WRITE), Texels.GetData(), Texels.Num());
		Bulk.Unlock();
		Texture->UpdateResource();
		UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
		Target->RenderTargetFormat = Format;
		Target->InitAutoFormat(3, 2);
		ENQUEUE_RENDER_COMMAND(CopyTextureCommand)([Texture, Target](FRHICommandListImmediate& RHICmdList) {
			RHICmdList.CopyTexture(Texture->GetResource()->TextureRHI, Target->GetRenderTargetResource()->GetRenderTargetTexture(), FRHICopyTextureInfo());
		});

		const FString Filename = ContentDir() + TEXT("Target.png");
		ASSERT_TRUE(FPngWriter::WriteRenderTarget(Target, Filename));
		const FDecodedPng Read = ReadPngFile(Filename);
		EXPECT_EQ(Read.Width, 3);
		EXPECT_EQ(Read.Height, 2);
		TArray<uint8> Expected = Texels;
		if (Format == RTF_RGBA8)
		{
			for (int32 Index = 0; Index < Expected.Num(); ++Index)
			{
				Expected[Index] = Index % 4 == 3 ? Expected[Index] : FLinearColor(Expected[Index] / 255.0f, 0, 0).ToFColor(true).R;
			}
			EXPECT_EQ(Expected[Expected.Num() - 4], 0);
			EXPECT_EQ(Expected[Expected.Num() - 3], 188);
			EXPECT_EQ(Expected[Expected.Num() - 2], 255);
		}
		EXPECT_EQ(Read.Texels, Expected) << "format " << int(Format);
	}
}

TEST_F(PngTest, RenderTargetsThatCannotBeReadWriteNothing)
{
	FLogCapture Capture;
	const FString Filename = ContentDir() + TEXT("Never.png");
	UTextureRenderTarget2D* Unmade = NewObject<UTextureRenderTarget2D>();
	EXPECT_FALSE(FPngWriter::WriteRenderTarget(Unmade, Filename));
	EXPECT_FALSE(FPngWriter::WriteRenderTarget(nullptr, Filename));
	UTextureRenderTarget2D* Float = NewObject<UTextureRenderTarget2D>();
	Float->InitAutoFormat(2, 2);
	EXPECT_FALSE(FPngWriter::WriteRenderTarget(Float, Filename));
	EXPECT_FALSE(FPaths::FileExists(Filename));
	const TArray<FString> Warnings = Capture.GetMessages(ELogVerbosity::Warning);
	ASSERT_EQ(Warnings.Num(), 3);
	EXPECT_EQ(Warnings[0], FString::Printf(TEXT("Cannot write %s: the render target has no resource"), *Filename));
	EXPECT_EQ(Warnings[2], FString::Printf(TEXT("Cannot write %s: the pixels of %s could not be read"), *Filename, *Float->GetPathName()));
}
