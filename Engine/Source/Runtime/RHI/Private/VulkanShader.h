#pragma once

// RHI shaders on Vulkan: the shader module made from the compiler's SPIR-V, checked against
// what the RHI can bind. All resources live in descriptor set 0, which a pipeline's vertex
// and pixel shaders share, so the pixel shader's bindings are moved up by PixelBindingOffset
// in its SPIR-V: each stage keeps its own "$Global" buffer and resources, and callers still
// use the bindings the compiler reported.

#include "RHIResources.h"
#include "ShaderCompileOutput.h"
#include "VulkanCommon.h"
#include "VulkanDeviceObject.h"

#include <utility>

class FVulkanShaderCode : public FVulkanDeviceObject
{
public:
	static constexpr uint32 PixelBindingOffset = 256;

	/** The module; a failed check for a shader whose RHI has shut down. */
	VkShaderModule GetModule() const;
	/** Unique in the process, so cached pipelines never confuse a shader with a later one at the same address. */
	uint64 GetId() const { return Id; }
	VkShaderStageFlagBits GetStage() const { return Stage; }
	/** The binding in set 0 that a reflected binding of this shader has on the device. */
	uint32 GetVulkanBinding(uint32 ReflectedBinding) const { return ReflectedBinding + BindingOffset; }
	const FRHIShader& GetShader() const { return Shader; }

	void ReleaseDeviceObjects() override;

	/**
	 * The SPIR-V to make the module of, from a compile: checks that it succeeded, has the entry
	 * point for the frequency, and binds only what the RHI can bind (single resources of set 0,
	 * no typed buffers); moves pixel shader bindings. Failures are checks naming the shader.
	 */
	static TArray<uint32> PrepareSpirv(const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint, EShaderFrequency Frequency);

protected:
	FVulkanShaderCode(FVulkanDynamicRHI& RHI, const FRHIShader& InShader, const TArray<uint32>& Spirv);

private:
	const FRHIShader& Shader;
	VkShaderModule Module = VK_NULL_HANDLE;
	uint64 Id;
	VkShaderStageFlagBits Stage;
	uint32 BindingOffset;
};

/** The Vulkan code of Shader; a failed check for a shader the RHI did not make. */
FVulkanShaderCode& GetVulkanShaderCode(FRHIShader* Shader);

template <typename BaseType>
class TVulkanShader final : public BaseType, public FVulkanShaderCode
{
public:
	static TRefCountPtr<BaseType> Create(FVulkanDynamicRHI& RHI, const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint)
	{
		if constexpr (std::is_same_v<BaseType, FRHIComputeShader>)
		{
			const TArray<uint32> Spirv = PrepareSpirv(Name, Compiled, EntryPoint, SF_Compute);
			const FIntVector GroupSize(int32(Compiled.ThreadGroupSize[0]), int32(Compiled.ThreadGroupSize[1]), int32(Compiled.ThreadGroupSize[2]));
			return TRefCountPtr<BaseType>(new TVulkanShader(RHI, Spirv, Name, EntryPoint, Compiled.Resources, GroupSize));
		}
		else
		{
			constexpr EShaderFrequency Frequency = std::is_same_v<BaseType, FRHIVertexShader> ? SF_Vertex : SF_Pixel;
			const TArray<uint32> Spirv = PrepareSpirv(Name, Compiled, EntryPoint, Frequency);
			return TRefCountPtr<BaseType>(new TVulkanShader(RHI, Spirv, Frequency, Name, EntryPoint, Compiled.Resources));
		}
	}

private:
	template <typename... ArgTypes>
	TVulkanShader(FVulkanDynamicRHI& RHI, const TArray<uint32>& Spirv, ArgTypes&&... BaseArguments)
		: BaseType(std::forward<ArgTypes>(BaseArguments)...)
		, FVulkanShaderCode(RHI, *this, Spirv)
	{
	}

	~TVulkanShader() override { ReleaseDeviceObjects(); }
};

using FVulkanComputeShader = TVulkanShader<FRHIComputeShader>;
using FVulkanVertexShader = TVulkanShader<FRHIVertexShader>;
using FVulkanPixelShader = TVulkanShader<FRHIPixelShader>;
