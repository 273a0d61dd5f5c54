#include "Logging/LogCapture.h"
#include "RHIStaticStates.h"
#include "RHITestFixture.h"

#include <vector>

namespace
{
	// The test's positions grow downwards like its pixel rows; clip space is the engine's, +Y up.
	const char* const VertexShaderSource = R"(
float2 Offset;

void MainVS(float2 Position : ATTRIBUTE0, float4 Color : ATTRIBUTE1, out float4 OutColor : COLOR0, out float4 OutPosition : SV_Position)
{
	const float2 Down = Position + Offset;
	OutPosition = float4(Down.x, -Down.y, 0, 1);
	OutColor = Color;
}
)";

	const char* const PixelShaderSource = R"(
float4 Tint;

float4 MainPS(float4 Color : COLOR0) : SV_Target0
{
	return Color * Tint;
}
)";

	constexpr int32 TargetSize = 16;

	/** Pixel coordinates to normalized device coordinates of the 16 x 16 target. */
	float ToNdc(float Pixel)
	{
		return Pixel / TargetSize * 2.0f - 1.0f;
	}
}

class RHIRenderPassTest : public FRHITestFixture
{
protected:
	/** A render target filled with a pattern first, so a clear that did not happen shows. */
	FTextureRHIRef MakeTarget(const TCHAR* Name, EPixelFormat Format, const FClearValueBinding& ClearValue)
	{
		FTextureRHIRef Target = RHICmdList.CreateTexture(
			FRHITextureCreateDesc::Create2D(Name, TargetSize, TargetSize, Format).SetFlags(TexCreate_RenderTargetable).SetClearValue(ClearValue));
		std::vector<uint8> Garbage(TargetSize * TargetSize * 4);
		for (size_t Index = 0; Index < Garbage.size(); ++Index)
		{
			Garbage[Index] = uint8(Index * 37 + 11);
		}
		RHICmdList.UpdateTexture2D(Target, 0, FUpdateTextureRegion2D(0, 0, 0, 0, TargetSize, TargetSize), TargetSize * 4, Garbage.data());
		return Target;
	}

	TArray<FColor> Read(FRHITexture* Texture)
	{
		TArray<FColor> Colors;
		RHICmdList.ReadSurfaceData(Texture, FIntRect(), Colors, FReadSurfaceDataFlags());
		return Colors;
	}

	void ClearPass(FRHITexture* Target)
	{
		RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Target, ERenderTargetActions::Clear_Store), TEXT("Clear"));
		RHICmdList.EndRenderPass();
	}
};

TEST_F(RHIRenderPassTest, ClearStoreFillsTargetsWithTheirClearValues)
{
	struct FCase
	{
		const TCHAR* Name;
		EPixelFormat Format;
		FClearValueBinding ClearValue;
		FColor Expected;
	};
	const FCase Cases[] = {
		{TEXT("White"), PF_B8G8R8A8, FClearValueBinding::White, FColor(255, 255, 255, 255)},
		{TEXT("Black"), PF_B8G8R8A8, FClearValueBinding::Black, FColor(0, 0, 0, 255)},
		{TEXT("Transparent"), PF_B8G8R8A8, FClearValueBinding::Transparent, FColor(0, 0, 0, 0)},
		{TEXT("Custom"), PF_B8G8R8A8, FClearValueBinding(FLinearColor(0.2f, 0.4f, 0.6f, 0.8f)), FColor(51, 102, 153, 204)},
		{TEXT("CustomRgba"), PF_R8G8B8A8, FClearValueBinding(FLinearColor(1.0f, 0.2f, 0.0f, 0.4f)), FColor(255, 51, 0, 102)},
		{TEXT("Unbound"), PF_B8G8R8A8, FClearValueBinding::None, FColor(0, 0, 0, 0)},
	};
	for (const FCase& Case : Cases)
	{
		FTextureRHIRef Target = MakeTarget(Case.Name, Case.Format, Case.ClearValue);
		ClearPass(Target);
		const TArray<FColor> Colors = Read(Target);
		ASSERT_EQ(Colors.Num(), TargetSize * TargetSize);
		for (int32 Index = 0; Index < Colors.Num(); ++Index)
		{
			ASSERT_EQ(Colors[Index], Case.Expected) << Case.Name << " texel " << Index;
		}
	}

	// Loading keeps what is there.
	FTextureRHIRef Kept = MakeTarget(TEXT("Kept"), PF_B8G8R8A8, FClearValueBinding::White);
	const TArray<FColor> Before = Read(Kept);
	RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Kept, ERenderTargetActions::Load_Store), TEXT("Load"));
	RHICmdList.EndRenderPass();
	EXPECT_EQ(Read(Kept), Before);
}

TEST_F(RHIRenderPassTest, TriangleFromTwoVertexStreamsCoversExactlyTheTexelsInside)
{
	FVertexShaderRHIRef VertexShader
		= RHICreateVertexShader(TEXT("TriangleVS"), Compile("TriangleVS.usf", VertexShaderSource, "MainVS", EShaderStage::Vertex), TEXT("MainVS"));
	FPixelShaderRHIRef PixelShader
		= RHICreatePixelShader(TEXT("TrianglePS"), Compile("TrianglePS.usf", PixelShaderSource, "MainPS", EShaderStage::Pixel), TEXT("MainPS"));
	// Both stages have a "$Global" buffer at binding 0; each keeps its own.
	ASSERT_EQ(BindingOf(VertexShader, "$Global"), BindingOf(PixelShader, "$Global"));

	// The triangle (1, 1), (13, 1), (1, 12) in pixels; no texel centre lies on an edge. The
	// vertex shader adds Offset, 2 pixels right and 1 down, so the positions are given less it.
	const float OffsetNdc[2] = {2.0f / TargetSize * 2.0f, 1.0f / TargetSize * 2.0f};
	const float Corners[3][2] = {{1, 1}, {13, 1}, {1, 12}};
	float Positions[3][2];
	for (int32 Vertex = 0; Vertex < 3; ++Vertex)
	{
		Positions[Vertex][0] = ToNdc(Corners[Vertex][0]) - OffsetNdc[0];
		Positions[Vertex][1] = ToNdc(Corners[Vertex][1]) - OffsetNdc[1];
	}
	const float Colors[3][4] = {{0.2f, 0.4f, 1.0f, 1.0f}, {0.2f, 0.4f, 1.0f, 1.0f}, {0.2f, 0.4f, 1.0f, 1.0f}};
	FBufferRHIRef PositionBuffer = RHICmdList.CreateVertexBuffer(sizeof(Positions), BUF_Static, FRHIResourceCreateInfo(TEXT("Positions")));
	FBufferRHIRef ColorBuffer = RHICmdList.CreateVertexBuffer(sizeof(Colors), BUF_Static, FRHIResourceCreateInfo(TEXT("Colors")));
	std::memcpy(RHICmdList.LockBuffer(PositionBuffer, 0, sizeof(Positions), RLM_WriteOnly), Positions, sizeof(Positions));
	RHICmdList.UnlockBuffer(PositionBuffer);
	std::memcpy(RHICmdList.LockBuffer(ColorBuffer, 0, sizeof(Colors), RLM_WriteOnly), Colors, sizeof(Colors));
	RHICmdList.UnlockBuffer(ColorBuffer);

	FTextureRHIRef Target = MakeTarget(TEXT("Triangle"), PF_B8G8R8A8, FClearValueBinding(FLinearColor(0.2f, 0.0f, 0.0f, 1.0f)));
	RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Target, ERenderTargetActions::Clear_Store), TEXT("Triangle"));
	FGraphicsPipelineStateInitializer Pipeline;
	RHICmdList.ApplyCachedRenderTargets(Pipeline);
	EXPECT_EQ(Pipeline.RenderTargetsEnabled, 1u);
	EXPECT_EQ(Pipeline.RenderTargetFormats[0], PF_B8G8R8A8);
	Pipeline.BoundShaderState.VertexShaderRHI = VertexShader;
	Pipeline.BoundShaderState.PixelShaderRHI = PixelShader;
	Pipeline.BoundShaderState.VertexDeclarationRHI = PipelineStateCache::GetOrCreateVertexDeclaration(
		{FVertexElement(0, 0, VET_Float2, 0, sizeof(float) * 2), FVertexElement(1, 0, VET_Float4, 1, sizeof(float) * 4)});
	Pipeline.BlendState = TStaticBlendState<>::GetRHI();
	Pipeline.RasterizerState = TStaticRasterizerState<>::GetRHI();
	Pipeline.DepthStencilState = TStaticDepthStencilState<false, CF_Always>::GetRHI();
	SetGraphicsPipelineState(RHICmdList, Pipeline, 0);
	RHICmdList.SetStreamSource(0, PositionBuffer, 0);
	RHICmdList.SetStreamSource(1, ColorBuffer, 0);
	FRHIBatchedShaderParameters VertexParameters;
	SetLoose(VertexParameters, VertexShader, "Offset", OffsetNdc);
	RHICmdList.SetBatchedShaderParameters(VertexShader, VertexParameters);
	FRHIBatchedShaderParameters PixelParameters;
	const float Tint[4] = {1.0f, 0.5f, 1.0f, 1.0f};
	SetLoose(PixelParameters, PixelShader, "Tint", Tint);
	RHICmdList.SetBatchedShaderParameters(PixelShader, PixelParameters);
	RHICmdList.DrawPrimitive(0, 1, 1);
	RHICmdList.EndRenderPass();

	const TArray<FColor> Texels = Read(Target);
	ASSERT_EQ(Texels.Num(), TargetSize * TargetSize);
	int32 Covered = 0;
	for (int32 Y = 0; Y < TargetSize; ++Y)
	{
		for (int32 X = 0; X < TargetSize; ++X)
		{
			// Inside: right of x = 1, below y = 1 and above the line from (13, 1) to (1, 12).
			const float CentreX = X + 0.5f;
			const float CentreY = Y + 0.5f;
			const bool bInside = CentreX > 1 && CentreY > 1 && 11 * (CentreX - 1) + 12 * (CentreY - 1) < 132;
			Covered += bInside;
			ASSERT_EQ(Texels[Y * TargetSize + X], bInside ? FColor(51, 51, 255, 255) : FColor(51, 0, 0, 255)) << "texel (" << X << ", " << Y << ")";
		}
	}
	EXPECT_GT(Covered, 50);
}

TEST_F(RHIRenderPassTest, RenderPassMisuseFailsWithClearMessages)
{
	FTextureRHIRef Plain = MakeTexture(TEXT("NotATarget"), 8, 8, PF_B8G8R8A8, TexCreate_ShaderResource);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Plain, ERenderTargetActions::Clear_Store), TEXT("Bad")); }),
		"Texture 'NotATarget' was not created with TexCreate_RenderTargetable and cannot be a target of render pass 'Bad'");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.BeginRenderPass(FRHIRenderPassInfo(), TEXT("Empty")); }), "Render pass 'Empty' has no colour target");
	EXPECT_FALSE(RHICmdList.IsInsideRenderPass());

	FTextureRHIRef Target = MakeTarget(TEXT("Canvas"), PF_B8G8R8A8, FClearValueBinding::Black);
	FTextureRHIRef Other = MakeTexture(TEXT("Other"), 8, 8, PF_B8G8R8A8, TexCreate_ShaderResource);
	RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Target, ERenderTargetActions::Clear_Store), TEXT("Main"));
	ASSERT_TRUE(RHICmdList.IsInsideRenderPass());
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.DrawPrimitive(0, 1, 1); }),
		"DrawPrimitive in render pass 'Main' without a graphics pipeline (SetGraphicsPipelineState)");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CopyTexture(Plain, Other, FRHICopyTextureInfo()); }),
		"CopyTexture from 'NotATarget' to 'Other' inside render pass 'Main'; end the pass first");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Target, ERenderTargetActions::Load_Store), TEXT("Inner")); }),
		"BeginRenderPass 'Inner' while render pass 'Main' is open");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.Transition(FRHITransitionInfo(Other, ERHIAccess::Unknown, ERHIAccess::SRVGraphics)); }),
		"Transition inside render pass 'Main' needs texture 'Other' in SRVGraphics, but it is in Unknown; transition it before the pass");
	TArray<uint8> Bytes;
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.ReadTexture(Target, Bytes); }),
		"ReadTexture of 'Canvas' inside render pass 'Main'; end the pass first");
	RHICmdList.EndRenderPass();
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.EndRenderPass(); }), "EndRenderPass without an open render pass");
}

TEST_F(RHIRenderPassTest, ResourcesInTheWrongStateInsideAPassFailWhileReadyOnesDraw)
{
	FVertexShaderRHIRef VertexShader
		= RHICreateVertexShader(TEXT("TriangleVS"), Compile("TriangleVS.usf", VertexShaderSource, "MainVS", EShaderStage::Vertex), TEXT("MainVS"));
	FPixelShaderRHIRef PixelShader = RHICreatePixelShader(TEXT("TexturedPS"),
		Compile("TexturedPS.usf",
			"Texture2D<float4> Source;\n"
			"float4 MainPS(float4 Color : COLOR0, float4 Position : SV_Position) : SV_Target0 { return Source.Load(int3(Position.xy, 0)) * Color; }\n",
			"MainPS", EShaderStage::Pixel),
		TEXT("MainPS"));
	FTextureRHIRef Source = MakeTexture(TEXT("Source"), TargetSize, TargetSize, PF_B8G8R8A8, TexCreate_ShaderResource);
	const std::vector<uint8> Texels(TargetSize * TargetSize * 4, 0x80);
	RHICmdList.UpdateTexture2D(Source, 0, FUpdateTextureRegion2D(0, 0, 0, 0, TargetSize, TargetSize), TargetSize * 4, Texels.data());
	// One interleaved stream: a triangle over the whole target, position and colour per vertex.
	const float Vertices[3][6] = {{-1, -1, 1, 1, 1, 1}, {3, -1, 1, 1, 1, 1}, {-1, 3, 1, 1, 1, 1}};
	FBufferRHIRef VertexBuffer = RHICmdList.CreateVertexBuffer(sizeof(Vertices), BUF_Static, FRHIResourceCreateInfo(TEXT("Vertices")));
	std::memcpy(RHICmdList.LockBuffer(VertexBuffer, 0, sizeof(Vertices), RLM_WriteOnly), Vertices, sizeof(Vertices));
	RHICmdList.UnlockBuffer(VertexBuffer);
	FTextureRHIRef Target = MakeTarget(TEXT("Canvas"), PF_B8G8R8A8, FClearValueBinding::Black);

	const auto BeginAndSetPipeline = [&](EPixelFormat DeclaredFormat) {
		RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Target, ERenderTargetActions::Clear_Store), TEXT("Textured"));
		FGraphicsPipelineStateInitializer Pipeline;
		Pipeline.BoundShaderState.VertexShaderRHI = VertexShader;
		Pipeline.BoundShaderState.PixelShaderRHI = PixelShader;
		Pipeline.BoundShaderState.VertexDeclarationRHI = PipelineStateCache::GetOrCreateVertexDeclaration(
			{FVertexElement(0, 0, VET_Float2, 0, 24), FVertexElement(0, 8, VET_Float4, 1, 24)});
		Pipeline.RenderTargetsEnabled = 1;
		Pipeline.RenderTargetFormats[0] = DeclaredFormat;
		SetGraphicsPipelineState(RHICmdList, Pipeline, 0);
	};
	FRHIBatchedShaderParameters VertexParameters;
	const float NoOffset[2] = {0, 0};
	SetLoose(VertexParameters, VertexShader, "Offset", NoOffset);
	FRHIBatchedShaderParameters PixelParameters;
	PixelParameters.SetTexture(BindingOf(PixelShader, "Source"), Source);

	EXPECT_EQ(CheckMessageOf([&] { BeginAndSetPipeline(PF_R8G8B8A8); }),
		"The pipeline of 'TriangleVS' and 'TexturedPS' is for other render target formats than render pass 'Textured' has (ApplyCachedRenderTargets)");
	RHICmdList.EndRenderPass();

	// The upload left the texture a copy destination; no barrier can go inside the pass.
	BeginAndSetPipeline(PF_B8G8R8A8);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.SetBatchedShaderParameters(PixelShader, PixelParameters); }),
		"SetBatchedShaderParameters of 'TexturedPS' inside render pass 'Textured' needs texture 'Source' in SRVGraphics, but it is in CopyDest; "
		"transition it before the pass");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.DrawPrimitive(0, 1, 1); }),
		"DrawPrimitive: shader 'TriangleVS' parameter '$Global' (binding 0) has nothing bound");
	RHICmdList.EndRenderPass();

	RHICmdList.Transition(FRHITransitionInfo(Source, ERHIAccess::Unknown, ERHIAccess::SRVGraphics));
	BeginAndSetPipeline(PF_B8G8R8A8);
	RHICmdList.SetBatchedShaderParameters(VertexShader, VertexParameters);
	RHICmdList.SetBatchedShaderParameters(PixelShader, PixelParameters);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.DrawPrimitive(0, 1, 1); }),
		"DrawPrimitive in render pass 'Textured': vertex stream 0 has no buffer (SetStreamSource)");
	RHICmdList.SetStreamSource(0, VertexBuffer, 0);
	RHICmdList.DrawPrimitive(0, 1, 1);
	RHICmdList.EndRenderPass();

	const TArray<FColor> Colors = Read(Target);
	ASSERT_EQ(Colors.Num(), TargetSize * TargetSize);
	for (int32 Index = 0; Index < Colors.Num(); ++Index)
	{
		ASSERT_EQ(Colors[Index], FColor(0x80, 0x80, 0x80, 0x80)) << "texel " << Index;
	}
}

TEST_F(RHIRenderPassTest, AnOpenPassIsEndedAtSubmissionAndEventsSpanSubmissions)
{
	FTextureRHIRef Target = MakeTarget(TEXT("Left"), PF_B8G8R8A8, FClearValueBinding::White);
	RHICmdList.PushEvent(TEXT("Frame"));
	RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Target, ERenderTargetActions::Clear_Store), TEXT("Abandoned"));
	RHICmdList.PushEvent(TEXT("Inside"));
	{
		FLogCapture Capture;
		RHICmdList.SubmitCommandsAndFlushGPU();
		EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error), TArray<FString>{TEXT("Render pass 'Abandoned' was still open at submission; it is ended here")});
	}
	EXPECT_FALSE(RHICmdList.IsInsideRenderPass());
	EXPECT_EQ(Read(Target)[0], FColor(255, 255, 255, 255)) << "the work before the submission was kept";

	// "Frame" is still open: the next command buffer reopens it, and it closes there.
	ClearPass(Target);
	RHICmdList.PopEvent();
	RHICmdList.SubmitCommandsAndFlushGPU();
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.PopEvent(); }), "PopEvent without a matching PushEvent");
}

TEST_F(RHIRenderPassTest, BlendStatesWriteMasksAndScissorsShapeWhatADrawLeaves)
{
	FVertexShaderRHIRef VertexShader
		= RHICreateVertexShader(TEXT("TriangleVS"), Compile("TriangleVS.usf", VertexShaderSource, "MainVS", EShaderStage::Vertex), TEXT("MainVS"));
	FPixelShaderRHIRef PixelShader
		= RHICreatePixelShader(TEXT("TrianglePS"), Compile("TrianglePS.usf", PixelShaderSource, "MainPS", EShaderStage::Pixel), TEXT("MainPS"));
	// A triangle over the whole target in one interleaved stream, colour (0.2, 0.4, 0.6, 0).
	const float Vertices[3][6] = {{-1, -1, 0.2f, 0.4f, 0.6f, 0}, {3, -1, 0.2f, 0.4f, 0.6f, 0}, {-1, 3, 0.2f, 0.4f, 0.6f, 0}};
	FBufferRHIRef VertexBuffer = RHICmdList.CreateVertexBuffer(sizeof(Vertices), BUF_Static, FRHIResourceCreateInfo(TEXT("Vertices")));
	std::memcpy(RHICmdList.LockBuffer(VertexBuffer, 0, sizeof(Vertices), RLM_WriteOnly), Vertices, sizeof(Vertices));
	RHICmdList.UnlockBuffer(VertexBuffer);

	const auto Draw = [&](FRHITexture* Target, FRHIBlendState* Blend, bool bScissorLeftHalf) {
		RHICmdList.BeginRenderPass(FRHIRenderPassInfo(Target, ERenderTargetActions::Clear_Store), TEXT("Blend"));
		FGraphicsPipelineStateInitializer Pipeline;
		RHICmdList.ApplyCachedRenderTargets(Pipeline);
		Pipeline.BoundShaderState.VertexShaderRHI = VertexShader;
		Pipeline.BoundShaderState.PixelShaderRHI = PixelShader;
		Pipeline.BoundShaderState.VertexDeclarationRHI = PipelineStateCache::GetOrCreateVertexDeclaration(
			{FVertexElement(0, 0, VET_Float2, 0, 24), FVertexElement(0, 8, VET_Float4, 1, 24)});
		Pipeline.BlendState = Blend;
		SetGraphicsPipelineState(RHICmdList, Pipeline, 0);
		if (bScissorLeftHalf)
		{
			RHICmdList.SetScissorRect(true, 0, 0, TargetSize / 2, TargetSize);
		}
		RHICmdList.SetStreamSource(0, VertexBuffer, 0);
		FRHIBatchedShaderParameters VertexParameters;
		const float NoOffset[2] = {0, 0};
		SetLoose(VertexParameters, VertexShader, "Offset", NoOffset);
		RHICmdList.SetBatchedShaderParameters(VertexShader, VertexParameters);
		FRHIBatchedShaderParameters PixelParameters;
		const float Tint[4] = {1, 1, 1, 1};
		SetLoose(PixelParameters, PixelShader, "Tint", Tint);
		RHICmdList.SetBatchedShaderParameters(PixelShader, PixelParameters);
		RHICmdList.DrawPrimitive(0, 1, 1);
		RHICmdList.EndRenderPass();
		return Read(Target);
	};
	const FClearValueBinding Clear(FLinearColor(0.2f, 0.0f, 0.4f, 1.0f));

	FTextureRHIRef Added = MakeTarget(TEXT("Added"), PF_B8G8R8A8, Clear);
	const TArray<FColor> AddedTexels = Draw(Added, TStaticBlendState<CW_RGBA, BO_Add, BF_One, BF_One, BO_Add, BF_One, BF_One>::GetRHI(), false);
	EXPECT_EQ(AddedTexels[0], FColor(102, 102, 255, 255)) << "source plus destination, the blue saturating";

	FTextureRHIRef Masked = MakeTarget(TEXT("Masked"), PF_B8G8R8A8, Clear);
	const TArray<FColor> MaskedTexels = Draw(Masked, TStaticBlendState<CW_GREEN>::GetRHI(), false);
	EXPECT_EQ(MaskedTexels[0], FColor(51, 102, 102, 255)) << "only green is written";

	FTextureRHIRef Scissored = MakeTarget(TEXT("Scissored"), PF_B8G8R8A8, Clear);
	const TArray<FColor> ScissoredTexels = Draw(Scissored, nullptr, true);
	for (int32 X = 0; X < TargetSize; ++X)
	{
		EXPECT_EQ(ScissoredTexels[5 * TargetSize + X], X < TargetSize / 2 ? FColor(51, 102, 153, 0) : FColor(51, 0, 102, 255)) << "column " << X;
	}
}
