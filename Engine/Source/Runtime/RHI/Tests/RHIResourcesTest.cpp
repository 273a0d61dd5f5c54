#include "RHICommandList.h"
#include "RHIResources.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
	/** A shader with given resources and no code, for the lookups. */
	class FResourceListShader : public FRHIVertexShader
	{
	public:
		explicit FResourceListShader(TArray<FShaderResourceBinding> InResources)
			: FRHIVertexShader(SF_Vertex, TEXT("List"), TEXT("MainVS"), std::move(InResources))
		{
		}
	};

	/** A texture without a device image; render pass infos only look at whether one is set. */
	class FBareTexture : public FRHITexture
	{
	public:
		FBareTexture() : FRHITexture(FRHITextureDesc(), TEXT("Bare")) {}
	};

	FShaderResourceBinding Resource(const TCHAR* Name, EShaderResourceKind Kind, uint32 Binding)
	{
		FShaderResourceBinding Result;
		Result.Name = Name;
		Result.Kind = Kind;
		Result.Binding = Binding;
		return Result;
	}
}

TEST(RHIResourcesTest, LooseParametersGrowZeroFilledAndOverwriteInPlace)
{
	FRHIBatchedShaderParameters Parameters;
	const float Value = 2.5f;
	Parameters.SetLooseParameter(8, sizeof(Value), &Value);
	ASSERT_EQ(Parameters.LooseParameterData.Num(), 12);
	EXPECT_EQ(std::vector<uint8>(Parameters.LooseParameterData.begin(), Parameters.LooseParameterData.begin() + 8), std::vector<uint8>(8, 0));
	float Stored = 0;
	std::memcpy(&Stored, &Parameters.LooseParameterData[8], sizeof(Stored));
	EXPECT_EQ(Stored, 2.5f);

	const uint32 Word = 0x04030201;
	Parameters.SetLooseParameter(2, sizeof(Word), &Word);
	EXPECT_EQ(Parameters.LooseParameterData.Num(), 12) << "writing inside the data does not grow it";
	EXPECT_EQ(Parameters.LooseParameterData[2], 1);
	EXPECT_EQ(Parameters.LooseParameterData[5], 4);
	std::memcpy(&Stored, &Parameters.LooseParameterData[8], sizeof(Stored));
	EXPECT_EQ(Stored, 2.5f);
	EXPECT_THROW(Parameters.SetLooseParameter(0xFFFFFFF0u, 32, &Word), FCheckFailure);
}

TEST(RHIResourcesTest, RenderPassesCountTheLeadingTargets)
{
	FRHIRenderPassInfo Info;
	EXPECT_EQ(Info.GetNumColorRenderTargets(), 0);
	FBareTexture Texture;
	FRHITexture* const Fake = &Texture;
	Info.ColorRenderTargets[0].RenderTarget = Fake;
	Info.ColorRenderTargets[1].RenderTarget = Fake;
	Info.ColorRenderTargets[3].RenderTarget = Fake;
	EXPECT_EQ(Info.GetNumColorRenderTargets(), 2) << "a gap ends the bound targets";
	for (FRHIRenderPassInfo::FColorEntry& Entry : Info.ColorRenderTargets)
	{
		Entry.RenderTarget = Fake;
	}
	EXPECT_EQ(Info.GetNumColorRenderTargets(), 8);
}

TEST(RHIResourcesTest, ClearValuesAndTextureCreateArguments)
{
	EXPECT_EQ(FClearValueBinding::None.ColorBinding, FClearValueBinding::EClearBinding::ENoneBound);
	EXPECT_EQ(FClearValueBinding::Black.Color, FLinearColor(0, 0, 0, 1));
	EXPECT_EQ(FClearValueBinding::White.Color, FLinearColor(1, 1, 1, 1));
	EXPECT_EQ(FClearValueBinding::Transparent.Color, FLinearColor(0, 0, 0, 0));
	EXPECT_EQ(FClearValueBinding::Transparent.ColorBinding, FClearValueBinding::EClearBinding::EColorBound);
	EXPECT_FALSE(FClearValueBinding::None == FClearValueBinding::Transparent) << "bound to transparent is not unbound";

	const FRHITextureCreateDesc Desc = FRHITextureCreateDesc::Create2D(TEXT("Albedo"), 640, 480, PF_R8G8B8A8)
										   .SetFlags(TexCreate_ShaderResource)
										   .AddFlags(TexCreate_SRGB)
										   .SetClearValue(FClearValueBinding::White)
										   .SetInitialState(ERHIAccess::SRVGraphics);
	EXPECT_EQ(Desc.DebugName, TEXT("Albedo"));
	EXPECT_EQ(Desc.Extent, FIntPoint(640, 480));
	EXPECT_EQ(Desc.Format, PF_R8G8B8A8);
	EXPECT_EQ(Desc.Flags, TexCreate_ShaderResource | TexCreate_SRGB);
	EXPECT_EQ(Desc.ClearValue, FClearValueBinding::White);
	EXPECT_EQ(Desc.NumMips, 1);
	EXPECT_EQ(Desc.InitialState, ERHIAccess::SRVGraphics);
	EXPECT_EQ(FRHITextureCreateDesc::Create2D(TEXT("Same"), FIntPoint(3, 5), PF_G8).Extent, FIntPoint(3, 5));
}

TEST(RHIResourcesTest, ShadersFindResourcesByExactNameAndTheirLooseParameterBuffer)
{
	TRefCountPtr<FRHIShader> Shader(new FResourceListShader({Resource(TEXT("$Global"), EShaderResourceKind::UniformBuffer, 0),
		Resource(TEXT("Source"), EShaderResourceKind::TextureSRV, 32), Resource(TEXT("source"), EShaderResourceKind::Sampler, 64)}));
	ASSERT_NE(Shader->FindResource(TEXT("Source")), nullptr);
	EXPECT_EQ(Shader->FindResource(TEXT("Source"))->Binding, 32u);
	EXPECT_EQ(Shader->FindResource(TEXT("source"))->Binding, 64u) << "names compare with letter case";
	EXPECT_EQ(Shader->FindResource(TEXT("Missing")), nullptr);
	ASSERT_NE(Shader->GetLooseParameterBuffer(), nullptr);
	EXPECT_EQ(Shader->GetLooseParameterBuffer()->Binding, 0u);

	TRefCountPtr<FRHIShader> NoGlobals(new FResourceListShader({Resource(TEXT("$Global"), EShaderResourceKind::TextureSRV, 32)}));
	EXPECT_EQ(NoGlobals->GetLooseParameterBuffer(), nullptr) << "only a uniform buffer holds loose parameters";
}
