#include "Misc/Paths.h"
#include "PngWriter.h"
#include "PreviewRenderer.h"
#include "PreviewSampleBody.h"
#include "RHI.h"
#include "RenderingThread.h"
#include "ShaderCore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

namespace
{
	/** The picture's covered pixels: their share, the box around them and the distinct colours among them. */
	struct FCoverage
	{
		double Share = 0.0;
		FIntPoint Min = FIntPoint(INT32_MAX, INT32_MAX);
		FIntPoint Max = FIntPoint(-1, -1);
		size_t NumColors = 0;
	};

	FCoverage Measure(const TArray<FColor>& Pixels, const FPreviewView& View)
	{
		const FColor Background = View.Background.ToFColor(true);
		FCoverage Coverage;
		std::set<uint32> Colors;
		int32 Covered = 0;
		for (int32 Y = 0; Y < View.Height; ++Y)
		{
			for (int32 X = 0; X < View.Width; ++X)
			{
				const FColor Pixel = Pixels[Y * View.Width + X];
				if (Pixel != Background)
				{
					++Covered;
					Coverage.Min = FIntPoint(FMath::Min(Coverage.Min.X, X), FMath::Min(Coverage.Min.Y, Y));
					Coverage.Max = FIntPoint(FMath::Max(Coverage.Max.X, X), FMath::Max(Coverage.Max.Y, Y));
					Colors.insert(Pixel.ToPackedARGB());
				}
			}
		}
		Coverage.Share = double(Covered) / double(Pixels.Num());
		Coverage.NumColors = Colors.size();
		return Coverage;
	}

	/** Writes the picture where people can look at it: the build tree's PreviewPictures folder. */
	void WritePicture(const TArray<FColor>& Pixels, const FPreviewView& View, const char* Name)
	{
		std::filesystem::create_directories(VORPEX_PREVIEW_PICTURE_DIR);
		TArray<uint8> Bytes;
		Bytes.SetNumUninitialized(Pixels.Num() * int32(sizeof(FColor)));
		std::memcpy(Bytes.GetData(), Pixels.GetData(), Bytes.Num());
		EXPECT_TRUE(FPngWriter::WriteBGRA(Bytes, View.Width, View.Height, FPaths::Combine(FString(VORPEX_PREVIEW_PICTURE_DIR), FString(Name))));
	}
}

TEST(PreviewSampleBodyTest, TheSampleBodyIsDrawnWholeCentredLitAndTexturedFromTheFrontAndAtThreeQuarters)
{
	AddShaderSourceDirectoryMapping(TEXT("/Engine"), TEXT(VORPEX_ENGINE_SHADER_DIR));
	UWorld* World = UWorld::CreateWorld(EWorldType::EditorPreview);
	USkeletalMeshComponent* Body = PreviewSampleBody::Spawn(*World, TEXT(VORPEX_SAMPLE_CONTENT_DIR));
	ASSERT_NE(Body, nullptr);
	const FBoxSphereBounds Bounds = Body->CalcBounds(Body->GetComponentTransform());

	TArray<FColor> Pictures[2];
	const float Yaws[2] = {0.0f, 45.0f};
	const char* const Names[2] = {"SampleBody_Front.png", "SampleBody_ThreeQuarter.png"};
	for (int32 Index = 0; Index < 2; ++Index)
	{
		const FPreviewView View = FPreviewView::FrameBounds(Bounds, Yaws[Index], 256, 512);
		FString Error;
		ASSERT_TRUE(FPreviewRenderer::RenderToImage(*World, View, Pictures[Index], Error)) << *Error;
		WritePicture(Pictures[Index], View, Names[Index]);

		const FCoverage Coverage = Measure(Pictures[Index], View);
		EXPECT_GT(Coverage.Share, 0.08) << Names[Index];
		EXPECT_LT(Coverage.Share, 0.6) << Names[Index];
		// Whole: the figure touches no edge; centred and filling most of the height.
		EXPECT_GT(Coverage.Min.X, 0);
		EXPECT_GT(Coverage.Min.Y, 0);
		EXPECT_LT(Coverage.Max.X, View.Width - 1);
		EXPECT_LT(Coverage.Max.Y, View.Height - 1);
		EXPECT_GT(Coverage.Max.Y - Coverage.Min.Y, View.Height * 2 / 3) << Names[Index];
		EXPECT_NEAR((Coverage.Min.Y + Coverage.Max.Y) / 2.0, View.Height / 2.0, View.Height * 0.05) << Names[Index];
		// Texture and light vary the colour across the figure.
		EXPECT_GT(Coverage.NumColors, 500u) << Names[Index];
	}
	EXPECT_NE(Pictures[0], Pictures[1]);
	FlushRenderingCommands();
	World->DestroyWorld();
}
