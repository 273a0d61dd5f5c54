#include "Controllers/ImageProcessor/HCColorize.h"
#include "HCImageProcessorTestSupport.h"
#include "RenderGraphBuilder.h"

namespace
{
	/** An input shared by two counting processors, both roots. */
	struct FSharedInputGraph
	{
		UHCCountingImageProcessor* Shared = nullptr;
		UHCCountingImageProcessor* Left = nullptr;
		UHCCountingImageProcessor* Right = nullptr;
	};
}

class HCImageProcessorBatchTest : public HCImageProcessorTest
{
protected:
	FSharedInputGraph MakeSharedInputGraph()
	{
		FSharedInputGraph Graph;
		Graph.Shared = Make<UHCCountingImageProcessor>();
		Graph.Shared->SetDependency(MakeUniformSource(FColor::White), 0);
		Graph.Left = Make<UHCCountingImageProcessor>();
		Graph.Right = Make<UHCCountingImageProcessor>();
		Graph.Left->SetDependency(Graph.Shared, 0);
		Graph.Right->SetDependency(Graph.Shared, 0);
		return Graph;
	}
};

TEST_F(HCImageProcessorBatchTest, ASharedInputRunsOncePerThreadAndARootThatIsAnInputRunsTwice)
{
	const FSharedInputGraph Graph = MakeSharedInputGraph();
	RunBatch({Graph.Left, Graph.Right});
	EXPECT_EQ(Graph.Shared->GameThreadExecutions, 1);
	EXPECT_EQ(Graph.Shared->RenderThreadExecutions, 1);
	EXPECT_TRUE(Graph.Shared->IsExecutedOnGameThread());
	EXPECT_TRUE(Graph.Shared->IsExecutedOnRenderThread());
	EXPECT_FALSE(Graph.Left->IsExecutedOnGameThread()) << "roots are called directly and stay unmarked";

	// Whichever comes first, a root that is also an input runs twice on each thread.
	for (const TArray<UHCImageProcessor*>& Roots : {TArray<UHCImageProcessor*>{Graph.Shared, Graph.Left}, TArray<UHCImageProcessor*>{Graph.Left, Graph.Shared}})
	{
		Graph.Shared->GameThreadExecutions = 0;
		Graph.Shared->RenderThreadExecutions = 0;
		RunBatch(Roots);
		EXPECT_EQ(Graph.Shared->GameThreadExecutions, 2);
		EXPECT_EQ(Graph.Shared->RenderThreadExecutions, 2);
	}
}

TEST_F(HCImageProcessorBatchTest, BatchesQueuedBehindEachOtherEachRunTheirInputs)
{
	// The game thread prepares batch after batch while the render thread still runs earlier
	// ones: every batch must still execute the shared input once on the render thread, and the
	// last colour set must be the one in the result.
	SetRenderingThreaded(true);
	const FSharedInputGraph Graph = MakeSharedInputGraph();
	UHCColorize* Colorize = Make<UHCColorize>();
	Colorize->SetDependency(MakeUniformSource(FColor::White), 0);
	constexpr int32 Batches = 24;
	for (int32 Batch = 0; Batch < Batches; ++Batch)
	{
		Colorize->SetColor(FColor(uint8(Batch * 10), 0, 255, 255));
		FHCImageProcessorBatch::Run({Graph.Left, Colorize, Graph.Right});
	}
	FlushRenderingCommands();
	EXPECT_EQ(Graph.Shared->GameThreadExecutions, Batches);
	EXPECT_EQ(Graph.Shared->RenderThreadExecutions, Batches);
	const TArray<FColor> Pixels = ReadResult(Colorize);
	const FLinearColor Last(FColor(uint8((Batches - 1) * 10), 0, 255, 255));
	EXPECT_NEAR(Pixels[0].R, Last.R * 255.0f, 1.0f);
	EXPECT_EQ(Pixels[0].B, 255);
}

TEST_F(HCImageProcessorBatchTest, SetDependencyReplacesTheInputOfASlot)
{
	UHCColorize* Colorize = Make<UHCColorize>();
	Colorize->SetDependency(MakeUniformSource(FColor(255, 0, 0, 255)), 0);
	Colorize->SetDependency(MakeUniformSource(FColor(0, 255, 0, 255)), 0);
	EXPECT_EQ(RunAndRead(Colorize)[0], FColor(0, 255, 0, 255)) << "one slot, the second input";
}

TEST_F(HCImageProcessorBatchTest, InitializeTwiceReplacesTheResultAndTheOldOneKeepsItsContents)
{
	UHCImageTexture* Source = MakeUniformSource(FColor(10, 20, 30, 255));
	UTextureRenderTarget2D* First = Source->GetResultRenderTarget();
	EXPECT_EQ(First->ClearColor, FLinearColor(0, 0, 0, 1));
	EXPECT_EQ(First->RenderTargetFormat, RTF_RGBA8);
	EXPECT_EQ(First->GetOuter(), Source);
	RunBatch({Source});

	Source->Initialize(8, 2);
	UTextureRenderTarget2D* Second = Source->GetResultRenderTarget();
	ASSERT_NE(Second, First);
	EXPECT_EQ(Second->SizeX, 8);
	EXPECT_EQ(Second->SizeY, 2);
	TArray<FColor> Pixels;
	ASSERT_TRUE(Second->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	EXPECT_EQ(Pixels[0], FColor(0, 0, 0, 255)) << "a new result starts cleared to opaque black";
	ASSERT_TRUE(First->GameThread_GetRenderTargetResource()->ReadPixels(Pixels));
	EXPECT_EQ(Pixels[0], FColor(10, 20, 30, 255));
}

TEST_F(HCImageProcessorBatchTest, PreconditionsFailWithTheirCheckTexts)
{
	UHCColorize* Uninitialized = NewObject<UHCColorize>();
	Kept.Add(TStrongObjectPtr<UObject>(Uninitialized));
	EXPECT_CHECK_FAILS(RunBatch({Uninitialized}), "ResultRenderTarget");

	UHCImageTexture* Empty = Make<UHCImageTexture>();
	EXPECT_CHECK_FAILS(RunBatch({Empty}), "InputTexture");

	UHCColorize* WithoutInput = Make<UHCColorize>();
	EXPECT_CHECK_FAILS(RunBatch({WithoutInput}), "SlotToDependency.Num() == 1");
}

TEST_F(HCImageProcessorBatchTest, ABatchRunsInlineWhenRenderingIsNotThreaded)
{
	SetRenderingThreaded(false);
	UHCColorize* Colorize = Make<UHCColorize>();
	UHCImageTexture* Source = MakeUniformSource(FColor(200, 100, 50, 255));
	Colorize->SetDependency(Source, 0);
	FHCImageProcessorBatch::Run({Colorize});
	EXPECT_TRUE(Source->IsExecutedOnRenderThread()) << "the render half ran before Run returned";
	EXPECT_EQ(ReadResult(Colorize)[5], FColor(200, 100, 50, 255));
	SetRenderingThreaded(true);
}

TEST(HCImageProcessorReflectionTest, ScriptingOperationsAreInTheModulesCategory)
{
	const UClass* Class = UHCImageProcessor::StaticClass();
	ASSERT_EQ(Class->GetOwnFunctions().Num(), 2);
	for (const UFunction* Function : Class->GetOwnFunctions())
	{
		EXPECT_TRUE(Function->HasAnyFunctionFlags(FUNC_BlueprintCallable)) << *Function->GetName();
		EXPECT_EQ(Function->GetMetaData(FName(TEXT("Category"))), TEXT("Halcor")) << *Function->GetName();
	}
	EXPECT_NE(Class->FindFunctionByName(FName(TEXT("Initialize"))), nullptr);
	EXPECT_NE(Class->FindFunctionByName(FName(TEXT("GetResultRenderTarget"))), nullptr);
}
