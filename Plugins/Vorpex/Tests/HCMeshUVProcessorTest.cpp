#include "Controllers/ImageProcessor/HCMeshUVColor.h"
#include "Controllers/ImageProcessor/HCMeshUVTexture.h"
#include "HCImageProcessorTestSupport.h"

#include <cmath>

namespace
{
	/** The upper-left half of the UV square: texels with X + Y ≤ 5 of an 8 × 8 target lie inside, (7, 7) outside. */
	const TArray<FVector2f> UpperLeftTriangle = {FVector2f(0, 0), FVector2f(1, 0), FVector2f(0, 1)};

	bool InsideUpperLeft(int32 X, int32 Y)
	{
		return X + Y <= 5;
	}

	/** The whole UV square as two triangles. */
	const TArray<FVector2f> WholeSquare = {FVector2f(0, 0), FVector2f(1, 0), FVector2f(1, 1), FVector2f(0, 0), FVector2f(1, 1), FVector2f(0, 1)};
}

using HCMeshUVProcessorTest = HCImageProcessorTest;

TEST_F(HCMeshUVProcessorTest, ColourTrianglesCoverTheirUVsAndLeaveTheRestTransparent)
{
	UHCMeshUVColor* Processor = Make<UHCMeshUVColor>(8, 8);
	EXPECT_EQ(Processor->TextureSize, FIntPoint(8, 8));
	// A fourth UV does not make a triangle and is ignored.
	TArray<FVector2f> UVs = UpperLeftTriangle;
	UVs.Add(FVector2f(1, 1));
	const FColor Colour(128, 0, 0, 255);
	Processor->setUVsAndColors(UVs, {Colour, Colour, Colour, FColor(0, 255, 0, 255)});
	const TArray<FColor> Pixels = RunAndRead(Processor);
	// The vertex colour arrives linear and is written as it is.
	const FColor Expected(uint8(std::lround(FLinearColor(Colour).R * 255.0f)), 0, 0, 255);
	for (int32 Y = 0; Y < 8; ++Y)
	{
		for (int32 X = 0; X < 8; ++X)
		{
			if (InsideUpperLeft(X, Y))
			{
				EXPECT_EQ(Pixels[Y * 8 + X], Expected) << X << ", " << Y;
			}
		}
	}
	EXPECT_EQ(Pixels[63], FColor(0, 0, 0, 0)) << "uncovered, not the target's opaque black";
}

TEST_F(HCMeshUVProcessorTest, TooFewUVsDrawNothingAndMismatchedArraysFail)
{
	UHCMeshUVColor* Processor = Make<UHCMeshUVColor>(4, 4);
	Processor->setUVsAndColors({FVector2f(0, 0), FVector2f(1, 1)}, {FColor::White, FColor::White});
	for (const FColor& Pixel : RunAndRead(Processor))
	{
		EXPECT_EQ(Pixel, FColor(0, 0, 0, 0));
	}
	EXPECT_CHECK_FAILS(Processor->setUVsAndColors({FVector2f(0, 0)}, {}), "uvs.Num() == colors.Num()");
}

TEST_F(HCMeshUVProcessorTest, EmptyUploadsDrawNothing)
{
	UHCMeshUVColor* Colour = Make<UHCMeshUVColor>(4, 4);
	Colour->setUVsAndColors(UpperLeftTriangle, {FColor::White, FColor::White, FColor::White});
	Colour->setUVsAndColors({}, {});
	UHCMeshUVTexture* Texture = Make<UHCMeshUVTexture>(4, 4);
	Texture->SetDependency(MakeUniformSource(FColor::White), 0);
	Texture->setUVs({});
	for (UHCImageProcessor* Processor : TArray<UHCImageProcessor*>{Colour, Texture})
	{
		for (const FColor& Pixel : RunAndRead(Processor))
		{
			EXPECT_EQ(Pixel, FColor(0, 0, 0, 0));
		}
	}
}

TEST_F(HCMeshUVProcessorTest, ABatchDrawsAsManyTrianglesAsTheBufferItDrawsHolds)
{
	// The batch is queued behind the whole square's upload; a set call made before the batch
	// runs queues its upload behind the batch, so the batch must draw both triangles of the
	// buffer it has, not the one triangle the game thread holds by then.
	SetRenderingThreaded(true);
	UHCMeshUVColor* Colour = Make<UHCMeshUVColor>(8, 8);
	UHCMeshUVTexture* Texture = Make<UHCMeshUVTexture>(8, 8);
	Texture->SetDependency(MakeUniformSource(FColor::Blue, 8, 8), 0);
	// A first batch uploads the source texture, which would wait for the held render thread.
	RunBatch({Colour, Texture});
	{
		FRenderThreadHold Hold;
		TArray<FColor> Blues;
		Blues.Init(FColor::Blue, WholeSquare.Num());
		Colour->setUVsAndColors(WholeSquare, Blues);
		Texture->setUVs(WholeSquare);
		FHCImageProcessorBatch::Run({Colour, Texture});
		Colour->setUVsAndColors(UpperLeftTriangle, {FColor::Blue, FColor::Blue, FColor::Blue});
		Texture->setUVs(UpperLeftTriangle);
	}
	FlushRenderingCommands();
	for (UHCImageProcessor* Processor : TArray<UHCImageProcessor*>{Colour, Texture})
	{
		EXPECT_EQ(ReadResult(Processor)[63], FColor::Blue) << *Processor->GetName();
	}
	for (UHCImageProcessor* Processor : TArray<UHCImageProcessor*>{Colour, Texture})
	{
		EXPECT_EQ(RunAndRead(Processor)[63], FColor(0, 0, 0, 0)) << "the next batch draws the later upload: " << *Processor->GetName();
	}
}

TEST_F(HCMeshUVProcessorTest, ColourMultiplierScalesTheVertexColours)
{
	UHCMeshUVColor* Processor = Make<UHCMeshUVColor>(8, 8);
	Processor->setUVsAndColors(UpperLeftTriangle, {FColor::White, FColor::White, FColor::White});
	Processor->setColorMultiplier(FColor(255, 255, 0, 255));
	EXPECT_EQ(RunAndRead(Processor)[0], FColor(255, 255, 0, 255));
}

TEST_F(HCMeshUVProcessorTest, TextureTrianglesCopyTheirInputOntoTheUVLayout)
{
	UHCImageTexture* Source = MakeSource(8, 8, [](int32 X, int32 Y) { return FColor(uint8(X * 30), uint8(Y * 30), 99, 255); });
	UHCMeshUVTexture* Processor = Make<UHCMeshUVTexture>(8, 8);
	Processor->SetDependency(Source, 0);
	Processor->setUVs(UpperLeftTriangle);
	const TArray<FColor> Pixels = RunAndRead(Processor);
	for (int32 Y = 0; Y < 8; ++Y)
	{
		for (int32 X = 0; X < 8; ++X)
		{
			if (InsideUpperLeft(X, Y))
			{
				EXPECT_EQ(Pixels[Y * 8 + X], FColor(uint8(X * 30), uint8(Y * 30), 99, 255)) << X << ", " << Y;
			}
		}
	}
	EXPECT_EQ(Pixels[63], FColor(0, 0, 0, 0));
}

TEST_F(HCMeshUVProcessorTest, TextureProcessorWithoutInputFailsItsCount)
{
	UHCMeshUVTexture* Processor = Make<UHCMeshUVTexture>(4, 4);
	Processor->setUVs(UpperLeftTriangle);
	EXPECT_CHECK_FAILS(RunBatch({Processor}), "SlotToDependency.Num() == 1");
}

TEST_F(HCMeshUVProcessorTest, ASetCallBeforeTheUploadRanDoesNotChangeWhatItUploads)
{
	// Both uploads are queued before either runs; the batch must see the second one's data.
	SetRenderingThreaded(true);
	UHCMeshUVColor* Processor = Make<UHCMeshUVColor>(8, 8);
	Processor->setUVsAndColors(UpperLeftTriangle, {FColor::Red, FColor::Red, FColor::Red});
	Processor->setUVsAndColors({FVector2f(0, 0), FVector2f(1, 0), FVector2f(1, 1), FVector2f(0, 0), FVector2f(1, 1), FVector2f(0, 1)},
		{FColor::Blue, FColor::Blue, FColor::Blue, FColor::Blue, FColor::Blue, FColor::Blue});
	const TArray<FColor> Pixels = RunAndRead(Processor);
	EXPECT_EQ(Pixels[0], FColor::Blue);
	EXPECT_EQ(Pixels[63], FColor::Blue);
}
