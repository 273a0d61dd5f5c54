#include "RenderCoreTestShaders.h"

#include "RenderCoreTestEnvironment.h"

IMPLEMENT_GLOBAL_SHADER(FPatternCS, "/RenderCoreTest/Pattern.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FInvertCS, "/RenderCoreTest/Invert.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FSampleCS, "/RenderCoreTest/Sample.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FLooseParametersCS, "/RenderCoreTest/LooseParameters.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FBufferReadCS, "/RenderCoreTest/BufferRead.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FTriangleVS, "/RenderCoreTest/Triangle.usf", "MainVS", SF_Vertex);
IMPLEMENT_GLOBAL_SHADER(FTrianglePS, "/RenderCoreTest/Triangle.usf", "MainPS", SF_Pixel);
IMPLEMENT_GLOBAL_SHADER(FBrokenCS, "/RenderCoreTest/Broken.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FLateCS, "/RenderCoreTestLate/Late.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FExcludedCS, "/RenderCoreTest/Pattern.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FBindingCS, "/RenderCoreTest/Binding.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FBindingMissingCS, "/RenderCoreTest/Binding.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FBindingWrongKindCS, "/RenderCoreTest/Binding.usf", "MainCS", SF_Compute);
IMPLEMENT_GLOBAL_SHADER(FBindingWrongSizeCS, "/RenderCoreTest/Binding.usf", "MainCS", SF_Compute);

const std::vector<std::pair<std::string, std::string>>& RenderCoreTest::GetShaderFiles()
{
	static const std::vector<std::pair<std::string, std::string>> Files = {
		{"Pattern.usf", R"(RWTexture2D<float4> Output;

[numthreads(THREADS_X, THREADS_Y, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
	uint Width;
	uint Height;
	Output.GetDimensions(Width, Height);
	if (Id.x < Width && Id.y < Height)
	{
		Output[Id.xy] = float4(Id.x, Id.y, Id.x + Id.y, 255 - Id.x) / 255.0;
	}
}
)"},
		{"Invert.usf", R"(Texture2D Input;
RWTexture2D<float4> Output;

[numthreads(8, 8, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
	uint Width;
	uint Height;
	Output.GetDimensions(Width, Height);
	if (Id.x < Width && Id.y < Height)
	{
		Output[Id.xy] = 1.0 - Input.Load(int3(Id.xy, 0));
	}
}
)"},
		{"Sample.usf", R"(Texture2D Input;
SamplerState InputSampler;
RWTexture2D<float4> Output;

[numthreads(8, 8, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
	uint Width;
	uint Height;
	Output.GetDimensions(Width, Height);
	if (Id.x < Width && Id.y < Height)
	{
		Output[Id.xy] = Input.SampleLevel(InputSampler, (float2(Id.xy) + 0.5) / float2(Width, Height), 0);
	}
}
)"},
		{"LooseParameters.usf", R"(RWTexture2D<float4> Output;
float2 Float2Value;
float4 Float4Value;
int4 Int4Value;
uint UintValue;
float FloatValue;
int2 Int2Value;
float3 Float3Value;
float4 ColorValue;
uint4 Uint4Value;
int IntValue;

[numthreads(1, 1, 1)]
void MainCS()
{
	Output[uint2(0, 0)] = float4(Float2Value, 0, 1);
	Output[uint2(1, 0)] = Float4Value;
	Output[uint2(2, 0)] = float4(Int4Value) / 255.0;
	Output[uint2(3, 0)] = float4(UintValue / 255.0, FloatValue, IntValue / 255.0, 1);
	Output[uint2(4, 0)] = float4(Int2Value / 255.0, 0, 1);
	Output[uint2(5, 0)] = float4(Float3Value, 1);
	Output[uint2(6, 0)] = ColorValue;
	Output[uint2(7, 0)] = float4(Uint4Value) / 255.0;
}
)"},
		{"BufferRead.usf", R"(StructuredBuffer<int2> Values;
StructuredBuffer<int2> EmptyValues;
uint NumValues;
RWTexture2D<float4> Output;

[numthreads(8, 1, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID)
{
	if (Id.x < NumValues)
	{
		Output[uint2(Id.x, 0)] = float4(Values[Id.x], 0, 255) / 255.0;
	}
	if (Id.x == 0)
	{
		uint Count;
		uint Stride;
		EmptyValues.GetDimensions(Count, Stride);
		Output[uint2(0, 1)] = float4(EmptyValues[0], Count, Stride) / 255.0;
	}
}
)"},
		{"Triangle.usf", R"(float4 Color;

// The test's positions grow downwards like its pixel rows; clip space is the engine's, +Y up.
void MainVS(float2 Position : ATTRIBUTE0, out float4 OutPosition : SV_Position)
{
	OutPosition = float4(Position.x, -Position.y, 0, 1);
}

float4 MainPS(float4 Position : SV_Position) : SV_Target0
{
	return Color;
}
)"},
		{RenderCoreTest::BrokenShaderFile, R"(// A shader with an error on line 4.
RWTexture2D<float4> Output;
[numthreads(1, 1, 1)]
void MainCS(uint3 Id : SV_DispatchThreadID) { Output[Id.xy] = UndefinedValue; }
)"},
		{"Binding.usf", R"(Texture2D InputTexture;
SamplerState InputSampler;
RWTexture2D<float4> OutputTexture;
float4 Tint;
float Strength;

[numthreads(1, 1, 1)]
void MainCS()
{
	OutputTexture[uint2(0, 0)] = InputTexture.SampleLevel(InputSampler, float2(0.5, 0.5), 0) * Tint * Strength;
}
)"},
	};
	return Files;
}
