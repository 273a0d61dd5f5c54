#pragma once

// Binding a parameter struct to a shader:
//
//   SetComputePipelineState(RHICmdList, ShaderRHI);
//   SetShaderParameters(RHICmdList, ComputeShader, ShaderRHI, *Parameters);
//
// Members are matched by name to what the shader's compiled code uses: loose values are copied
// to their offsets in the "$Global" buffer, resources bound to their bindings. A member the
// code does not use is skipped. Each of these is a failed check naming the shader and the
// member, raised before anything is bound: an input of the code with no member of its name, a
// member of another kind than the input (a UAV for a Texture2D), a value whose size differs
// from the HLSL variable's, a null resource the code uses, and an RDG resource used outside
// the execution of a pass that declares it.

#include "CoreTypes.h"
#include "RHICommandList.h"
#include "RHIResources.h"
#include "Shader.h"
#include "ShaderParameterMacros.h"
#include "ShaderParameterMetadata.h"

namespace UE::RenderCore
{
	/** Fills OutParameters for Shader from the struct at Parameters described by Metadata. */
	RENDERCORE_API void GatherShaderParameters(FRHIBatchedShaderParameters& OutParameters, const FShader& Shader,
		const FShaderParametersMetadata& Metadata, const void* Parameters);

	/** A failed check unless ShaderRHI is the RHI shader of Shader, whose reflection the binding follows. */
	RENDERCORE_API void CheckShaderRHIMatches(const FShader* Shader, const FShaderType* Type, const FRHIShader* ShaderRHI);
}

/** Fills batched parameters for Shader from Parameters; a failed check when the shader is not available. */
template <typename TShaderClass>
void SetShaderParameters(FRHIBatchedShaderParameters& OutParameters, const TShaderRef<TShaderClass>& Shader,
	const typename TShaderClass::FParameters& Parameters)
{
	const FShaderParametersMetadata* Metadata = TShaderClass::FParameters::FTypeInfo::GetStructMetadata();
	UE::RenderCore::GatherShaderParameters(OutParameters, *Shader, *Metadata, &Parameters);
}

/** Binds Parameters for the compute, vertex or pixel shader ShaderRHI of Shader on RHICmdList. */
template <typename TRHICmdList, typename TShaderClass, typename TRHIShader>
void SetShaderParameters(TRHICmdList& RHICmdList, const TShaderRef<TShaderClass>& Shader, TRHIShader* ShaderRHI,
	const typename TShaderClass::FParameters& Parameters)
{
	UE::RenderCore::CheckShaderRHIMatches(Shader.GetShader(), Shader.GetType(), ShaderRHI);
	FRHIBatchedShaderParameters BatchedParameters;
	SetShaderParameters(BatchedParameters, Shader, Parameters);
	RHICmdList.SetBatchedShaderParameters(ShaderRHI, BatchedParameters);
}
