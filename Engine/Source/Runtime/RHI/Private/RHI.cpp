#include "RHI.h"

#include "VulkanDevice.h"
#include "VulkanDynamicRHI.h"
#include "VulkanMemoryPool.h"
#include "VulkanSamplerState.h"
#include "VulkanShader.h"
#include "VulkanTexture.h"

DEFINE_LOG_CATEGORY(LogRHI);

void RHIInit()
{
	FVulkanDynamicRHI::Start();
}

bool IsRHIInitialized()
{
	return FVulkanDynamicRHI::GetIfRunning() != nullptr;
}

const FRHIDeviceInfo& GetRHIDeviceInfo()
{
	return FVulkanDynamicRHI::Get().GetDevice().GetInfo();
}

void RHIExit()
{
	FVulkanDynamicRHI::Stop();
}

void RHISetPreExitCallback(void (*Callback)())
{
	FVulkanDynamicRHI::SetPreExitCallback(Callback);
}

int32 GetRHIValidationErrorCount()
{
	return FVulkanDevice::GetValidationErrorCount();
}

FTextureRHIRef RHICreateTexture(const FRHITextureCreateDesc& Desc)
{
	return FVulkanTexture::Create(FVulkanDynamicRHI::Get(), Desc);
}

FSamplerStateRHIRef RHICreateSamplerState(const FSamplerStateInitializerRHI& Initializer)
{
	return FVulkanSamplerState::Create(FVulkanDynamicRHI::Get(), Initializer);
}

FComputeShaderRHIRef RHICreateComputeShader(const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint)
{
	return FVulkanComputeShader::Create(FVulkanDynamicRHI::Get(), Name, Compiled, EntryPoint);
}

FVertexShaderRHIRef RHICreateVertexShader(const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint)
{
	return FVulkanVertexShader::Create(FVulkanDynamicRHI::Get(), Name, Compiled, EntryPoint);
}

FPixelShaderRHIRef RHICreatePixelShader(const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint)
{
	return FVulkanPixelShader::Create(FVulkanDynamicRHI::Get(), Name, Compiled, EntryPoint);
}

FRHIMemoryStats GetRHIMemoryStats()
{
	FVulkanDynamicRHI* RHI = FVulkanDynamicRHI::GetIfRunning();
	return RHI ? RHI->GetMemoryPool().GetStats() : FRHIMemoryStats();
}
