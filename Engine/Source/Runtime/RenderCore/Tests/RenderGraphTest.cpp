#include "CoreGlobals.h"
#include "PipelineStateCache.h"
#include "ProfilingDebugging/RealtimeGPUProfiler.h"
#include "RHIStaticStates.h"
#include "RenderCommandFailure.h"
#include "RenderCoreTestEnvironment.h"
#include "RenderCoreTestShaders.h"
#include "RenderGraphBuilder.h"
#include "RenderGraphUtils.h"
#include "RenderTargetPool.h"
#include "Stats/Stats.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

DECLARE_GPU_STAT(RenderCoreTestStat);
DECLARE_GPU_STAT_NAMED(RenderCoreTestNamed, TEXT("Render Core Test Named"));

namespace
{
	/** Texels of Actual that differ from Expected(X, Y), as "(X, Y): actual vs expected" lines (at most ten). */
	template <typename ExpectedType>
	std::string Mismatches(const TArray<FColor>& Actual, FIntPoint Extent, ExpectedType&& Expected)
	{
		if (Actual.Num() != Extent.X * Extent.Y)
		{
			return "read " + std::to_string(Actual.Num()) + " texels";
		}
		std::string Report;
		int32 Count = 0;
		for (int32 Y = 0; Y < Extent.Y; ++Y)
		{
			for (int32 X = 0; X < Extent.X; ++X)
			{
				const FColor Want = Expected(X, Y);
				const FColor Got = Actual[Y * Extent.X + X];
				if (Got != Want && ++Count <= 10)
				{
					Report += "(" + std::to_string(X) + ", " + std::to_string(Y) + "): " + Describe(Got) + " vs " + Describe(Want) + "\n";
				}
			}
		}
		return Report;
	}

	FRDGTextureDesc TransientDesc(FIntPoint Extent, ETextureCreateFlags Flags = TexCreate_UAV | TexCreate_ShaderResource)
	{
		return FRDGTextureDesc::Create2D(Extent, PF_B8G8R8A8, FClearValueBinding::Black, Flags);
	}

	/** Adds a pattern pass writing Texture that records the RHI texture behind it when it runs. */
	void AddCapturingPatternPass(FRDGBuilder& GraphBuilder, FRDGTextureRef Texture, FRHITexture*& OutCaptured)
	{
		TShaderMapRef<FPatternCS> Shader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
		FPatternCS::FParameters* Parameters = GraphBuilder.AllocParameters<FPatternCS::FParameters>();
		Parameters->Output = GraphBuilder.CreateUAV(Texture);
		GraphBuilder.AddPass(RDG_EVENT_NAME("Capture %s", Texture->GetName()), Parameters, ERDGPassFlags::Compute,
			[Parameters, Shader, &OutCaptured](FRHIComputeCommandList& RHICmdList) {
				OutCaptured = Parameters->Output->GetParent()->GetRHI();
				FComputeShaderUtils::Dispatch(RHICmdList, Shader, *Parameters, FIntVector(1, 1, 1));
			});
	}
}

class RenderGraphModeTest : public FRenderGraphTest, public ::testing::WithParamInterface<bool>
{
protected:
	void SetUp() override
	{
		FRenderGraphTest::SetUp();
		SetRenderingThreaded(GetParam());
	}

	void TearDown() override
	{
		SetRenderingThreaded(true);
		FRenderGraphTest::TearDown();
	}
};

TEST_P(RenderGraphModeTest, AComputePassWritesItsPatternIntoAnExternalTexture)
{
	const FIntPoint Extent(13, 7);
	FTextureRHIRef Target = MakeTexture(TEXT("PatternTarget"), Extent, TexCreate_UAV | TexCreate_ShaderResource);
	std::thread::id RanOn;
	Render([&](FRHICommandListImmediate& RHICmdList) {
		RanOn = std::this_thread::get_id();
		FRDGBuilder GraphBuilder(RHICmdList);
		FRDGTextureRef Output = GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Target, TEXT("PatternTarget")));
		FPatternCS::FParameters* Parameters = GraphBuilder.AllocParameters<FPatternCS::FParameters>();
		Parameters->Output = GraphBuilder.CreateUAV(Output);
		TShaderMapRef<FPatternCS> Shader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
		const FIntVector Groups = FComputeShaderUtils::GetGroupCount(Extent, FIntPoint(FPatternCS::GroupSizeX, int32(FPatternCS::GroupSizeY)));
		EXPECT_EQ(Groups, FIntVector(2, 2, 1));
		FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("Pattern"), ERDGPassFlags::Compute, Shader, Parameters, Groups);
		GraphBuilder.Execute();
	});
	EXPECT_EQ(RanOn == std::this_thread::get_id(), !GetParam()) << "threaded on the render thread, inline on the game thread";
	EXPECT_EQ(Mismatches(ReadTexels(Target), Extent, &FPatternCS::Expected), "");
}

INSTANTIATE_TEST_SUITE_P(Rendering, RenderGraphModeTest, ::testing::Values(true, false),
	[](const ::testing::TestParamInfo<bool>& Info) { return Info.param ? "Threaded" : "Inline"; });

using RenderGraphTest = FRenderGraphTest;

TEST_F(RenderGraphTest, PassesOfOneGraphSeeEachOthersResultsThroughViewsAndACopy)
{
	const FIntPoint Extent(16, 9);
	FTextureRHIRef Result = MakeTexture(TEXT("ChainResult"), Extent, TexCreate_ShaderResource);
	FTextureRHIRef Unregistered = MakeTexture(TEXT("Unregistered"), Extent, TexCreate_ShaderResource);
	TArray<FString> PassNames;
	Render([&](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		FGlobalShaderMap* ShaderMap = GetGlobalShaderMap(GMaxRHIFeatureLevel);
		FRDGTextureRef Pattern = GraphBuilder.CreateTexture(TransientDesc(Extent), TEXT("Pattern"));
		FRDGTextureRef Inverted = GraphBuilder.CreateTexture(TransientDesc(Extent), TEXT("Inverted"));
		FRDGTextureRef Sampled = GraphBuilder.CreateTexture(TransientDesc(Extent), TEXT("Sampled"));
		FRDGTextureRef Output = GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Result, TEXT("ChainResult")), TEXT("ChainResult"));
		TRefCountPtr<IPooledRenderTarget> SecondWrapper = CreateRenderTarget(Result, TEXT("Again"));
		EXPECT_EQ(GraphBuilder.RegisterExternalTexture(SecondWrapper, TEXT("Again")), Output) << "one RHI texture, one graph texture";
		EXPECT_STREQ(Output->GetName(), "ChainResult");
		EXPECT_EQ(GraphBuilder.FindExternalTexture(Result.GetReference()), Output);
		EXPECT_EQ(GraphBuilder.FindExternalTexture(SecondWrapper.GetReference()), Output);
		EXPECT_EQ(GraphBuilder.FindExternalTexture(static_cast<FRHITexture*>(nullptr)), nullptr);
		EXPECT_EQ(GraphBuilder.FindExternalTexture(Unregistered.GetReference()), nullptr);
		const FIntVector Groups = FComputeShaderUtils::GetGroupCount(Extent, FComputeShaderUtils::kGolden2DGroupSize);

		FPatternCS::FParameters* PatternParameters = GraphBuilder.AllocParameters<FPatternCS::FParameters>();
		PatternParameters->Output = GraphBuilder.CreateUAV(Pattern);
		FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("Pattern"), TShaderMapRef<FPatternCS>(ShaderMap), PatternParameters,
			FComputeShaderUtils::GetGroupCount(Extent, FIntPoint(FPatternCS::GroupSizeX, int32(FPatternCS::GroupSizeY))));

		FInvertCS::FParameters* InvertParameters = GraphBuilder.AllocParameters<FInvertCS::FParameters>();
		InvertParameters->Input = GraphBuilder.CreateSRV(FRDGTextureSRVDesc::Create(Pattern));
		InvertParameters->Output = GraphBuilder.CreateUAV(FRDGTextureUAVDesc(Inverted));
		FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("Invert"), TShaderMapRef<FInvertCS>(ShaderMap), InvertParameters, Groups);

		FSampleCS::FParameters* SampleParameters = GraphBuilder.AllocParameters<FSampleCS::FParameters>();
		SampleParameters->Input = Inverted;
		SampleParameters->InputSampler = TStaticSamplerState<SF_Point, AM_Clamp, AM_Clamp, AM_Clamp>::GetRHI();
		SampleParameters->Output = GraphBuilder.CreateUAV(Sampled);
		FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("Sample"), TShaderMapRef<FSampleCS>(ShaderMap), SampleParameters, Groups);

		AddCopyTexturePass(GraphBuilder, Sampled, Output);
		for (FRDGPassRef Pass : GraphBuilder.GetPasses())
		{
			PassNames.Add(FString(Pass->GetName()));
		}
		GraphBuilder.Execute();
	});
	EXPECT_EQ(FString::Join(PassNames, TEXT(", ")), TEXT("Pattern, Invert, Sample, CopyTexture(Sampled -> ChainResult)"));
	EXPECT_EQ(Mismatches(ReadTexels(Result), Extent,
				  [](int32 X, int32 Y) {
					  const FColor Pattern = FPatternCS::Expected(X, Y);
					  return FColor(255 - Pattern.R, 255 - Pattern.G, 255 - Pattern.B, 255 - Pattern.A);
				  }),
		"");
}

TEST_F(RenderGraphTest, LooseParametersArriveAtTheOffsetsTheShaderDeclares)
{
	const FIntPoint Extent(8, 1);
	FTextureRHIRef Target = MakeTexture(TEXT("LooseTarget"), Extent, TexCreate_UAV | TexCreate_ShaderResource);
	Render([&](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		FLooseParametersCS::FParameters* Parameters = GraphBuilder.AllocParameters<FLooseParametersCS::FParameters>();
		Parameters->Float2Value = FVector2f(51, 102) / 255.0f;
		Parameters->Float4Value = FVector4f(10 / 255.0f, 20 / 255.0f, 30 / 255.0f, 40 / 255.0f);
		Parameters->Int4Value = FIntVector4(1, 2, 3, 250);
		Parameters->UintValue = 77;
		Parameters->FloatValue = 88 / 255.0f;
		Parameters->IntValue = 99;
		Parameters->Int2Value = FIntPoint(5, 6);
		Parameters->Float3Value = FVector3f(11, 22, 33) / 255.0f;
		Parameters->ColorValue = FLinearColor(44 / 255.0f, 55 / 255.0f, 66 / 255.0f, 77 / 255.0f);
		Parameters->Uint4Value = FUintVector4(7, 8, 9, 10);
		Parameters->UnusedValue = FVector4f(1, 1, 1, 1);
		Parameters->Output = GraphBuilder.CreateUAV(GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Target, TEXT("LooseTarget"))));
		FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("Loose"), TShaderMapRef<FLooseParametersCS>(GetGlobalShaderMap(GMaxRHIFeatureLevel)),
			Parameters, FIntVector(1, 1, 1));
		GraphBuilder.Execute();
	});
	const FColor Expected[] = {FColor(51, 102, 0, 255), FColor(10, 20, 30, 40), FColor(1, 2, 3, 250), FColor(77, 88, 99, 255),
		FColor(5, 6, 0, 255), FColor(11, 22, 33, 255), FColor(44, 55, 66, 77), FColor(7, 8, 9, 10)};
	EXPECT_EQ(Mismatches(ReadTexels(Target), Extent, [&Expected](int32 X, int32) { return Expected[X]; }), "");
}

TEST_F(RenderGraphTest, StructuredBuffersBindWithTheirDataAndAnEmptyOneAsOneZeroedElement)
{
	const FIntPoint Extent(8, 2);
	FTextureRHIRef Target = MakeTexture(TEXT("BufferTarget"), Extent, TexCreate_UAV | TexCreate_ShaderResource);
	for (const ERDGInitialDataFlags Flags : {ERDGInitialDataFlags::None, ERDGInitialDataFlags::NoCopy})
	{
		const bool bCopied = Flags == ERDGInitialDataFlags::None;
		SCOPED_TRACE(bCopied ? "copied data" : "data read at Execute");
		int32 Values[5][2] = {{10, 20}, {30, 40}, {50, 60}, {70, 80}, {90, 100}};
		Render([&](FRHICommandListImmediate& RHICmdList) {
			FRDGBuilder GraphBuilder(RHICmdList);
			FRDGBufferRef ValueBuffer = CreateStructuredBuffer(GraphBuilder, TEXT("Values"), sizeof(Values[0]), 5, Values, sizeof(Values), Flags);
			FRDGBufferRef EmptyBuffer = CreateStructuredBuffer(GraphBuilder, TEXT("EmptyValues"), sizeof(Values[0]), 0, nullptr, 0);
			EXPECT_EQ(EmptyBuffer->Desc.NumElements, 1u);
			// A copy keeps what was queued; without one the builder reads the values as they are at Execute.
			for (int32 Index = 0; Index < 5; ++Index)
			{
				Values[Index][0] += 1;
			}

			FBufferReadCS::FParameters* Parameters = GraphBuilder.AllocParameters<FBufferReadCS::FParameters>();
			Parameters->Values = GraphBuilder.CreateSRV(ValueBuffer);
			Parameters->EmptyValues = GraphBuilder.CreateSRV(FRDGBufferSRVDesc(EmptyBuffer));
			Parameters->NumValues = 5;
			Parameters->Output = GraphBuilder.CreateUAV(GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Target, TEXT("BufferTarget"))));
			FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("ReadBuffers"),
				TShaderMapRef<FBufferReadCS>(GetGlobalShaderMap(GMaxRHIFeatureLevel)), Parameters, FIntVector(1, 1, 1));
			GraphBuilder.Execute();
		});
		const TArray<FColor> Texels = ReadTexels(Target);
		ASSERT_EQ(Texels.Num(), Extent.X * Extent.Y);
		for (int32 Index = 0; Index < 5; ++Index)
		{
			const int32 First = 10 + 20 * Index + (bCopied ? 0 : 1);
			EXPECT_EQ(Describe(Texels[Index]), Describe(FColor(uint8(First), uint8(20 + 20 * Index), 0, 255))) << "element " << Index;
		}
		EXPECT_EQ(Describe(Texels[Extent.X]), Describe(FColor(0, 0, 1, 8))) << "the empty buffer: element 0 zeroed, 1 element of 8 bytes";
	}
}

TEST_F(RenderGraphTest, ARasterPassClearsItsTargetAndDrawsATriangle)
{
	const FIntPoint Extent(8, 8);
	const FLinearColor ClearColor(0.4f, 0.8f, 0.2f, 1.0f);
	FTextureRHIRef Target =
		MakeTexture(TEXT("RasterTarget"), Extent, TexCreate_RenderTargetable | TexCreate_ShaderResource, FClearValueBinding(ClearColor));
	// Pixel positions; symmetric about the middle row, so the result does not depend on which way Y points.
	const FVector2f Corners[3] = {FVector2f(0.0f, 0.0f), FVector2f(0.0f, 8.0f), FVector2f(6.6f, 4.0f)};
	Render([&](FRHICommandListImmediate& RHICmdList) {
		std::vector<uint8> Stale(size_t(Extent.X) * Extent.Y * 4, 0x11);
		RHICmdList.UpdateTexture2D(Target, 0, FUpdateTextureRegion2D(0, 0, 0, 0, Extent.X, Extent.Y), Extent.X * 4, Stale.data());

		FBufferRHIRef Vertices = RHICmdList.CreateVertexBuffer(sizeof(Corners), BUF_Static | BUF_VertexBuffer, FRHIResourceCreateInfo(TEXT("Triangle")));
		FVector2f* Mapped = static_cast<FVector2f*>(RHICmdList.LockBuffer(Vertices, 0, sizeof(Corners), RLM_WriteOnly));
		for (int32 Index = 0; Index < 3; ++Index)
		{
			Mapped[Index] = FVector2f(Corners[Index].X / Extent.X * 2.0f - 1.0f, Corners[Index].Y / Extent.Y * 2.0f - 1.0f);
		}
		RHICmdList.UnlockBuffer(Vertices);

		FRDGBuilder GraphBuilder(RHICmdList);
		FGlobalShaderMap* ShaderMap = GetGlobalShaderMap(GMaxRHIFeatureLevel);
		TShaderMapRef<FTriangleVS> VertexShader(ShaderMap);
		TShaderMapRef<FTrianglePS> PixelShader(ShaderMap);
		FTrianglePS::FParameters* Parameters = GraphBuilder.AllocParameters<FTrianglePS::FParameters>();
		Parameters->Color = FLinearColor(1.0f, 0.6f, 0.0f, 1.0f);
		Parameters->RenderTargets[0] =
			FRenderTargetBinding(GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Target, TEXT("RasterTarget"))), ERenderTargetLoadAction::EClear);
		GraphBuilder.AddPass(RDG_EVENT_NAME("Triangle"), Parameters, ERDGPassFlags::Raster,
			[Parameters, VertexShader, PixelShader, Vertices](FRHICommandList& RHICmdList) {
				FGraphicsPipelineStateInitializer Initializer;
				RHICmdList.ApplyCachedRenderTargets(Initializer);
				Initializer.BoundShaderState.VertexDeclarationRHI =
					PipelineStateCache::GetOrCreateVertexDeclaration({FVertexElement(0, 0, VET_Float2, 0, sizeof(FVector2f))});
				Initializer.BoundShaderState.VertexShaderRHI = VertexShader.GetVertexShader();
				Initializer.BoundShaderState.PixelShaderRHI = PixelShader.GetPixelShader();
				Initializer.PrimitiveType = PT_TriangleList;
				SetGraphicsPipelineState(RHICmdList, Initializer, 0);
				SetShaderParameters(RHICmdList, PixelShader, PixelShader.GetPixelShader(), *Parameters);
				RHICmdList.SetStreamSource(0, Vertices, 0);
				RHICmdList.DrawPrimitive(0, 1, 1);
			});
		GraphBuilder.Execute();
	});

	const auto Inside = [&Corners](float X, float Y) {
		const auto Edge = [X, Y](const FVector2f& A, const FVector2f& B) { return (B.X - A.X) * (Y - A.Y) - (B.Y - A.Y) * (X - A.X); };
		const float E0 = Edge(Corners[0], Corners[1]);
		const float E1 = Edge(Corners[1], Corners[2]);
		const float E2 = Edge(Corners[2], Corners[0]);
		return (E0 > 0 && E1 > 0 && E2 > 0) || (E0 < 0 && E1 < 0 && E2 < 0);
	};
	int32 Covered = 0;
	const std::string Report = Mismatches(ReadTexels(Target), Extent, [&](int32 X, int32 Y) {
		const bool bInside = Inside(X + 0.5f, Y + 0.5f);
		Covered += bInside ? 1 : 0;
		return bInside ? FColor(255, 153, 0, 255) : FColor(102, 204, 51, 255);
	});
	EXPECT_EQ(Report, "");
	EXPECT_EQ(Covered, 26) << "the triangle covers 1 + 2 + 4 + 6 texels in each half";
}

TEST_F(RenderGraphTest, ADepthTargetKeepsWhatOnePassWroteForTheNextThatLoadsIt)
{
	const FIntPoint Extent(8, 8);
	FTextureRHIRef Target = MakeTexture(TEXT("DepthColor"), Extent, TexCreate_RenderTargetable | TexCreate_ShaderResource, FClearValueBinding::Black);
	// The triangle of the raster test, then the whole target as two triangles; all at depth 0.
	const FVector2f Corners[9] = {FVector2f(0.0f, 0.0f), FVector2f(0.0f, 8.0f), FVector2f(6.6f, 4.0f), FVector2f(0, 0), FVector2f(8, 0),
		FVector2f(8, 8), FVector2f(0, 0), FVector2f(8, 8), FVector2f(0, 8)};
	Render([&](FRHICommandListImmediate& RHICmdList) {
		FBufferRHIRef Vertices = RHICmdList.CreateVertexBuffer(sizeof(Corners), BUF_Static | BUF_VertexBuffer, FRHIResourceCreateInfo(TEXT("Corners")));
		FVector2f* Mapped = static_cast<FVector2f*>(RHICmdList.LockBuffer(Vertices, 0, sizeof(Corners), RLM_WriteOnly));
		for (int32 Index = 0; Index < 9; ++Index)
		{
			Mapped[Index] = FVector2f(Corners[Index].X / Extent.X * 2.0f - 1.0f, Corners[Index].Y / Extent.Y * 2.0f - 1.0f);
		}
		RHICmdList.UnlockBuffer(Vertices);

		FRDGBuilder GraphBuilder(RHICmdList);
		FGlobalShaderMap* ShaderMap = GetGlobalShaderMap(GMaxRHIFeatureLevel);
		TShaderMapRef<FTriangleVS> VertexShader(ShaderMap);
		TShaderMapRef<FTrianglePS> PixelShader(ShaderMap);
		FRDGTextureRef Color = GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Target, TEXT("DepthColor")));
		FRDGTextureRef Depth = GraphBuilder.CreateTexture(
			FRDGTextureDesc::Create2D(Extent, PF_DepthStencil, FClearValueBinding::DepthOne, TexCreate_DepthStencilTargetable), TEXT("Depth"));
		// The first pass clears depth to 1 and draws the triangle red at 0; the second loads both
		// and draws the whole target green where its depth 0 is less than what is there.
		const FLinearColor Colors[2] = {FLinearColor(1, 0, 0, 1), FLinearColor(0, 1, 0, 1)};
		for (int32 Pass = 0; Pass < 2; ++Pass)
		{
			const ERenderTargetLoadAction Load = Pass == 0 ? ERenderTargetLoadAction::EClear : ERenderTargetLoadAction::ELoad;
			FTrianglePS::FParameters* Parameters = GraphBuilder.AllocParameters<FTrianglePS::FParameters>();
			Parameters->Color = Colors[Pass];
			Parameters->RenderTargets[0] = FRenderTargetBinding(Color, Load);
			Parameters->RenderTargets.DepthStencil = FDepthStencilBinding(Depth, Load);
			GraphBuilder.AddPass(RDG_EVENT_NAME("Depth%d", Pass), Parameters, ERDGPassFlags::Raster,
				[Parameters, VertexShader, PixelShader, Vertices, Pass](FRHICommandList& RHICmdList) {
					FGraphicsPipelineStateInitializer Initializer;
					RHICmdList.ApplyCachedRenderTargets(Initializer);
					Initializer.DepthStencilState = TStaticDepthStencilState<true, CF_Less>::GetRHI();
					Initializer.BoundShaderState.VertexDeclarationRHI =
						PipelineStateCache::GetOrCreateVertexDeclaration({FVertexElement(0, 0, VET_Float2, 0, sizeof(FVector2f))});
					Initializer.BoundShaderState.VertexShaderRHI = VertexShader.GetVertexShader();
					Initializer.BoundShaderState.PixelShaderRHI = PixelShader.GetPixelShader();
					Initializer.PrimitiveType = PT_TriangleList;
					SetGraphicsPipelineState(RHICmdList, Initializer, 0);
					SetShaderParameters(RHICmdList, PixelShader, PixelShader.GetPixelShader(), *Parameters);
					RHICmdList.SetStreamSource(0, Vertices, 0);
					RHICmdList.DrawPrimitive(Pass == 0 ? 0 : 3, Pass == 0 ? 1 : 2, 1);
				});
		}
		GraphBuilder.Execute();
	});

	const auto Inside = [&Corners](float X, float Y) {
		const auto Edge = [X, Y](const FVector2f& A, const FVector2f& B) { return (B.X - A.X) * (Y - A.Y) - (B.Y - A.Y) * (X - A.X); };
		const float E0 = Edge(Corners[0], Corners[1]);
		const float E1 = Edge(Corners[1], Corners[2]);
		const float E2 = Edge(Corners[2], Corners[0]);
		return (E0 > 0 && E1 > 0 && E2 > 0) || (E0 < 0 && E1 < 0 && E2 < 0);
	};
	EXPECT_EQ(Mismatches(ReadTexels(Target), Extent, [&](int32 X, int32 Y) { return Inside(X + 0.5f, Y + 0.5f) ? FColor(255, 0, 0) : FColor(0, 255, 0); }),
		"");
}

TEST_F(RenderGraphTest, PassesRecordTheirEventPathsAndGPUStatsAndRunInOrderAtExecute)
{
	const FCycleStat* ExecuteStat = FCycleStat::Find(FString(TEXT("STAT_RDG_Execute")));
	const int64 ExecutesBefore = ExecuteStat ? ExecuteStat->GetCallCount() : 0;
	const int64 StatBefore = GPUStat_RenderCoreTestStat.GetNumPasses();
	const int64 NamedBefore = GPUStat_RenderCoreTestNamed.GetNumPasses();
	std::vector<std::string> Ran;
	TArray<FString> Paths;
	TArray<const FGPUStat*> Stats;
	Render([&](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList, RDG_EVENT_NAME("Events"));
		const auto Add = [&GraphBuilder, &Ran](const char* Name) {
			GraphBuilder.AddPass(FRDGEventName(TEXT("%s"), Name), ERDGPassFlags::None, [&Ran, Name](FRHICommandListImmediate&) { Ran.push_back(Name); });
		};
		{
			RDG_EVENT_SCOPE(GraphBuilder, "Outer %d", 1);
			RDG_GPU_STAT_SCOPE(GraphBuilder, RenderCoreTestStat);
			Add("First");
			{
				RDG_EVENT_SCOPE(GraphBuilder, "Inner");
				RDG_GPU_STAT_SCOPE(GraphBuilder, RenderCoreTestNamed);
				Add("Second");
			}
			Add("Third");
		}
		Add("Fourth");
		EXPECT_TRUE(Ran.empty()) << "passes run at Execute, not when added";
		for (FRDGPassRef Pass : GraphBuilder.GetPasses())
		{
			Paths.Add(Pass->GetEventPath());
			Stats.Add(Pass->GetGPUStat());
		}
		EXPECT_STREQ(GraphBuilder.GetName(), "Events");
		GraphBuilder.Execute();

		FRDGBuilder Discarded(RHICmdList);
		Discarded.AddPass(RDG_EVENT_NAME("Discarded"), ERDGPassFlags::None, [&Ran](FRHICommandListImmediate&) { Ran.push_back("Discarded"); });
	});
	EXPECT_EQ(FString::Join(Paths, TEXT(", ")), TEXT("Outer 1/First, Outer 1/Inner/Second, Outer 1/Third, Fourth"));
	EXPECT_EQ(Ran, (std::vector<std::string>{"First", "Second", "Third", "Fourth"})) << "a builder destroyed without Execute runs nothing";
	ASSERT_EQ(Stats.Num(), 4);
	EXPECT_EQ(Stats[0], &GPUStat_RenderCoreTestStat);
	EXPECT_EQ(Stats[1], &GPUStat_RenderCoreTestNamed);
	EXPECT_EQ(Stats[2], &GPUStat_RenderCoreTestStat);
	EXPECT_EQ(Stats[3], nullptr);
	EXPECT_EQ(GPUStat_RenderCoreTestStat.GetNumPasses() - StatBefore, 2);
	EXPECT_EQ(GPUStat_RenderCoreTestNamed.GetNumPasses() - NamedBefore, 1);
	EXPECT_EQ(GPUStat_RenderCoreTestNamed.GetDisplayName(), TEXT("Render Core Test Named"));
	EXPECT_EQ(GPUStat_RenderCoreTestStat.GetDisplayName(), TEXT("RenderCoreTestStat"));
	ExecuteStat = FCycleStat::Find(FString(TEXT("STAT_RDG_Execute")));
	ASSERT_NE(ExecuteStat, nullptr);
	EXPECT_EQ(ExecuteStat->GetCallCount() - ExecutesBefore, 1);
	EXPECT_EQ(ExecuteStat->GetCounterName(), TEXT("RDG Execute"));
}

TEST_F(RenderGraphTest, TransientTexturesComeBackFromThePoolAndUnusedOnesAreReleased)
{
	const FIntPoint Extent(16, 16);
	FRHITexture* First = nullptr;
	FRHITexture* Second = nullptr;
	FRHITexture* Third = nullptr;
	FRHITexture* Later = nullptr;
	FRHITexture* Other = nullptr;
	int32 ElementsAfterFirst = 0;
	FTextureRHIRef Result = MakeTexture(TEXT("PoolResult"), Extent, TexCreate_ShaderResource);
	Render([&](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		FRDGTextureRef FirstTexture = GraphBuilder.CreateTexture(TransientDesc(Extent), TEXT("First"));
		AddCapturingPatternPass(GraphBuilder, FirstTexture, First);
		AddCapturingPatternPass(GraphBuilder, GraphBuilder.CreateTexture(TransientDesc(Extent), TEXT("Second")), Second);
		// First is still read here, so Second cannot have shared it; after this pass it is free again.
		AddCopyTexturePass(GraphBuilder, FirstTexture, GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Result, TEXT("PoolResult"))));
		AddCapturingPatternPass(GraphBuilder, GraphBuilder.CreateTexture(TransientDesc(Extent), TEXT("Third")), Third);
		GraphBuilder.Execute();
		ElementsAfterFirst = GRenderTargetPool.GetElementCount();
	});
	ASSERT_NE(First, nullptr);
	EXPECT_NE(First, Second) << "textures in use at the same time never share";
	EXPECT_EQ(Third, First) << "a texture made after another's last pass takes it";
	// One group of the pattern shader wrote First: the copy must hold that group's texels.
	const TArray<FColor> Copied = ReadTexels(Result);
	int32 Wrong = 0;
	for (int32 Y = 0; Y < int32(FPatternCS::GroupSizeY); ++Y)
	{
		for (int32 X = 0; X < int32(FPatternCS::GroupSizeX); ++X)
		{
			Wrong += Copied[Y * Extent.X + X] != FPatternCS::Expected(X, Y);
		}
	}
	EXPECT_EQ(Wrong, 0) << "the copy read First before Third overwrote it";

	int32 ElementsAfterSecond = 0;
	Render([&](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		AddCapturingPatternPass(GraphBuilder, GraphBuilder.CreateTexture(TransientDesc(Extent), TEXT("Later")), Later);
		AddCapturingPatternPass(GraphBuilder, GraphBuilder.CreateTexture(TransientDesc(Extent, TexCreate_UAV), TEXT("Other")), Other);
		GraphBuilder.Execute();
		ElementsAfterSecond = GRenderTargetPool.GetElementCount();
	});
	EXPECT_EQ(Later, First) << "the next graph gets the same texture for the same desc";
	EXPECT_NE(Other, First);
	EXPECT_NE(Other, Second);
	EXPECT_EQ(ElementsAfterSecond, ElementsAfterFirst + 1) << "only the new desc made a texture";

	const auto RunEmptyGraphs = [](int32 Count) {
		Render([Count](FRHICommandListImmediate& RHICmdList) {
			for (int32 Index = 0; Index < Count; ++Index)
			{
				FRDGBuilder GraphBuilder(RHICmdList);
				GraphBuilder.Execute();
			}
		});
	};
	const auto TakeAndReturn = [&Extent](FRHITexture** OutTexture) {
		bool bReused = false;
		Render([&](FRHICommandListImmediate& RHICmdList) {
			TRefCountPtr<IPooledRenderTarget> Element;
			bReused = GRenderTargetPool.FindFreeElement(RHICmdList, TransientDesc(Extent), Element, TEXT("Taken"));
			if (OutTexture)
			{
				*OutTexture = Element->GetRHI();
			}
		});
		return bReused;
	};
	constexpr int32 Ticks = int32(FRenderTargetPool::UnusedTicksBeforeRelease);
	RunEmptyGraphs(Ticks - 1);
	FRHITexture* Taken = nullptr;
	EXPECT_TRUE(TakeAndReturn(&Taken)) << "still pooled after one graph less than the limit";
	EXPECT_EQ(Taken, First);

	FRHITexture* Last = nullptr;
	Render([&](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		AddCapturingPatternPass(GraphBuilder, GraphBuilder.CreateTexture(TransientDesc(Extent), TEXT("Last")), Last);
		GraphBuilder.Execute();
	});
	EXPECT_EQ(Last, First);
	RunEmptyGraphs(Ticks);
	EXPECT_FALSE(TakeAndReturn(nullptr)) << "released once UnusedTicksBeforeRelease graphs in a row did not take it";
}

TEST_F(RenderGraphTest, AFailedCheckInPassSetUpIsRaisedAtTheFlushAndRenderingGoesOn)
{
	ENQUEUE_RENDER_COMMAND(BadSetUp)([](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		FRDGTextureRef Texture = GraphBuilder.CreateTexture(TransientDesc(FIntPoint(4, 4), TexCreate_ShaderResource), TEXT("NoUAV"));
		GraphBuilder.CreateUAV(Texture);
		ADD_FAILURE() << "CreateUAV of a texture without TexCreate_UAV went through";
	});
	try
	{
		FlushRenderingCommands();
		ADD_FAILURE() << "no failure raised";
	}
	catch (const FRenderCommandFailure& Failure)
	{
		EXPECT_EQ(Failure.GetCommandName(), "BadSetUp");
		EXPECT_EQ(Failure.GetMessage(), "FRDGBuilder::CreateUAV: 'NoUAV' was made without TexCreate_UAV, so shaders cannot write it");
		EXPECT_TRUE(std::string(Failure.what()).starts_with("Render command 'BadSetUp' failed: ")) << Failure.what();
	}

	const FIntPoint Extent(5, 3);
	FTextureRHIRef Target = MakeTexture(TEXT("AfterFailure"), Extent, TexCreate_UAV | TexCreate_ShaderResource);
	Render([&](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		FPatternCS::FParameters* Parameters = GraphBuilder.AllocParameters<FPatternCS::FParameters>();
		Parameters->Output = GraphBuilder.CreateUAV(GraphBuilder.RegisterExternalTexture(CreateRenderTarget(Target, TEXT("AfterFailure"))));
		FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("Pattern"), TShaderMapRef<FPatternCS>(GetGlobalShaderMap(GMaxRHIFeatureLevel)),
			Parameters, FIntVector(1, 1, 1));
		GraphBuilder.Execute();
	});
	EXPECT_EQ(Mismatches(ReadTexels(Target), Extent, &FPatternCS::Expected), "");
}

TEST_F(RenderGraphTest, APassBodyThatFailsInsideARenderPassLeavesTheCommandListAndPoolUsable)
{
	const FIntPoint Extent(4, 4);
	FRHITexture* Used = nullptr;
	ENQUEUE_RENDER_COMMAND(FailingBody)([&](FRHICommandListImmediate& RHICmdList) {
		FRDGBuilder GraphBuilder(RHICmdList);
		FRDGTextureRef Target = GraphBuilder.CreateTexture(TransientDesc(Extent, TexCreate_RenderTargetable | TexCreate_ShaderResource), TEXT("Failing"));
		FTrianglePS::FParameters* Parameters = GraphBuilder.AllocParameters<FTrianglePS::FParameters>();
		Parameters->RenderTargets[0] = FRenderTargetBinding(Target, ERenderTargetLoadAction::EClear);
		{
			RDG_EVENT_SCOPE(GraphBuilder, "Open Scope");
			GraphBuilder.AddPass(RDG_EVENT_NAME("Fails"), Parameters, ERDGPassFlags::Raster, [&Used, Target](FRHICommandList& RHICmdList) {
				Used = Target->GetRHI();
				checkf(!RHICmdList.IsInsideRenderPass(), TEXT("Failing inside the render pass"));
			});
		}
		GraphBuilder.Execute();
	});
	EXPECT_THROW(FlushRenderingCommands(), FRenderCommandFailure);
	ASSERT_NE(Used, nullptr);

	FRHITexture* Again = nullptr;
	bool bInsideRenderPass = true;
	Render([&](FRHICommandListImmediate& RHICmdList) {
		bInsideRenderPass = RHICmdList.IsInsideRenderPass();
		FRDGBuilder GraphBuilder(RHICmdList);
		FRDGTextureRef Target = GraphBuilder.CreateTexture(TransientDesc(Extent, TexCreate_RenderTargetable | TexCreate_ShaderResource), TEXT("Again"));
		FTrianglePS::FParameters* Parameters = GraphBuilder.AllocParameters<FTrianglePS::FParameters>();
		Parameters->RenderTargets[0] = FRenderTargetBinding(Target, ERenderTargetLoadAction::EClear);
		GraphBuilder.AddPass(RDG_EVENT_NAME("Clears"), Parameters, ERDGPassFlags::Raster, [&Again, Target](FRHICommandList&) { Again = Target->GetRHI(); });
		GraphBuilder.Execute();
	});
	EXPECT_FALSE(bInsideRenderPass) << "the failed graph closed its render pass";
	EXPECT_EQ(Again, Used) << "the failed graph gave its texture back to the pool";
}

TEST_F(RenderGraphTest, TheGPUWorkACommandRecordsIsSubmittedWhenTheCommandEnds)
{
	// A texture released by a command is destroyed once the GPU work recorded up to then has
	// finished, which the RHI learns at a submission; the next command sees it gone only if the
	// render thread submitted the first command's upload into it when that command ended.
	FRHIMemoryStats Before;
	FRHIMemoryStats During;
	FRHIMemoryStats After;
	ENQUEUE_RENDER_COMMAND(RecordsWork)([&](FRHICommandListImmediate& RHICmdList) {
		RHICmdList.SubmitCommandsAndFlushGPU();
		Before = GetRHIMemoryStats();
		FTextureRHIRef Texture = RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(TEXT("Recorded"), 64, 64, PF_B8G8R8A8));
		std::vector<uint8> Texels(64 * 64 * 4, 0x5A);
		RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 64, 64), 64 * 4, Texels.data());
		During = GetRHIMemoryStats();
	});
	ENQUEUE_RENDER_COMMAND(LooksAfterwards)([&](FRHICommandListImmediate&) { After = GetRHIMemoryStats(); });
	FlushRenderingCommands();
	EXPECT_GT(During.AllocatedBytes, Before.AllocatedBytes);
	EXPECT_LT(After.AllocatedBytes, During.AllocatedBytes) << "the texture was destroyed before the next command ran";
	EXPECT_GT(After.PooledBytes, During.PooledBytes) << "its memory went back to the RHI's pool";
}

TEST_F(RenderGraphTest, AtExitTheRenderThreadFinishesItsGraphsBeforeTheRHIShutsDownAndLeavesItNothingHeld)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	const auto EnqueueGraph = [](int32 Index) {
		ENQUEUE_RENDER_COMMAND(GraphAtExit)([Index](FRHICommandListImmediate& RHICmdList) {
			FRDGBuilder GraphBuilder(RHICmdList);
			FRDGTextureRef Texture = GraphBuilder.CreateTexture(TransientDesc(FIntPoint(8 + Index, 8)), TEXT("AtExit"));
			FPatternCS::FParameters* Parameters = GraphBuilder.AllocParameters<FPatternCS::FParameters>();
			Parameters->Output = GraphBuilder.CreateUAV(Texture);
			FComputeShaderUtils::AddPass(GraphBuilder, RDG_EVENT_NAME("AtExit"), TShaderMapRef<FPatternCS>(GetGlobalShaderMap(GMaxRHIFeatureLevel)),
				Parameters, FIntVector(2, 2, 1));
			GraphBuilder.Execute();
		});
	};
	// Exit handlers run last registered first: the RHI's (registered when the first graph starts
	// it) runs before the marker, which shows that nothing was logged after the last graph: no
	// resource was left for the RHI's shutdown to report. The validation layer stays off here:
	// statics it makes lazily after the RHI has started are destroyed before the RHI's exit
	// handler runs, so GPU work drained at exit crashes inside the layer.
	EXPECT_EXIT(
		{
			alarm(30); // a hang at exit fails the test instead of hanging it
			setenv("VORPEX_RHI_VALIDATION", "0", 1);
			std::atexit([] { std::fprintf(stderr, "process exit done\n"); });
			EnqueueGraph(0);
			FlushRenderingCommands();
			for (int32 Index = 1; Index < 4; ++Index)
			{
				EnqueueGraph(Index);
			}
			ENQUEUE_RENDER_COMMAND(LastCommand)([](FRHICommandListImmediate&) {
				std::fprintf(stderr, "last graph ran, %d textures pooled\n", GRenderTargetPool.GetElementCount());
			});
			std::exit(5);
		},
		::testing::ExitedWithCode(5), "last graph ran, 4 textures pooled\nprocess exit done\n");
}
