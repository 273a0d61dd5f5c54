// glslang's internal headers come first: they use identifiers such as "check" that the
// engine's assertion macros would rewrite.
#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv-tools/libspirv.hpp>
#include <spirv-tools/optimizer.hpp>

#include "ShaderCompiler.h"

#include "Misc/Paths.h"
#include "ShaderCache.h"
#include "ShaderIncluder.h"
#include "ShaderKeyHasher.h"
#include "ShaderSourceResolver.h"
#include "SpirvReflection.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

DEFINE_LOG_CATEGORY(LogShaderCompiler);

namespace
{
	/** Raise whenever a change here changes the code compiled from the same source: it is part of every cache key. */
	constexpr int32 CompilerRevision = 3;

	// The first binding of each kind of resource (see ShaderCompiler.h).
	constexpr uint32 UniformBufferBindingBase = 0;
	constexpr uint32 TextureBindingBase = 32;
	constexpr uint32 SamplerBindingBase = 64;
	constexpr uint32 StorageBufferBindingBase = 96;
	constexpr uint32 StorageImageBindingBase = 128;

	constexpr spv_target_env TargetEnvironment = SPV_ENV_VULKAN_1_2;

	void InitializeGlslangOnce()
	{
		// glslang's process-wide tables must be built once, before any thread compiles; they are
		// kept until the process ends, as threads may compile at any time.
		static std::once_flag Once;
		std::call_once(Once, [] { glslang::InitializeProcess(); });
	}

	EShLanguage ToGlslangStage(EShaderStage Stage)
	{
		switch (Stage)
		{
		case EShaderStage::Vertex: return EShLangVertex;
		case EShaderStage::Pixel: return EShLangFragment;
		case EShaderStage::Compute: return EShLangCompute;
		}
		return EShLangCompute;
	}

	bool IsIdentifier(const FString& Text)
	{
		static const std::regex Identifier("[A-Za-z_][A-Za-z0-9_]*");
		return std::regex_match(Text.ToStdString(), Identifier);
	}

	/** The defines sorted by name, so that the order they were set in changes neither the key nor the code. */
	std::vector<std::pair<std::string, std::string>> SortedDefines(const FShaderCompileInput& Input)
	{
		std::vector<std::pair<std::string, std::string>> Defines;
		for (const auto& Define : Input.Defines)
		{
			Defines.emplace_back(Define.Key.ToStdString(), Define.Value.ToStdString());
		}
		std::sort(Defines.begin(), Defines.end());
		return Defines;
	}

	/** The problems of Input that would otherwise reach the preprocessor as injected text. */
	TArray<FString> ValidateInput(const FShaderCompileInput& Input)
	{
		TArray<FString> Errors;
		if (!IsIdentifier(Input.EntryPoint))
		{
			Errors.Add(FString::Printf(TEXT("%s: The entry point '%s' is not an identifier"), *Input.VirtualSourcePath, *Input.EntryPoint));
		}
		for (const auto& Define : Input.Defines)
		{
			if (!IsIdentifier(Define.Key))
			{
				Errors.Add(FString::Printf(TEXT("%s: The define name '%s' is not an identifier"), *Input.VirtualSourcePath, *Define.Key));
			}
			if (Define.Value.Contains(TEXT("\n")) || Define.Value.Contains(TEXT("\r")))
			{
				Errors.Add(FString::Printf(TEXT("%s: The value of the define '%s' spans several lines"), *Input.VirtualSourcePath, *Define.Key));
			}
		}
		return Errors;
	}

	/**
	 * Splits glslang's info log into errors and warnings. Its lines read "ERROR: file:line:
	 * message"; a line without a place (a link error) gets the main file's path. The closing
	 * count ("ERROR: 2 compilation errors.  No code generated.") and the HLSL parser's repeat
	 * of the first error ("file(3): error at column 5, HLSL parsing failed.") are dropped.
	 */
	void ParseInfoLog(const std::string& Log, const FString& MainRealPath, TArray<FString>& OutErrors, TArray<FString>& OutWarnings)
	{
		static const std::regex Located("^(.+?):([0-9]+): (.*)$");
		static const std::regex Summary("^[0-9]+ compilation errors?\\..*$");
		size_t Start = 0;
		while (Start < Log.size())
		{
			size_t End = Log.find('\n', Start);
			if (End == std::string::npos)
			{
				End = Log.size();
			}
			std::string Line = Log.substr(Start, End - Start);
			Start = End + 1;
			while (!Line.empty() && (Line.back() == ' ' || Line.back() == '\r'))
			{
				Line.pop_back();
			}

			TArray<FString>* Target = nullptr;
			if (Line.rfind("ERROR: ", 0) == 0)
			{
				Target = &OutErrors;
				Line.erase(0, 7);
			}
			else if (Line.rfind("WARNING: ", 0) == 0)
			{
				Target = &OutWarnings;
				Line.erase(0, 9);
			}
			if (!Target || Line.empty() || std::regex_match(Line, Summary))
			{
				continue;
			}
			Target->Add(std::regex_match(Line, Located) ? FString(Line) : MainRealPath + TEXT(": ") + FString(Line));
		}
	}

	const char* StageDefine(EShaderStage Stage)
	{
		switch (Stage)
		{
		case EShaderStage::Vertex:
			return "VERTEXSHADER";
		case EShaderStage::Pixel:
			return "PIXELSHADER";
		case EShaderStage::Compute:
			return "COMPUTESHADER";
		}
		return "UNKNOWNSHADER";
	}

	/** Runs glslang, SPIRV-Tools and the reflection for Input; the errors go to Output. */
	void CompileToSpirv(const FShaderCompileInput& Input, const FShaderSourceFile& Main, FShaderSourceResolver& Resolver,
		FShaderCompileOutput& Output, TArray<FString>& OutWarnings)
	{
		InitializeGlslangOnce();
		const EShLanguage Stage = ToGlslangStage(Input.Stage);

		// The stage is defined as the engine's compiler defines it, so one file can hold the
		// parameters of a vertex and a pixel shader apart.
		std::string Preamble = std::string("#define ") + StageDefine(Input.Stage) + " 1\n";
		for (const auto& [Name, Value] : SortedDefines(Input))
		{
			Preamble += "#define " + Name + " " + Value + "\n";
		}

		glslang::TShader Shader(Stage);
		const char* Text = Main.Text.c_str();
		const int Length = static_cast<int>(Main.Text.size());
		const std::string MainName = Main.RealPath.ToStdString();
		const char* Name = MainName.c_str();
		Shader.setStringsWithLengthsAndNames(&Text, &Length, &Name, 1);
		Shader.setPreamble(Preamble.c_str());
		Shader.setEntryPoint(*Input.EntryPoint);
		Shader.setSourceEntryPoint(*Input.EntryPoint);
		Shader.setEnvInput(glslang::EShSourceHlsl, Stage, glslang::EShClientVulkan, 100);
		Shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_2);
		Shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_5);
		// RW textures without a storage format can write any format, B8G8R8A8_UNORM included,
		// which has no HLSL format qualifier.
		Shader.setNoStorageFormat(true);
		// Clip space as the engine's HLSL is written for it: +Y up. glslang negates the vertex
		// position's Y on output, so Vulkan's downward Y sees the same picture.
		Shader.setInvertY(true);
		Shader.setAutoMapBindings(true);
		Shader.setShiftUboBinding(UniformBufferBindingBase);
		Shader.setShiftTextureBinding(TextureBindingBase);
		Shader.setShiftSamplerBinding(SamplerBindingBase);
		Shader.setShiftSsboBinding(StorageBufferBindingBase);
		Shader.setShiftUavBinding(StorageBufferBindingBase);
		Shader.setShiftImageBinding(StorageImageBindingBase);
		// Without this, glslang declares HLSL's structured buffers with the BufferBlock
		// decoration, which SPIR-V 1.4 and later no longer allow.
		Shader.getIntermediate()->setUseStorageBuffer();

		const EShMessages Messages = static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl | EShMsgHlslOffsets);
		FShaderIncluder Includer(Resolver);
		const bool bParsed = Shader.parse(GetDefaultResources(), 100, false, Messages, Includer);
		ParseInfoLog(Shader.getInfoLog(), Main.RealPath, Output.Errors, OutWarnings);
		if (!bParsed)
		{
			return;
		}

		glslang::TProgram Program;
		Program.addShader(&Shader);
		const bool bLinked = Program.link(Messages) && Program.mapIO();
		TArray<FString> LinkWarnings;
		ParseInfoLog(Program.getInfoLog(), Main.RealPath, Output.Errors, LinkWarnings);
		if (!bLinked)
		{
			// glslang reports some link failures, such as a missing entry point, as warnings only.
			Output.Errors.Append(LinkWarnings);
			if (Output.Errors.IsEmpty())
			{
				Output.Errors.Add(Main.RealPath + TEXT(": glslang could not link the shader"));
			}
			return;
		}
		OutWarnings.Append(LinkWarnings);
		if (!Output.Errors.IsEmpty())
		{
			return;
		}

		std::vector<uint32> Words;
		spv::SpvBuildLogger BuildLogger;
		glslang::SpvOptions SpvOptions;
		SpvOptions.disableOptimizer = true;
		glslang::GlslangToSpv(*Program.getIntermediate(Stage), Words, &BuildLogger, &SpvOptions);
		const std::string BuildMessages = BuildLogger.getAllMessages();
		if (!BuildMessages.empty())
		{
			OutWarnings.Add(Main.RealPath + TEXT(": ") + FString(BuildMessages).TrimEnd());
		}

		// glslang's HLSL output needs legalizing (resources held in local variables, say) before
		// it is valid Vulkan SPIR-V; the performance passes then tidy it.
		TArray<FString> ToolErrors;
		const spvtools::MessageConsumer Consumer = [&ToolErrors, &Main](spv_message_level_t Level, const char*, const spv_position_t&,
													   const char* Message) {
			if (Level <= SPV_MSG_ERROR)
			{
				ToolErrors.Add(Main.RealPath + TEXT(": ") + FString(Message));
			}
		};
		spvtools::Optimizer Optimizer(TargetEnvironment);
		Optimizer.SetMessageConsumer(Consumer);
		Optimizer.RegisterLegalizationPasses();
		Optimizer.RegisterPerformancePasses();
		spvtools::OptimizerOptions OptimizerOptions;
		// The unlegalized input is not expected to be valid; the result is validated below.
		OptimizerOptions.set_run_validator(false);
		std::vector<uint32> Optimized;
		if (!Optimizer.Run(Words.data(), Words.size(), &Optimized, OptimizerOptions))
		{
			Output.Errors.Add(Main.RealPath + TEXT(": The SPIR-V optimizer failed"));
			Output.Errors.Append(ToolErrors);
			return;
		}

		spvtools::SpirvTools Tools(TargetEnvironment);
		Tools.SetMessageConsumer(Consumer);
		if (!Tools.Validate(Optimized))
		{
			Output.Errors.Add(Main.RealPath + TEXT(": The compiled SPIR-V is not valid for Vulkan 1.2"));
			Output.Errors.Append(ToolErrors);
			return;
		}

		Output.Spirv = TArray<uint32>(Optimized.data(), static_cast<int32>(Optimized.size()));
		FString ReflectionError;
		if (!FSpirvReflection::Reflect(Output.Spirv, Output, ReflectionError))
		{
			Output.Errors.Add(Main.RealPath + TEXT(": ") + ReflectionError);
			return;
		}
		for (int32 Index = 1; Index < Output.Resources.Num(); ++Index)
		{
			const FShaderResourceBinding& Previous = Output.Resources[Index - 1];
			const FShaderResourceBinding& Current = Output.Resources[Index];
			if (Previous.Set == Current.Set && Previous.Binding == Current.Binding)
			{
				Output.Errors.Add(FString::Printf(TEXT("%s: '%s' and '%s' share binding %u of set %u; a register index is beyond its kind's range"),
					*Main.RealPath, *Previous.Name, *Current.Name, Current.Binding, Current.Set));
			}
		}
	}

	/** The cache key: the compiler, the entry point and stage, the defines, and the path and text of every file read. */
	FString MakeCacheKey(const FShaderCompileInput& Input, const FShaderSourceResolver& Resolver)
	{
		FShaderKeyHasher Hasher;
		Hasher.Add(FShaderCompiler::GetVersionString());
		Hasher.Add(Input.EntryPoint);
		Hasher.Add(static_cast<uint32>(Input.Stage));
		const auto Defines = SortedDefines(Input);
		Hasher.Add(static_cast<uint32>(Defines.size()));
		for (const auto& [Name, Value] : Defines)
		{
			Hasher.Add(Name);
			Hasher.Add(Value);
		}
		// The first file is the main source. Real paths count too: they appear in messages.
		Hasher.Add(static_cast<uint32>(Resolver.GetFiles().Num()));
		for (const FShaderSourceFile* File : Resolver.GetFiles())
		{
			Hasher.Add(File->VirtualPath);
			Hasher.Add(File->RealPath);
			Hasher.Add(File->Text);
		}
		// An include that is missing now must miss once it exists.
		Hasher.Add(static_cast<uint32>(Resolver.GetUnresolvedIncludes().Num()));
		for (const FString& Unresolved : Resolver.GetUnresolvedIncludes())
		{
			Hasher.Add(Unresolved);
		}
		return Hasher.ToString();
	}
}

FShaderCompiler::FShaderCompiler()
	: FShaderCompiler(GetDefaultCacheDirectory())
{
}

FShaderCompiler::FShaderCompiler(FString InCacheDirectory)
	: CacheDirectory(std::move(InCacheDirectory))
{
}

FString FShaderCompiler::GetDefaultCacheDirectory()
{
	const char* FromEnvironment = std::getenv("VORPEX_SHADER_CACHE");
	if (FromEnvironment && *FromEnvironment)
	{
		return FString(FromEnvironment);
	}
	std::error_code Error;
	const std::filesystem::path Temporary = std::filesystem::temp_directory_path(Error);
	return FPaths::Combine(FString(Error ? std::string("/tmp") : Temporary.string()), TEXT("VorpexShaderCache"));
}

const FString& FShaderCompiler::GetVersionString()
{
	static const FString Version = [] {
		const glslang::Version Glslang = glslang::GetVersion();
		return FString::Printf(TEXT("VorpexShaderCompiler %d; glslang %d.%d.%d%s; %s"), CompilerRevision, Glslang.major, Glslang.minor,
			Glslang.patch, Glslang.flavor, spvSoftwareVersionDetailsString());
	}();
	return Version;
}

FShaderCompileOutput FShaderCompiler::Compile(const FShaderCompileInput& Input)
{
	FShaderCompileOutput Output;
	TArray<FString> Warnings;
	Output.Errors = ValidateInput(Input);

	FShaderSourceResolver Resolver;
	const FShaderSourceFile* Main = nullptr;
	if (Output.Errors.IsEmpty())
	{
		FString Error;
		Main = Resolver.Load(Input.VirtualSourcePath, Error);
		if (!Main)
		{
			Output.Errors.Add(Input.VirtualSourcePath + TEXT(": ") + Error);
		}
	}

	if (Main)
	{
		Resolver.LoadIncludesOf(*Main);
		const FShaderCache Cache(CacheDirectory);
		const FString Key = CacheDirectory.IsEmpty() ? FString() : MakeCacheKey(Input, Resolver);
		if (!Key.IsEmpty())
		{
			if (Cache.Load(Key, Output))
			{
				++CacheHits;
				return Output;
			}
			++CacheMisses;
		}

		CompileToSpirv(Input, *Main, Resolver, Output, Warnings);
		Output.bSucceeded = Output.Errors.IsEmpty();
		// A file glslang read that the key does not cover would make the entry answer for
		// sources it was not compiled from.
		if (Output.bSucceeded && !Key.IsEmpty() && !Resolver.LoadedFilesAfterScan())
		{
			Cache.Save(Key, Output);
		}
	}

	const FString Description = FString::Printf(TEXT("'%s' (%s, %s)"), *Input.VirtualSourcePath, *Input.EntryPoint, LexToString(Input.Stage));
	if (!Warnings.IsEmpty())
	{
		UE_LOG(LogShaderCompiler, Warning, TEXT("Compiling %s:\n%s"), *Description, *FString::Join(Warnings, TEXT("\n")));
	}
	if (!Output.bSucceeded)
	{
		Output.Spirv.Reset();
		Output.Resources.Reset();
		Output.ThreadGroupSize[0] = Output.ThreadGroupSize[1] = Output.ThreadGroupSize[2] = 0;
		UE_LOG(LogShaderCompiler, Error, TEXT("Compiling %s failed:\n%s"), *Description, *FString::Join(Output.Errors, TEXT("\n")));
	}
	return Output;
}
