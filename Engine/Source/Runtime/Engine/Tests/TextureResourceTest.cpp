#include "Engine/Texture2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Logging/LogCapture.h"
#include "RHI.h"
#include "RenderingModeTest.h"
#include "RenderingThread.h"
#include "TextureResource.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace
{
	/** Reads mip 0 of a texture resource's RHI texture as raw bytes. */
	std::vector<uint8> ReadGpuTexels(const FTextureResource* Resource)
	{
		TArray<uint8> Bytes;
		ENQUEUE_RENDER_COMMAND(ReadGpuTexels)([Resource, &Bytes](FRHICommandListImmediate& RHICmdList) { RHICmdList.ReadTexture(Resource->TextureRHI, Bytes); });
		FlushRenderingCommands();
		return std::vector<uint8>(Bytes.GetData(), Bytes.GetData() + Bytes.Num());
	}

	std::vector<uint8> CpuTexels(const UTexture2D& Texture)
	{
		const FByteBulkData& Data = Texture.GetPlatformData()->Mips[0].BulkData;
		const uint8* Bytes = static_cast<const uint8*>(Data.LockReadOnly());
		std::vector<uint8> Copy(Bytes, Bytes + Data.GetBulkDataSize());
		Data.Unlock();
		return Copy;
	}

	void FillPattern(UTexture2D& Texture)
	{
		FByteBulkData& Data = Texture.GetPlatformData()->Mips[0].BulkData;
		uint8* Bytes = static_cast<uint8*>(Data.Lock(LOCK_READ_WRITE));
		for (int64 Index = 0; Index < Data.GetBulkDataSize(); ++Index)
		{
			Bytes[Index] = uint8(Index * 7 + 3);
		}
		Data.Unlock();
	}

	/** Every test runs with a render thread and with commands run inline, and must leave the validation layer silent. */
	class TextureResourceTest : public FRenderingModeTest
	{
	protected:
		static UTextureRenderTarget2D* MakeRenderTarget(int32 SizeX, int32 SizeY, const FLinearColor& ClearColor)
		{
			UTextureRenderTarget2D* Target = NewObject<UTextureRenderTarget2D>();
			Target->RenderTargetFormat = RTF_RGBA8;
			Target->ClearColor = ClearColor;
			Target->InitAutoFormat(SizeX, SizeY);
			return Target;
		}
	};
}

TEST_P(TextureResourceTest, UpdateResourceUploadsMipZeroAndRegionUpdatesFollow)
{
	TStrongObjectPtr<UTexture2D> Texture(UTexture2D::CreateTransient(5, 3));
	FillPattern(*Texture);
	EXPECT_EQ(Texture->GetResource(), nullptr);
	Texture->UpdateResource();
	ASSERT_NE(Texture->GetResource(), nullptr);
	EXPECT_EQ(ReadGpuTexels(Texture->GetResource()), CpuTexels(*Texture));

	// A 2 x 2 region from the middle of a wider source lands on the GPU as well as in the mip.
	std::vector<uint8> Source(4 * 4 * 3, 0);
	for (size_t Index = 0; Index < Source.size(); ++Index)
	{
		Source[Index] = uint8(200 + Index);
	}
	FUpdateTextureRegion2D Region(3, 1, 1, 1, 2, 2);
	Texture->UpdateTextureRegions(0, 1, &Region, 4 * 4, 4, Source.data());
	FlushRenderingCommands();
	const std::vector<uint8> Gpu = ReadGpuTexels(Texture->GetResource());
	EXPECT_EQ(Gpu, CpuTexels(*Texture));
	EXPECT_EQ(0, std::memcmp(&Gpu[(1 * 5 + 3) * 4], &Source[(1 * 4 + 1) * 4], 8));
}

TEST_P(TextureResourceTest, UpdateResourceTakesTheTexelsOfTheMomentAndReplacesTheResource)
{
	TStrongObjectPtr<UTexture2D> Texture(UTexture2D::CreateTransient(4, 4));
	Texture->UpdateResource();
	const FTextureResource* First = Texture->GetResource();
	const std::vector<uint8> Zeros = ReadGpuTexels(First);
	EXPECT_EQ(Zeros, std::vector<uint8>(64, 0));

	FillPattern(*Texture);
	Texture->UpdateResource();
	EXPECT_NE(Texture->GetResource(), nullptr);
	EXPECT_EQ(ReadGpuTexels(Texture->GetResource()), CpuTexels(*Texture));

	Texture->ReleaseResource();
	EXPECT_EQ(Texture->GetResource(), nullptr);
}

TEST_P(TextureResourceTest, SRGBTexturesGetAnSRGBTexture)
{
	TStrongObjectPtr<UTexture2D> Colour(UTexture2D::CreateTransient(2, 2));
	TStrongObjectPtr<UTexture2D> Data(UTexture2D::CreateTransient(2, 2));
	Data->SRGB = false;
	Colour->UpdateResource();
	Data->UpdateResource();
	FlushRenderingCommands();
	ETextureCreateFlags ColourFlags = TexCreate_None;
	ETextureCreateFlags DataFlags = TexCreate_None;
	ENQUEUE_RENDER_COMMAND(ReadFlags)([&](FRHICommandListImmediate&) {
		ColourFlags = Colour->GetResource()->TextureRHI->GetFlags();
		DataFlags = Data->GetResource()->TextureRHI->GetFlags();
	});
	FlushRenderingCommands();
	EXPECT_TRUE(EnumHasAnyFlags(ColourFlags, TexCreate_SRGB));
	EXPECT_FALSE(EnumHasAnyFlags(DataFlags, TexCreate_SRGB));
}

TEST_P(TextureResourceTest, RenderTargetStartsClearedAndReadsBackAsFColor)
{
	TStrongObjectPtr<UTextureRenderTarget2D> Target(MakeRenderTarget(6, 4, FLinearColor(1.0f, 0.2f, 0.0f, 1.0f)));
	EXPECT_EQ(Target->GetFormat(), PF_B8G8R8A8);
	TArray<FColor> Pixels;
	ASSERT_TRUE(Target->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	ASSERT_EQ(Pixels.Num(), 24);
	for (const FColor& Pixel : Pixels)
	{
		EXPECT_EQ(Pixel, FColor(255, 51, 0, 255));
	}

	TArray<FColor> Corner;
	ASSERT_TRUE(Target->GameThread_GetRenderTargetResource()->ReadPixels(Corner, FReadSurfaceDataFlags(), FIntRect(4, 2, 6, 4)));
	EXPECT_EQ(Corner.Num(), 4);
}

TEST_P(TextureResourceTest, UpdateResourceImmediateClearsAndFollowsANewClearColour)
{
	TStrongObjectPtr<UTextureRenderTarget2D> Target(MakeRenderTarget(4, 4, FLinearColor(0, 0, 0, 1)));
	TStrongObjectPtr<UTexture2D> Source(UTexture2D::CreateTransient(4, 4));
	FillPattern(*Source);
	Source->UpdateResource();

	// The copy a colour picker makes: texture into render target, then read back exactly.
	ENQUEUE_RENDER_COMMAND(CopyTextureCommand)([&](FRHICommandListImmediate& RHICmdList) {
		RHICmdList.CopyTexture(Source->GetResource()->TextureRHI, Target->GetRenderTargetResource()->GetRenderTargetTexture(), FRHICopyTextureInfo());
	});
	TArray<FColor> Pixels;
	ASSERT_TRUE(Target->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	const std::vector<uint8> Expected = CpuTexels(*Source);
	ASSERT_EQ(size_t(Pixels.Num()) * 4, Expected.size());
	EXPECT_EQ(0, std::memcmp(Pixels.GetData(), Expected.data(), Expected.size()));

	const FTextureRenderTargetResource* Resource = Target->GameThread_GetRenderTargetResource();
	Target->UpdateResourceImmediate(true);
	EXPECT_EQ(Target->GameThread_GetRenderTargetResource(), Resource) << "same settings keep the resource";
	ASSERT_TRUE(Target->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	EXPECT_EQ(Pixels[5], FColor(0, 0, 0, 255));

	Target->ClearColor = FLinearColor(0, 0, 1, 0);
	Target->UpdateResourceImmediate(true);
	ASSERT_TRUE(Target->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	EXPECT_EQ(Pixels[5], FColor(0, 0, 255, 0));
}

TEST_P(TextureResourceTest, ReadPixelsRefusesWhatItCannotRead)
{
	TStrongObjectPtr<UTextureRenderTarget2D> Float(NewObject<UTextureRenderTarget2D>());
	Float->InitAutoFormat(2, 2);
	EXPECT_EQ(Float->GetFormat(), PF_FloatRGBA);
	FLogCapture Capture;
	TArray<FColor> Pixels;
	EXPECT_FALSE(Float->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	EXPECT_TRUE(Pixels.IsEmpty());

	TStrongObjectPtr<UTextureRenderTarget2D> Target(MakeRenderTarget(2, 2, FLinearColor(0, 0, 0, 1)));
	EXPECT_FALSE(Target->GameThread_GetRenderTargetResource()->ReadPixels(Pixels, FReadSurfaceDataFlags(), FIntRect(1, 1, 3, 2)));
	const TArray<FString> Errors = Capture.GetMessages(ELogVerbosity::Error);
	ASSERT_EQ(Errors.Num(), 2);
	EXPECT_EQ(Errors[0], FString::Printf(TEXT("ReadPixels: %s is not an 8-bit four-channel surface"), *Float->GetPathName()));
	EXPECT_EQ(Errors[1], FString::Printf(TEXT("ReadPixels: the rectangle (1, 1)-(3, 2) lies outside %s (2 x 2)"), *Target->GetPathName()));
}

TEST_P(TextureResourceTest, BadRenderTargetSettingsFailBeforeTheResourceChanges)
{
	TStrongObjectPtr<UTextureRenderTarget2D> Target(MakeRenderTarget(2, 2, FLinearColor(0, 0, 0, 1)));
	const FTextureRenderTargetResource* Resource = Target->GameThread_GetRenderTargetResource();
	EXPECT_THROW(Target->InitAutoFormat(0, 2), FCheckFailure);
	Target->RenderTargetFormat = RTF_RGB10A2;
	EXPECT_THROW(Target->UpdateResource(), FCheckFailure);
	EXPECT_EQ(Target->GameThread_GetRenderTargetResource(), Resource);
	EXPECT_EQ(Target->SizeX, 2);
}

TEST_P(TextureResourceTest, CollectingATextureReleasesItsGpuMemory)
{
	auto MakeAndCollect = [](uint64* AllocatedWhileAlive)
	{
		{
			TStrongObjectPtr<UTexture2D> Texture(UTexture2D::CreateTransient(8, 8));
			Texture->UpdateResource();
			TStrongObjectPtr<UTextureRenderTarget2D> Target(MakeRenderTarget(8, 8, FLinearColor(0, 0, 0, 1)));
			FlushRenderingCommands();
			*AllocatedWhileAlive = GetRHIMemoryStats().AllocatedBytes;
		}
		CollectGarbage(RF_NoFlags);
		FlushRenderingCommands();
		return GetRHIMemoryStats().AllocatedBytes;
	};
	// The first round also makes what the RHI keeps for itself (upload memory); the second
	// must give back all it took.
	uint64 Alive = 0;
	const uint64 Baseline = MakeAndCollect(&Alive);
	EXPECT_EQ(MakeAndCollect(&Alive), Baseline);
	EXPECT_GE(Alive, Baseline + 2 * 8 * 8 * 4);
}

TEST_P(TextureResourceTest, ACommandQueuedBeforeUpdateResourceStillFindsTheResourceItWasQueuedFor)
{
	TStrongObjectPtr<UTexture2D> Texture(UTexture2D::CreateTransient(4, 4));
	Texture->UpdateResource();
	const FTextureResource* Queued = Texture->GetResource();
	// The render thread waits until the game thread has replaced the resource.
	std::atomic<bool> bReplaced = false;
	ENQUEUE_RENDER_COMMAND(WaitForReplacement)([&bReplaced](FRHICommandListImmediate&) {
		while (!bReplaced && GIsThreadedRendering.load())
		{
			std::this_thread::yield();
		}
	});
	const FTextureResource* Seen = nullptr;
	bool bSeenHasTexture = false;
	ENQUEUE_RENDER_COMMAND(ReadResource)([&Texture, &Seen, &bSeenHasTexture](FRHICommandListImmediate&) {
		Seen = Texture->GetResource();
		bSeenHasTexture = Seen && Seen->TextureRHI;
	});
	Texture->UpdateResource();
	const FTextureResource* Replacement = Texture->GetResource();
	bReplaced = true;
	FlushRenderingCommands();
	EXPECT_EQ(Seen, Queued);
	EXPECT_TRUE(bSeenHasTexture);
	EXPECT_NE(Replacement, Queued);

	const FTextureResource* RenderThreadResource = nullptr;
	ENQUEUE_RENDER_COMMAND(ReadLatest)([&Texture, &RenderThreadResource](FRHICommandListImmediate&) { RenderThreadResource = Texture->GetResource(); });
	FlushRenderingCommands();
	EXPECT_EQ(RenderThreadResource, Replacement);
}

INSTANTIATE_TEST_SUITE_P(Threading, TextureResourceTest, ::testing::Values(true, false), FRenderingModeTest::ModeName);
