#pragma once

// One pass of a render graph: its name and event path, its flags, its parameter struct and
// the body run at Execute. Passes are made by FRDGBuilder::AddPass.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "RHICommandList.h"
#include "RenderGraphDefinitions.h"
#include "RenderGraphEvent.h"

#include <utility>

class FGPUStat;
class FShaderParametersMetadata;

class RENDERCORE_API FRDGPass
{
public:
	virtual ~FRDGPass() = default;
	FRDGPass(const FRDGPass&) = delete;
	FRDGPass& operator=(const FRDGPass&) = delete;

	/** The pass's own name (RDG_EVENT_NAME). */
	const TCHAR* GetName() const { return Name.GetTCHAR(); }
	/** The names of the event scopes open when the pass was added, then its own, joined by '/'. */
	const FString& GetEventPath() const { return EventPath; }
	/** The innermost GPU stat scope open when the pass was added, or null. */
	const FGPUStat* GetGPUStat() const { return GPUStat; }
	ERDGPassFlags GetFlags() const { return Flags; }
	const FShaderParametersMetadata* GetParameterMetadata() const { return ParameterMetadata; }
	const void* GetParameters() const { return Parameters; }

protected:
	FRDGPass(FRDGEventName&& InName, const FShaderParametersMetadata* InParameterMetadata, const void* InParameters, ERDGPassFlags InFlags)
		: Name(std::move(InName))
		, Flags(InFlags)
		, ParameterMetadata(InParameterMetadata)
		, Parameters(InParameters)
	{
	}

	virtual void ExecuteBody(FRHICommandListImmediate& RHICmdList) = 0;

private:
	friend class FRDGBuilder;

	struct FTextureAccess
	{
		FRDGTexture* Texture;
		ERHIAccess Access;
	};
	struct FBufferAccess
	{
		FRDGBuffer* Buffer;
		ERHIAccess Access;
	};

	FRDGEventName Name;
	ERDGPassFlags Flags;
	const FShaderParametersMetadata* ParameterMetadata;
	const void* Parameters;
	TArray<FString> EventScopes;
	FString EventPath;
	FGPUStat* GPUStat = nullptr;

	/** What the builder found in the parameters when the pass was added: one access per resource. */
	TArray<FTextureAccess> TextureAccesses;
	TArray<FBufferAccess> BufferAccesses;
	TArray<FRDGTextureSRV*> TextureSRVs;
	TArray<FRDGTextureUAV*> TextureUAVs;
	TArray<FRDGBufferSRV*> BufferSRVs;
};

/** A pass whose body is a lambda taking the command list (FRHICommandList&, FRHIComputeCommandList& or FRHICommandListImmediate&). */
template <typename LambdaType>
class TRDGLambdaPass final : public FRDGPass
{
public:
	TRDGLambdaPass(FRDGEventName&& InName, const FShaderParametersMetadata* InParameterMetadata, const void* InParameters, ERDGPassFlags InFlags,
		LambdaType&& InLambda)
		: FRDGPass(std::move(InName), InParameterMetadata, InParameters, InFlags)
		, Lambda(std::move(InLambda))
	{
	}

private:
	void ExecuteBody(FRHICommandListImmediate& RHICmdList) override { Lambda(RHICmdList); }

	LambdaType Lambda;
};
