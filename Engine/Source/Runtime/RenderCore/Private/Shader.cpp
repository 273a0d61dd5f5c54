#include "Shader.h"

#include "RHI.h"
#include "RenderingThread.h"

DEFINE_LOG_CATEGORY(LogShaders);

namespace
{
	const TCHAR* FrequencyName(EShaderFrequency Frequency)
	{
		switch (Frequency)
		{
		case SF_Vertex:
			return TEXT("vertex");
		case SF_Pixel:
			return TEXT("pixel");
		case SF_Compute:
			return TEXT("compute");
		default:
			return TEXT("unknown");
		}
	}
}

FShader::FShader(const CompiledShaderInitializerType& Initializer)
	: Type(Initializer.Type)
	, Compiled(Initializer.Output)
{
	checkf(Type != nullptr, TEXT("FShader: A shader needs its type"));
	checkf(Compiled.bSucceeded, TEXT("FShader: %s is constructed from a failed compile"), Type->GetName());
}

FShader::~FShader() = default;

FRHIShader* FShader::GetRHIShaderBase() const
{
	std::lock_guard Lock(RHIShaderMutex);
	if (!RHIShader)
	{
		checkf(IsInRenderingThread(), TEXT("FShader: The RHI shader of %s is made on the rendering thread only"), Type->GetName());
		const FString Name(Type->GetName());
		const FString EntryPoint(Type->GetFunctionName());
		switch (Type->GetFrequency())
		{
		case SF_Compute:
			RHIShader = RHICreateComputeShader(Name, Compiled, EntryPoint).GetReference();
			break;
		case SF_Vertex:
			RHIShader = RHICreateVertexShader(Name, Compiled, EntryPoint).GetReference();
			break;
		case SF_Pixel:
			RHIShader = RHICreatePixelShader(Name, Compiled, EntryPoint).GetReference();
			break;
		default:
			checkf(false, TEXT("FShader: %s has frequency %d, which has no RHI shader here"), Type->GetName(), int32(Type->GetFrequency()));
		}
	}
	return RHIShader;
}

FRHIShader* FShader::GetRHIShaderChecked(const FShader* Shader, const FShaderType* Type, EShaderFrequency Frequency)
{
	checkf(Type != nullptr, TEXT("TShaderRef: The reference refers to no shader type"));
	checkf(Shader != nullptr,
		TEXT("TShaderRef: The global shader %s is not available: it failed to compile (see LogShaders) or its ShouldCompilePermutation left it out"),
		Type->GetName());
	checkf(Type->GetFrequency() == Frequency, TEXT("TShaderRef: %s is a %s shader, asked for as a %s shader"), Type->GetName(),
		FrequencyName(Type->GetFrequency()), FrequencyName(Frequency));
	return Shader->GetRHIShaderBase();
}
