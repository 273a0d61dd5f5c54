#pragma once

// The RHI on Vulkan: which device, the feature level, resource creation and the validation
// report.
//
// The device is chosen and created at the first RHI call that needs it. Without a choice, a
// discrete GPU is preferred, then an integrated or virtual one, then a CPU device (lavapipe).
// VORPEX_RHI_DEVICE overrides: "cpu" or "gpu" for the kind, or any other text to pick the
// first device whose name contains it (letter case ignored); a choice no device satisfies
// fails the start with a message listing the devices.
//
// VORPEX_RHI_VALIDATION=1 turns the Khronos validation layer on (the tests do); every error it
// reports is logged on LogRHI at Error and counted (GetRHIValidationErrorCount). Asking for
// the layer where it is not installed is a logged error, not a silent pass.
//
// Every RHI call but dropping references is made on the rendering thread (IsInRenderingThread
// of RenderCore: the render thread, a command running inline, or the game thread while
// rendering is not threaded). The RHI does not lock against itself.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Logging/LogMacros.h"
#include "RHIDefinitions.h"
#include "RHIResources.h"

RHI_API DECLARE_LOG_CATEGORY_EXTERN(LogRHI, Log, All);

/** The feature level every shader is compiled for; the only one here. */
inline constexpr ERHIFeatureLevel::Type GMaxRHIFeatureLevel = ERHIFeatureLevel::SM5;

/** What was chosen: the Vulkan device's name, type and driver. */
struct FRHIDeviceInfo
{
	FString DeviceName;
	/** "discrete", "integrated", "virtual", "cpu" or "other". */
	FString DeviceType;
	FString DriverName;
	uint32 ApiVersion = 0;
	bool bValidationEnabled = false;
};

/**
 * Starts the RHI unless it runs already; the first RHI call does this itself. A start that
 * fails (no Vulkan, no device matching the choice) throws FCheckFailure with the reason and is
 * tried again by the next call.
 */
RHI_API void RHIInit();

/** True once RHIInit has succeeded, until RHIExit. */
RHI_API bool IsRHIInitialized();

/** The chosen device; starts the RHI. */
RHI_API const FRHIDeviceInfo& GetRHIDeviceInfo();

/**
 * Waits for the GPU, destroys every resource whose last reference has gone and then the
 * device. Resources still referenced are left to the process's end. Called at exit after the
 * render thread has stopped; a later RHI call starts the RHI again.
 */
RHI_API void RHIExit();

/**
 * Sets the function the RHI calls at process exit before it shuts down, so that the layer
 * above can stop the threads still recording GPU work (RenderCore stops the render thread).
 * The RHI's exit runs when the process exits after a successful start.
 */
RHI_API void RHISetPreExitCallback(void (*Callback)());

/** Errors the validation layer has reported since the start. */
RHI_API int32 GetRHIValidationErrorCount();

/** Creation; see FRHICommandList for the same calls on a command list. */
RHI_API FTextureRHIRef RHICreateTexture(const FRHITextureCreateDesc& Desc);
RHI_API FSamplerStateRHIRef RHICreateSamplerState(const FSamplerStateInitializerRHI& Initializer);

/**
 * Shader objects from SPIR-V and its reflection. A module the device rejects fails a check
 * naming the shader.
 */
RHI_API FComputeShaderRHIRef RHICreateComputeShader(const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint);
RHI_API FVertexShaderRHIRef RHICreateVertexShader(const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint);
RHI_API FPixelShaderRHIRef RHICreatePixelShader(const FString& Name, const FShaderCompileOutput& Compiled, const FString& EntryPoint);

/** Bytes of device memory held by the pool for reuse, and bytes in live resources. */
struct FRHIMemoryStats
{
	uint64 PooledBytes = 0;
	uint64 AllocatedBytes = 0;
	/** Device memory allocations made since the start; a pooled reuse makes none. */
	uint64 NumDeviceAllocations = 0;
};
RHI_API FRHIMemoryStats GetRHIMemoryStats();
