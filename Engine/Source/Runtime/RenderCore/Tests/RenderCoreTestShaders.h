#pragma once

// The HLSL of the render-graph and global shader tests, written by the test environment into a
// temporary folder mapped at "/RenderCoreTest", and the shader classes that use it.

#include "GlobalShader.h"
#include "ShaderParameterStruct.h"

#include <string>
#include <utility>
#include <vector>

namespace RenderCoreTest
{
	/** File name and text of every test shader. */
	const std::vector<std::pair<std::string, std::string>>& GetShaderFiles();

	/** The file that fails to compile, its real path once written, and the line of its error. */
	inline constexpr const char* BrokenShaderFile = "Broken.usf";
	inline constexpr int32 BrokenShaderErrorLine = 4;

	/** A file in the folder the environment prepares for "/RenderCoreTestLate" but does not map. */
	inline constexpr const char* LateShaderFile = "Late.usf";
}

/** Writes an 8-bit pattern of the thread's coordinates into Output; THREADS_X and THREADS_Y come from defines. */
class FPatternCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FPatternCS);
	SHADER_USE_PARAMETER_STRUCT(FPatternCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, Output)
	END_SHADER_PARAMETER_STRUCT()

	static constexpr int32 GroupSizeX = 8;
	static constexpr uint32 GroupSizeY = 4;

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters)
	{
		return IsFeatureLevelSupported(Parameters.Platform, ERHIFeatureLevel::SM5);
	}

	static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters, FShaderCompilerEnvironment& OutEnvironment)
	{
		FGlobalShader::ModifyCompilationEnvironment(Parameters, OutEnvironment);
		OutEnvironment.SetDefine(TEXT("THREADS_X"), GroupSizeX);
		OutEnvironment.SetDefine(TEXT("THREADS_Y"), GroupSizeY);
	}

	/** The colour the shader writes at (X, Y): red X, green Y, blue X + Y, alpha 255 - X (bytes stored B, G, R, A). */
	static FColor Expected(int32 X, int32 Y) { return FColor(uint8(X), uint8(Y), uint8(X + Y), uint8(255 - X)); }
};

/** Output = 1 - Input, texel by texel, reading Input through an SRV. */
class FInvertCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FInvertCS);
	SHADER_USE_PARAMETER_STRUCT(FInvertCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, Input)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, Output)
	END_SHADER_PARAMETER_STRUCT()
};

/** Output = Input sampled at each texel's centre, reading the texture whole through a sampler. */
class FSampleCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FSampleCS);
	SHADER_USE_PARAMETER_STRUCT(FSampleCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE(Texture2D, Input)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputSampler)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, Output)
	END_SHADER_PARAMETER_STRUCT()
};

/** Writes each loose parameter into one texel of Output (8 x 1). */
class FLooseParametersCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FLooseParametersCS);
	SHADER_USE_PARAMETER_STRUCT(FLooseParametersCS, FGlobalShader);

	// Declared in another order than the HLSL, and packed as C++ packs them, so only the
	// reflected offsets can put each value where the shader reads it.
	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(float, FloatValue)
		SHADER_PARAMETER(FVector2f, Float2Value)
		SHADER_PARAMETER(FVector4f, Float4Value)
		SHADER_PARAMETER(FIntVector4, Int4Value)
		SHADER_PARAMETER(uint32, UintValue)
		SHADER_PARAMETER(int32, IntValue)
		SHADER_PARAMETER(FIntPoint, Int2Value)
		SHADER_PARAMETER(FVector3f, Float3Value)
		SHADER_PARAMETER(FLinearColor, ColorValue)
		SHADER_PARAMETER(FUintVector4, Uint4Value)
		SHADER_PARAMETER(FVector4f, UnusedValue)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, Output)
	END_SHADER_PARAMETER_STRUCT()
};

/** Copies a structured buffer of int2 into row 0 of Output and describes an empty one in texel (0, 1). */
class FBufferReadCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FBufferReadCS);
	SHADER_USE_PARAMETER_STRUCT(FBufferReadCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_BUFFER_SRV(StructuredBuffer<int2>, Values)
		SHADER_PARAMETER_RDG_BUFFER_SRV(StructuredBuffer<int2>, EmptyValues)
		SHADER_PARAMETER(uint32, NumValues)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, Output)
	END_SHADER_PARAMETER_STRUCT()
};

/** Passes a float2 position through. */
class FTriangleVS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FTriangleVS);

	explicit FTriangleVS(const ShaderMetaType::CompiledShaderInitializerType& Initializer)
		: FGlobalShader(Initializer)
	{
	}
};

/** Fills with Color; its parameters are also the raster pass's. */
class FTrianglePS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FTrianglePS);
	SHADER_USE_PARAMETER_STRUCT(FTrianglePS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FLinearColor, Color)
		RENDER_TARGET_BINDING_SLOTS()
	END_SHADER_PARAMETER_STRUCT()
};

/** Its file has an error on line RenderCoreTest::BrokenShaderErrorLine. */
class FBrokenCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FBrokenCS);
	SHADER_USE_PARAMETER_STRUCT(FBrokenCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, Output)
	END_SHADER_PARAMETER_STRUCT()
};

/** Lives in a virtual folder that is mapped only by the test that uses it. */
class FLateCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FLateCS);
	SHADER_USE_PARAMETER_STRUCT(FLateCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, Output)
	END_SHADER_PARAMETER_STRUCT()
};

/** ShouldCompilePermutation says no. */
class FExcludedCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FExcludedCS);
	SHADER_USE_PARAMETER_STRUCT(FExcludedCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, Output)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters&) { return false; }
};

/** The binding tests' shader: a texture, a sampler, a UAV and two loose values, with a struct to match. */
class FBindingCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FBindingCS);
	SHADER_USE_PARAMETER_STRUCT(FBindingCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_TEXTURE(Texture2D, InputTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputSampler)
		SHADER_PARAMETER_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(FVector4f, Tint)
		SHADER_PARAMETER(float, Strength)
		SHADER_PARAMETER(FVector4f, Unused)
	END_SHADER_PARAMETER_STRUCT()
};

/** The binding shader with a struct that lacks Strength. */
class FBindingMissingCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FBindingMissingCS);
	SHADER_USE_PARAMETER_STRUCT(FBindingMissingCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_TEXTURE(Texture2D, InputTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputSampler)
		SHADER_PARAMETER_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(FVector4f, Tint)
	END_SHADER_PARAMETER_STRUCT()
};

/** The binding shader with OutputTexture declared as a read view. */
class FBindingWrongKindCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FBindingWrongKindCS);
	SHADER_USE_PARAMETER_STRUCT(FBindingWrongKindCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_TEXTURE(Texture2D, InputTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputSampler)
		SHADER_PARAMETER_SRV(Texture2D, OutputTexture)
		SHADER_PARAMETER(FVector4f, Tint)
		SHADER_PARAMETER(float, Strength)
	END_SHADER_PARAMETER_STRUCT()
};

/** The binding shader with Tint declared as a float3. */
class FBindingWrongSizeCS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FBindingWrongSizeCS);
	SHADER_USE_PARAMETER_STRUCT(FBindingWrongSizeCS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER_TEXTURE(Texture2D, InputTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, InputSampler)
		SHADER_PARAMETER_UAV(RWTexture2D<float4>, OutputTexture)
		SHADER_PARAMETER(FVector3f, Tint)
		SHADER_PARAMETER(float, Strength)
	END_SHADER_PARAMETER_STRUCT()
};
