#include "VulkanPipelineCache.h"

#include "VulkanDevice.h"
#include "VulkanFormats.h"
#include "VulkanShader.h"

#include <algorithm>

namespace
{
	VkBlendFactor GetBlendFactor(EBlendFactor Factor)
	{
		switch (Factor)
		{
		case BF_Zero: return VK_BLEND_FACTOR_ZERO;
		case BF_One: return VK_BLEND_FACTOR_ONE;
		case BF_SourceColor: return VK_BLEND_FACTOR_SRC_COLOR;
		case BF_InverseSourceColor: return VK_BLEND_FACTOR_ONE_MINUS_SRC_COLOR;
		case BF_SourceAlpha: return VK_BLEND_FACTOR_SRC_ALPHA;
		case BF_InverseSourceAlpha: return VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA;
		case BF_DestAlpha: return VK_BLEND_FACTOR_DST_ALPHA;
		case BF_InverseDestAlpha: return VK_BLEND_FACTOR_ONE_MINUS_DST_ALPHA;
		case BF_DestColor: return VK_BLEND_FACTOR_DST_COLOR;
		case BF_InverseDestColor: return VK_BLEND_FACTOR_ONE_MINUS_DST_COLOR;
		default: return VK_BLEND_FACTOR_ONE;
		}
	}

	VkBlendOp GetBlendOp(EBlendOperation Operation)
	{
		switch (Operation)
		{
		case BO_Subtract: return VK_BLEND_OP_SUBTRACT;
		case BO_Min: return VK_BLEND_OP_MIN;
		case BO_Max: return VK_BLEND_OP_MAX;
		case BO_ReverseSubtract: return VK_BLEND_OP_REVERSE_SUBTRACT;
		default: return VK_BLEND_OP_ADD;
		}
	}

	VkPrimitiveTopology GetTopology(EPrimitiveType Type)
	{
		switch (Type)
		{
		case PT_TriangleStrip: return VK_PRIMITIVE_TOPOLOGY_TRIANGLE_STRIP;
		case PT_LineList: return VK_PRIMITIVE_TOPOLOGY_LINE_LIST;
		case PT_PointList: return VK_PRIMITIVE_TOPOLOGY_POINT_LIST;
		default: return VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST;
		}
	}

	FString DescribeShaders(std::initializer_list<const FVulkanShaderCode*> Shaders)
	{
		TArray<FString> Names;
		for (const FVulkanShaderCode* Shader : Shaders)
		{
			Names.Add(FString::Printf(TEXT("'%s'"), *Shader->GetShader().GetName()));
		}
		return FString::Join(Names, TEXT(" and "));
	}
}

VkDescriptorType GetVulkanDescriptorType(EShaderResourceKind Kind)
{
	switch (Kind)
	{
	case EShaderResourceKind::UniformBuffer: return VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER;
	case EShaderResourceKind::TextureSRV: return VK_DESCRIPTOR_TYPE_SAMPLED_IMAGE;
	case EShaderResourceKind::BufferSRV:
	case EShaderResourceKind::BufferUAV: return VK_DESCRIPTOR_TYPE_STORAGE_BUFFER;
	case EShaderResourceKind::TextureUAV: return VK_DESCRIPTOR_TYPE_STORAGE_IMAGE;
	case EShaderResourceKind::Sampler: return VK_DESCRIPTOR_TYPE_SAMPLER;
	case EShaderResourceKind::TypedBufferSRV: return VK_DESCRIPTOR_TYPE_UNIFORM_TEXEL_BUFFER;
	case EShaderResourceKind::TypedBufferUAV: return VK_DESCRIPTOR_TYPE_STORAGE_TEXEL_BUFFER;
	}
	return VK_DESCRIPTOR_TYPE_MAX_ENUM;
}

FVulkanPipelineCache::FVulkanPipelineCache(FVulkanDevice& InDevice)
	: Device(InDevice)
{
}

FVulkanPipelineCache::~FVulkanPipelineCache()
{
	const VkDevice Handle = Device.GetHandle();
	for (const auto& [Id, Pipeline] : ComputePipelines)
	{
		vkDestroyPipeline(Handle, Pipeline.Pipeline, nullptr);
	}
	for (const auto& [Key, Entry] : GraphicsPipelines)
	{
		vkDestroyPipeline(Handle, Entry.Pipeline.Pipeline, nullptr);
	}
	for (const auto& [Key, Layout] : Layouts)
	{
		vkDestroyPipelineLayout(Handle, Layout.PipelineLayout, nullptr);
		vkDestroyDescriptorSetLayout(Handle, Layout.SetLayout, nullptr);
	}
}

VkPipelineLayout FVulkanPipelineCache::GetLayout(std::initializer_list<const FVulkanShaderCode*> Shaders)
{
	std::vector<VkDescriptorSetLayoutBinding> Bindings;
	for (const FVulkanShaderCode* Shader : Shaders)
	{
		for (const FShaderResourceBinding& Resource : Shader->GetShader().GetResources())
		{
			VkDescriptorSetLayoutBinding Binding = {};
			Binding.binding = Shader->GetVulkanBinding(Resource.Binding);
			Binding.descriptorType = GetVulkanDescriptorType(Resource.Kind);
			Binding.descriptorCount = 1;
			Binding.stageFlags = Shader->GetStage();
			Bindings.push_back(Binding);
		}
	}
	std::sort(Bindings.begin(), Bindings.end(),
		[](const VkDescriptorSetLayoutBinding& A, const VkDescriptorSetLayoutBinding& B) { return A.binding < B.binding; });
	std::vector<uint32> Key;
	for (const VkDescriptorSetLayoutBinding& Binding : Bindings)
	{
		Key.insert(Key.end(), {Binding.binding, uint32(Binding.descriptorType), Binding.stageFlags});
	}
	if (const auto Found = Layouts.find(Key); Found != Layouts.end())
	{
		return Found->second.PipelineLayout;
	}

	checkf(Bindings.size() <= Device.GetMaxPushDescriptors(), TEXT("Shaders %s bind %d resources; the device pushes at most %u"),
		*DescribeShaders(Shaders), int32(Bindings.size()), Device.GetMaxPushDescriptors());
	FLayout Layout;
	VkDescriptorSetLayoutCreateInfo SetInfo = {};
	SetInfo.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO;
	SetInfo.flags = VK_DESCRIPTOR_SET_LAYOUT_CREATE_PUSH_DESCRIPTOR_BIT_KHR;
	SetInfo.bindingCount = uint32(Bindings.size());
	SetInfo.pBindings = Bindings.data();
	CheckVulkanResult(vkCreateDescriptorSetLayout(Device.GetHandle(), &SetInfo, nullptr, &Layout.SetLayout), TEXT("vkCreateDescriptorSetLayout"));
	VkPipelineLayoutCreateInfo LayoutInfo = {};
	LayoutInfo.sType = VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO;
	LayoutInfo.setLayoutCount = 1;
	LayoutInfo.pSetLayouts = &Layout.SetLayout;
	const VkResult Result = vkCreatePipelineLayout(Device.GetHandle(), &LayoutInfo, nullptr, &Layout.PipelineLayout);
	if (Result != VK_SUCCESS)
	{
		vkDestroyDescriptorSetLayout(Device.GetHandle(), Layout.SetLayout, nullptr);
		CheckVulkanResult(Result, TEXT("vkCreatePipelineLayout"));
	}
	Layouts.emplace(std::move(Key), Layout);
	return Layout.PipelineLayout;
}

FVulkanPipelineCache::FPipeline FVulkanPipelineCache::GetComputePipeline(FVulkanShaderCode& Shader)
{
	if (const auto Found = ComputePipelines.find(Shader.GetId()); Found != ComputePipelines.end())
	{
		return Found->second;
	}
	FPipeline Pipeline;
	Pipeline.Layout = GetLayout({&Shader});
	VkComputePipelineCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_COMPUTE_PIPELINE_CREATE_INFO;
	CreateInfo.stage.sType = VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO;
	CreateInfo.stage.stage = VK_SHADER_STAGE_COMPUTE_BIT;
	CreateInfo.stage.module = Shader.GetModule();
	CreateInfo.stage.pName = *Shader.GetShader().GetEntryPoint();
	CreateInfo.layout = Pipeline.Layout;
	const VkResult Result = vkCreateComputePipelines(Device.GetHandle(), VK_NULL_HANDLE, 1, &CreateInfo, nullptr, &Pipeline.Pipeline);
	checkf(Result == VK_SUCCESS, TEXT("Creating the compute pipeline of shader '%s' failed: %s"), *Shader.GetShader().GetName(),
		VulkanResultToString(Result));
	ComputePipelines.emplace(Shader.GetId(), Pipeline);
	return Pipeline;
}

FVulkanPipelineCache::FPipeline FVulkanPipelineCache::GetGraphicsPipeline(const FGraphicsDesc& Desc)
{
	std::vector<uint64> Key = {Desc.VertexShader->GetId(), Desc.PixelShader->GetId(), uint64(Desc.PrimitiveType)};
	for (const FVertexElement& Element : Desc.VertexElements)
	{
		Key.push_back(uint64(Element.StreamIndex) | uint64(Element.Offset) << 8 | uint64(Element.Type) << 16 | uint64(Element.AttributeIndex) << 24
			| uint64(Element.Stride) << 32 | uint64(Element.bUseInstanceIndex) << 48);
	}
	const FBlendStateInitializerRHI::FRenderTarget& Blend = Desc.Blend.RenderTarget;
	Key.push_back(uint64(Blend.ColorBlendOp) | uint64(Blend.ColorSrcBlend) << 8 | uint64(Blend.ColorDestBlend) << 16 | uint64(Blend.AlphaBlendOp) << 24
		| uint64(Blend.AlphaSrcBlend) << 32 | uint64(Blend.AlphaDestBlend) << 40 | uint64(Blend.ColorWriteMask) << 48);
	Key.push_back(uint64(Desc.Rasterizer.FillMode) | uint64(Desc.Rasterizer.CullMode) << 8);
	Key.insert(Key.end(), Desc.ColorFormats.begin(), Desc.ColorFormats.end());
	Key.push_back(uint64(Desc.DepthFormat) | uint64(Desc.DepthStencil.bEnableDepthWrite) << 32 | uint64(Desc.DepthStencil.DepthTest) << 40);
	if (const auto Found = GraphicsPipelines.find(Key); Found != GraphicsPipelines.end())
	{
		return Found->second.Pipeline;
	}

	FGraphicsEntry Entry;
	Entry.VertexShaderId = Desc.VertexShader->GetId();
	Entry.PixelShaderId = Desc.PixelShader->GetId();
	Entry.Pipeline.Layout = GetLayout({Desc.VertexShader, Desc.PixelShader});
	Entry.Pipeline.Pipeline = CreateGraphicsPipeline(Desc, Entry.Pipeline.Layout);
	GraphicsPipelines.emplace(std::move(Key), Entry);
	return Entry.Pipeline;
}

VkPipeline FVulkanPipelineCache::CreateGraphicsPipeline(const FGraphicsDesc& Desc, VkPipelineLayout Layout)
{
	const FString Shaders = DescribeShaders({Desc.VertexShader, Desc.PixelShader});
	std::vector<VkVertexInputBindingDescription> Streams;
	std::vector<VkVertexInputAttributeDescription> Attributes;
	for (const FVertexElement& Element : Desc.VertexElements)
	{
		const VkFormat Format = GetVulkanVertexFormat(Element.Type);
		checkf(Format != VK_FORMAT_UNDEFINED, TEXT("Pipeline of %s: the vertex element for attribute %u has no type"), *Shaders,
			uint32(Element.AttributeIndex));
		checkf(std::none_of(Attributes.begin(), Attributes.end(),
				   [&Element](const VkVertexInputAttributeDescription& Other) { return Other.location == Element.AttributeIndex; }),
			TEXT("Pipeline of %s: two vertex elements feed attribute %u"), *Shaders, uint32(Element.AttributeIndex));
		Attributes.push_back({Element.AttributeIndex, Element.StreamIndex, Format, Element.Offset});

		const VkVertexInputRate Rate = Element.bUseInstanceIndex ? VK_VERTEX_INPUT_RATE_INSTANCE : VK_VERTEX_INPUT_RATE_VERTEX;
		const auto Stream = std::find_if(Streams.begin(), Streams.end(),
			[&Element](const VkVertexInputBindingDescription& Other) { return Other.binding == Element.StreamIndex; });
		if (Stream == Streams.end())
		{
			Streams.push_back({Element.StreamIndex, Element.Stride, Rate});
		}
		else
		{
			checkf(Stream->stride == Element.Stride && Stream->inputRate == Rate,
				TEXT("Pipeline of %s: the elements of vertex stream %u disagree on its stride or instancing"), *Shaders, uint32(Element.StreamIndex));
		}
	}
	checkf(Desc.Rasterizer.FillMode == FM_Solid || Device.SupportsFillModeNonSolid(),
		TEXT("Pipeline of %s asks for point or wireframe fill, which the device does not offer"), *Shaders);

	const VkPipelineShaderStageCreateInfo Stages[2] = {
		{VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO, nullptr, 0, VK_SHADER_STAGE_VERTEX_BIT, Desc.VertexShader->GetModule(),
			*Desc.VertexShader->GetShader().GetEntryPoint(), nullptr},
		{VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO, nullptr, 0, VK_SHADER_STAGE_FRAGMENT_BIT, Desc.PixelShader->GetModule(),
			*Desc.PixelShader->GetShader().GetEntryPoint(), nullptr},
	};

	VkPipelineVertexInputStateCreateInfo VertexInput = {};
	VertexInput.sType = VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO;
	VertexInput.vertexBindingDescriptionCount = uint32(Streams.size());
	VertexInput.pVertexBindingDescriptions = Streams.data();
	VertexInput.vertexAttributeDescriptionCount = uint32(Attributes.size());
	VertexInput.pVertexAttributeDescriptions = Attributes.data();

	VkPipelineInputAssemblyStateCreateInfo InputAssembly = {};
	InputAssembly.sType = VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO;
	InputAssembly.topology = GetTopology(Desc.PrimitiveType);

	VkPipelineViewportStateCreateInfo Viewport = {};
	Viewport.sType = VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO;
	Viewport.viewportCount = 1;
	Viewport.scissorCount = 1;

	VkPipelineRasterizationStateCreateInfo Rasterization = {};
	Rasterization.sType = VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO;
	Rasterization.polygonMode = Desc.Rasterizer.FillMode == FM_Point ? VK_POLYGON_MODE_POINT
		: Desc.Rasterizer.FillMode == FM_Wireframe                   ? VK_POLYGON_MODE_LINE
																	 : VK_POLYGON_MODE_FILL;
	// Counter-clockwise triangles face the viewer, so CM_CW (cull clockwise) culls back faces.
	Rasterization.frontFace = VK_FRONT_FACE_COUNTER_CLOCKWISE;
	Rasterization.cullMode = Desc.Rasterizer.CullMode == CM_CW ? VK_CULL_MODE_BACK_BIT
		: Desc.Rasterizer.CullMode == CM_CCW                   ? VK_CULL_MODE_FRONT_BIT
															   : VK_CULL_MODE_NONE;
	Rasterization.lineWidth = 1.0f;

	VkPipelineMultisampleStateCreateInfo Multisample = {};
	Multisample.sType = VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO;
	Multisample.rasterizationSamples = VK_SAMPLE_COUNT_1_BIT;

	const FBlendStateInitializerRHI::FRenderTarget& Blend = Desc.Blend.RenderTarget;
	VkPipelineColorBlendAttachmentState Attachment = {};
	Attachment.blendEnable = !(Blend.ColorBlendOp == BO_Add && Blend.ColorSrcBlend == BF_One && Blend.ColorDestBlend == BF_Zero
		&& Blend.AlphaBlendOp == BO_Add && Blend.AlphaSrcBlend == BF_One && Blend.AlphaDestBlend == BF_Zero);
	Attachment.srcColorBlendFactor = GetBlendFactor(Blend.ColorSrcBlend);
	Attachment.dstColorBlendFactor = GetBlendFactor(Blend.ColorDestBlend);
	Attachment.colorBlendOp = GetBlendOp(Blend.ColorBlendOp);
	Attachment.srcAlphaBlendFactor = GetBlendFactor(Blend.AlphaSrcBlend);
	Attachment.dstAlphaBlendFactor = GetBlendFactor(Blend.AlphaDestBlend);
	Attachment.alphaBlendOp = GetBlendOp(Blend.AlphaBlendOp);
	Attachment.colorWriteMask = (Blend.ColorWriteMask & CW_RED ? VK_COLOR_COMPONENT_R_BIT : 0) | (Blend.ColorWriteMask & CW_GREEN ? VK_COLOR_COMPONENT_G_BIT : 0)
		| (Blend.ColorWriteMask & CW_BLUE ? VK_COLOR_COMPONENT_B_BIT : 0) | (Blend.ColorWriteMask & CW_ALPHA ? VK_COLOR_COMPONENT_A_BIT : 0);
	const std::vector<VkPipelineColorBlendAttachmentState> Attachments(Desc.ColorFormats.size(), Attachment);
	VkPipelineColorBlendStateCreateInfo ColorBlend = {};
	ColorBlend.sType = VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO;
	ColorBlend.attachmentCount = uint32(Attachments.size());
	ColorBlend.pAttachments = Attachments.data();

	VkPipelineDepthStencilStateCreateInfo DepthStencil = {};
	DepthStencil.sType = VK_STRUCTURE_TYPE_PIPELINE_DEPTH_STENCIL_STATE_CREATE_INFO;
	DepthStencil.depthTestEnable = VK_TRUE;
	DepthStencil.depthWriteEnable = Desc.DepthStencil.bEnableDepthWrite ? VK_TRUE : VK_FALSE;
	DepthStencil.depthCompareOp = GetVulkanCompareOp(Desc.DepthStencil.DepthTest);
	DepthStencil.maxDepthBounds = 1.0f;

	const VkDynamicState DynamicStates[] = {VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR};
	VkPipelineDynamicStateCreateInfo Dynamic = {};
	Dynamic.sType = VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO;
	Dynamic.dynamicStateCount = UE_ARRAY_COUNT(DynamicStates);
	Dynamic.pDynamicStates = DynamicStates;

	VkPipelineRenderingCreateInfo Rendering = {};
	Rendering.sType = VK_STRUCTURE_TYPE_PIPELINE_RENDERING_CREATE_INFO;
	Rendering.colorAttachmentCount = uint32(Desc.ColorFormats.size());
	Rendering.pColorAttachmentFormats = Desc.ColorFormats.data();
	Rendering.depthAttachmentFormat = Desc.DepthFormat;

	VkGraphicsPipelineCreateInfo CreateInfo = {};
	CreateInfo.sType = VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO;
	CreateInfo.pNext = &Rendering;
	CreateInfo.stageCount = 2;
	CreateInfo.pStages = Stages;
	CreateInfo.pVertexInputState = &VertexInput;
	CreateInfo.pInputAssemblyState = &InputAssembly;
	CreateInfo.pViewportState = &Viewport;
	CreateInfo.pRasterizationState = &Rasterization;
	CreateInfo.pMultisampleState = &Multisample;
	CreateInfo.pColorBlendState = &ColorBlend;
	CreateInfo.pDepthStencilState = Desc.DepthFormat != VK_FORMAT_UNDEFINED ? &DepthStencil : nullptr;
	CreateInfo.pDynamicState = &Dynamic;
	CreateInfo.layout = Layout;
	VkPipeline Pipeline = VK_NULL_HANDLE;
	const VkResult Result = vkCreateGraphicsPipelines(Device.GetHandle(), VK_NULL_HANDLE, 1, &CreateInfo, nullptr, &Pipeline);
	checkf(Result == VK_SUCCESS, TEXT("Creating the graphics pipeline of %s failed: %s"), *Shaders, VulkanResultToString(Result));
	return Pipeline;
}

void FVulkanPipelineCache::OnShaderDestroyed(uint64 ShaderId)
{
	const VkDevice Handle = Device.GetHandle();
	if (const auto Found = ComputePipelines.find(ShaderId); Found != ComputePipelines.end())
	{
		vkDestroyPipeline(Handle, Found->second.Pipeline, nullptr);
		ComputePipelines.erase(Found);
	}
	for (auto It = GraphicsPipelines.begin(); It != GraphicsPipelines.end();)
	{
		if (It->second.VertexShaderId == ShaderId || It->second.PixelShaderId == ShaderId)
		{
			vkDestroyPipeline(Handle, It->second.Pipeline.Pipeline, nullptr);
			It = GraphicsPipelines.erase(It);
		}
		else
		{
			++It;
		}
	}
}
