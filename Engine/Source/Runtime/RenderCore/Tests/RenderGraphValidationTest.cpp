#include "RenderCoreTestEnvironment.h"
#include "RenderCoreTestShaders.h"
#include "RenderGraphBuilder.h"
#include "RenderGraphUtils.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using RenderCoreTest::CheckMessageOf;

namespace
{
	BEGIN_SHADER_PARAMETER_STRUCT(FTwoTargetParameters, )
		SHADER_PARAMETER_RDG_TEXTURE(Texture2D, Input)
		RENDER_TARGET_BINDING_SLOTS()
	END_SHADER_PARAMETER_STRUCT()

	FRDGTextureDesc Desc(ETextureCreateFlags Flags, FIntPoint Extent = FIntPoint(8, 8), FClearValueBinding ClearValue = FClearValueBinding::Black)
	{
		return FRDGTextureDesc::Create2D(Extent, PF_B8G8R8A8, ClearValue, Flags);
	}

	constexpr ETextureCreateFlags Everything = TexCreate_UAV | TexCreate_ShaderResource | TexCreate_RenderTargetable;
}

/** Set-up checks; the game thread is the rendering thread (rendering not threaded), so builders are made here. */
class RenderGraphValidationTest : public FRenderGraphTest
{
protected:
	void SetUp() override
	{
		FRenderGraphTest::SetUp();
		SetRenderingThreaded(false);
		Builder.emplace(FRHICommandListImmediate::Get());
	}

	void TearDown() override
	{
		Builder.reset();
		SetRenderingThreaded(true);
		FRenderGraphTest::TearDown();
	}

	FRDGBuilder& GraphBuilder() { return *Builder; }

	std::optional<FRDGBuilder> Builder;

	/** A texture some pass has written, so that later passes may read it. */
	FRDGTextureRef Written(const TCHAR* Name, ETextureCreateFlags Flags = Everything)
	{
		FRDGTextureRef Texture = GraphBuilder().CreateTexture(Desc(Flags), Name);
		FTwoTargetParameters* Parameters = GraphBuilder().AllocParameters<FTwoTargetParameters>();
		Parameters->RenderTargets[0] = FRenderTargetBinding(Texture, ERenderTargetLoadAction::EClear);
		GraphBuilder().AddPass(RDG_EVENT_NAME("Write %s", Name), Parameters, ERDGPassFlags::Raster, [](FRHICommandList&) {});
		return Texture;
	}

	template <typename ParametersType>
	std::string AddPassMessage(const ParametersType* Parameters, ERDGPassFlags Flags, const char* Name = "Checked")
	{
		const int32 PassesBefore = GraphBuilder().GetPasses().Num();
		std::string Message = CheckMessageOf([&] { GraphBuilder().AddPass(FRDGEventName(TEXT("%s"), Name), Parameters, Flags, [](FRHICommandList&) {}); });
		EXPECT_EQ(GraphBuilder().GetPasses().Num(), PassesBefore + (Message == "no failure" ? 1 : 0)) << "a failed AddPass adds nothing";
		return Message;
	}
};

TEST_F(RenderGraphValidationTest, ParameterStructsMustComeFromThisBuilder)
{
	EXPECT_EQ(AddPassMessage(static_cast<const FPatternCS::FParameters*>(nullptr), ERDGPassFlags::Compute),
		"FRDGBuilder::AddPass: 'Checked' has no parameter struct");
	FPatternCS::FParameters OnTheStack;
	EXPECT_EQ(AddPassMessage(&OnTheStack, ERDGPassFlags::Compute),
		"FRDGBuilder::AddPass: The parameter struct of 'Checked' was not made by this builder's AllocParameters, so it may not live until Execute");
	FRDGBuilder OtherBuilder(FRHICommandListImmediate::Get());
	EXPECT_EQ(AddPassMessage(OtherBuilder.AllocParameters<FPatternCS::FParameters>(), ERDGPassFlags::Compute),
		"FRDGBuilder::AddPass: The parameter struct of 'Checked' was not made by this builder's AllocParameters, so it may not live until Execute");
	EXPECT_EQ(AddPassMessage(GraphBuilder().AllocParameters<FPatternCS::FParameters>(), ERDGPassFlags::Compute | ERDGPassFlags::Copy),
		"FRDGBuilder::AddPass: 'Checked' is flagged as more than one of Raster, Compute, AsyncCompute and Copy");
	EXPECT_EQ(AddPassMessage(GraphBuilder().AllocParameters<FPatternCS::FParameters>(), ERDGPassFlags::Compute), "no failure")
		<< "a struct of this builder with nothing set is a valid, empty pass";
}

TEST_F(RenderGraphValidationTest, ViewsNeedTheTextureFlagsForThem)
{
	FRDGTextureRef ReadOnly = GraphBuilder().CreateTexture(Desc(TexCreate_ShaderResource), TEXT("ReadOnly"));
	FRDGTextureRef WriteOnly = GraphBuilder().CreateTexture(Desc(TexCreate_UAV), TEXT("WriteOnly"));
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().CreateUAV(ReadOnly); }),
		"FRDGBuilder::CreateUAV: 'ReadOnly' was made without TexCreate_UAV, so shaders cannot write it");
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().CreateSRV(WriteOnly); }),
		"FRDGBuilder::CreateSRV: 'WriteOnly' was made without TexCreate_ShaderResource, so shaders cannot read it");
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().CreateSRV(FRDGTextureSRVDesc::CreateForMipLevel(ReadOnly, 1)); }),
		"FRDGBuilder::CreateSRV: 'ReadOnly' has 1 mips; there is no mip 1");
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().CreateUAV(static_cast<FRDGTextureRef>(nullptr)); }), "FRDGBuilder::CreateUAV: No texture");
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().CreateTexture(Desc(Everything, FIntPoint(0, 4)), TEXT("Empty")); }),
		"FRDGBuilder::CreateTexture: 'Empty' has extent 0 x 4; a texture is at least 1 x 1");
	EXPECT_NE(GraphBuilder().CreateUAV(WriteOnly), nullptr);
	EXPECT_NE(GraphBuilder().CreateSRV(ReadOnly), nullptr);

	FSampleCS::FParameters* Parameters = GraphBuilder().AllocParameters<FSampleCS::FParameters>();
	Parameters->Input = Written(TEXT("NotReadable"), TexCreate_RenderTargetable);
	EXPECT_EQ(AddPassMessage(Parameters, ERDGPassFlags::Compute),
		"FRDGBuilder::AddPass: 'Checked' reads 'NotReadable' (member Input), which was made without TexCreate_ShaderResource");
}

TEST_F(RenderGraphValidationTest, RenderTargetsMustBeRenderableBoundFromSlotZeroAndOfOneExtent)
{
	const auto Targets = [this](FRDGTextureRef First, FRDGTextureRef Second) {
		FTwoTargetParameters* Parameters = GraphBuilder().AllocParameters<FTwoTargetParameters>();
		Parameters->RenderTargets[0] = FRenderTargetBinding(First, ERenderTargetLoadAction::ENoAction);
		Parameters->RenderTargets[1] = FRenderTargetBinding(Second, ERenderTargetLoadAction::ENoAction);
		return Parameters;
	};
	FRDGTextureRef Renderable = GraphBuilder().CreateTexture(Desc(Everything), TEXT("Renderable"));
	FRDGTextureRef NotRenderable = GraphBuilder().CreateTexture(Desc(TexCreate_UAV), TEXT("NotRenderable"));
	FRDGTextureRef Smaller = GraphBuilder().CreateTexture(Desc(Everything, FIntPoint(4, 8)), TEXT("Smaller"));
	FRDGTextureRef NoClearValue = GraphBuilder().CreateTexture(Desc(Everything, FIntPoint(8, 8), FClearValueBinding::None), TEXT("NoClearValue"));

	EXPECT_EQ(AddPassMessage(Targets(Renderable, NotRenderable), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' renders to 'NotRenderable', which was made without TexCreate_RenderTargetable");
	EXPECT_EQ(AddPassMessage(Targets(Renderable, Renderable), ERDGPassFlags::Compute),
		"FRDGBuilder::AddPass: 'Checked' binds render target 'Renderable' but is not an ERDGPassFlags::Raster pass");
	EXPECT_EQ(AddPassMessage(Targets(Renderable, Smaller), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' renders to 'Smaller' of 4 x 8 and to a first target of 8 x 8");
	EXPECT_EQ(AddPassMessage(Targets(Renderable, Renderable), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' binds 'Renderable' to more than one render target slot");
	EXPECT_EQ(AddPassMessage(Targets(Renderable, GraphBuilder().CreateTexture(Desc(Everything), TEXT("SecondTarget"))), ERDGPassFlags::Raster),
		"no failure");

	FTwoTargetParameters* Gap = GraphBuilder().AllocParameters<FTwoTargetParameters>();
	Gap->RenderTargets[1] = FRenderTargetBinding(Renderable, ERenderTargetLoadAction::ENoAction);
	EXPECT_EQ(AddPassMessage(Gap, ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' binds 'Renderable' to render target slot 1 after an empty slot; bind from slot 0 without gaps");
	EXPECT_EQ(AddPassMessage(GraphBuilder().AllocParameters<FTwoTargetParameters>(), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: The raster pass 'Checked' has no render target in RenderTargets[0]");

	FTwoTargetParameters* Cleared = GraphBuilder().AllocParameters<FTwoTargetParameters>();
	Cleared->RenderTargets[0] = FRenderTargetBinding(NoClearValue, ERenderTargetLoadAction::EClear);
	EXPECT_EQ(AddPassMessage(Cleared, ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' clears 'NoClearValue', whose desc has no clear value (FClearValueBinding)");
}

TEST_F(RenderGraphValidationTest, DepthTargetsMustBeDepthTexturesOfTheColourExtentWithAColourTarget)
{
	const auto DepthDesc = [](FIntPoint Extent, ETextureCreateFlags Flags, FClearValueBinding ClearValue) {
		return FRDGTextureDesc::Create2D(Extent, PF_DepthStencil, ClearValue, Flags);
	};
	const auto WithDepth = [this](FRDGTextureRef Color, FRDGTextureRef Depth, ERenderTargetLoadAction DepthLoad) {
		FTwoTargetParameters* Parameters = GraphBuilder().AllocParameters<FTwoTargetParameters>();
		if (Color)
		{
			Parameters->RenderTargets[0] = FRenderTargetBinding(Color, ERenderTargetLoadAction::ENoAction);
		}
		Parameters->RenderTargets.DepthStencil = FDepthStencilBinding(Depth, DepthLoad);
		return Parameters;
	};
	FRDGTextureRef Color = GraphBuilder().CreateTexture(Desc(Everything), TEXT("Color"));
	FRDGTextureRef Depth = GraphBuilder().CreateTexture(DepthDesc(FIntPoint(8, 8), TexCreate_DepthStencilTargetable, FClearValueBinding::DepthOne), TEXT("Depth"));
	FRDGTextureRef Smaller = GraphBuilder().CreateTexture(DepthDesc(FIntPoint(4, 4), TexCreate_DepthStencilTargetable, FClearValueBinding::DepthOne), TEXT("Smaller"));
	FRDGTextureRef ColourClear = GraphBuilder().CreateTexture(DepthDesc(FIntPoint(8, 8), TexCreate_DepthStencilTargetable, FClearValueBinding::Black), TEXT("ColourClear"));

	EXPECT_EQ(AddPassMessage(WithDepth(Color, Color, ERenderTargetLoadAction::ENoAction), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' tests depth in 'Color', which was made without TexCreate_DepthStencilTargetable");
	EXPECT_EQ(AddPassMessage(WithDepth(Color, Smaller, ERenderTargetLoadAction::EClear), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' has the depth target 'Smaller' of 4 x 4 and colour targets of 8 x 8");
	EXPECT_EQ(AddPassMessage(WithDepth(Color, ColourClear, ERenderTargetLoadAction::EClear), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' clears 'ColourClear', whose desc has no depth clear value (FClearValueBinding)");
	EXPECT_EQ(AddPassMessage(WithDepth(Color, Depth, ERenderTargetLoadAction::ELoad), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' loads depth target 'Depth' before any pass wrote it; its contents would be undefined");
	EXPECT_EQ(AddPassMessage(WithDepth(nullptr, Depth, ERenderTargetLoadAction::EClear), ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' binds a depth target without a colour target");
	EXPECT_EQ(AddPassMessage(WithDepth(Color, Depth, ERenderTargetLoadAction::EClear), ERDGPassFlags::Raster), "no failure");
	// The clearing pass wrote it, so a later pass may load it.
	EXPECT_EQ(AddPassMessage(WithDepth(Color, Depth, ERenderTargetLoadAction::ELoad), ERDGPassFlags::Raster), "no failure");
}

TEST_F(RenderGraphValidationTest, TransientResourcesAreWrittenBeforeTheyAreReadAndNotBothInOnePass)
{
	FRDGTextureRef Fresh = GraphBuilder().CreateTexture(Desc(Everything), TEXT("Fresh"));
	FInvertCS::FParameters* ReadsFresh = GraphBuilder().AllocParameters<FInvertCS::FParameters>();
	ReadsFresh->Input = GraphBuilder().CreateSRV(Fresh);
	EXPECT_EQ(AddPassMessage(ReadsFresh, ERDGPassFlags::Compute),
		"FRDGBuilder::AddPass: 'Checked' reads 'Fresh' before any pass wrote it; its contents would be undefined");

	FTwoTargetParameters* LoadsFresh = GraphBuilder().AllocParameters<FTwoTargetParameters>();
	LoadsFresh->RenderTargets[0] = FRenderTargetBinding(Fresh, ERenderTargetLoadAction::ELoad);
	EXPECT_EQ(AddPassMessage(LoadsFresh, ERDGPassFlags::Raster),
		"FRDGBuilder::AddPass: 'Checked' loads render target 'Fresh' before any pass wrote it; its contents would be undefined");

	// A pass that fails on its second member leaves the first member's texture unwritten.
	FInvertCS::FParameters* FailsLate = GraphBuilder().AllocParameters<FInvertCS::FParameters>();
	FailsLate->Output = GraphBuilder().CreateUAV(Fresh);
	FailsLate->Input = GraphBuilder().CreateSRV(GraphBuilder().CreateTexture(Desc(Everything), TEXT("AlsoFresh")));
	EXPECT_NE(AddPassMessage(FailsLate, ERDGPassFlags::Compute), "no failure");
	EXPECT_EQ(AddPassMessage(ReadsFresh, ERDGPassFlags::Compute),
		"FRDGBuilder::AddPass: 'Checked' reads 'Fresh' before any pass wrote it; its contents would be undefined");

	FPatternCS::FParameters* WritesFresh = GraphBuilder().AllocParameters<FPatternCS::FParameters>();
	WritesFresh->Output = GraphBuilder().CreateUAV(Fresh);
	EXPECT_EQ(AddPassMessage(WritesFresh, ERDGPassFlags::Compute), "no failure");
	EXPECT_EQ(AddPassMessage(ReadsFresh, ERDGPassFlags::Compute), "no failure") << "written by an earlier pass now";

	FInvertCS::FParameters* ReadsAndWrites = GraphBuilder().AllocParameters<FInvertCS::FParameters>();
	ReadsAndWrites->Input = GraphBuilder().CreateSRV(Fresh);
	ReadsAndWrites->Output = GraphBuilder().CreateUAV(Fresh);
	const std::string Message = AddPassMessage(ReadsAndWrites, ERDGPassFlags::Compute);
	EXPECT_TRUE(Message.starts_with("FRDGBuilder::AddPass: 'Checked' uses 'Fresh' in two ways at once")) << Message;

	FRDGBufferRef Unfilled = GraphBuilder().CreateBuffer(FRDGBufferDesc::CreateStructuredDesc(8, 4), TEXT("Unfilled"));
	FBufferReadCS::FParameters* ReadsUnfilled = GraphBuilder().AllocParameters<FBufferReadCS::FParameters>();
	ReadsUnfilled->Values = GraphBuilder().CreateSRV(Unfilled);
	EXPECT_EQ(AddPassMessage(ReadsUnfilled, ERDGPassFlags::Compute),
		"FRDGBuilder::AddPass: 'Checked' reads 'Unfilled' before anything filled it; its contents would be undefined");
	GraphBuilder().QueueBufferUpload(Unfilled, nullptr, 0);
	EXPECT_EQ(AddPassMessage(ReadsUnfilled, ERDGPassFlags::Compute), "no failure") << "an upload of nothing zeroes the buffer";
}

TEST_F(RenderGraphValidationTest, BufferUploadsMustFitAndHappenOnce)
{
	const int32 Data[4] = {1, 2, 3, 4};
	FRDGBufferRef Buffer = GraphBuilder().CreateBuffer(FRDGBufferDesc::CreateStructuredDesc(4, 3), TEXT("Small"));
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().QueueBufferUpload(Buffer, Data, sizeof(Data)); }),
		"FRDGBuilder::QueueBufferUpload: 16 bytes do not fit the 12 bytes of 'Small'");
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().QueueBufferUpload(Buffer, nullptr, 4); }), "FRDGBuilder::QueueBufferUpload: No data for the 4 bytes of 'Small'");
	GraphBuilder().QueueBufferUpload(Buffer, Data, 12);
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().QueueBufferUpload(Buffer, Data, 4); }), "FRDGBuilder::QueueBufferUpload: 'Small' has an upload queued already");
	EXPECT_EQ(CheckMessageOf([&] { CreateStructuredBuffer(GraphBuilder(), TEXT("NoRoom"), 4, 0, Data, 4); }),
		"CreateStructuredBuffer: 4 bytes of data do not fit 'NoRoom', 0 elements of 4 bytes");
	EXPECT_EQ(CheckMessageOf([&] { CreateStructuredBuffer(GraphBuilder(), TEXT("Zero"), 0, 4, nullptr, 0); }),
		"CreateStructuredBuffer: 'Zero' has elements of 0 bytes");
}

TEST_F(RenderGraphValidationTest, CopiesNeedTwoTexturesOfOneTexelSizeAndARegionInsideBoth)
{
	FRDGTextureRef Source = Written(TEXT("Source"));
	FRDGTextureRef Destination = GraphBuilder().CreateTexture(Desc(Everything, FIntPoint(4, 4)), TEXT("Destination"));
	FRDGTextureRef Grey = GraphBuilder().CreateTexture(FRDGTextureDesc::Create2D(FIntPoint(8, 8), PF_G8, FClearValueBinding::Black, Everything), TEXT("Grey"));
	EXPECT_EQ(CheckMessageOf([&] { AddCopyTexturePass(GraphBuilder(), Source, Source); }),
		"AddCopyTexturePass: 'Source' is both the source and the destination of the copy");
	EXPECT_EQ(CheckMessageOf([&] { AddCopyTexturePass(GraphBuilder(), Source, Grey); }),
		"AddCopyTexturePass: 'Source' has 4 bytes per texel and 'Grey' 1; a copy keeps the bytes of each texel");
	EXPECT_EQ(CheckMessageOf([&] { AddCopyTexturePass(GraphBuilder(), Source, Destination); }),
		"AddCopyTexturePass: 8 x 8 texels from (0, 0) of 'Source' to (0, 0) of 'Destination' do not lie inside both textures")
		<< "the whole 8 x 8 source does not fit 4 x 4";
	FRHICopyTextureInfo Corner;
	Corner.Size = FIntVector(4, 4, 1);
	Corner.SourcePosition = FIntVector(4, 4, 0);
	EXPECT_EQ(CheckMessageOf([&] { AddCopyTexturePass(GraphBuilder(), Source, Destination, Corner); }), "no failure");
	Corner.DestPosition = FIntVector(1, 0, 0);
	EXPECT_EQ(CheckMessageOf([&] { AddCopyTexturePass(GraphBuilder(), Source, Destination, Corner); }),
		"AddCopyTexturePass: 4 x 4 texels from (4, 4) of 'Source' to (1, 0) of 'Destination' do not lie inside both textures");
	EXPECT_EQ(CheckMessageOf([&] { AddCopyTexturePass(GraphBuilder(), Destination, Source, FRHICopyTextureInfo()); }), "no failure")
		<< "the destination was written by the copy before";
	EXPECT_EQ(CheckMessageOf([&] { AddCopyTexturePass(GraphBuilder(), GraphBuilder().CreateTexture(Desc(Everything), TEXT("Unwritten")), Source); }),
		"FRDGBuilder::AddPass: 'CopyTexture(Unwritten -> Source)' reads 'Unwritten' before any pass wrote it; its contents would be undefined");
}

TEST_F(RenderGraphValidationTest, AGraphExecutesOnceOnTheRenderingThread)
{
	FRDGTextureRef Texture = Written(TEXT("Transient"));
	EXPECT_EQ(CheckMessageOf([&] { Texture->GetRHI(); }),
		"FRDGTexture: 'Transient' has no RHI texture here; a transient texture has one only while its graph executes");
	GraphBuilder().Execute();
	EXPECT_EQ(CheckMessageOf([&] { Texture->GetRHI(); }),
		"FRDGTexture: 'Transient' has no RHI texture here; a transient texture has one only while its graph executes")
		<< "given back to the pool after Execute";
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().Execute(); }), "FRDGBuilder::Execute: The graph has executed already; a graph executes once");
	EXPECT_EQ(CheckMessageOf([&] { GraphBuilder().AddPass(RDG_EVENT_NAME("Late"), ERDGPassFlags::None, [](FRHICommandList&) {}); }),
		"FRDGBuilder::AddPass: 'Late' is added after the graph executed; it would never run");

	SetRenderingThreaded(true);
	EXPECT_EQ(CheckMessageOf([] { FRDGBuilder OffThread(FRHICommandListImmediate::Get()); }),
		"FRDGBuilder: A render graph is built on the rendering thread only (inside a render command)");
	EXPECT_EQ(CheckMessageOf([this] { GraphBuilder().Execute(); }), "FRDGBuilder::Execute: A render graph executes on the rendering thread only");
}

TEST_F(RenderGraphValidationTest, GroupCountsRoundUpAndRejectImpossibleSizes)
{
	EXPECT_EQ(FComputeShaderUtils::GetGroupCount(0, 8), FIntVector(0, 1, 1));
	EXPECT_EQ(FComputeShaderUtils::GetGroupCount(8, 8), FIntVector(1, 1, 1));
	EXPECT_EQ(FComputeShaderUtils::GetGroupCount(9, 8), FIntVector(2, 1, 1));
	EXPECT_EQ(FComputeShaderUtils::GetGroupCount(FIntPoint(4096, 17), 8), FIntVector(512, 3, 1));
	EXPECT_EQ(FComputeShaderUtils::GetGroupCount(FIntVector(5, 6, 7), FIntVector(2, 3, 4)), FIntVector(3, 2, 2));
	EXPECT_EQ(FComputeShaderUtils::GetGroupCount(FIntVector(5, 6, 7), 4), FIntVector(2, 2, 2));
	EXPECT_EQ(FComputeShaderUtils::GetGroupCount(MAX_int32, 1 << 30), FIntVector(2, 1, 1)) << "no overflow at the top of the range";
	EXPECT_EQ(CheckMessageOf([] { FComputeShaderUtils::GetGroupCount(4, 0); }),
		"FComputeShaderUtils::GetGroupCount: A group of 0 threads; groups hold at least one");
	EXPECT_EQ(CheckMessageOf([] { FComputeShaderUtils::GetGroupCount(-1, 8); }),
		"FComputeShaderUtils::GetGroupCount: -1 threads; the count cannot be negative");

	FPatternCS::FParameters* Parameters = GraphBuilder().AllocParameters<FPatternCS::FParameters>();
	TShaderMapRef<FPatternCS> Shader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
	EXPECT_EQ(CheckMessageOf([&] { FComputeShaderUtils::AddPass(GraphBuilder(), RDG_EVENT_NAME("Negative"), Shader, Parameters, FIntVector(1, -1, 1)); }),
		"FComputeShaderUtils: FPatternCS is dispatched with 1 x -1 x 1 groups");
	EXPECT_EQ(CheckMessageOf([&] {
		FComputeShaderUtils::AddPass(GraphBuilder(), RDG_EVENT_NAME("Raster"), ERDGPassFlags::Raster, Shader, Parameters, FIntVector(1, 1, 1));
	}),
		"FComputeShaderUtils::AddPass: 'Raster' is a dispatch, so its flags are Compute or AsyncCompute");
	EXPECT_TRUE(GraphBuilder().GetPasses().IsEmpty());
}
