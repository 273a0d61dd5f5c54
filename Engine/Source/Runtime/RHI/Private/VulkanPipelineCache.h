#pragma once

// Pipelines and their layouts, made on first use and kept. A layout is one push-descriptor set
// with the union of its shaders' bindings, shared by every pipeline with the same bindings.
// Compute pipelines are cached per shader; graphics pipelines per shaders, vertex layout,
// blend, rasterizer and depth state, primitive type and target formats. Shaders are keyed by their
// unique ids, and a shader's pipelines go with it.

#include "RHIResources.h"
#include "ShaderCompileOutput.h"
#include "VulkanCommon.h"

#include <initializer_list>
#include <map>
#include <vector>

class FVulkanDevice;
class FVulkanShaderCode;

/** The descriptor type a kind of shader resource is bound as. */
VkDescriptorType GetVulkanDescriptorType(EShaderResourceKind Kind);

class FVulkanPipelineCache
{
public:
	struct FPipeline
	{
		VkPipeline Pipeline = VK_NULL_HANDLE;
		VkPipelineLayout Layout = VK_NULL_HANDLE;
	};

	/** Everything a graphics pipeline is made from. */
	struct FGraphicsDesc
	{
		FVulkanShaderCode* VertexShader = nullptr;
		FVulkanShaderCode* PixelShader = nullptr;
		FVertexDeclarationElementList VertexElements;
		FBlendStateInitializerRHI Blend;
		FRasterizerStateInitializerRHI Rasterizer;
		EPrimitiveType PrimitiveType = PT_TriangleList;
		std::vector<VkFormat> ColorFormats;
		/** VK_FORMAT_UNDEFINED for a render pass without a depth target; the depth-stencil state is then not used. */
		VkFormat DepthFormat = VK_FORMAT_UNDEFINED;
		FDepthStencilStateInitializerRHI DepthStencil;
	};

	explicit FVulkanPipelineCache(FVulkanDevice& InDevice);
	~FVulkanPipelineCache();
	FVulkanPipelineCache(const FVulkanPipelineCache&) = delete;
	FVulkanPipelineCache& operator=(const FVulkanPipelineCache&) = delete;

	/** Failures (too many bindings for a push set, a pipeline the driver rejects) are checks naming the shaders. */
	FPipeline GetComputePipeline(FVulkanShaderCode& Shader);
	FPipeline GetGraphicsPipeline(const FGraphicsDesc& Desc);

	/** Destroys the pipelines made with the shader; called as it goes, when no GPU work uses them any more. */
	void OnShaderDestroyed(uint64 ShaderId);

	int32 GetNumPipelines() const { return int32(ComputePipelines.size() + GraphicsPipelines.size()); }

private:
	struct FLayout
	{
		VkDescriptorSetLayout SetLayout = VK_NULL_HANDLE;
		VkPipelineLayout PipelineLayout = VK_NULL_HANDLE;
	};

	struct FGraphicsEntry
	{
		FPipeline Pipeline;
		uint64 VertexShaderId = 0;
		uint64 PixelShaderId = 0;
	};

	VkPipelineLayout GetLayout(std::initializer_list<const FVulkanShaderCode*> Shaders);
	VkPipeline CreateGraphicsPipeline(const FGraphicsDesc& Desc, VkPipelineLayout Layout);

	FVulkanDevice& Device;
	/** Keyed by (binding, descriptor type, stages) of every binding. */
	std::map<std::vector<uint32>, FLayout> Layouts;
	std::map<uint64, FPipeline> ComputePipelines;
	std::map<std::vector<uint64>, FGraphicsEntry> GraphicsPipelines;
};
