// The page's albedo previews: scaled down by whole factors, averaged in linear light.

#include "AlbedoPreview.h"

#include <gtest/gtest.h>

namespace
{
	TArray<FColor> Filled(int32 Width, int32 Height, FColor Colour)
	{
		TArray<FColor> Texels;
		Texels.Init(Colour, Width * Height);
		return Texels;
	}
}

TEST(AlbedoPreview, LargeTargetsAreScaledByAWholeFactor)
{
	const FPreviewTexels Square = FAlbedoPreview::Scale(Filled(4096, 4096, FColor(0, 0, 0, 255)), 4096, 4096, true);
	EXPECT_EQ(Square.Width, 1024);
	EXPECT_EQ(Square.Height, 1024);
	EXPECT_EQ(Square.Texels.size(), size_t(1024) * 1024 * 4);
	const FPreviewTexels Wide = FAlbedoPreview::Scale(Filled(3000, 10, FColor(0, 0, 0, 255)), 3000, 10, true);
	EXPECT_EQ(Wide.Width, 1000);
	EXPECT_EQ(Wide.Height, 3);
	const FPreviewTexels Small = FAlbedoPreview::Scale(Filled(5, 7, FColor(0, 0, 0, 255)), 5, 7, true);
	EXPECT_EQ(Small.Width, 5);
	EXPECT_EQ(Small.Height, 7);
}

TEST(AlbedoPreview, ColoursComeOutSRGBEncodedInRGBAOrder)
{
	// FColor is B, G, R, A in memory; the page takes R, G, B, A.
	const FPreviewTexels Srgb = FAlbedoPreview::Scale(Filled(2, 2, FColor(200, 100, 30, 128)), 2, 2, false);
	const uint8 Expected[] = {200, 100, 30};
	for (int32 Channel = 0; Channel < 3; ++Channel)
	{
		EXPECT_NEAR(Srgb.Texels[Channel], Expected[Channel], 1) << Channel;
	}
	EXPECT_EQ(Srgb.Texels[3], 128);
	// Linear light is encoded: linear 0.5 is sRGB 188.
	const FPreviewTexels Linear = FAlbedoPreview::Scale(Filled(1, 1, FColor(128, 0, 255, 255)), 1, 1, true);
	EXPECT_NEAR(Linear.Texels[0], 188, 1);
	EXPECT_EQ(Linear.Texels[1], 0);
	EXPECT_EQ(Linear.Texels[2], 255);
}

TEST(AlbedoPreview, BoxesAverageInLinearLight)
{
	// Black and white halves of each 2 × 2 box (a 2048-wide target scales by 2) average to
	// linear 0.5, which is sRGB 188, not the 128 an average of the encoded levels would give.
	TArray<FColor> Texels;
	for (int32 Y = 0; Y < 2; ++Y)
	{
		for (int32 X = 0; X < 2048; ++X)
		{
			Texels.Add(X % 2 ? FColor(255, 255, 255, 255) : FColor(0, 0, 0, 255));
		}
	}
	const FPreviewTexels Preview = FAlbedoPreview::Scale(Texels, 2048, 2, false);
	ASSERT_EQ(Preview.Width, 1024);
	ASSERT_EQ(Preview.Height, 1);
	EXPECT_NEAR(Preview.Texels[0], 188, 1);
	EXPECT_NEAR(Preview.Texels[4 * 1023 + 1], 188, 1);
}
