#pragma once

// The global shaders of the preview renderer (Engine/Shaders/Private/Preview*.usf).

#include "GlobalShader.h"
#include "ShaderParameterStruct.h"

/** Projects world-space triangle corners. */
class FPreviewMeshVS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FPreviewMeshVS);
	SHADER_USE_PARAMETER_STRUCT(FPreviewMeshVS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FVector4f, ClipRow0)
		SHADER_PARAMETER(FVector4f, ClipRow1)
		SHADER_PARAMETER(FVector4f, ClipRow2)
		SHADER_PARAMETER(FVector4f, ClipRow3)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

/** Lights, textures and culls the mesh surface. */
class FPreviewMeshPS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FPreviewMeshPS);
	SHADER_USE_PARAMETER_STRUCT(FPreviewMeshPS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FVector4f, CameraPosition)
		SHADER_PARAMETER(FVector4f, DirectionToLight)
		SHADER_PARAMETER(FVector4f, Lighting)
		SHADER_PARAMETER(FVector4f, Options)
		SHADER_PARAMETER_RDG_TEXTURE(Texture2D, BaseColorTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, BaseColorSampler)
		SHADER_PARAMETER_RDG_TEXTURE(Texture2D, CullMaskTexture)
		SHADER_PARAMETER_SAMPLER(SamplerState, CullMaskSampler)
		RENDER_TARGET_BINDING_SLOTS()
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

/** Widens debug lines into screen-space quads. */
class FPreviewLineVS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FPreviewLineVS);
	SHADER_USE_PARAMETER_STRUCT(FPreviewLineVS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FVector4f, ClipRow0)
		SHADER_PARAMETER(FVector4f, ClipRow1)
		SHADER_PARAMETER(FVector4f, ClipRow2)
		SHADER_PARAMETER(FVector4f, ClipRow3)
		SHADER_PARAMETER(FVector4f, ViewSize)
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

class FPreviewLinePS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FPreviewLinePS);
	SHADER_USE_PARAMETER_STRUCT(FPreviewLinePS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		RENDER_TARGET_BINDING_SLOTS()
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

/** A triangle covering the target, for the resolve. */
class FPreviewResolveVS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FPreviewResolveVS);
	SHADER_USE_PARAMETER_STRUCT(FPreviewResolveVS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};

/** Box-filters the supersampled scene colour into the target. */
class FPreviewResolvePS : public FGlobalShader
{
public:
	DECLARE_GLOBAL_SHADER(FPreviewResolvePS);
	SHADER_USE_PARAMETER_STRUCT(FPreviewResolvePS, FGlobalShader);

	BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
		SHADER_PARAMETER(FVector4f, Options)
		SHADER_PARAMETER_RDG_TEXTURE(Texture2D, SceneColor)
		RENDER_TARGET_BINDING_SLOTS()
	END_SHADER_PARAMETER_STRUCT()

	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters& Parameters) { return true; }
};
