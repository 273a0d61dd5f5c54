#pragma once

// Global shaders: shader classes compiled once for the process, declared as the engine does.
//
//   class FColorizeCS : public FGlobalShader
//   {
//   public:
//       DECLARE_GLOBAL_SHADER(FColorizeCS);
//       SHADER_USE_PARAMETER_STRUCT(FColorizeCS, FGlobalShader);
//       BEGIN_SHADER_PARAMETER_STRUCT(FParameters, )
//           ...
//       END_SHADER_PARAMETER_STRUCT()
//       static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters&) { return true; }
//       static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters& Parameters,
//           FShaderCompilerEnvironment& OutEnvironment) { ... OutEnvironment.SetDefine(TEXT("THREADS_X"), 8); }
//   };
//   IMPLEMENT_GLOBAL_SHADER(FColorizeCS, "/Plugin/Vorpex/Colorize.usf", "MainCS", SF_Compute);
//
//   TShaderMapRef<FColorizeCS> Shader(GetGlobalShaderMap(GMaxRHIFeatureLevel));
//
// IMPLEMENT_GLOBAL_SHADER registers the type when its module loads; the shader is compiled at
// its first lookup (GlobalShaderMap.h).

#include "CoreTypes.h"
#include "GlobalShaderMap.h"
#include "GlobalShaderType.h"
#include "Misc/AssertionMacros.h"
#include "RHI.h"
#include "Shader.h"
#include "ShaderCompilerEnvironment.h"
#include "ShaderParameterMacros.h"
#include "ShaderPlatform.h"

class RENDERCORE_API FGlobalShader : public FShader
{
public:
	using ShaderMetaType = FGlobalShaderType;
	using ShaderMapType = FGlobalShaderMap;

	explicit FGlobalShader(const ShaderMetaType::CompiledShaderInitializerType& Initializer)
		: FShader(Initializer)
	{
	}

	/** Compiles every global shader type that does not say otherwise. */
	static bool ShouldCompilePermutation(const FGlobalShaderPermutationParameters&) { return true; }
	/** The base adds no definitions; subclasses call it first, as in the engine, and add theirs. */
	static void ModifyCompilationEnvironment(const FGlobalShaderPermutationParameters&, FShaderCompilerEnvironment&) {}
};

/** A reference to the shader of ShaderType in a global shader map, compiling it on first use. */
template <typename ShaderType>
class TShaderMapRef : public TShaderRef<ShaderType>
{
public:
	explicit TShaderMapRef(const FGlobalShaderMap* ShaderMap)
		: TShaderRef<ShaderType>(GetFrom(ShaderMap))
	{
	}

private:
	static TShaderRef<ShaderType> GetFrom(const FGlobalShaderMap* ShaderMap)
	{
		checkf(ShaderMap != nullptr, TEXT("TShaderMapRef<%s>: No shader map"), ShaderType::GetStaticType().GetName());
		return ShaderMap->template GetShader<ShaderType>();
	}
};

#define UE_GLOBAL_SHADER_PRIVATE_JOIN_INNER(A, B) A##B
#define UE_GLOBAL_SHADER_PRIVATE_JOIN(A, B) UE_GLOBAL_SHADER_PRIVATE_JOIN_INNER(A, B)

#define DECLARE_GLOBAL_SHADER(ShaderClass) \
public: \
	using ShaderMetaType = FGlobalShaderType; \
	using ShaderMapType = FGlobalShaderMap; \
	static FShader* ConstructCompiledInstance(const ShaderMetaType::CompiledShaderInitializerType& Initializer) \
	{ \
		return new ShaderClass(Initializer); \
	} \
	static ShaderMetaType& GetStaticType()

/** The constructor shader maps use, and the parameter struct FParameters declared in the class as the shader's. */
#define SHADER_USE_PARAMETER_STRUCT(ShaderClass, ShaderParentClass) \
public: \
	explicit ShaderClass(const ShaderMetaType::CompiledShaderInitializerType& Initializer) \
		: ShaderParentClass(Initializer) \
	{ \
	} \
	static const FShaderParametersMetadata* GetRootParametersMetadata() \
	{ \
		return FParameters::FTypeInfo::GetStructMetadata(); \
	}

#define IMPLEMENT_GLOBAL_SHADER(ShaderClass, SourceFilename, FunctionName, Frequency) \
	ShaderClass::ShaderMetaType& ShaderClass::GetStaticType() \
	{ \
		static ShaderClass::ShaderMetaType StaticType(TEXT(#ShaderClass), TEXT(SourceFilename), TEXT(FunctionName), Frequency, \
			&ShaderClass::ConstructCompiledInstance, &ShaderClass::GetRootParametersMetadata, &ShaderClass::ShouldCompilePermutation, \
			&ShaderClass::ModifyCompilationEnvironment); \
		return StaticType; \
	} \
	[[maybe_unused]] static const FGlobalShaderType& UE_GLOBAL_SHADER_PRIVATE_JOIN(GGlobalShaderTypeRegistration_, __LINE__) = ShaderClass::GetStaticType()
