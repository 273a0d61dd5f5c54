#include "VulkanShader.h"

#include "VulkanDevice.h"
#include "VulkanDynamicRHI.h"
#include "VulkanPipelineCache.h"

#include <atomic>
#include <cstring>

namespace
{
	constexpr uint32 SpirvMagic = 0x07230203;
	constexpr uint32 OpEntryPoint = 15;
	constexpr uint32 OpDecorate = 71;
	constexpr uint32 DecorationBinding = 33;

	uint32 GetExecutionModel(EShaderFrequency Frequency)
	{
		switch (Frequency)
		{
		case SF_Vertex: return 0;
		case SF_Pixel: return 4;
		default: return 5;
		}
	}

	const TCHAR* GetFrequencyName(EShaderFrequency Frequency)
	{
		switch (Frequency)
		{
		case SF_Vertex: return TEXT("vertex");
		case SF_Pixel: return TEXT("pixel");
		default: return TEXT("compute");
		}
	}

	/** Calls Visit(Opcode, FirstOperandIndex, NumOperands) for every instruction; false for a malformed module. */
	template <typename VisitorType>
	bool ForEachInstruction(const TArray<uint32>& Words, VisitorType Visit)
	{
		if (Words.Num() < 5 || Words[0] != SpirvMagic)
		{
			return false;
		}
		for (int32 Index = 5; Index < Words.Num();)
		{
			const uint32 WordCount = Words[Index] >> 16;
			if (WordCount == 0 || Index + int32(WordCount) > Words.Num())
			{
				return false;
			}
			Visit(Words[Index] & 0xFFFF, Index + 1, int32(WordCount) - 1);
			Index += int32(WordCount);
		}
		return true;
	}

	const TCHAR* DescribeUnbindableResource(const FShaderResourceBinding& Resource)
	{
		if (Resource.Set != 0)
		{
			return TEXT("lies outside descriptor set 0");
		}
		if (Resource.ArraySize != 1)
		{
			return TEXT("is an array; the RHI binds single resources");
		}
		if (Resource.Kind == EShaderResourceKind::TypedBufferSRV || Resource.Kind == EShaderResourceKind::TypedBufferUAV)
		{
			return TEXT("is a typed buffer, which the RHI cannot bind");
		}
		return nullptr;
	}
}

TArray<uint32> FVulkanShaderCode::PrepareSpirv(const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint, EShaderFrequency Frequency)
{
	checkf(Compiled.bSucceeded && !Compiled.Spirv.IsEmpty(), TEXT("Shader '%s' has no code: its compile failed (%s)"), *Name,
		*FString::Join(Compiled.Errors, TEXT("; ")));
	for (const FShaderResourceBinding& Resource : Compiled.Resources)
	{
		const TCHAR* Problem = DescribeUnbindableResource(Resource);
		checkf(!Problem, TEXT("Shader '%s': resource '%s' %s"), *Name, *Resource.Name, Problem);
	}

	TArray<uint32> Spirv = Compiled.Spirv;
	const uint32 WantedModel = GetExecutionModel(Frequency);
	const uint32 BindingOffset = Frequency == SF_Pixel ? PixelBindingOffset : 0;
	bool bFoundEntryPoint = false;
	const bool bWellFormed = ForEachInstruction(Spirv, [&](uint32 Opcode, int32 First, int32 NumOperands) {
		if (Opcode == OpEntryPoint && NumOperands >= 3 && Spirv[First] == WantedModel)
		{
			const char* Text = reinterpret_cast<const char*>(&Spirv[First + 2]);
			const SIZE_T MaxLength = SIZE_T(NumOperands - 2) * sizeof(uint32);
			bFoundEntryPoint |= FString(std::string(Text, strnlen(Text, MaxLength))).Equals(EntryPoint);
		}
		else if (Opcode == OpDecorate && NumOperands >= 3 && Spirv[First + 1] == DecorationBinding)
		{
			Spirv[First + 2] += BindingOffset;
		}
	});
	checkf(bWellFormed, TEXT("Shader '%s' is not a valid SPIR-V module"), *Name);
	checkf(bFoundEntryPoint, TEXT("Shader '%s' has no %s entry point '%s'"), *Name, GetFrequencyName(Frequency), *EntryPoint);
	return Spirv;
}

FVulkanShaderCode::FVulkanShaderCode(FVulkanDynamicRHI& RHI, const FRHIShader& InShader, const TArray<uint32>& Spirv)
	: Shader(InShader)
{
	static std::atomic<uint64> NextId = 1;
	Id = NextId++;
	switch (Shader.GetFrequency())
	{
	case SF_Vertex: Stage = VK_SHADER_STAGE_VERTEX_BIT; break;
	case SF_Pixel: Stage = VK_SHADER_STAGE_FRAGMENT_BIT; break;
	default: Stage = VK_SHADER_STAGE_COMPUTE_BIT; break;
	}
	BindingOffset = Shader.GetFrequency() == SF_Pixel ? PixelBindingOffset : 0;

	Attach(RHI);
	VkShaderModuleCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO;
	CreateInfo.codeSize = SIZE_T(Spirv.Num()) * sizeof(uint32);
	CreateInfo.pCode = Spirv.GetData();
	const VkResult Result = vkCreateShaderModule(RHI.GetDevice().GetHandle(), &CreateInfo, nullptr, &Module);
	checkf(Result == VK_SUCCESS, TEXT("The device rejected the code of shader '%s': %s"), *Shader.GetName(), VulkanResultToString(Result));
	RHI.GetDevice().SetObjectName(VK_OBJECT_TYPE_SHADER_MODULE, uint64(Module), Shader.GetName());
}

VkShaderModule FVulkanShaderCode::GetModule() const
{
	checkf(Module != VK_NULL_HANDLE, TEXT("Shader '%s' belongs to an RHI that has shut down"), *Shader.GetName());
	return Module;
}

void FVulkanShaderCode::ReleaseDeviceObjects()
{
	FVulkanDynamicRHI* RHI = GetOwningRHI();
	if (!RHI)
	{
		return;
	}
	RHI->GetPipelineCache().OnShaderDestroyed(Id);
	if (Module != VK_NULL_HANDLE)
	{
		vkDestroyShaderModule(RHI->GetDevice().GetHandle(), Module, nullptr);
		Module = VK_NULL_HANDLE;
	}
}

FVulkanShaderCode& GetVulkanShaderCode(FRHIShader* Shader)
{
	check(Shader);
	FVulkanShaderCode* Code = dynamic_cast<FVulkanShaderCode*>(Shader);
	checkf(Code, TEXT("Shader '%s' was not made by the RHI"), *Shader->GetName());
	return *Code;
}
