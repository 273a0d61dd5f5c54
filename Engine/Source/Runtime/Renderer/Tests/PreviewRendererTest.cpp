#include "Components/LineBatchComponent.h"
#include "Engine/TextureRenderTarget2D.h"
#include "PreviewRenderer.h"
#include "PreviewTestScenes.h"
#include "RHI.h"
#include "RenderingThread.h"
#include "ShaderCore.h"
#include "TextureResource.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace PreviewTest;

namespace
{
	::testing::AssertionResult IsNear(const FColor& Actual, const FColor& Expected, int32 Tolerance = 2)
	{
		if (std::abs(Actual.R - Expected.R) <= Tolerance && std::abs(Actual.G - Expected.G) <= Tolerance && std::abs(Actual.B - Expected.B) <= Tolerance)
		{
			return ::testing::AssertionSuccess();
		}
		return ::testing::AssertionFailure() << "(" << int(Actual.R) << ", " << int(Actual.G) << ", " << int(Actual.B) << ") is not ("
											 << int(Expected.R) << ", " << int(Expected.G) << ", " << int(Expected.B) << ")";
	}

	/** The colour of the test texture's 2 × 2 texel block (BlockX, BlockY) of 4 × 4. */
	FColor BlockColor(int32 BlockX, int32 BlockY)
	{
		return FColor(uint8(30 + 60 * BlockX), uint8(30 + 60 * BlockY), uint8(200 - 40 * BlockX), 255);
	}
}

class PreviewRendererTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		AddShaderSourceDirectoryMapping(TEXT("/Engine"), TEXT(VORPEX_ENGINE_SHADER_DIR));
		World = UWorld::CreateWorld(EWorldType::EditorPreview);
		ValidationErrorsBefore = GetRHIValidationErrorCount();
	}

	void TearDown() override
	{
		FlushRenderingCommands();
		World->DestroyWorld();
		EXPECT_EQ(GetRHIValidationErrorCount(), ValidationErrorsBefore);
	}

	TArray<FColor> Render(const FPreviewView& View = MakeView())
	{
		TArray<FColor> Pixels;
		FString Error;
		EXPECT_TRUE(FPreviewRenderer::RenderToImage(*World, View, Pixels, Error)) << *Error;
		EXPECT_EQ(Pixels.Num(), View.Width * View.Height);
		return Pixels;
	}

	static FColor At(const TArray<FColor>& Pixels, int32 X, int32 Y) { return Pixels[Y * PictureSize + X]; }

	static FColor Background() { return MakeView().Background.ToFColor(true); }

	UWorld* World = nullptr;
	int32 ValidationErrorsBefore = 0;
};

TEST_F(PreviewRendererTest, AnEmptyWorldIsBackgroundEverywhere)
{
	const TArray<FColor> Pixels = Render();
	for (const FColor& Pixel : Pixels)
	{
		ASSERT_EQ(Pixel, Background());
	}
}

TEST_F(PreviewRendererTest, ATexturedQuadShowsItsTexelsWhereTheCameraSeesThem)
{
	// 8 × 8 texels in 2 × 2 blocks: at a block's centre bilinear filtering reads that block alone.
	UTexture2D* Texture = MakeTexture(8, [](int32 X, int32 Y) { return BlockColor(X / 2, Y / 2); });
	AddComponent(*World, MakeQuadMesh(0, 50), Texture);
	const TArray<FColor> Pixels = Render();

	// The quad covers pixels 16 to 48; a block is 8 pixels, its centre 4 in.
	for (int32 BlockY = 0; BlockY < 4; ++BlockY)
	{
		for (int32 BlockX = 0; BlockX < 4; ++BlockX)
		{
			EXPECT_TRUE(IsNear(At(Pixels, 20 + 8 * BlockX, 20 + 8 * BlockY), BlockColor(BlockX, BlockY))) << "block " << BlockX << ", " << BlockY;
		}
	}
	for (const FIntPoint Outside : {FIntPoint(8, 32), FIntPoint(56, 32), FIntPoint(32, 8), FIntPoint(32, 56), FIntPoint(15, 15), FIntPoint(48, 48)})
	{
		EXPECT_EQ(At(Pixels, Outside.X, Outside.Y), Background()) << Outside.X << ", " << Outside.Y;
	}
}

TEST_F(PreviewRendererTest, EdgesAreSupersampled)
{
	// Half size 51.5625 puts the left edge at pixel 15.5: pixel 15 is half quad, half background.
	AddComponent(*World, MakeQuadMesh(0, 51.5625f));
	const TArray<FColor> Pixels = Render();
	EXPECT_TRUE(IsNear(At(Pixels, 15, 32), FColor(128, 128, 255)));
	EXPECT_TRUE(IsNear(At(Pixels, 16, 32), FColor(255, 255, 255)));
	EXPECT_EQ(At(Pixels, 14, 32), Background());

	FPreviewView Aliased = MakeView();
	Aliased.SupersampleFactor = 1;
	const FColor Edge = At(Render(Aliased), 15, 32);
	EXPECT_TRUE(Edge == Background() || IsNear(Edge, FColor(255, 255, 255))) << "without supersampling a pixel is all or nothing";
}

TEST_F(PreviewRendererTest, TheLightAddsLambertToAmbientOnWhiteWithoutATexture)
{
	AddComponent(*World, MakeQuadMesh(0, 50));
	FPreviewView View = MakeView();
	View.AmbientIntensity = 0.5f;
	View.LightIntensity = 0.5f;
	View.DirectionToLight = FVector(1, 0, 0);
	EXPECT_TRUE(IsNear(At(Render(View), 32, 32), FColor(255, 255, 255)));
	// From the side the light adds nothing: half of white in linear light, 188 encoded.
	View.DirectionToLight = FVector(0, 1, 0);
	EXPECT_TRUE(IsNear(At(Render(View), 32, 32), FColor(188, 188, 188)));
	// Lit at 60 degrees: 0.5 + 0.5 × 0.5 = 0.75, 225 encoded.
	View.DirectionToLight = FVector(0.5, 0, std::sqrt(0.75));
	EXPECT_TRUE(IsNear(At(Render(View), 32, 32), FColor(225, 225, 225)));
}

TEST_F(PreviewRendererTest, ARenderTargetBaseColourHoldsLinearLightAsTheImageProcessorsWriteIt)
{
	// Half of white in linear light: 188 in an sRGB texture, 128 in an 8-bit render target.
	FPreviewView View = MakeView();
	View.AmbientIntensity = 0.5f;
	View.LightIntensity = 0.5f;
	View.DirectionToLight = FVector(1, 0, 0);
	UTexture2D* Texture = MakeTexture(8, [](int32, int32) { return FColor(188, 188, 188, 255); });
	USkeletalMeshComponent* Component = AddComponent(*World, MakeQuadMesh(0, 50), Texture);
	const FColor FromTexture = At(Render(View), 32, 32);
	EXPECT_TRUE(IsNear(FromTexture, FColor(188, 188, 188)));

	UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
	Target->RenderTargetFormat = RTF_RGBA8;
	Target->ClearColor = FLinearColor(0.5f, 0.5f, 0.5f, 1.0f);
	Target->InitAutoFormat(8, 8);
	Cast<UMaterialInstanceDynamic>(Component->GetMaterial(0))->SetTextureParameterValue(FName(TEXT("BC_Texture")), Target);
	EXPECT_TRUE(IsNear(At(Render(View), 32, 32), FromTexture, 1));
}

TEST_F(PreviewRendererTest, VerticesWithRedBelowOneHalfHideTheirPartOfTheMesh)
{
	// The left corners are visible (red 255), the right ones culled (red 0): the cut runs down the middle.
	AddComponent(*World, MakeQuadMesh(0, 50, FVector2D(0, 0), {FColor(255, 0, 0), FColor(0, 255, 255), FColor(255, 0, 0), FColor(0, 255, 255)}));
	const TArray<FColor> Pixels = Render();
	for (int32 Y : {20, 32, 44})
	{
		EXPECT_TRUE(IsNear(At(Pixels, 20, Y), FColor(255, 255, 255))) << "left, row " << Y;
		EXPECT_TRUE(IsNear(At(Pixels, 28, Y), FColor(255, 255, 255))) << "left of the cut, row " << Y;
		EXPECT_EQ(At(Pixels, 36, Y), Background()) << "right of the cut, row " << Y;
		EXPECT_EQ(At(Pixels, 44, Y), Background()) << "right, row " << Y;
	}
}

TEST_F(PreviewRendererTest, ACullMaskHidesWhereItsStoredLevelIsBelowOneHalf)
{
	// Top half black; bottom left 127 (opacity 0.498: hidden), bottom right 128 (visible). The
	// mask is an sRGB texture, as masks loaded from PNG are: the threshold is on the stored level.
	UTexture2D* Mask = MakeTexture(8, [](int32 X, int32 Y) {
		const uint8 Level = Y < 4 ? 0 : X < 4 ? 127 : 128;
		return FColor(Level, Level, Level);
	});
	ASSERT_TRUE(Mask->SRGB);
	AddComponent(*World, MakeQuadMesh(0, 50), nullptr, Mask);
	const TArray<FColor> Pixels = Render();
	EXPECT_EQ(At(Pixels, 24, 22), Background());
	EXPECT_EQ(At(Pixels, 40, 22), Background());
	EXPECT_EQ(At(Pixels, 22, 42), Background());
	EXPECT_TRUE(IsNear(At(Pixels, 42, 42), FColor(255, 255, 255)));

	// The default mask, white, hides nothing.
	World->DestroyWorld();
	World = UWorld::CreateWorld(EWorldType::EditorPreview);
	AddComponent(*World, MakeQuadMesh(0, 50), nullptr, MakeTexture(16, [](int32, int32) { return FColor::White; }));
	EXPECT_TRUE(IsNear(At(Render(), 24, 22), FColor(255, 255, 255)));
}

TEST_F(PreviewRendererTest, TheNearerOfTwoOverlappingQuadsShowsWhicheverIsDrawnFirst)
{
	UTexture2D* Red = MakeTexture(2, [](int32, int32) { return FColor(255, 0, 0); });
	UTexture2D* Green = MakeTexture(2, [](int32, int32) { return FColor(0, 255, 0); });
	for (const bool bNearFirst : {true, false})
	{
		World->DestroyWorld();
		World = UWorld::CreateWorld(EWorldType::EditorPreview);
		// Near: 20 half size at X = 100 (12 pixels across at its depth); far: the usual quad.
		if (bNearFirst)
		{
			AddComponent(*World, MakeQuadMesh(100, 20), Red);
		}
		AddComponent(*World, MakeQuadMesh(0, 50), Green);
		if (!bNearFirst)
		{
			AddComponent(*World, MakeQuadMesh(100, 20), Red);
		}
		const TArray<FColor> Pixels = Render();
		EXPECT_TRUE(IsNear(At(Pixels, 32, 32), FColor(255, 0, 0))) << (bNearFirst ? "near first" : "far first");
		EXPECT_TRUE(IsNear(At(Pixels, 20, 20), FColor(0, 255, 0))) << (bNearFirst ? "near first" : "far first");
	}
}

TEST_F(PreviewRendererTest, DebugLinesAreDrawnOverTheMeshes)
{
	AddComponent(*World, MakeQuadMesh(0, 50));
	// Behind the quad, across the picture at Z = 10 (row 32 - 2.5 = 29.5), red, two pixels wide.
	World->PersistentLineBatcher->DrawLine(FVector(-100, 80, 10), FVector(-100, -80, 10), FLinearColor(1, 0, 0), 0, 2.0f);
	// Thinnest, up the picture at Y = -5: 1.6 pixels right of the middle, so column 33 is covered whole.
	World->LineBatcher->DrawLine(FVector(0, -5, -40), FVector(0, -5, 45), FLinearColor(0, 1, 0), 0, 0.0f);
	const TArray<FColor> Pixels = Render();
	// At X = -100 the picture spans 240 units: Z = 10 lies 64 × (120 - 10) / 240 ≈ 29.3 rows down.
	EXPECT_TRUE(IsNear(At(Pixels, 24, 29), FColor(255, 0, 0))) << "over the quad";
	EXPECT_TRUE(IsNear(At(Pixels, 12, 29), FColor(255, 0, 0))) << "over the background";
	EXPECT_TRUE(IsNear(At(Pixels, 4, 29), Background())) << "past its end";
	EXPECT_TRUE(IsNear(At(Pixels, 24, 24), FColor(255, 255, 255))) << "the line is thin";
	// Z from 45 down to -40 are rows 17.6 to 44.8.
	for (int32 Y = 19; Y < 44; ++Y)
	{
		if (Y < 28 || Y > 30)
		{
			EXPECT_TRUE(IsNear(At(Pixels, 33, Y), FColor(0, 255, 0))) << "row " << Y;
		}
	}
	EXPECT_TRUE(IsNear(At(Pixels, 33, 10), Background())) << "past the end";
	EXPECT_TRUE(IsNear(At(Pixels, 35, 36), FColor(255, 255, 255))) << "beside it";
}

TEST_F(PreviewRendererTest, MorphWeightsMoveTheSurfaceWhereTheSkinnedVerticesAre)
{
	USkeletalMeshComponent* Component = AddComponent(*World, MakeQuadMesh(0, 50));
	EXPECT_TRUE(IsNear(At(Render(), 32, 44), FColor(255, 255, 255)));
	// Lifted by 60 (19.2 pixels): the quad spans rows -3 to 29.
	Component->SetMorphTarget(FName(TEXT("Lift")), 1.0f);
	const TArray<FColor> Lifted = Render();
	EXPECT_EQ(At(Lifted, 32, 44), Background());
	EXPECT_EQ(At(Lifted, 32, 34), Background());
	EXPECT_TRUE(IsNear(At(Lifted, 32, 4), FColor(255, 255, 255)));
	// The component's own placement moves it as well.
	Component->SetMorphTarget(FName(TEXT("Lift")), 0.0f);
	Component->SetWorldLocation(FVector(0, 100, 0));
	const TArray<FColor> Moved = Render();
	EXPECT_EQ(At(Moved, 44, 32), Background());
	EXPECT_TRUE(IsNear(At(Moved, 4, 32), FColor(255, 255, 255)));
}

TEST_F(PreviewRendererTest, RenderTargetsGetTheSamePictureWhateverTheirEncoding)
{
	UTexture2D* Texture = MakeTexture(8, [](int32 X, int32 Y) { return BlockColor(X / 2, Y / 2); });
	AddComponent(*World, MakeQuadMesh(0, 50), Texture);
	const TArray<FColor> Expected = Render();
	for (const ETextureRenderTargetFormat Format : {RTF_RGBA8, RTF_RGBA8_SRGB})
	{
		UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
		Target->RenderTargetFormat = Format;
		Target->InitAutoFormat(PictureSize, PictureSize);
		FPreviewRenderer::Render(*World, MakeView(), *Target);
		TArray<FColor> Pixels;
		ASSERT_TRUE(Target->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
		ASSERT_EQ(Pixels.Num(), Expected.Num());
		for (int32 Index = 0; Index < Pixels.Num(); ++Index)
		{
			ASSERT_TRUE(IsNear(Pixels[Index], Expected[Index], 1)) << "format " << int(Format) << ", pixel " << Index;
		}
	}
}

TEST_F(PreviewRendererTest, ViewsThatCannotBeDrawnAreRefusedWithTheReason)
{
	struct FCase
	{
		void (*Change)(FPreviewView&);
		const char* Reason;
	};
	const FCase Cases[] = {
		{[](FPreviewView& View) { View.Width = 0; }, "a picture of 0 x 64 drawn at 2 times its size does not fit between 1 and 4096 pixels a side"},
		{[](FPreviewView& View) { View.Height = 3000; }, "a picture of 64 x 3000 drawn at 2 times its size does not fit between 1 and 4096 pixels a side"},
		{[](FPreviewView& View) { View.SupersampleFactor = 5; }, "the supersample factor 5 is not between 1 and 4"},
		{[](FPreviewView& View) { View.VerticalFieldOfViewDegrees = 180.0f; }, "the vertical field of view 180 is not between 0 and 180 degrees"},
		{[](FPreviewView& View) { View.Target = View.Eye; }, "the camera looks at its own position"},
	};
	for (const FCase& Case : Cases)
	{
		FPreviewView View = MakeView();
		Case.Change(View);
		TArray<FColor> Pixels = {FColor::Red};
		FString Error;
		EXPECT_FALSE(FPreviewRenderer::RenderToImage(*World, View, Pixels, Error));
		EXPECT_EQ(Error, FString(Case.Reason));
		EXPECT_EQ(Pixels.Num(), 1) << "nothing is written on failure";
	}

	UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
	Target->RenderTargetFormat = RTF_RGBA8;
	Target->InitAutoFormat(32, 32);
	EXPECT_THROW(FPreviewRenderer::Render(*World, MakeView(), *Target), FCheckFailure) << "a target of another size than the view";
}

TEST_F(PreviewRendererTest, CommandsRunInlineDrawTheSamePicture)
{
	UTexture2D* Texture = MakeTexture(8, [](int32 X, int32 Y) { return BlockColor(X / 2, Y / 2); });
	AddComponent(*World, MakeQuadMesh(0, 50), Texture);
	World->PersistentLineBatcher->DrawLine(FVector(0, 80, 10), FVector(0, -80, 10), FLinearColor(1, 0, 0), 0, 2.0f);
	const TArray<FColor> Threaded = Render();
	SetRenderingThreaded(false);
	const TArray<FColor> Inline = Render();
	SetRenderingThreaded(true);
	EXPECT_EQ(Inline, Threaded);
}

TEST_F(PreviewRendererTest, AMeshWhoseIndicesNameNoVertexIsRefusedWithTheReason)
{
	USkeletalMesh* Mesh = MakeQuadMesh(0, 50);
	Mesh->GetResourceForRendering()->LODRenderData[0].MultiSizeIndexContainer.RebuildIndexBuffer(sizeof(uint16), {0, 1, 3, 0, 9, 2});
	USkeletalMeshComponent* Component = AddComponent(*World, Mesh);
	TArray<FColor> Pixels;
	FString Error;
	EXPECT_FALSE(FPreviewRenderer::RenderToImage(*World, MakeView(), Pixels, Error));
	EXPECT_EQ(Error, FString::Printf(TEXT("drawing the preview failed: Preview of '%s': index 9 names no vertex of 4"), *Component->GetName()));
	EXPECT_TRUE(Pixels.IsEmpty());
}

TEST_F(PreviewRendererTest, FramingShowsTheBoundsWholeFromTheAskedSide)
{
	const FBoxSphereBounds Bounds(FVector(10, 20, 90), FVector(20, 30, 90), 100.0);
	const FPreviewView Front = FPreviewView::FrameBounds(Bounds, 0.0f, 256, 512);
	EXPECT_EQ(Front.Target, Bounds.Origin);
	EXPECT_GT(Front.Eye.X, Bounds.Origin.X + Bounds.BoxExtent.X) << "yaw 0 looks at the front, which faces +X";
	EXPECT_NEAR(Front.Eye.Y, Bounds.Origin.Y, 1e-6);
	const FPreviewView Side = FPreviewView::FrameBounds(Bounds, 90.0f, 256, 512);
	EXPECT_GT(Side.Eye.Y, Bounds.Origin.Y + Bounds.BoxExtent.Y);
	EXPECT_NEAR(Side.Eye.X, Bounds.Origin.X, 1e-6);

	// A box filling the bounds is seen whole, touching neither edge, and fills most of the height.
	World->DestroyWorld();
	World = UWorld::CreateWorld(EWorldType::EditorPreview);
	AddComponent(*World, MakeQuadMesh(0, 50, FVector2D(20, 90)));
	FPreviewView View = FPreviewView::FrameBounds(FBoxSphereBounds(FVector(0, 20, 90), FVector(0, 50, 50), 70.0), 0.0f, PictureSize, PictureSize);
	View.Background = MakeView().Background;
	const TArray<FColor> Pixels = Render(View);
	int32 Top = PictureSize;
	int32 Bottom = -1;
	for (int32 Y = 0; Y < PictureSize; ++Y)
	{
		if (At(Pixels, 32, Y) != Background())
		{
			Top = FMath::Min(Top, Y);
			Bottom = FMath::Max(Bottom, Y);
		}
	}
	EXPECT_GT(Top, 0);
	EXPECT_LT(Bottom, PictureSize - 1);
	EXPECT_GT(Bottom - Top, PictureSize * 3 / 4);
	EXPECT_NEAR((Top + Bottom) / 2.0, (PictureSize - 1) / 2.0, 1.0) << "centred";
}
