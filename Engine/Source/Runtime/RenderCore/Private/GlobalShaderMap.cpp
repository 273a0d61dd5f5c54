#include "GlobalShaderMap.h"

#include "GlobalShaderCompiler.h"
#include "GlobalShaderType.h"
#include "Misc/AssertionMacros.h"
#include "RHI.h"
#include "ShaderCompilerEnvironment.h"
#include "ShaderCore.h"

#include <memory>

struct FGlobalShaderMap::FEntry
{
	/** Held while the type compiles, so it compiles once however many threads ask. */
	std::mutex Mutex;
	/** Compiled, or found not to be compiled: later lookups use what is here. */
	bool bDone = false;
	/** Null when the compile failed or ShouldCompilePermutation said no. */
	std::unique_ptr<FShader> Shader;
	bool bFailed = false;
	/** The real file the type's source resolved to when it failed ("" when it did not resolve). */
	FString FailedSourcePath;
};

namespace
{
	EShaderStage ToStage(const FShaderType& Type)
	{
		switch (Type.GetFrequency())
		{
		case SF_Vertex:
			return EShaderStage::Vertex;
		case SF_Pixel:
			return EShaderStage::Pixel;
		case SF_Compute:
			return EShaderStage::Compute;
		default:
			checkf(false, TEXT("Global shader %s has frequency %d; only vertex, pixel and compute shaders are compiled here"), Type.GetName(),
				int32(Type.GetFrequency()));
			return EShaderStage::Compute;
		}
	}

	FString ResolveSourcePath(const FShaderType& Type)
	{
		FString Unresolved;
		return GetShaderSourceFilePath(FString(Type.GetShaderFilename()), &Unresolved);
	}
}

FShaderCompiler& GetGlobalShaderCompiler()
{
	// Never destroyed: a render command draining at exit may still compile.
	static FShaderCompiler* Compiler = new FShaderCompiler();
	return *Compiler;
}

FGlobalShaderMap::FGlobalShaderMap() = default;
FGlobalShaderMap::~FGlobalShaderMap() = default;

TShaderRef<FShader> FGlobalShaderMap::GetShader(FShaderType* ShaderType) const
{
	checkf(ShaderType != nullptr, TEXT("FGlobalShaderMap::GetShader: No shader type"));
	const FGlobalShaderType* GlobalType = dynamic_cast<const FGlobalShaderType*>(ShaderType);
	checkf(GlobalType != nullptr, TEXT("FGlobalShaderMap::GetShader: %s is not a global shader type"), ShaderType->GetName());

	std::shared_ptr<FEntry> Entry;
	{
		std::lock_guard Lock(Mutex);
		std::shared_ptr<FEntry>& Found = Entries.FindOrAdd(ShaderType);
		if (!Found)
		{
			Found = std::make_shared<FEntry>();
		}
		Entry = Found;
	}

	std::lock_guard EntryLock(Entry->Mutex);
	if (Entry->bDone && Entry->bFailed && ResolveSourcePath(*GlobalType) != Entry->FailedSourcePath)
	{
		Entry->bDone = false;
		Entry->bFailed = false;
	}
	if (!Entry->bDone)
	{
		const FGlobalShaderPermutationParameters Parameters(GMaxRHIShaderPlatform, 0);
		if (GlobalType->ShouldCompilePermutation(Parameters))
		{
			FShaderCompilerEnvironment Environment;
			GlobalType->ModifyCompilationEnvironment(Parameters, Environment);
			FShaderCompileInput Input(FString(GlobalType->GetShaderFilename()), FString(GlobalType->GetFunctionName()), ToStage(*GlobalType));
			Input.Defines = Environment.GetDefinitions();
			FShaderCompileOutput Output = GetGlobalShaderCompiler().Compile(Input);
			if (Output.bSucceeded)
			{
				Entry->Shader.reset(GlobalType->ConstructCompiled(FShaderCompiledShaderInitializerType{GlobalType, std::move(Output)}));
			}
			else
			{
				Entry->bFailed = true;
				Entry->FailedSourcePath = ResolveSourcePath(*GlobalType);
				UE_LOG(LogShaders, Error, TEXT("Global shader %s failed to compile (%s, entry point %s):\n%s"), GlobalType->GetName(),
					GlobalType->GetShaderFilename(), GlobalType->GetFunctionName(), *FString::Join(Output.Errors, TEXT("\n")));
			}
		}
		Entry->bDone = true;
	}
	return TShaderRef<FShader>(Entry->Shader.get(), ShaderType);
}

void FGlobalShaderMap::Empty()
{
	std::lock_guard Lock(Mutex);
	Entries.Empty();
}

FGlobalShaderMap* GetGlobalShaderMap(ERHIFeatureLevel::Type FeatureLevel)
{
	checkf(FeatureLevel == GMaxRHIFeatureLevel, TEXT("GetGlobalShaderMap: Feature level %d has no shaders here; only GMaxRHIFeatureLevel (%d) does"),
		int32(FeatureLevel), int32(GMaxRHIFeatureLevel));
	// Never destroyed; its shaders are let go when the RHI shuts down.
	static FGlobalShaderMap* ShaderMap = new FGlobalShaderMap();
	return ShaderMap;
}
