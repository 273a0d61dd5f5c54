#pragma once

// Compiled shaders and references to them.
//
// An FShader is the C++ object of one compiled shader type: its reflection (the resources and
// "$Global" members the code uses) and, made on first request on the rendering thread, its
// RHI shader. Shader maps own shaders; code holds them through TShaderRef<T>, which may be
// empty when the type failed to compile.

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Logging/LogMacros.h"
#include "Misc/AssertionMacros.h"
#include "RHIDefinitions.h"
#include "RHIResources.h"
#include "ShaderCompileOutput.h"
#include "ShaderType.h"

#include <mutex>
#include <type_traits>

RENDERCORE_API DECLARE_LOG_CATEGORY_EXTERN(LogShaders, Log, All);

class FShaderParametersMetadata;

class RENDERCORE_API FShader
{
public:
	using CompiledShaderInitializerType = FShaderCompiledShaderInitializerType;

	explicit FShader(const CompiledShaderInitializerType& Initializer);
	virtual ~FShader();
	FShader(const FShader&) = delete;
	FShader& operator=(const FShader&) = delete;

	/** A type without SHADER_USE_PARAMETER_STRUCT has no parameter struct; the macro hides this. */
	static const FShaderParametersMetadata* GetRootParametersMetadata() { return nullptr; }

	const FShaderType* GetType() const { return Type; }
	EShaderFrequency GetFrequency() const { return Type->GetFrequency(); }
	/** What the compiled code binds, ordered by binding; the "$Global" buffer lists its members. */
	const TArray<FShaderResourceBinding>& GetResources() const { return Compiled.Resources; }

	/** The RHI shader, made at the first call (rendering thread only; the RHI's rule). */
	FRHIShader* GetRHIShaderBase() const;

	/**
	 * The RHI shader behind a reference, or a failed check naming the type when Shader is null
	 * (it failed to compile or ShouldCompilePermutation left it out) or is not of Frequency.
	 */
	static FRHIShader* GetRHIShaderChecked(const FShader* Shader, const FShaderType* Type, EShaderFrequency Frequency);

private:
	const FShaderType* Type;
	FShaderCompileOutput Compiled;
	mutable std::mutex RHIShaderMutex;
	mutable TRefCountPtr<FRHIShader> RHIShader;
};

/** A reference to a shader of type ShaderType in a shader map, or an empty one that still knows its type. */
template <typename ShaderType>
class TShaderRef
{
public:
	TShaderRef() = default;
	TShaderRef(ShaderType* InShader, const FShaderType* InType)
		: Shader(InShader)
		, Type(InType)
	{
	}

	template <typename OtherShaderType>
		requires std::is_convertible_v<OtherShaderType*, ShaderType*>
	TShaderRef(const TShaderRef<OtherShaderType>& Other)
		: Shader(Other.GetShader())
		, Type(Other.GetType())
	{
	}

	/** A reference of a derived type to the same shader; the caller knows the shader is one. */
	template <typename OtherShaderType>
	static TShaderRef Cast(const TShaderRef<OtherShaderType>& Other)
	{
		return TShaderRef(static_cast<ShaderType*>(Other.GetShader()), Other.GetType());
	}

	bool IsValid() const { return Shader != nullptr; }
	bool IsNull() const { return Shader == nullptr; }

	ShaderType* GetShader() const { return Shader; }
	/** The type referred to, also when the reference is empty; null for a default-made reference. */
	const FShaderType* GetType() const { return Type; }

	ShaderType* operator->() const
	{
		checkf(Shader != nullptr, TEXT("TShaderRef: The shader %s is not available"), Type ? Type->GetName() : TEXT("(none)"));
		return Shader;
	}
	ShaderType& operator*() const { return *operator->(); }

	FRHIComputeShader* GetComputeShader() const { return static_cast<FRHIComputeShader*>(FShader::GetRHIShaderChecked(Shader, Type, SF_Compute)); }
	FRHIVertexShader* GetVertexShader() const { return static_cast<FRHIVertexShader*>(FShader::GetRHIShaderChecked(Shader, Type, SF_Vertex)); }
	FRHIPixelShader* GetPixelShader() const { return static_cast<FRHIPixelShader*>(FShader::GetRHIShaderChecked(Shader, Type, SF_Pixel)); }
	FRHIShader* GetRHIShaderBase(EShaderFrequency Frequency) const { return FShader::GetRHIShaderChecked(Shader, Type, Frequency); }

private:
	ShaderType* Shader = nullptr;
	const FShaderType* Type = nullptr;
};
