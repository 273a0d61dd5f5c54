#include "Controllers/ImageProcessor/HCBlendTexture.h"
#include "Controllers/ImageProcessor/HCBrightnessContrast.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "Controllers/ImageProcessor/HCDilation.h"
#include "Controllers/ImageProcessor/HCSwizzle.h"
#include "HCImageProcessorTestSupport.h"

#include <algorithm>
#include <cmath>

namespace
{
	/** Every texel different, alpha included, so a swapped channel, row or column shows. */
	FColor Pattern(int32 X, int32 Y)
	{
		return FColor(uint8(10 + X * 40), uint8(20 + Y * 50), uint8(200 - X * 10 - Y * 20), uint8(100 + X + Y * 4));
	}

	void ExpectNear(const FColor& Actual, const FColor& Expected, int32 Tolerance = 1)
	{
		EXPECT_NEAR(Actual.R, Expected.R, Tolerance);
		EXPECT_NEAR(Actual.G, Expected.G, Tolerance);
		EXPECT_NEAR(Actual.B, Expected.B, Tolerance);
		EXPECT_NEAR(Actual.A, Expected.A, Tolerance);
	}

	uint8 ToByte(float Value)
	{
		return uint8(std::lround(std::clamp(Value, 0.0f, 1.0f) * 255.0f));
	}
}

using HCComputeImageProcessorTest = HCImageProcessorTest;

TEST_F(HCComputeImageProcessorTest, ImageTextureCoversTheResultExactlyOnceAtAnySize)
{
	UHCImageTexture* Same = MakeSource(4, 4, Pattern);
	const TArray<FColor> Pixels = RunAndRead(Same);
	for (int32 Y = 0; Y < 4; ++Y)
	{
		for (int32 X = 0; X < 4; ++X)
		{
			EXPECT_EQ(Pixels[Y * 4 + X], Pattern(X, Y)) << X << ", " << Y;
		}
	}

	// A 2 × 2 source onto an 8 × 8 result: the corners are the source's corners (clamped), the
	// top row's inner texels blend its two texels.
	UHCImageTexture* Small = MakeSource(2, 2, Pattern);
	Small->Initialize(8, 8);
	const TArray<FColor> Upscaled = RunAndRead(Small);
	EXPECT_EQ(Upscaled[0], Pattern(0, 0));
	EXPECT_EQ(Upscaled[7], Pattern(1, 0));
	EXPECT_EQ(Upscaled[63], Pattern(1, 1));
	// Texel 3 of the top row samples 0.375 of the way from source texel 0 to texel 1.
	ExpectNear(Upscaled[3], FColor(25, 20, 196, 100), 2);
}

TEST_F(HCComputeImageProcessorTest, ColorizeTintsByTheLinearColourAndKeepsAlpha)
{
	UHCColorize* Colorize = Make<UHCColorize>();
	Colorize->SetDependency(MakeUniformSource(FColor(255, 255, 255, 200)), 0);
	Colorize->SetColor(FColor(255, 0, 0, 128));
	EXPECT_EQ(Colorize->GetColor(), FColor(255, 0, 0, 128));
	EXPECT_EQ(RunAndRead(Colorize)[0], FColor(255, 0, 0, 200));

	Colorize->SetDependency(MakeUniformSource(FColor(128, 128, 128, 255)), 0);
	Colorize->SetColor(FColor(255, 128, 0, 255));
	const FLinearColor Tint(FColor(255, 128, 0, 255));
	ExpectNear(RunAndRead(Colorize)[3], FColor(128, ToByte(128.0f / 255.0f * Tint.G), 0, 255));
}

TEST_F(HCComputeImageProcessorTest, SingleInputPassesReadTheNearestTexelTowardsTheOriginAtAnyScale)
{
	// Result texel (X, Y) reads input texel (X * InputWidth / Width, Y * InputHeight / Height),
	// rounded down, whichever way and however unevenly the sizes differ.
	const auto Code = [](int32 X, int32 Y) { return FColor(uint8(X * 17), uint8(Y * 23), 7, 255); };
	for (const FIntPoint& InputSize : {FIntPoint(3, 5), FIntPoint(13, 2), FIntPoint(7, 4)})
	{
		UHCImageTexture* Source = MakeSource(InputSize.X, InputSize.Y, Code);
		UHCSwizzle* Swizzle = Make<UHCSwizzle>(7, 4);
		Swizzle->SetDependency(Source, 0);
		const TArray<FColor> Pixels = RunAndRead(Swizzle);
		for (int32 Y = 0; Y < 4; ++Y)
		{
			for (int32 X = 0; X < 7; ++X)
			{
				EXPECT_EQ(Pixels[Y * 7 + X], Code(X * InputSize.X / 7, Y * InputSize.Y / 4))
					<< "input " << InputSize.X << " x " << InputSize.Y << " at (" << X << ", " << Y << ")";
			}
		}
	}
}

TEST_F(HCComputeImageProcessorTest, SwizzleTakesEachChannelFromItsSource)
{
	UHCSwizzle* Swizzle = Make<UHCSwizzle>();
	Swizzle->SetDependency(MakeUniformSource(FColor(10, 20, 30, 40)), 0);
	EXPECT_EQ(RunAndRead(Swizzle)[0], FColor(10, 20, 30, 40)) << "identity by default";

	Swizzle->SetArrangement(EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_One);
	EXPECT_EQ(RunAndRead(Swizzle)[0], FColor(10, 10, 10, 255));

	Swizzle->SetArrangement(
		EHCSwizzleChannel::SC_OneMinusAlpha, EHCSwizzleChannel::SC_Zero, EHCSwizzleChannel::SC_Blue, EHCSwizzleChannel::SC_OneMinusGreen);
	EXPECT_EQ(RunAndRead(Swizzle)[0], FColor(215, 0, 30, 235));
}

TEST_F(HCComputeImageProcessorTest, BlendOperationsLerpMultiplyAndAdd)
{
	UHCImageTexture* A = MakeUniformSource(FColor(200, 100, 0, 255));
	UHCImageTexture* B = MakeUniformSource(FColor(100, 255, 51, 255));
	// The mask's red channel: 255 in the left half, 0 in the right half.
	UHCImageTexture* Mask = MakeSource(4, 4, [](int32 X, int32) { return X < 2 ? FColor(255, 0, 0, 0) : FColor(0, 255, 255, 255); });

	UHCBlendTexture* Lerp = Make<UHCBlendTexture>();
	Lerp->SetDependency(A, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_A));
	Lerp->SetDependency(B, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
	Lerp->SetDependency(Mask, int32(EHCBlendTextureDependencySlot::BTDS_MaskTexture));
	const TArray<FColor> Lerped = RunAndRead(Lerp);
	EXPECT_EQ(Lerped[0], FColor(100, 255, 51, 255)) << "mask 1: B";
	EXPECT_EQ(Lerped[3], FColor(200, 100, 0, 255)) << "mask 0: A";

	UHCBlendTexture* Mul = Make<UHCBlendTexture>();
	Mul->SetOperation(EHCBlendTextureOperation::BTO_Mul);
	Mul->SetDependency(A, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_A));
	Mul->SetDependency(B, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
	ExpectNear(RunAndRead(Mul)[0], FColor(ToByte(200.0f / 255 * 100.0f / 255), 100, 0, 255));

	UHCBlendTexture* Add = Make<UHCBlendTexture>();
	Add->SetOperation(EHCBlendTextureOperation::BTO_Add);
	Add->SetDependency(A, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_A));
	Add->SetDependency(B, int32(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
	EXPECT_EQ(RunAndRead(Add)[0], FColor(255, 255, 51, 255)) << "saturated";
}

TEST_F(HCComputeImageProcessorTest, BlendInputCountsAndSizesAreChecked)
{
	UHCImageTexture* A = MakeUniformSource(FColor(200, 0, 0, 255));
	UHCImageTexture* SmallB = MakeUniformSource(FColor(0, 0, 200, 255), 2, 2);
	UHCImageTexture* Mask = MakeUniformSource(FColor(0, 0, 0, 255));

	UHCBlendTexture* Add = Make<UHCBlendTexture>();
	Add->SetOperation(EHCBlendTextureOperation::BTO_Add);
	Add->SetDependency(A, 0);
	Add->SetDependency(SmallB, 1);
	EXPECT_EQ(RunAndRead(Add)[0], FColor(200, 0, 200, 255)) << "two inputs of different sizes are accepted";
	Add->SetDependency(Mask, 2);
	EXPECT_CHECK_FAILS(RunBatch({Add}), "SlotToDependency.Num() == 2");

	UHCBlendTexture* Lerp = Make<UHCBlendTexture>();
	Lerp->SetDependency(A, 0);
	Lerp->SetDependency(SmallB, 1);
	EXPECT_CHECK_FAILS(RunBatch({Lerp}), "SlotToDependency.Num() == 3");
	Lerp->SetDependency(Mask, 2);
	EXPECT_CHECK_FAILS(RunBatch({Lerp}), "inputTexture_0->SizeX == inputTexture_1->SizeX");
}

TEST_F(HCComputeImageProcessorTest, BrightnessAndContrastMoveTheColourChannels)
{
	UHCBrightnessContrast* Adjust = Make<UHCBrightnessContrast>();
	Adjust->SetDependency(MakeUniformSource(FColor(100, 200, 0, 77)), 0);
	EXPECT_EQ(RunAndRead(Adjust)[0], FColor(100, 200, 0, 77)) << "0, 0 leaves the image alone";
	Adjust->SetBrightness(0.2f);
	ExpectNear(RunAndRead(Adjust)[0], FColor(151, 251, 51, 77));
	Adjust->SetBrightness(0.0f);
	Adjust->SetContrast(1.0f);
	ExpectNear(RunAndRead(Adjust)[0], FColor(ToByte((100.0f / 255 - 0.5f) * 2 + 0.5f), 255, 0, 77));
}

TEST(HCDilationCellListTest, OffsetsLeaveOutTheAxesAndComeNearestFirst)
{
	EXPECT_TRUE(UHCDilation::BuildCellList(1).IsEmpty());
	EXPECT_TRUE(UHCDilation::BuildCellList(0).IsEmpty());
	EXPECT_TRUE(UHCDilation::BuildCellList(-3).IsEmpty());
	EXPECT_EQ(UHCDilation::BuildCellList(2).Num(), 4);

	const TArray<FIntPoint> Three = UHCDilation::BuildCellList(3);
	ASSERT_EQ(Three.Num(), 16);
	for (int32 Index = 0; Index < 4; ++Index)
	{
		EXPECT_EQ(std::abs(Three[Index].X), 1);
		EXPECT_EQ(std::abs(Three[Index].Y), 1);
	}
	for (const FIntPoint& Cell : Three)
	{
		EXPECT_TRUE(Cell.X != 0 && Cell.Y != 0 && std::abs(Cell.X) <= 2 && std::abs(Cell.Y) <= 2);
	}
	const TArray<FIntPoint> Sixteen = UHCDilation::BuildCellList(16);
	EXPECT_EQ(Sixteen.Num(), 732);
	for (int32 Index = 1; Index < Sixteen.Num(); ++Index)
	{
		EXPECT_LE(Sixteen[Index - 1].X * Sixteen[Index - 1].X + Sixteen[Index - 1].Y * Sixteen[Index - 1].Y,
			Sixteen[Index].X * Sixteen[Index].X + Sixteen[Index].Y * Sixteen[Index].Y);
	}
}

TEST_F(HCComputeImageProcessorTest, DilationFillsUncoveredTexelsFromTheNearestCoveredOne)
{
	// One covered texel at (3, 3) of an 8 × 8 image, the rest transparent black.
	UHCImageTexture* Source = MakeSource(8, 8, [](int32 X, int32 Y) { return X == 3 && Y == 3 ? FColor(90, 80, 70, 255) : FColor(0, 0, 0, 0); });
	UHCDilation* Dilation = Make<UHCDilation>(8, 8);
	Dilation->SetDependency(Source, 0);
	Dilation->SetRadius(3);
	const TArray<FColor> Pixels = RunAndRead(Dilation);
	const FColor Covered(90, 80, 70, 255);
	EXPECT_EQ(Pixels[3 * 8 + 3], Covered);
	EXPECT_EQ(Pixels[2 * 8 + 2], Covered) << "diagonal neighbour";
	EXPECT_EQ(Pixels[1 * 8 + 5], Covered) << "offset (2, -2), length 2.83 < 3";
	EXPECT_EQ(Pixels[3 * 8 + 4], FColor(0, 0, 0, 0)) << "offsets on the axes are not searched";
	EXPECT_EQ(Pixels[0 * 8 + 0], FColor(0, 0, 0, 0)) << "offset (3, 3) is beyond the radius";

	Dilation->SetRadius(1);
	EXPECT_EQ(RunAndRead(Dilation)[2 * 8 + 2], FColor(0, 0, 0, 0)) << "an empty offset list still binds a buffer and changes nothing";
}
