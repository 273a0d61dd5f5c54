#include "Logging/LogCapture.h"
#include "RHIDeferredDeletion.h"
#include "RHIStaticStates.h"
#include "RHITestFixture.h"
#include "VulkanDevice.h"
#include "VulkanDynamicRHI.h"
#include "VulkanMemoryPool.h"
#include "VulkanPipelineCache.h"

#include <cstdio>
#include <thread>

namespace
{
	const char* const CopyShader = R"(
Texture2D<float4> Source;
SamplerState Sampler;
RWTexture2D<float4> Output;

[numthreads(1, 1, 1)]
void CopyCS(uint3 Id : SV_DispatchThreadID)
{
	Output[Id.xy] = Source.SampleLevel(Sampler, (float2(Id.xy) + 0.5) / 2.0, 0);
}
)";

	/** Counts its destruction; holds no device objects. */
	class FCountedResource : public FRHIBlendState
	{
	public:
		explicit FCountedResource(std::atomic<int32>& InDestroyed) : FRHIBlendState(FBlendStateInitializerRHI()), Destroyed(InDestroyed) {}
		~FCountedResource() override { ++Destroyed; }

	private:
		std::atomic<int32>& Destroyed;
	};
}

class RHILifetimeTest : public FRHITestFixture
{
};

TEST_F(RHILifetimeTest, RecreatingALargeTextureReusesItsPooledMemory)
{
	const auto CreateAndDrop = [&] {
		FTextureRHIRef Texture = MakeTexture(TEXT("Large"), 4096, 4096, PF_B8G8R8A8, TexCreate_UAV | TexCreate_ShaderResource);
		EXPECT_GE(GetRHIMemoryStats().AllocatedBytes, 4096ull * 4096 * 4);
		Texture.SafeRelease();
		RHICmdList.SubmitCommandsAndFlushGPU();
	};
	CreateAndDrop();
	const FRHIMemoryStats First = GetRHIMemoryStats();
	EXPECT_GE(First.PooledBytes, 4096ull * 4096 * 4) << "the freed block stays in the pool";
	CreateAndDrop();
	const FRHIMemoryStats Second = GetRHIMemoryStats();
	EXPECT_EQ(Second.NumDeviceAllocations, First.NumDeviceAllocations);
	EXPECT_EQ(Second.PooledBytes, First.PooledBytes);
}

TEST_F(RHILifetimeTest, ThePoolKeepsItsBudgetByFreeingTheOldestBlocks)
{
	FVulkanDynamicRHI& RHI = FVulkanDynamicRHI::Get();
	FVulkanMemoryPool Pool(RHI.GetDevice().GetHandle(), RHI.GetDevice().GetMemoryProperties(), 1024 * 1024);
	VkMemoryRequirements Requirements = {};
	Requirements.size = 512 * 1024;
	Requirements.alignment = 256;
	Requirements.memoryTypeBits = ~0u;
	FVulkanAllocation Blocks[3];
	for (FVulkanAllocation& Block : Blocks)
	{
		Block = Pool.Allocate(Requirements, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT, FString(TEXT("Block")));
		ASSERT_TRUE(Block.IsValid());
		ASSERT_NE(Block.Mapped, nullptr) << "host-visible blocks come mapped";
	}
	const VkDeviceMemory Newest = Blocks[2].Memory;
	for (FVulkanAllocation& Block : Blocks)
	{
		Pool.Free(Block);
		EXPECT_FALSE(Block.IsValid());
	}
	FRHIMemoryStats Stats = Pool.GetStats();
	EXPECT_EQ(Stats.NumDeviceAllocations, 3u);
	EXPECT_EQ(Stats.PooledBytes, 1024u * 1024) << "two of the three blocks fit the budget";
	EXPECT_EQ(Stats.AllocatedBytes, 0u);

	// Near sizes share a block size, so a slightly smaller request takes a pooled block.
	Requirements.size = 500 * 1024;
	FVulkanAllocation Reused = Pool.Allocate(Requirements, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT, FString(TEXT("Again")));
	FVulkanAllocation Second = Pool.Allocate(Requirements, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT, FString(TEXT("Again")));
	EXPECT_EQ(Pool.GetStats().NumDeviceAllocations, 3u);
	EXPECT_TRUE(Reused.Memory == Newest || Second.Memory == Newest) << "the newest freed block was kept, the oldest went";
	Pool.Free(Reused);
	Pool.Free(Second);

	EXPECT_EQ(CheckMessageOf([&] {
		VkMemoryRequirements Impossible = Requirements;
		Impossible.memoryTypeBits = 0;
		Pool.Allocate(Impossible, 0, FString(TEXT("Nowhere")));
	}),
		"No Vulkan memory type suits 'Nowhere' (type bits 0x0, property flags 0x0)");
}

TEST_F(RHILifetimeTest, ReferencesDroppedOnAnyThreadWaitForTheNextSubmission)
{
	std::atomic<int32> Destroyed = 0;
	TRefCountPtr<FRHIBlendState> Resource(new FCountedResource(Destroyed));
	FBufferRHIRef Buffer = RHICmdList.CreateVertexBuffer(1024 * 1024, BUF_Static, FRHIResourceCreateInfo(TEXT("Dropped")));
	const uint64 AllocatedWithBuffer = GetRHIMemoryStats().AllocatedBytes;
	std::thread([Moved = std::move(Resource), MovedBuffer = std::move(Buffer)]() mutable {
		Moved.SafeRelease();
		MovedBuffer.SafeRelease();
	}).join();

	EXPECT_EQ(Destroyed.load(), 0) << "work recorded earlier may still use it";
	EXPECT_EQ(FRHIDeferredDeletion::GetNumPending(), 2);
	EXPECT_EQ(GetRHIMemoryStats().AllocatedBytes, AllocatedWithBuffer);
	RHICmdList.SubmitCommandsAndFlushGPU();
	EXPECT_EQ(Destroyed.load(), 1);
	EXPECT_EQ(FRHIDeferredDeletion::GetNumPending(), 0);
	EXPECT_LT(GetRHIMemoryStats().AllocatedBytes, AllocatedWithBuffer);
}

TEST_F(RHILifetimeTest, ADestroyedShaderTakesItsPipelinesAlong)
{
	FVulkanPipelineCache& Cache = FVulkanDynamicRHI::Get().GetPipelineCache();
	const int32 Before = Cache.GetNumPipelines();
	FComputeShaderRHIRef Shader = MakeComputeShader("Copy.usf", CopyShader, "CopyCS");
	SetComputePipelineState(RHICmdList, Shader);
	SetComputePipelineState(RHICmdList, Shader);
	EXPECT_EQ(Cache.GetNumPipelines(), Before + 1) << "one pipeline per shader";
	Shader.SafeRelease();
	RHICmdList.SubmitCommandsAndFlushGPU();
	EXPECT_EQ(Cache.GetNumPipelines(), Before);
}

TEST_F(RHILifetimeTest, ResourcesOutlivingTheRHIAreReleasedWithItAndSamplersComeBack)
{
	FTextureRHIRef Survivor = MakeTexture(TEXT("Survivor"), 2, 2, PF_B8G8R8A8, TexCreate_ShaderResource);
	FComputeShaderRHIRef OldShader = MakeComputeShader("Copy.usf", CopyShader, "CopyCS");
	FRHISamplerState* Sampler = TStaticSamplerState<SF_Point>::GetRHI();
	{
		// The texture and the shader, and the shared states earlier tests of this process used.
		FLogCapture Capture;
		RHIExit();
		const TArray<FString> Lines = Capture.GetMessages(ELogVerbosity::Log);
		ASSERT_EQ(Lines.Num(), 1);
		int32 NumLive = 0;
		ASSERT_EQ(std::sscanf(*Lines[0], "RHIExit: %d resources are still referenced; their Vulkan objects are released now", &NumLive), 1);
		EXPECT_GE(NumLive, 2) << Lines[0].ToStdString();
	}
	EXPECT_FALSE(IsRHIInitialized());
	EXPECT_EQ(GetRHIValidationErrorCount(), ValidationErrorsBefore) << "nothing was left to the device's destruction";
	RHICmdList.SubmitCommandsAndFlushGPU();
	EXPECT_FALSE(IsRHIInitialized()) << "a submission does not start the RHI";

	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateShaderResourceView(Survivor); }), "Texture 'Survivor' belongs to an RHI that has shut down");
	RHIInit();
	EXPECT_EQ(CheckMessageOf([&] { SetComputePipelineState(RHICmdList, OldShader); }), "Shader 'Copy.usf' belongs to an RHI that has shut down");
	// Dropping the stale objects now deletes them at once, without the old device.
	Survivor.SafeRelease();
	OldShader.SafeRelease();

	// The shared sampler is made again on the new device.
	FComputeShaderRHIRef Shader = MakeComputeShader("Copy.usf", CopyShader, "CopyCS");
	FTextureRHIRef Source = MakeTexture(TEXT("Source"), 2, 2, PF_B8G8R8A8, TexCreate_ShaderResource);
	const FColor Texels[] = {FColor(1, 2, 3, 4), FColor(5, 6, 7, 8), FColor(9, 10, 11, 12), FColor(13, 14, 15, 16)};
	RHICmdList.UpdateTexture2D(Source, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 2, 2), 8, reinterpret_cast<const uint8*>(Texels));
	FTextureRHIRef Output = MakeTexture(TEXT("Output"), 2, 2, PF_B8G8R8A8, TexCreate_UAV);
	FUnorderedAccessViewRHIRef OutputView = RHICmdList.CreateUnorderedAccessView(Output);
	SetComputePipelineState(RHICmdList, Shader);
	FRHIBatchedShaderParameters Parameters;
	Parameters.SetTexture(BindingOf(Shader, "Source"), Source);
	Parameters.SetSampler(BindingOf(Shader, "Sampler"), Sampler);
	Parameters.SetUAV(BindingOf(Shader, "Output"), OutputView);
	RHICmdList.SetBatchedShaderParameters(Shader, Parameters);
	RHICmdList.DispatchComputeShader(2, 2, 1);
	TArray<FColor> Colors;
	RHICmdList.ReadSurfaceData(Output, FIntRect(), Colors, FReadSurfaceDataFlags());
	EXPECT_EQ(Colors, (TArray<FColor>{Texels[0], Texels[1], Texels[2], Texels[3]}));
}

TEST(RHIValidationTest, LayerErrorsAreCountedAndLoggedOnLogRHI)
{
	RHIInit();
	if (!GetRHIDeviceInfo().bValidationEnabled)
	{
		GTEST_SKIP() << "VORPEX_RHI_VALIDATION is not set";
	}
	const VkDevice Device = FVulkanDynamicRHI::Get().GetDevice().GetHandle();
	const int32 Before = GetRHIValidationErrorCount();
	FLogCapture Capture;
	VkBufferCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
	CreateInfo.size = 16;
	CreateInfo.usage = 0;
	VkBuffer Buffer = VK_NULL_HANDLE;
	vkCreateBuffer(Device, &CreateInfo, nullptr, &Buffer);
	vkDestroyBuffer(Device, Buffer, nullptr);
	EXPECT_EQ(GetRHIValidationErrorCount(), Before + 1);
	const TArray<FString> Errors = Capture.GetMessages(ELogVerbosity::Error);
	ASSERT_EQ(Errors.Num(), 1);
	EXPECT_TRUE(Errors[0].StartsWith(TEXT("Vulkan: ")));
	EXPECT_TRUE(Errors[0].Contains(TEXT("VUID-VkBufferCreateInfo-usage-requiredbitmask"))) << Errors[0].ToStdString();
}

TEST(RHIExitDeathTest, AtExitThePreExitCallbackRunsWhileTheRHIIsUpAndThenItShutsDown)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT(
		{
			// Registered before the RHI starts, so it runs after the RHI's own exit handler.
			std::atexit([] { std::fprintf(stderr, "after the RHI's handler: %s\n", IsRHIInitialized() ? "running" : "stopped"); });
			RHISetPreExitCallback([] { std::fprintf(stderr, "pre-exit callback: %s\n", IsRHIInitialized() ? "running" : "stopped"); });
			RHIInit();
			static FTextureRHIRef Kept = RHICreateTexture(FRHITextureCreateDesc::Create2D(TEXT("Kept"), 4, 4, PF_B8G8R8A8));
			std::exit(0);
		},
		::testing::ExitedWithCode(0), "pre-exit callback: running\nafter the RHI's handler: stopped");
}
