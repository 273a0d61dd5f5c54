#include "Engine/Texture2D.h"
#include "RenderCommandFailure.h"
#include "RenderingModeTest.h"
#include "RenderingThread.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <chrono>
#include <atomic>
#include <future>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

namespace
{
	/** Runs each test once with a render thread and once with commands run inline. */
	class TextureRegionUpdateTest : public ::testing::TestWithParam<bool>
	{
	protected:
		void SetUp() override
		{
			SetRenderingThreaded(GetParam());
			Texture.Reset(UTexture2D::CreateTransient(4, 3));
			ASSERT_TRUE(Texture.IsValid());
		}

		void TearDown() override
		{
			FlushRenderingCommands();
			SetRenderingThreaded(true);
		}

		std::vector<uint8> Texels() const
		{
			const FByteBulkData& Data = Texture->GetPlatformData()->Mips[0].BulkData;
			const uint8* Bytes = static_cast<const uint8*>(Data.LockReadOnly());
			std::vector<uint8> Copy(Bytes, Bytes + Data.GetBulkDataSize());
			Data.Unlock();
			return Copy;
		}

		/** A clean-up that counts its calls and records the arguments and texels it saw. */
		TFunction<void(uint8*, const FUpdateTextureRegion2D*)> CountingCleanup()
		{
			return [this](uint8* SrcData, const FUpdateTextureRegion2D* Regions)
			{
				++CleanupCalls;
				CleanedData = SrcData;
				CleanedRegions = Regions;
				TexelsAtCleanup = Texels();
				bCleanedOnRenderThread = IsInActualRenderingThread();
			};
		}

		TStrongObjectPtr<UTexture2D> Texture;
		int32 CleanupCalls = 0;
		uint8* CleanedData = nullptr;
		const FUpdateTextureRegion2D* CleanedRegions = nullptr;
		std::vector<uint8> TexelsAtCleanup;
		bool bCleanedOnRenderThread = false;
	};

	/** Holds the render thread inside a command until Release, so a test can act while commands wait. */
	class FRenderThreadBlocker
	{
	public:
		FRenderThreadBlocker()
		{
			std::shared_future<void> Gate = Released.get_future().share();
			ENQUEUE_RENDER_COMMAND(BlockRenderThread)([Gate](FRHICommandListImmediate&) {
				// Bounded, so a broken test fails instead of hanging the suite.
				Gate.wait_for(std::chrono::seconds(10));
			});
		}
		void Release() { Released.set_value(); }

	private:
		std::promise<void> Released;
	};

	std::unique_ptr<FTexturePlatformData> MakeOneTexelData()
	{
		auto Data = std::make_unique<FTexturePlatformData>();
		Data->SizeX = Data->SizeY = 1;
		Data->PixelFormat = PF_B8G8R8A8;
		FTexture2DMipMap& Mip = Data->Mips.AddDefaulted_GetRef();
		Mip.SizeX = Mip.SizeY = 1;
		Mip.BulkData.Lock(LOCK_READ_WRITE);
		Mip.BulkData.Realloc(4);
		Mip.BulkData.Unlock();
		return Data;
	}
}

TEST_P(TextureRegionUpdateTest, CopiesExactBytesAndCleansUpOnceAfterwards)
{
	// A 6-texel-wide source whose rows are padded to 30 bytes; byte N holds N.
	constexpr uint32 Pitch = 30;
	std::vector<uint8> Source(Pitch * 3);
	std::iota(Source.begin(), Source.end(), uint8(0));
	FUpdateTextureRegion2D Regions[] = {
		FUpdateTextureRegion2D(0, 0, 1, 0, 2, 1), // two texels from the first row
		FUpdateTextureRegion2D(3, 1, 5, 1, 1, 2), // the right edge of the mip from the source's last column
	};
	Texture->UpdateTextureRegions(0, 2, Regions, Pitch, 4, Source.data(), CountingCleanup());
	FlushRenderingCommands();

	std::vector<uint8> Expected(4 * 3 * 4, 0);
	std::iota(Expected.begin(), Expected.begin() + 8, uint8(4)); // source bytes 4..11
	std::iota(Expected.begin() + 28, Expected.begin() + 32, uint8(50)); // row 1, texel 3 ← source row 1, texel 5
	std::iota(Expected.begin() + 44, Expected.begin() + 48, uint8(80)); // row 2, texel 3 ← source row 2, texel 5
	EXPECT_EQ(Texels(), Expected);
	EXPECT_EQ(CleanupCalls, 1);
	EXPECT_EQ(CleanedData, Source.data());
	EXPECT_EQ(CleanedRegions, Regions);
	EXPECT_EQ(TexelsAtCleanup, Expected); // called after the copy
	EXPECT_EQ(bCleanedOnRenderThread, GetParam());

	// No regions, no data: nothing to copy, but the clean-up still comes, once.
	Texture->UpdateTextureRegions(0, 0, nullptr, 0, 4, nullptr, CountingCleanup());
	FlushRenderingCommands();
	EXPECT_EQ(CleanupCalls, 2);
	EXPECT_EQ(Texels(), Expected);
}

TEST_P(TextureRegionUpdateTest, FreesAHeapBufferThroughTheCleanup)
{
	// The pattern the clean-up exists for: the caller hands over buffers it allocated and frees them there.
	uint8* Source = new uint8[4 * 3 * 4];
	std::iota(Source, Source + 48, uint8(100));
	auto* Region = new FUpdateTextureRegion2D(0, 0, 0, 0, 4, 3);
	Texture->UpdateTextureRegions(0, 1, Region, 16, 4, Source, [](uint8* Data, const FUpdateTextureRegion2D* Regions) {
		delete[] Data;
		delete Regions;
	});
	FlushRenderingCommands();
	EXPECT_EQ(Texels()[0], 100);
	EXPECT_EQ(Texels()[47], 147);
}

TEST_P(TextureRegionUpdateTest, RefusesBadCallsBeforeEnqueuingAndStillCleansUp)
{
	std::vector<uint8> Source(64, 0xAB);
	struct FCase
	{
		const char* Message;
		int32 MipIndex;
		uint32 Pitch;
		uint32 Bpp;
		bool bNullData;
		FUpdateTextureRegion2D Region;
	};
	const FCase Cases[] = {
		{"mip 1 does not exist (the texture has 1)", 1, 16, 4, false, {0, 0, 0, 0, 1, 1}},
		{"mip -1 does not exist (the texture has 1)", -1, 16, 4, false, {0, 0, 0, 0, 1, 1}},
		{"3 bytes per source texel, but the texture's format has 4", 0, 16, 3, false, {0, 0, 0, 0, 1, 1}},
		{"1 regions without source data", 0, 16, 4, true, {0, 0, 0, 0, 1, 1}},
		{"region 0 (2 x 1 at 3, 0) lies outside the 4 x 3 mip", 0, 16, 4, false, {3, 0, 0, 0, 2, 1}},
		{"region 0 (1 x 2 at 0, 2) lies outside the 4 x 3 mip", 0, 16, 4, false, {0, 2, 0, 0, 1, 2}},
		{"region 0 (1 x 1 at 4294967295, 0) lies outside the 4 x 3 mip", 0, 16, 4, false, {0xFFFFFFFFu, 0, 0, 0, 1, 1}},
		{"region 0 (2 x 1 from 3, 0) lies outside the source of pitch 16", 0, 16, 4, false, {0, 0, 3, 0, 2, 1}},
		{"region 0 (1 x 1 from -1, 0) lies outside the source of pitch 16", 0, 16, 4, false, {0, 0, -1, 0, 1, 1}},
		{"region 0 (1 x 1 from 0, -2) lies outside the source of pitch 16", 0, 16, 4, false, {0, 0, 0, -2, 1, 1}},
	};
	for (const FCase& Case : Cases)
	{
		SCOPED_TRACE(Case.Message);
		FUpdateTextureRegion2D Region = Case.Region;
		uint8* Data = Case.bNullData ? nullptr : Source.data();
		const int32 CallsBefore = CleanupCalls;
		try
		{
			Texture->UpdateTextureRegions(Case.MipIndex, 1, &Region, Case.Pitch, Case.Bpp, Data, CountingCleanup());
			ADD_FAILURE() << "no check failed";
		}
		catch (const FCheckFailure& Failure)
		{
			EXPECT_EQ(Failure.GetMessage(), std::string("UpdateTextureRegions of ") + *Texture->GetPathName() + ": " + Case.Message);
		}
		// Cleaned up at once, on the calling thread, before anything was copied.
		EXPECT_EQ(CleanupCalls, CallsBefore + 1);
		EXPECT_EQ(CleanedData, Data);
		EXPECT_FALSE(bCleanedOnRenderThread);
	}
	// Nothing was enqueued: a flush raises nothing and no texel changed.
	EXPECT_NO_THROW(FlushRenderingCommands());
	EXPECT_EQ(Texels(), std::vector<uint8>(48, 0));
	EXPECT_EQ(CleanupCalls, static_cast<int32>(std::size(Cases)));

	// Without a clean-up the check fails just the same.
	FUpdateTextureRegion2D Outside(4, 0, 0, 0, 1, 1);
	EXPECT_THROW(Texture->UpdateTextureRegions(0, 1, &Outside, 16, 4, Source.data()), FCheckFailure);
}

INSTANTIATE_TEST_SUITE_P(RenderingModes, TextureRegionUpdateTest, ::testing::Values(true, false), FRenderingModeTest::ModeName);

TEST(TextureRegionUpdateThreadedTest, TexelsChangeOnlyWhenTheCommandRuns)
{
	SetRenderingThreaded(true);
	TStrongObjectPtr<UTexture2D> Texture(UTexture2D::CreateTransient(2, 2));
	std::vector<uint8> Source(16, 0x5A);
	FUpdateTextureRegion2D Region(0, 0, 0, 0, 2, 2);
	int32 CleanupCalls = 0;
	FRenderThreadBlocker Blocker;
	Texture->UpdateTextureRegions(0, 1, &Region, 8, 4, Source.data(), [&CleanupCalls](uint8*, const FUpdateTextureRegion2D*) { ++CleanupCalls; });
	EXPECT_EQ(CleanupCalls, 0);
	Blocker.Release();
	FlushRenderingCommands();
	EXPECT_EQ(CleanupCalls, 1);
	const FByteBulkData& Data = Texture->GetPlatformData()->Mips[0].BulkData;
	EXPECT_EQ(static_cast<const uint8*>(Data.LockReadOnly())[15], 0x5A);
	Data.Unlock();
}

TEST(TextureRegionUpdateThreadedTest, AMipReplacedBeforeTheCopyIsReportedNotOverrun)
{
	SetRenderingThreaded(true);
	TStrongObjectPtr<UTexture2D> Texture(UTexture2D::CreateTransient(4, 4));
	std::vector<uint8> Source(64, 0x11);
	FUpdateTextureRegion2D Region(2, 2, 0, 0, 2, 2);
	int32 CleanupCalls = 0;
	FRenderThreadBlocker Blocker;
	Texture->UpdateTextureRegions(0, 1, &Region, 16, 4, Source.data(), [&CleanupCalls](uint8*, const FUpdateTextureRegion2D*) { ++CleanupCalls; });
	// Swap in the data of a 1 × 1 texture while the command waits.
	Texture->SetPlatformData(MakeOneTexelData());
	Blocker.Release();
	try
	{
		FlushRenderingCommands();
		ADD_FAILURE() << "the flush raised nothing";
	}
	catch (const FRenderCommandFailure& Failure)
	{
		EXPECT_EQ(Failure.GetCommandName(), "UpdateTextureRegionsData");
		EXPECT_EQ(Failure.GetMessage(), std::string("UpdateTextureRegions of ") + *Texture->GetPathName() +
			": the mip changed: region 0 (2 x 2 at 2, 2) lies outside the 1 x 1 mip");
	}
	EXPECT_EQ(CleanupCalls, 1);
}

TEST(TextureRegionUpdateThreadedTest, CollectingTheTextureWaitsForItsPendingUpdate)
{
	SetRenderingThreaded(true);
	UTexture2D* Texture = UTexture2D::CreateTransient(2, 2);
	std::vector<uint8> Source(16, 0x77);
	FUpdateTextureRegion2D Region(0, 0, 0, 0, 2, 2);
	std::atomic<int32> CleanupCalls = 0;
	auto Blocker = std::make_unique<FRenderThreadBlocker>();
	Texture->UpdateTextureRegions(0, 1, &Region, 8, 4, Source.data(), [&CleanupCalls](uint8*, const FUpdateTextureRegion2D*) { ++CleanupCalls; });
	std::thread Releaser([&Blocker] {
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		Blocker->Release();
	});
	// Nothing holds the texture; it is destroyed only once the command has written into it.
	CollectGarbage();
	EXPECT_EQ(CleanupCalls.load(), 1);
	Releaser.join();
	FlushRenderingCommands();
}
