#include "RHIStaticStates.h"
#include "RHITestFixture.h"

#include <cstring>
#include <vector>

namespace
{
	// Positions are given with rows growing downwards, as the test's pixels; clip space is +Y up.
	const char* const DepthVertexShaderSource = R"(
void MainVS(float3 Position : ATTRIBUTE0, out float4 OutPosition : SV_Position)
{
	OutPosition = float4(Position.x, -Position.y, Position.z, 1);
}
)";

	const char* const DepthPixelShaderSource = R"(
float4 Tint;

float4 MainPS() : SV_Target0
{
	return Tint;
}
)";

	constexpr int32 TargetSize = 16;

	/** A rectangle of pixels [X0, X1) × [Y0, Y1) at one depth, as two triangles. */
	std::vector<float> MakeRectangle(float X0, float Y0, float X1, float Y1, float Depth)
	{
		auto Ndc = [](float Pixel) { return Pixel / TargetSize * 2.0f - 1.0f; };
		const float Corners[6][2] = {{X0, Y0}, {X1, Y0}, {X1, Y1}, {X0, Y0}, {X1, Y1}, {X0, Y1}};
		std::vector<float> Vertices;
		for (const auto& Corner : Corners)
		{
			Vertices.insert(Vertices.end(), {Ndc(Corner[0]), Ndc(Corner[1]), Depth});
		}
		return Vertices;
	}
}

class RHIDepthTargetTest : public FRHITestFixture
{
protected:
	FTextureRHIRef MakeDepth(const TCHAR* Name, int32 Size)
	{
		return RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(Name, Size, Size, PF_DepthStencil)
											.SetFlags(TexCreate_DepthStencilTargetable)
											.SetClearValue(FClearValueBinding::DepthOne));
	}

	FTextureRHIRef MakeColor(const TCHAR* Name)
	{
		return RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(Name, TargetSize, TargetSize, PF_B8G8R8A8)
											.SetFlags(TexCreate_RenderTargetable)
											.SetClearValue(FClearValueBinding::Black));
	}

	FBufferRHIRef Upload(const std::vector<float>& Vertices)
	{
		const uint32 Size = uint32(Vertices.size() * sizeof(float));
		FBufferRHIRef Buffer = RHICmdList.CreateVertexBuffer(Size, BUF_Static, FRHIResourceCreateInfo(TEXT("Rectangles")));
		std::memcpy(RHICmdList.LockBuffer(Buffer, 0, Size, RLM_WriteOnly), Vertices.data(), Size);
		RHICmdList.UnlockBuffer(Buffer);
		return Buffer;
	}
};

TEST_F(RHIDepthTargetTest, NearerSurfacesWinWhateverTheDrawOrderAndDepthReadsBack)
{
	FVertexShaderRHIRef VertexShader = RHICreateVertexShader(
		TEXT("DepthVS"), Compile("DepthVS.usf", DepthVertexShaderSource, "MainVS", EShaderStage::Vertex), TEXT("MainVS"));
	FPixelShaderRHIRef PixelShader = RHICreatePixelShader(
		TEXT("DepthPS"), Compile("DepthPS.usf", DepthPixelShaderSource, "MainPS", EShaderStage::Pixel), TEXT("MainPS"));

	// Near (depth 0.25) covers x 0-10, y 0-8 and is drawn first; far (0.75) covers x 6-16, all rows.
	std::vector<float> Vertices = MakeRectangle(0, 0, 10, 8, 0.25f);
	const std::vector<float> Far = MakeRectangle(6, 0, 16, 16, 0.75f);
	Vertices.insert(Vertices.end(), Far.begin(), Far.end());
	FBufferRHIRef Buffer = Upload(Vertices);
	FTextureRHIRef Color = MakeColor(TEXT("Color"));
	FTextureRHIRef Depth = MakeDepth(TEXT("Depth"), TargetSize);

	RHICmdList.BeginRenderPass(
		FRHIRenderPassInfo(Color, ERenderTargetActions::Clear_Store, Depth, EDepthStencilTargetActions::ClearDepthStencil_StoreDepthStencil), TEXT("Depth"));
	FGraphicsPipelineStateInitializer Pipeline;
	RHICmdList.ApplyCachedRenderTargets(Pipeline);
	EXPECT_EQ(Pipeline.DepthStencilTargetFormat, PF_DepthStencil);
	Pipeline.BoundShaderState.VertexShaderRHI = VertexShader;
	Pipeline.BoundShaderState.PixelShaderRHI = PixelShader;
	Pipeline.BoundShaderState.VertexDeclarationRHI =
		PipelineStateCache::GetOrCreateVertexDeclaration({FVertexElement(0, 0, VET_Float3, 0, sizeof(float) * 3)});
	Pipeline.DepthStencilState = TStaticDepthStencilState<true, CF_LessEqual>::GetRHI();
	SetGraphicsPipelineState(RHICmdList, Pipeline, 0);
	RHICmdList.SetStreamSource(0, Buffer, 0);
	const float Red[4] = {1, 0, 0, 1};
	const float Green[4] = {0, 1, 0, 1};
	for (int32 Rectangle = 0; Rectangle < 2; ++Rectangle)
	{
		FRHIBatchedShaderParameters Parameters;
		SetLoose(Parameters, PixelShader, "Tint", Rectangle == 0 ? Red : Green);
		RHICmdList.SetBatchedShaderParameters(PixelShader, Parameters);
		RHICmdList.DrawPrimitive(Rectangle * 6, 2, 1);
	}
	RHICmdList.EndRenderPass();

	TArray<FColor> Colors;
	RHICmdList.ReadSurfaceData(Color, FIntRect(), Colors, FReadSurfaceDataFlags());
	TArray<uint8> DepthBytes;
	RHICmdList.ReadTexture(Depth, DepthBytes);
	ASSERT_EQ(Colors.Num(), TargetSize * TargetSize);
	ASSERT_EQ(DepthBytes.Num(), TargetSize * TargetSize * 4);
	for (int32 Y = 0; Y < TargetSize; ++Y)
	{
		for (int32 X = 0; X < TargetSize; ++X)
		{
			const bool bNear = X < 10 && Y < 8;
			const bool bFar = !bNear && X >= 6;
			float Stored;
			std::memcpy(&Stored, &DepthBytes[(Y * TargetSize + X) * 4], sizeof(float));
			ASSERT_EQ(Colors[Y * TargetSize + X], bNear ? FColor(255, 0, 0) : bFar ? FColor(0, 255, 0) : FColor(0, 0, 0)) << X << ", " << Y;
			ASSERT_FLOAT_EQ(Stored, bNear ? 0.25f : bFar ? 0.75f : 1.0f) << X << ", " << Y;
		}
	}
}

TEST_F(RHIDepthTargetTest, DepthTargetMisuseFailsWithClearMessages)
{
	FTextureRHIRef Color = MakeColor(TEXT("Color"));
	FTextureRHIRef Small = MakeDepth(TEXT("Small"), TargetSize / 2);
	EXPECT_EQ(CheckMessageOf([&] {
		RHICmdList.BeginRenderPass(
			FRHIRenderPassInfo(Color, ERenderTargetActions::Clear_Store, Small, EDepthStencilTargetActions::ClearDepthStencil_StoreDepthStencil),
			TEXT("Mismatch"));
	}),
		"Render pass 'Mismatch': depth target 'Small' is 8 x 8, the colour targets 16 x 16");
	FTextureRHIRef Other = MakeColor(TEXT("Other"));
	EXPECT_EQ(CheckMessageOf([&] {
		RHICmdList.BeginRenderPass(
			FRHIRenderPassInfo(Color, ERenderTargetActions::Clear_Store, Other, EDepthStencilTargetActions::ClearDepthStencil_StoreDepthStencil),
			TEXT("ColourAsDepth"));
	}),
		"Texture 'Other' is not a depth texture made with TexCreate_DepthStencilTargetable and cannot be the depth target of render pass 'ColourAsDepth'");
	EXPECT_FALSE(RHICmdList.IsInsideRenderPass());

	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.ClearColorTexture(Small, FLinearColor::Black); }),
		"ClearColorTexture of the depth texture 'Small'; a render pass clears depth");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(TEXT("Flagless"), 4, 4, PF_DepthStencil)); }),
		"Texture 'Flagless': TexCreate_DepthStencilTargetable goes with PF_DepthStencil, and PF_DepthStencil with it");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.Transition(FRHITransitionInfo(Color, ERHIAccess::Unknown, ERHIAccess::DSVWrite)); }),
		"Transition of texture 'Color' to DSVWrite: it was not created with TexCreate_DepthStencilTargetable");
}
