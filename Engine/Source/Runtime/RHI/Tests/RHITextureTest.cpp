#include "RHITestFixture.h"
#include "VulkanCommandContext.h"
#include "VulkanDynamicRHI.h"

#include <vector>

namespace
{
	/** A distinct byte for every (texture, x, y, channel), so misplaced texels show. */
	uint8 PatternByte(int32 Seed, int32 X, int32 Y, int32 Channel)
	{
		return uint8((Seed * 71 + X * 13 + Y * 29 + Channel * 101) & 0xFF);
	}

	/** Width x Height texels of 4 bytes from the pattern, rows Pitch bytes apart (the gap filled with 0xEE). */
	std::vector<uint8> MakePatternRows(int32 Seed, int32 Width, int32 Height, int32 Pitch)
	{
		std::vector<uint8> Bytes(size_t(Pitch) * Height, 0xEE);
		for (int32 Y = 0; Y < Height; ++Y)
		{
			for (int32 X = 0; X < Width; ++X)
			{
				for (int32 Channel = 0; Channel < 4; ++Channel)
				{
					Bytes[size_t(Y) * Pitch + X * 4 + Channel] = PatternByte(Seed, X, Y, Channel);
				}
			}
		}
		return Bytes;
	}

	bool HasRecordedWork()
	{
		return FVulkanDynamicRHI::Get().GetCommandContext().HasRecordedWork();
	}
}

class RHITextureTest : public FRHITestFixture
{
};

TEST_F(RHITextureTest, UploadWithWidePitchAndSubRegionReadsBackExactBytes)
{
	constexpr int32 Width = 7;
	constexpr int32 Height = 5;
	FTextureRHIRef Texture = MakeTexture(TEXT("Upload"), Width, Height, PF_B8G8R8A8, TexCreate_ShaderResource);

	// The whole texture from rows with 12 bytes of padding, then a 3 x 2 patch from inside a
	// wider source image (texels from (2, 1) of it) to (4, 3).
	const std::vector<uint8> Whole = MakePatternRows(1, Width, Height, Width * 4 + 12);
	RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(0, 0, 0, 0, Width, Height), Width * 4 + 12, Whole.data());
	const std::vector<uint8> Source = MakePatternRows(2, 9, 4, 9 * 4);
	RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(4, 3, 2, 1, 3, 2), 9 * 4, Source.data());

	TArray<uint8> Bytes;
	RHICmdList.ReadTexture(Texture, Bytes);
	ASSERT_EQ(Bytes.Num(), Width * Height * 4);
	TArray<FColor> Colors;
	RHICmdList.ReadSurfaceData(Texture, FIntRect(), Colors, FReadSurfaceDataFlags());
	ASSERT_EQ(Colors.Num(), Width * Height);
	for (int32 Y = 0; Y < Height; ++Y)
	{
		for (int32 X = 0; X < Width; ++X)
		{
			const bool bPatched = X >= 4 && Y >= 3;
			for (int32 Channel = 0; Channel < 4; ++Channel)
			{
				const uint8 Expected = bPatched ? PatternByte(2, X - 4 + 2, Y - 3 + 1, Channel) : PatternByte(1, X, Y, Channel);
				ASSERT_EQ(Bytes[(Y * Width + X) * 4 + Channel], Expected) << "texel (" << X << ", " << Y << ") channel " << Channel;
			}
			const uint8* Texel = &Bytes[(Y * Width + X) * 4];
			EXPECT_EQ(Colors[Y * Width + X], FColor(Texel[2], Texel[1], Texel[0], Texel[3])) << "B8G8R8A8 bytes are FColor's own order";
		}
	}

	TArray<FColor> Corner;
	RHICmdList.ReadSurfaceData(Texture, FIntRect(5, 3, 7, 5), Corner, FReadSurfaceDataFlags());
	ASSERT_EQ(Corner.Num(), 4);
	EXPECT_EQ(Corner[3], Colors[4 * Width + 6]) << "a rectangle reads its own texels, row by row";
	EXPECT_EQ(Corner[1], Colors[3 * Width + 6]);
}

TEST_F(RHITextureTest, RGBATexturesReadBackInFColorOrderAndOtherFormatsKeepTheirBytes)
{
	FTextureRHIRef Texture = MakeTexture(TEXT("Rgba"), 2, 1, PF_R8G8B8A8, TexCreate_ShaderResource);
	const uint8 Texels[] = {10, 20, 30, 40, 200, 150, 100, 50};
	RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 2, 1), sizeof(Texels), Texels);
	TArray<FColor> Colors;
	RHICmdList.ReadSurfaceData(Texture, FIntRect(), Colors, FReadSurfaceDataFlags());
	ASSERT_EQ(Colors.Num(), 2);
	EXPECT_EQ(Colors[0], FColor(10, 20, 30, 40));
	EXPECT_EQ(Colors[1], FColor(200, 150, 100, 50));
	TArray<uint8> Raw;
	RHICmdList.ReadTexture(Texture, Raw);
	EXPECT_EQ(std::vector<uint8>(Raw.begin(), Raw.end()), std::vector<uint8>(std::begin(Texels), std::end(Texels)));

	// Two-byte and float texels go through the same path unchanged.
	FTextureRHIRef Wide = MakeTexture(TEXT("G16"), 3, 2, PF_G16, TexCreate_ShaderResource);
	const uint16 Values[] = {1, 65535, 32768, 4660, 0, 43981};
	RHICmdList.UpdateTexture2D(Wide, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 3, 2), 3 * sizeof(uint16), reinterpret_cast<const uint8*>(Values));
	RHICmdList.ReadTexture(Wide, Raw);
	ASSERT_EQ(Raw.Num(), int32(sizeof(Values)));
	EXPECT_EQ(std::memcmp(Raw.GetData(), Values, sizeof(Values)), 0);
}

TEST_F(RHITextureTest, CopyTextureCopiesWholeTexturesAndSubRegions)
{
	FTextureRHIRef Source = MakeTexture(TEXT("CopySource"), 6, 4, PF_B8G8R8A8, TexCreate_ShaderResource);
	const std::vector<uint8> Pattern = MakePatternRows(3, 6, 4, 24);
	RHICmdList.UpdateTexture2D(Source, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 6, 4), 24, Pattern.data());

	FTextureRHIRef Whole = MakeTexture(TEXT("CopyWhole"), 6, 4, PF_B8G8R8A8, TexCreate_None);
	RHICmdList.CopyTexture(Source, Whole, FRHICopyTextureInfo());
	TArray<uint8> Bytes;
	RHICmdList.ReadTexture(Whole, Bytes);
	EXPECT_EQ(std::vector<uint8>(Bytes.begin(), Bytes.end()), Pattern);

	// 3 x 2 texels from (2, 1) of the source to (1, 2) of a cleared destination; the same bytes
	// per texel is all a copy needs, so an R8G8B8A8 destination takes them unchanged.
	FTextureRHIRef Patch = MakeTexture(TEXT("CopyPatch"), 5, 5, PF_R8G8B8A8, TexCreate_None);
	const std::vector<uint8> Zeros(5 * 5 * 4, 0);
	RHICmdList.UpdateTexture2D(Patch, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 5, 5), 20, Zeros.data());
	FRHICopyTextureInfo Info;
	Info.Size = FIntVector(3, 2, 1);
	Info.SourcePosition = FIntVector(2, 1, 0);
	Info.DestPosition = FIntVector(1, 2, 0);
	RHICmdList.CopyTexture(Source, Patch, Info);
	RHICmdList.ReadTexture(Patch, Bytes);
	for (int32 Y = 0; Y < 5; ++Y)
	{
		for (int32 X = 0; X < 5; ++X)
		{
			const bool bCopied = X >= 1 && X < 4 && Y >= 2 && Y < 4;
			for (int32 Channel = 0; Channel < 4; ++Channel)
			{
				ASSERT_EQ(Bytes[(Y * 5 + X) * 4 + Channel], bCopied ? PatternByte(3, X - 1 + 2, Y - 2 + 1, Channel) : 0)
					<< "texel (" << X << ", " << Y << ")";
			}
		}
	}
}

TEST_F(RHITextureTest, UploadsAndCopiesGiveATextureANewUploadRevisionAndReadsDoNot)
{
	FTextureRHIRef Source = MakeTexture(TEXT("RevisionSource"), 2, 2, PF_B8G8R8A8, TexCreate_ShaderResource);
	FTextureRHIRef Destination = MakeTexture(TEXT("RevisionDestination"), 2, 2, PF_B8G8R8A8, TexCreate_None);
	EXPECT_NE(Source->GetUploadRevision(), Destination->GetUploadRevision()) << "revisions are unique across textures";

	const uint64 Created = Source->GetUploadRevision();
	const std::vector<uint8> Pattern = MakePatternRows(5, 2, 2, 8);
	RHICmdList.UpdateTexture2D(Source, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 2, 2), 8, Pattern.data());
	const uint64 Uploaded = Source->GetUploadRevision();
	EXPECT_NE(Uploaded, Created);

	const uint64 DestinationBefore = Destination->GetUploadRevision();
	RHICmdList.CopyTexture(Source, Destination, FRHICopyTextureInfo());
	EXPECT_NE(Destination->GetUploadRevision(), DestinationBefore);
	EXPECT_EQ(Source->GetUploadRevision(), Uploaded) << "reading a texture leaves it as it was";
	TArray<uint8> Bytes;
	RHICmdList.ReadTexture(Source, Bytes);
	EXPECT_EQ(Source->GetUploadRevision(), Uploaded);
}

TEST_F(RHITextureTest, ClearsWaitForAUseThatNeedsThemAndWholeOverwritesDropThem)
{
	const FLinearColor Red(1.0f, 0.0f, 0.0f, 1.0f);
	const std::vector<uint8> RedTexels = {0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255};
	FTextureRHIRef Read = MakeTexture(TEXT("ClearThenRead"), 2, 2, PF_B8G8R8A8, TexCreate_ShaderResource);
	RHICmdList.SubmitCommandsAndFlushGPU();
	RHICmdList.ClearColorTexture(Read, FLinearColor(0.0f, 1.0f, 0.0f, 1.0f));
	RHICmdList.ClearColorTexture(Read, Red);
	EXPECT_FALSE(HasRecordedWork()) << "a clear records nothing until it is needed";
	TArray<uint8> Bytes;
	RHICmdList.ReadTexture(Read, Bytes);
	EXPECT_EQ(std::vector<uint8>(Bytes.begin(), Bytes.end()), RedTexels) << "the last clear counts";

	// A partial upload needs the clear under it; a whole one replaces it.
	FTextureRHIRef Partial = MakeTexture(TEXT("ClearThenPatch"), 2, 2, PF_B8G8R8A8, TexCreate_ShaderResource);
	RHICmdList.ClearColorTexture(Partial, Red);
	const uint8 Blue[4] = {255, 0, 0, 255};
	RHICmdList.UpdateTexture2D(Partial, 0, FUpdateTextureRegion2D(1, 1, 0, 0, 1, 1), 4, Blue);
	RHICmdList.ReadTexture(Partial, Bytes);
	EXPECT_EQ(std::vector<uint8>(Bytes.begin(), Bytes.end()), (std::vector<uint8>{0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 255}));

	const std::vector<uint8> Pattern = MakePatternRows(9, 2, 2, 8);
	FTextureRHIRef Whole = MakeTexture(TEXT("ClearThenUpload"), 2, 2, PF_B8G8R8A8, TexCreate_ShaderResource);
	RHICmdList.ClearColorTexture(Whole, Red);
	RHICmdList.UpdateTexture2D(Whole, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 2, 2), 8, Pattern.data());
	RHICmdList.ReadTexture(Whole, Bytes);
	EXPECT_EQ(std::vector<uint8>(Bytes.begin(), Bytes.end()), Pattern);

	// A whole copy replaces it too, and the copy's source, read, is cleared first.
	FTextureRHIRef Copied = MakeTexture(TEXT("ClearThenCopy"), 2, 2, PF_B8G8R8A8, TexCreate_None);
	RHICmdList.ClearColorTexture(Copied, FLinearColor(0.0f, 0.0f, 1.0f, 1.0f));
	RHICmdList.ClearColorTexture(Read, Red);
	RHICmdList.CopyTexture(Read, Copied, FRHICopyTextureInfo());
	RHICmdList.ReadTexture(Copied, Bytes);
	EXPECT_EQ(std::vector<uint8>(Bytes.begin(), Bytes.end()), RedTexels);
}

TEST_F(RHITextureTest, InvalidTexturesFailWithTheirNames)
{
	EXPECT_EQ(CheckMessageOf([&] { MakeTexture(TEXT("Flat"), 0, 4, PF_B8G8R8A8, TexCreate_None); }),
		"Texture 'Flat' has the non-positive size 0 x 4");
	EXPECT_EQ(CheckMessageOf([&] { MakeTexture(TEXT("Negative"), 4, -2, PF_B8G8R8A8, TexCreate_None); }),
		"Texture 'Negative' has the non-positive size 4 x -2");
	EXPECT_EQ(CheckMessageOf([&] { MakeTexture(TEXT("GreySrgb"), 4, 4, PF_G8, TexCreate_SRGB); }),
		"Texture 'GreySrgb': PF_G8 has no sRGB form (TexCreate_SRGB is for PF_B8G8R8A8 and PF_R8G8B8A8)");
	EXPECT_EQ(CheckMessageOf([&] { MakeTexture(TEXT("SrgbUav"), 4, 4, PF_B8G8R8A8, TexCreate_SRGB | TexCreate_UAV); }),
		"Texture 'SrgbUav' is sRGB and cannot also be a UAV");
	EXPECT_EQ(CheckMessageOf([&] { MakeTexture(TEXT("NoFormat"), 4, 4, PF_Unknown, TexCreate_None); }),
		"Texture 'NoFormat' has the pixel format PF_Unknown, which the RHI does not support");
	EXPECT_EQ(CheckMessageOf([&] {
		RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(TEXT("TooManyMips"), 4, 4, PF_B8G8R8A8).SetNumMips(4));
	}),
		"Texture 'TooManyMips' asks for 4 mips; a 4 x 4 texture has 1 to 3");

	FTextureRHIRef Plain = MakeTexture(TEXT("Plain"), 4, 4, PF_B8G8R8A8, TexCreate_None);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateUnorderedAccessView(Plain); }),
		"Texture 'Plain' was not created with TexCreate_UAV and cannot have an unordered access view");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateShaderResourceView(Plain); }),
		"Texture 'Plain' was not created with TexCreate_ShaderResource and cannot have a shader resource view");
	FTextureRHIRef Readable = MakeTexture(TEXT("Readable"), 4, 4, PF_B8G8R8A8, TexCreate_ShaderResource);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateShaderResourceView(Readable, 1); }), "Texture 'Readable' has no mip 1 to view");
}

TEST_F(RHITextureTest, BadTransfersFailBeforeAnythingIsRecorded)
{
	FTextureRHIRef Texture = MakeTexture(TEXT("Target"), 8, 4, PF_B8G8R8A8, TexCreate_None);
	FTextureRHIRef Other = MakeTexture(TEXT("Other"), 8, 4, PF_B8G8R8A8, TexCreate_None);
	FTextureRHIRef Grey = MakeTexture(TEXT("Grey"), 8, 4, PF_G8, TexCreate_None);
	RHICmdList.SubmitCommandsAndFlushGPU();
	const std::vector<uint8> Bytes(8 * 4 * 4, 0x55);

	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(6, 0, 0, 0, 3, 1), 32, Bytes.data()); }),
		"UpdateTexture2D of 'Target': the region at (6, 0) of 3 x 1 texels lies outside mip 0 (8 x 4)");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(0, 0, 2, 0, 8, 4), 32, Bytes.data()); }),
		"UpdateTexture2D of 'Target': rows of 8 texels from source x 2 need 40 bytes, more than the source pitch of 32");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.UpdateTexture2D(Texture, 1, FUpdateTextureRegion2D(0, 0, 0, 0, 1, 1), 32, Bytes.data()); }),
		"UpdateTexture2D of 'Target': the texture has no mip 1");

	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CopyTexture(Texture, Texture, FRHICopyTextureInfo()); }),
		"CopyTexture with 'Target' as both source and destination");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CopyTexture(Texture, Grey, FRHICopyTextureInfo()); }),
		"CopyTexture from 'Target' (4 bytes a texel) to 'Grey' (1 bytes a texel)");
	FRHICopyTextureInfo OutsideSource;
	OutsideSource.Size = FIntVector(4, 2, 1);
	OutsideSource.SourcePosition = FIntVector(5, 0, 0);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CopyTexture(Texture, Other, OutsideSource); }),
		"CopyTexture: the region at (5, 0) of 4 x 2 texels lies outside 'Target' mip 0 (8 x 4)");
	FRHICopyTextureInfo OutsideDest;
	OutsideDest.Size = FIntVector(4, 2, 1);
	OutsideDest.DestPosition = FIntVector(2, 3, 0);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CopyTexture(Texture, Other, OutsideDest); }),
		"CopyTexture: the region at (2, 3) of 4 x 2 texels lies outside 'Other' mip 0 (8 x 4)");

	EXPECT_EQ(CheckMessageOf([&] {
		TArray<FColor> Colors;
		RHICmdList.ReadSurfaceData(Grey, FIntRect(), Colors, FReadSurfaceDataFlags());
	}),
		"ReadSurfaceData reads 8-bit four-channel textures; 'Grey' is PF_G8");
	EXPECT_EQ(CheckMessageOf([&] {
		TArray<FColor> Colors;
		RHICmdList.ReadSurfaceData(Texture, FIntRect(4, 2, 9, 4), Colors, FReadSurfaceDataFlags());
	}),
		"ReadSurfaceData: the rectangle (4, 2)-(9, 4) lies outside 'Target' (8 x 4)");
	EXPECT_FALSE(HasRecordedWork()) << "every failure was found before recording";

	// A zero-sized update is no work at all.
	RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 0, 4), 0, nullptr);
	EXPECT_FALSE(HasRecordedWork());
}
