#include "Math/Color.h"
#include "RHIStaticStates.h"
#include "RHITestFixture.h"

#include <vector>

namespace
{
	const char* const PatternShader = R"(
RWTexture2D<float4> Output;
uint2 Size;
uint Seed;

[numthreads(8, 8, 1)]
void PatternCS(uint3 Id : SV_DispatchThreadID)
{
	if (Id.x >= Size.x || Id.y >= Size.y)
	{
		return;
	}
	Output[Id.xy] = float4(Id.x, Id.y, (Id.x * 7 + Id.y * 3 + Seed) % 256, 255 - Id.x) / 255.0;
}
)";

	FColor ExpectedPattern(uint32 X, uint32 Y, uint32 Seed)
	{
		return FColor(uint8(X), uint8(Y), uint8((X * 7 + Y * 3 + Seed) % 256), uint8(255 - X));
	}

	const char* const SumShader = R"(
StructuredBuffer<uint> Values;
RWStructuredBuffer<uint> Result;
uint Count;

[numthreads(1, 1, 1)]
void SumCS()
{
	uint Sum = 0;
	for (uint Index = 0; Index < Count; ++Index)
	{
		Sum += Values[Index];
	}
	Result[0] = Sum;
	Result[1] = Count + 1000;
}
)";

	const char* const StepShader = R"(
RWStructuredBuffer<uint> Data;
uint Multiplier;
uint Addend;

[numthreads(64, 1, 1)]
void StepCS(uint3 Id : SV_DispatchThreadID)
{
	Data[Id.x] = Data[Id.x] * Multiplier + Addend;
}
)";

	const char* const SampleShader = R"(
Texture2D<float4> Source;
SamplerState Sampler;
RWStructuredBuffer<float4> Samples;
uint2 Size;

[numthreads(1, 1, 1)]
void SampleCS(uint3 Id : SV_GroupID)
{
	float2 Uv = (float2(Id.xy) + 0.5) / float2(Size);
	Samples[Id.y * Size.x + Id.x] = Source.SampleLevel(Sampler, Uv, 0);
}
)";
}

class RHIComputeTest : public FRHITestFixture
{
protected:
	/** Dispatches the pattern shader over Output, which is Size texels. */
	void DispatchPattern(FRHIComputeShader* Shader, FRHIUnorderedAccessView* Output, FIntPoint Size, uint32 Seed)
	{
		SetComputePipelineState(RHICmdList, Shader);
		FRHIBatchedShaderParameters Parameters;
		Parameters.SetUAV(BindingOf(Shader, "Output"), Output);
		const uint32 SizeXY[2] = {uint32(Size.X), uint32(Size.Y)};
		SetLoose(Parameters, Shader, "Size", SizeXY);
		SetLoose(Parameters, Shader, "Seed", Seed);
		RHICmdList.SetBatchedShaderParameters(Shader, Parameters);
		RHICmdList.DispatchComputeShader((Size.X + 7) / 8, (Size.Y + 7) / 8, 1);
	}

	/** Samples every texel centre of Texture (bound through View when given) with Sampler. */
	TArray<FLinearColor> SampleTexelCentres(FRHITexture* Texture, FRHIShaderResourceView* View, FRHISamplerState* Sampler)
	{
		FComputeShaderRHIRef Shader = MakeComputeShader("Sample.usf", SampleShader, "SampleCS");
		const FIntPoint Size = Texture->GetSizeXY();
		FBufferRHIRef Samples = RHICmdList.CreateStructuredBuffer(sizeof(FLinearColor), Size.X * Size.Y * sizeof(FLinearColor),
			BUF_UnorderedAccess, FRHIResourceCreateInfo(TEXT("Samples")));
		FUnorderedAccessViewRHIRef SamplesView = RHICmdList.CreateUnorderedAccessView(Samples);
		SetComputePipelineState(RHICmdList, Shader);
		FRHIBatchedShaderParameters Parameters;
		if (View)
		{
			Parameters.SetShaderResourceView(BindingOf(Shader, "Source"), View);
		}
		else
		{
			Parameters.SetTexture(BindingOf(Shader, "Source"), Texture);
		}
		Parameters.SetSampler(BindingOf(Shader, "Sampler"), Sampler);
		Parameters.SetUAV(BindingOf(Shader, "Samples"), SamplesView);
		const uint32 SizeXY[2] = {uint32(Size.X), uint32(Size.Y)};
		SetLoose(Parameters, Shader, "Size", SizeXY);
		RHICmdList.SetBatchedShaderParameters(Shader, Parameters);
		RHICmdList.DispatchComputeShader(Size.X, Size.Y, 1);
		return ReadBuffer<FLinearColor>(Samples);
	}
};

TEST_F(RHIComputeTest, ComputeShaderWritesACoordinatePatternIntoATextureUAV)
{
	FComputeShaderRHIRef Shader = MakeComputeShader("Pattern.usf", PatternShader, "PatternCS");
	ASSERT_TRUE(Shader.IsValid());
	EXPECT_EQ(Shader->GetThreadGroupSize(), FIntVector(8, 8, 1));
	// Not a multiple of the group size, so the edge groups run partly outside the texture.
	const FIntPoint Size(37, 21);
	FTextureRHIRef Texture = MakeTexture(TEXT("Pattern"), Size.X, Size.Y, PF_B8G8R8A8, TexCreate_UAV | TexCreate_ShaderResource);
	FUnorderedAccessViewRHIRef View = RHICmdList.CreateUnorderedAccessView(Texture);
	DispatchPattern(Shader, View, Size, 5);

	TArray<FColor> Colors;
	RHICmdList.ReadSurfaceData(Texture, FIntRect(), Colors, FReadSurfaceDataFlags());
	ASSERT_EQ(Colors.Num(), Size.X * Size.Y);
	for (int32 Y = 0; Y < Size.Y; ++Y)
	{
		for (int32 X = 0; X < Size.X; ++X)
		{
			ASSERT_EQ(Colors[Y * Size.X + X], ExpectedPattern(X, Y, 5)) << "texel (" << X << ", " << Y << ")";
		}
	}
}

TEST_F(RHIComputeTest, DispatchesInOneSubmissionSeeEachOthersWrites)
{
	// Each step reads what the previous one wrote (read after write) and overwrites it (write
	// after write); with synchronization validation on, a missing barrier is also an error.
	FComputeShaderRHIRef Step = MakeComputeShader("Step.usf", StepShader, "StepCS");
	constexpr int32 Count = 4096;
	TArray<uint32> Initial;
	for (int32 Index = 0; Index < Count; ++Index)
	{
		Initial.Add(uint32(Index));
	}
	FBufferRHIRef Data = MakeStructuredBuffer(TEXT("StepData"), Initial, BUF_UnorderedAccess);
	FUnorderedAccessViewRHIRef DataView = RHICmdList.CreateUnorderedAccessView(Data);
	const uint32 Steps[][2] = {{3, 1}, {2, 5}, {5, 7}};
	for (const auto& [Multiplier, Addend] : Steps)
	{
		SetComputePipelineState(RHICmdList, Step);
		FRHIBatchedShaderParameters Parameters;
		Parameters.SetUAV(BindingOf(Step, "Data"), DataView);
		SetLoose(Parameters, Step, "Multiplier", Multiplier);
		SetLoose(Parameters, Step, "Addend", Addend);
		RHICmdList.SetBatchedShaderParameters(Step, Parameters);
		RHICmdList.DispatchComputeShader(Count / 64, 1, 1);
	}

	// The same for a texture: the second pattern overwrites the first everywhere.
	FComputeShaderRHIRef Pattern = MakeComputeShader("Pattern.usf", PatternShader, "PatternCS");
	FTextureRHIRef Texture = MakeTexture(TEXT("Twice"), 16, 16, PF_B8G8R8A8, TexCreate_UAV);
	FUnorderedAccessViewRHIRef TextureView = RHICmdList.CreateUnorderedAccessView(Texture);
	DispatchPattern(Pattern, TextureView, FIntPoint(16, 16), 1);
	DispatchPattern(Pattern, TextureView, FIntPoint(16, 16), 2);

	const TArray<uint32> Result = ReadBuffer<uint32>(Data);
	ASSERT_EQ(Result.Num(), Count);
	for (int32 Index = 0; Index < Count; ++Index)
	{
		ASSERT_EQ(Result[Index], ((uint32(Index) * 3 + 1) * 2 + 5) * 5 + 7) << "element " << Index;
	}
	TArray<FColor> Colors;
	RHICmdList.ReadSurfaceData(Texture, FIntRect(), Colors, FReadSurfaceDataFlags());
	EXPECT_EQ(Colors[17], ExpectedPattern(1, 1, 2));
	EXPECT_EQ(Colors[255], ExpectedPattern(15, 15, 2));
}

TEST_F(RHIComputeTest, StructuredBufferReadByAComputeShaderIncludingAnEmptyOne)
{
	FComputeShaderRHIRef Shader = MakeComputeShader("Sum.usf", SumShader, "SumCS");
	FBufferRHIRef Result = RHICmdList.CreateStructuredBuffer(sizeof(uint32), 2 * sizeof(uint32), BUF_UnorderedAccess, FRHIResourceCreateInfo(TEXT("Sum")));
	FUnorderedAccessViewRHIRef ResultView = RHICmdList.CreateUnorderedAccessView(Result);

	const auto Sum = [&](FRHIBuffer* Values, uint32 Count) {
		FShaderResourceViewRHIRef ValuesView = RHICmdList.CreateShaderResourceView(Values);
		SetComputePipelineState(RHICmdList, Shader);
		FRHIBatchedShaderParameters Parameters;
		Parameters.SetShaderResourceView(BindingOf(Shader, "Values"), ValuesView);
		Parameters.SetUAV(BindingOf(Shader, "Result"), ResultView);
		SetLoose(Parameters, Shader, "Count", Count);
		RHICmdList.SetBatchedShaderParameters(Shader, Parameters);
		RHICmdList.DispatchComputeShader(1, 1, 1);
		return ReadBuffer<uint32>(Result);
	};

	FBufferRHIRef Values = MakeStructuredBuffer(TEXT("Values"), TArray<uint32>{3, 40, 500, 6000, 70000}, BUF_None);
	EXPECT_EQ(Sum(Values, 5), (TArray<uint32>{76543, 1005}));
	EXPECT_EQ(Sum(Values, 2), (TArray<uint32>{43, 1002}));

	// An empty list still needs a buffer to bind: one byte.
	FBufferRHIRef Empty = RHICmdList.CreateStructuredBuffer(sizeof(uint32), 1, BUF_ShaderResource, FRHIResourceCreateInfo(TEXT("Empty")));
	EXPECT_EQ(Empty->GetSize(), 1u);
	EXPECT_EQ(Sum(Empty, 0), (TArray<uint32>{0, 1000}));
}

TEST_F(RHIComputeTest, BilinearClampSamplingAtTexelCentresGivesTheTexels)
{
	FTextureRHIRef Texture = MakeTexture(TEXT("Sampled"), 4, 3, PF_B8G8R8A8, TexCreate_ShaderResource);
	TArray<FColor> Texels;
	for (int32 Index = 0; Index < 12; ++Index)
	{
		Texels.Add(FColor(uint8(Index * 20), uint8(255 - Index * 17), uint8(Index % 3 * 100), uint8(60 + Index * 15)));
	}
	RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 4, 3), 4 * sizeof(FColor), reinterpret_cast<const uint8*>(Texels.GetData()));

	const TArray<FLinearColor> Samples
		= SampleTexelCentres(Texture, nullptr, TStaticSamplerState<SF_Bilinear, AM_Clamp, AM_Clamp, AM_Clamp>::GetRHI());
	ASSERT_EQ(Samples.Num(), 12);
	for (int32 Index = 0; Index < 12; ++Index)
	{
		EXPECT_TRUE(Samples[Index].Equals(Texels[Index].ReinterpretAsLinear(), 1e-4f))
			<< "texel " << Index << ": " << Samples[Index].ToString().ToStdString() << " for " << Texels[Index].ToString().ToStdString();
	}
}

TEST_F(RHIComputeTest, SampledSRGBTexturesGiveLinearValues)
{
	FTextureRHIRef Texture = MakeTexture(TEXT("Srgb"), 2, 2, PF_R8G8B8A8, TexCreate_ShaderResource | TexCreate_SRGB);
	const uint8 Bytes[] = {0, 64, 128, 255, 188, 255, 10, 128, 255, 0, 50, 0, 30, 90, 220, 17};
	RHICmdList.UpdateTexture2D(Texture, 0, FUpdateTextureRegion2D(0, 0, 0, 0, 2, 2), 8, Bytes);
	FShaderResourceViewRHIRef View = RHICmdList.CreateShaderResourceView(Texture);

	const TArray<FLinearColor> Samples = SampleTexelCentres(Texture, View, TStaticSamplerState<SF_Point>::GetRHI());
	ASSERT_EQ(Samples.Num(), 4);
	for (int32 Index = 0; Index < 4; ++Index)
	{
		const uint8* Texel = &Bytes[Index * 4];
		const FLinearColor Expected(FColor(Texel[0], Texel[1], Texel[2], Texel[3]));
		EXPECT_TRUE(Samples[Index].Equals(Expected, 2e-3f)) << "texel " << Index << ": " << Samples[Index].ToString().ToStdString() << " for "
															<< Expected.ToString().ToStdString();
	}
	EXPECT_NEAR(Samples[0].B, 0.2158605f, 2e-3f) << "sRGB 128 is about 0.216 in linear light, not 0.5";
}

TEST_F(RHIComputeTest, BindingsTheShaderLacksOrMisusesFailNamingTheResource)
{
	FComputeShaderRHIRef Shader = MakeComputeShader("Pattern.usf", PatternShader, "PatternCS");
	FTextureRHIRef Texture = MakeTexture(TEXT("Canvas"), 8, 8, PF_B8G8R8A8, TexCreate_UAV | TexCreate_ShaderResource);
	FUnorderedAccessViewRHIRef View = RHICmdList.CreateUnorderedAccessView(Texture);
	const uint32 OutputBinding = BindingOf(Shader, "Output");

	EXPECT_EQ(CheckMessageOf([&] {
		FRHIBatchedShaderParameters Parameters;
		Parameters.SetUAV(OutputBinding, View);
		RHICmdList.SetBatchedShaderParameters(Shader, Parameters);
	}),
		"Shader 'Pattern.usf' does not belong to the current pipeline; set its pipeline before its parameters");

	SetComputePipelineState(RHICmdList, Shader);
	EXPECT_EQ(CheckMessageOf([&] {
		FRHIBatchedShaderParameters Parameters;
		Parameters.SetTexture(40, Texture);
		RHICmdList.SetBatchedShaderParameters(Shader, Parameters);
	}),
		"Shader 'Pattern.usf' has no parameter at binding 40 for the texture 'Canvas'");
	EXPECT_EQ(CheckMessageOf([&] {
		FRHIBatchedShaderParameters Parameters;
		Parameters.SetTexture(OutputBinding, Texture);
		RHICmdList.SetBatchedShaderParameters(Shader, Parameters);
	}),
		"Shader 'Pattern.usf' parameter 'Output' (binding 128) is a TextureUAV; the texture 'Canvas' cannot bind there");
	EXPECT_EQ(CheckMessageOf([&] {
		const std::vector<uint8> Zeros(64, 0);
		FRHIBatchedShaderParameters Parameters;
		Parameters.SetLooseParameter(0, 64, Zeros.data());
		RHICmdList.SetBatchedShaderParameters(Shader, Parameters);
	}),
		"Shader 'Pattern.usf' is given 64 bytes of loose parameters; its $Global buffer holds 12");
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.DispatchComputeShader(1, 1, 1); }),
		"DispatchComputeShader: shader 'Pattern.usf' parameter '$Global' (binding 0) has nothing bound");

	FRHIBatchedShaderParameters OnlyUav;
	OnlyUav.SetUAV(OutputBinding, View);
	RHICmdList.SetBatchedShaderParameters(Shader, OnlyUav);
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.DispatchComputeShader(1, 1, 1); }),
		"DispatchComputeShader: shader 'Pattern.usf' parameter '$Global' (binding 0) has nothing bound");
	RHICmdList.SubmitCommandsAndFlushGPU();
	EXPECT_EQ(CheckMessageOf([&] { RHICmdList.DispatchComputeShader(1, 1, 1); }),
		"DispatchComputeShader without a compute pipeline (SetComputePipelineState)")
		<< "a submission ends what was bound";
}

TEST_F(RHIComputeTest, ShadersTheRHICannotRunAreRefused)
{
	const FShaderCompileOutput Compiled = Compile("Pattern.usf", PatternShader, "PatternCS", EShaderStage::Compute);
	EXPECT_EQ(CheckMessageOf([&] { RHICreateComputeShader(TEXT("WrongEntry"), Compiled, TEXT("OtherCS")); }),
		"Shader 'WrongEntry' has no compute entry point 'OtherCS'");
	EXPECT_EQ(CheckMessageOf([&] { RHICreatePixelShader(TEXT("WrongStage"), Compiled, TEXT("PatternCS")); }),
		"Shader 'WrongStage' has no pixel entry point 'PatternCS'");
	FShaderCompileOutput Failed;
	Failed.Errors.Add(TEXT("Broken.usf:3: syntax error"));
	EXPECT_EQ(CheckMessageOf([&] { RHICreateComputeShader(TEXT("Broken"), Failed, TEXT("MainCS")); }),
		"Shader 'Broken' has no code: its compile failed (Broken.usf:3: syntax error)");
	const FShaderCompileOutput Arrays = Compile("Arrays.usf", R"(
Texture2D<float4> Layers[2];
RWTexture2D<float4> Output;
[numthreads(1, 1, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
	Output[Id.xy] = Layers[0][Id.xy] + Layers[1][Id.xy];
}
)",
		"MainCS", EShaderStage::Compute);
	EXPECT_EQ(CheckMessageOf([&] { RHICreateComputeShader(TEXT("Arrays"), Arrays, TEXT("MainCS")); }),
		"Shader 'Arrays': resource 'Layers' is an array; the RHI binds single resources");
}
