#pragma once

// Tests on the running RHI (lavapipe on machines without a GPU). Every test checks that the
// validation layer reported nothing new while it ran, and can write HLSL into a temporary
// shader folder mapped at "/RHITest", compile it and make RHI shaders of it.

#include "Misc/AssertionMacros.h"
#include "PipelineStateCache.h"
#include "RHI.h"
#include "RHICommandList.h"
#include "ShaderCompiler.h"
#include "ShaderCore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class FRHITestFixture : public ::testing::Test
{
protected:
	void SetUp() override
	{
		ValidationErrorsBefore = GetRHIValidationErrorCount();
		RHIInit();
		static std::atomic<int> Counter = 0;
		ShaderFolder = std::filesystem::temp_directory_path()
			/ ("VorpexRHITest-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++Counter));
		std::filesystem::create_directories(ShaderFolder);
		ResetAllShaderSourceDirectoryMappings();
		AddShaderSourceDirectoryMapping(TEXT("/RHITest"), FString(ShaderFolder.string()));
	}

	void TearDown() override
	{
		// Work a failed test left recorded is still submitted, so the layer sees all of it.
		if (IsRHIInitialized())
		{
			if (RHICmdList.IsInsideRenderPass())
			{
				RHICmdList.EndRenderPass();
			}
			RHICmdList.SubmitCommandsAndFlushGPU();
		}
		ResetAllShaderSourceDirectoryMappings();
		std::filesystem::remove_all(ShaderFolder);
		EXPECT_EQ(GetRHIValidationErrorCount(), ValidationErrorsBefore) << "the validation layer reported errors (see the LogRHI lines)";
	}

	/** Writes Source to a file of the shader folder and compiles Entry of it. */
	FShaderCompileOutput Compile(const std::string& FileName, const std::string& Source, const char* Entry, EShaderStage Stage)
	{
		std::ofstream(ShaderFolder / FileName, std::ios::binary) << Source;
		FShaderCompiler Compiler{FString()};
		FShaderCompileOutput Output = Compiler.Compile(FShaderCompileInput(FString(("/RHITest/" + FileName).c_str()), FString(Entry), Stage));
		EXPECT_TRUE(Output.bSucceeded) << FString::Join(Output.Errors, TEXT("\n")).ToStdString();
		return Output;
	}

	FComputeShaderRHIRef MakeComputeShader(const std::string& FileName, const std::string& Source, const char* Entry)
	{
		return RHICreateComputeShader(FString(FileName.c_str()), Compile(FileName, Source, Entry, EShaderStage::Compute), FString(Entry));
	}

	/** Writes Value into the loose parameter of that name, at the offset Shader's reflection gives. */
	template <typename ValueType>
	static void SetLoose(FRHIBatchedShaderParameters& Parameters, FRHIShader* Shader, const char* Name, const ValueType& Value)
	{
		const FShaderResourceBinding* Globals = Shader->GetLooseParameterBuffer();
		checkf(Globals, TEXT("shader %s has no loose parameters"), *Shader->GetName());
		const FShaderUniformMember* Member = Globals->Members.FindByPredicate([Name](const FShaderUniformMember& Candidate) { return Candidate.Name.Equals(Name); });
		checkf(Member && Member->Size >= sizeof(ValueType), TEXT("shader %s has no loose parameter %s of %d bytes"), *Shader->GetName(), Name,
			int32(sizeof(ValueType)));
		Parameters.SetLooseParameter(Member->Offset, sizeof(ValueType), &Value);
	}

	/** The reflected binding of a shader's resource. */
	static uint32 BindingOf(FRHIShader* Shader, const char* Name)
	{
		const FShaderResourceBinding* Resource = Shader->FindResource(FString(Name));
		checkf(Resource, TEXT("shader %s has no resource %s"), *Shader->GetName(), Name);
		return Resource->Binding;
	}

	/** Runs Body, which must fail a check; returns the check's message (empty, with a test failure, when none failed). */
	template <typename BodyType>
	static std::string CheckMessageOf(BodyType&& Body)
	{
		try
		{
			Body();
		}
		catch (const FCheckFailure& Failure)
		{
			return Failure.GetMessage();
		}
		ADD_FAILURE() << "no check failed";
		return std::string();
	}

	FTextureRHIRef MakeTexture(const TCHAR* Name, int32 SizeX, int32 SizeY, EPixelFormat Format, ETextureCreateFlags Flags)
	{
		return RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(Name, SizeX, SizeY, Format).SetFlags(Flags));
	}

	/** A buffer filled from Values through a lock. */
	template <typename ElementType>
	FBufferRHIRef MakeStructuredBuffer(const TCHAR* Name, const TArray<ElementType>& Values, EBufferUsageFlags Usage)
	{
		const uint32 Size = uint32(Values.Num() * sizeof(ElementType));
		FBufferRHIRef Buffer = RHICmdList.CreateStructuredBuffer(sizeof(ElementType), Size, Usage | BUF_ShaderResource, FRHIResourceCreateInfo(Name));
		void* Data = RHICmdList.LockBuffer(Buffer, 0, Size, RLM_WriteOnly);
		std::memcpy(Data, Values.GetData(), Size);
		RHICmdList.UnlockBuffer(Buffer);
		return Buffer;
	}

	template <typename ElementType>
	TArray<ElementType> ReadBuffer(FRHIBuffer* Buffer)
	{
		TArray<ElementType> Values;
		Values.SetNumZeroed(int32(Buffer->GetSize() / sizeof(ElementType)));
		const void* Data = RHICmdList.LockBuffer(Buffer, 0, Buffer->GetSize(), RLM_ReadOnly);
		std::memcpy(Values.GetData(), Data, Values.Num() * sizeof(ElementType));
		RHICmdList.UnlockBuffer(Buffer);
		return Values;
	}

	FRHICommandListImmediate& RHICmdList = FRHICommandListImmediate::Get();
	std::filesystem::path ShaderFolder;
	int32 ValidationErrorsBefore = 0;
};
