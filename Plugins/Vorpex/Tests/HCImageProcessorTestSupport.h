#pragma once

// Helpers for the image-processor tests: the shader folder mapped, source textures made from
// texel functions, batches run to completion, results read back, a processor that counts its
// executions on each thread, and a hold on the render thread.

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "Controllers/ImageProcessor/HCImageProcessorBatch.h"
#include "Controllers/ImageProcessor/HCImageTexture.h"
#include "CoreMinimal.h"
#include "Engine/Texture2D.h"
#include "RHI.h"
#include "RenderingThread.h"
#include "ShaderCore.h"
#include "TextureResource.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

#include "HCImageProcessorTestSupport.generated.h"

/** Passes its single input (slot 0) through untouched on the GPU side and counts how often each thread executed it. */
UCLASS()
class UHCCountingImageProcessor : public UHCDependantImageProcessor
{
	GENERATED_BODY()

public:
	std::atomic<int32> GameThreadExecutions = 0;
	std::atomic<int32> RenderThreadExecutions = 0;

protected:
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override
	{
		FScopeLock Lock(&CriticalSection);
		++GameThreadExecutions;
		ExecuteDependencies(Context);
	}

	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override
	{
		ExecuteDependencies(Context);
		++RenderThreadExecutions;
	}
};

/** Holds the render thread in a command until Release, so that game-thread calls can be made while commands wait behind it. */
class FRenderThreadHold
{
public:
	FRenderThreadHold()
	{
		// The flag is shared with the command, which may still read it after the hold is gone.
		ENQUEUE_RENDER_COMMAND(HoldRenderThread)([Released = bReleased](FRHICommandListImmediate&) {
			while (!*Released)
			{
				std::this_thread::yield();
			}
		});
	}
	~FRenderThreadHold() { Release(); }
	void Release() { *bReleased = true; }

private:
	std::shared_ptr<std::atomic<bool>> bReleased = std::make_shared<std::atomic<bool>>(false);
};

/** Maps the plug-in's shaders and checks that the validation layer stays silent through each test. */
class HCImageProcessorTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		if (!AllShaderSourceDirectoryMappings().Contains(TEXT("/Plugin/Vorpex")))
		{
			AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), TEXT(VORPEX_PLUGINS_DIR "/Vorpex/Shaders"));
		}
		ValidationErrorsBefore = GetRHIValidationErrorCount();
	}

	void TearDown() override
	{
		FlushRenderingCommands();
		EXPECT_EQ(GetRHIValidationErrorCount(), ValidationErrorsBefore);
	}

	/** A processor made and kept alive for the test. */
	template <typename ProcessorType>
	ProcessorType* Make(int32 Width = 4, int32 Height = 4)
	{
		ProcessorType* Processor = NewObject<ProcessorType>();
		Kept.Add(TStrongObjectPtr<UObject>(Processor));
		Processor->Initialize(Width, Height);
		return Processor;
	}

	/** A linear (not sRGB) texture whose texels come from Texel(X, Y), read by an image-texture processor of the same size. */
	UHCImageTexture* MakeSource(int32 Width, int32 Height, const std::function<FColor(int32 X, int32 Y)>& Texel)
	{
		UTexture2D* Texture = UTexture2D::CreateTransient(Width, Height);
		Texture->SRGB = false;
		FByteBulkData& Bulk = Texture->GetPlatformData()->Mips[0].BulkData;
		FColor* Texels = static_cast<FColor*>(Bulk.Lock(LOCK_READ_WRITE));
		for (int32 Y = 0; Y < Height; ++Y)
		{
			for (int32 X = 0; X < Width; ++X)
			{
				Texels[Y * Width + X] = Texel(X, Y);
			}
		}
		Bulk.Unlock();
		Kept.Add(TStrongObjectPtr<UObject>(Texture));
		UHCImageTexture* Source = Make<UHCImageTexture>(Width, Height);
		Source->SetInputTexture(Texture);
		return Source;
	}

	UHCImageTexture* MakeUniformSource(FColor Color, int32 Width = 4, int32 Height = 4)
	{
		return MakeSource(Width, Height, [Color](int32, int32) { return Color; });
	}

	static void RunBatch(const TArray<UHCImageProcessor*>& Roots)
	{
		FHCImageProcessorBatch::Run(Roots);
		FlushRenderingCommands();
	}

	static TArray<FColor> ReadResult(UHCImageProcessor* Processor)
	{
		TArray<FColor> Pixels;
		EXPECT_TRUE(Processor->GetResultRenderTarget()->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
		return Pixels;
	}

	/** Runs Processor as the only root and reads its result. */
	static TArray<FColor> RunAndRead(UHCImageProcessor* Processor)
	{
		RunBatch({Processor});
		return ReadResult(Processor);
	}

	TArray<TStrongObjectPtr<UObject>> Kept;
	int32 ValidationErrorsBefore = 0;
};

/** Asserts that a check fails with exactly Expression. */
#define EXPECT_CHECK_FAILS(Statement, Expression)                                                                        \
	do                                                                                                                   \
	{                                                                                                                    \
		try                                                                                                              \
		{                                                                                                                \
			Statement;                                                                                                   \
			ADD_FAILURE() << "expected the check \"" << (Expression) << "\" to fail";                                    \
		}                                                                                                                \
		catch (const FCheckFailure& Failure)                                                                             \
		{                                                                                                                \
			EXPECT_EQ(Failure.GetExpression(), std::string(Expression));                                                \
		}                                                                                                                \
	} while (false)
