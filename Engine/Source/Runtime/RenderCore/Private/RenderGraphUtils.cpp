#include "RenderGraphUtils.h"

#include "Math/UnrealMathUtility.h"
#include "PixelFormat.h"

namespace
{
	BEGIN_SHADER_PARAMETER_STRUCT(FCopyTextureParameters, )
		RDG_TEXTURE_ACCESS(Input, ERHIAccess::CopySrc)
		RDG_TEXTURE_ACCESS(Output, ERHIAccess::CopyDest)
	END_SHADER_PARAMETER_STRUCT()

	int32 GroupsFor(int32 ThreadCount, int32 GroupSize)
	{
		checkf(GroupSize > 0, TEXT("FComputeShaderUtils::GetGroupCount: A group of %d threads; groups hold at least one"), GroupSize);
		checkf(ThreadCount >= 0, TEXT("FComputeShaderUtils::GetGroupCount: %d threads; the count cannot be negative"), ThreadCount);
		return int32((int64(ThreadCount) + GroupSize - 1) / GroupSize);
	}

	FIntPoint MipExtent(const FRDGTextureDesc& Desc, uint32 MipIndex)
	{
		return FIntPoint(FMath::Max(Desc.Extent.X >> MipIndex, 1), FMath::Max(Desc.Extent.Y >> MipIndex, 1));
	}

	bool RegionFits(const FIntVector& Position, const FIntVector& Size, const FIntPoint& Extent)
	{
		return Position.X >= 0 && Position.Y >= 0 && int64(Position.X) + Size.X <= Extent.X && int64(Position.Y) + Size.Y <= Extent.Y;
	}
}

FIntVector FComputeShaderUtils::GetGroupCount(int32 ThreadCount, int32 GroupSize)
{
	return FIntVector(GroupsFor(ThreadCount, GroupSize), 1, 1);
}

FIntVector FComputeShaderUtils::GetGroupCount(const FIntPoint& ThreadCount, const FIntPoint& GroupSize)
{
	return FIntVector(GroupsFor(ThreadCount.X, GroupSize.X), GroupsFor(ThreadCount.Y, GroupSize.Y), 1);
}

FIntVector FComputeShaderUtils::GetGroupCount(const FIntPoint& ThreadCount, int32 GroupSize)
{
	return GetGroupCount(ThreadCount, FIntPoint(GroupSize, GroupSize));
}

FIntVector FComputeShaderUtils::GetGroupCount(const FIntVector& ThreadCount, const FIntVector& GroupSize)
{
	return FIntVector(GroupsFor(ThreadCount.X, GroupSize.X), GroupsFor(ThreadCount.Y, GroupSize.Y), GroupsFor(ThreadCount.Z, GroupSize.Z));
}

FIntVector FComputeShaderUtils::GetGroupCount(const FIntVector& ThreadCount, int32 GroupSize)
{
	return GetGroupCount(ThreadCount, FIntVector(GroupSize, GroupSize, GroupSize));
}

void FComputeShaderUtils::ValidateGroupCount(const FShaderType* ShaderType, const FIntVector& GroupCount)
{
	checkf(GroupCount.X >= 0 && GroupCount.Y >= 0 && GroupCount.Z >= 0, TEXT("FComputeShaderUtils: %s is dispatched with %d x %d x %d groups"),
		ShaderType ? ShaderType->GetName() : TEXT("A compute shader"), GroupCount.X, GroupCount.Y, GroupCount.Z);
}

void FComputeShaderUtils::ValidatePass(const FShader* Shader, const FShaderType* ShaderType, const FRDGEventName& PassName, ERDGPassFlags PassFlags)
{
	checkf(ShaderType != nullptr, TEXT("FComputeShaderUtils::AddPass: '%s' has no shader"), PassName.GetTCHAR());
	checkf(Shader != nullptr,
		TEXT("FComputeShaderUtils::AddPass: '%s' dispatches %s, which is not available: it failed to compile (see LogShaders) or its "
			 "ShouldCompilePermutation left it out"),
		PassName.GetTCHAR(), ShaderType->GetName());
	checkf(ShaderType->GetFrequency() == SF_Compute, TEXT("FComputeShaderUtils::AddPass: '%s' dispatches %s, which is not a compute shader"),
		PassName.GetTCHAR(), ShaderType->GetName());
	const ERDGPassFlags Kind = PassFlags & ~ERDGPassFlags::NeverCull;
	checkf(Kind == ERDGPassFlags::Compute || Kind == ERDGPassFlags::AsyncCompute,
		TEXT("FComputeShaderUtils::AddPass: '%s' is a dispatch, so its flags are Compute or AsyncCompute"), PassName.GetTCHAR());
}

FRDGPassRef AddCopyTexturePass(FRDGBuilder& GraphBuilder, FRDGTextureRef InputTexture, FRDGTextureRef OutputTexture, const FRHICopyTextureInfo& CopyInfo)
{
	checkf(InputTexture != nullptr && OutputTexture != nullptr, TEXT("AddCopyTexturePass: No %s texture"), InputTexture ? TEXT("destination") : TEXT("source"));
	checkf(InputTexture != OutputTexture, TEXT("AddCopyTexturePass: '%s' is both the source and the destination of the copy"), InputTexture->GetName());
	const int32 InputBytes = GetPixelFormatBytes(InputTexture->Desc.Format);
	const int32 OutputBytes = GetPixelFormatBytes(OutputTexture->Desc.Format);
	checkf(InputBytes == OutputBytes, TEXT("AddCopyTexturePass: '%s' has %d bytes per texel and '%s' %d; a copy keeps the bytes of each texel"),
		InputTexture->GetName(), InputBytes, OutputTexture->GetName(), OutputBytes);
	checkf(CopyInfo.SourceMipIndex < InputTexture->Desc.NumMips && CopyInfo.DestMipIndex < OutputTexture->Desc.NumMips,
		TEXT("AddCopyTexturePass: Mip %u of '%s' or mip %u of '%s' does not exist"), CopyInfo.SourceMipIndex, InputTexture->GetName(),
		CopyInfo.DestMipIndex, OutputTexture->GetName());
	const FIntPoint SourceExtent = MipExtent(InputTexture->Desc, CopyInfo.SourceMipIndex);
	const FIntVector Size = CopyInfo.Size.X == 0 && CopyInfo.Size.Y == 0 ? FIntVector(SourceExtent.X, SourceExtent.Y, 1) : CopyInfo.Size;
	checkf(Size.X > 0 && Size.Y > 0 && RegionFits(CopyInfo.SourcePosition, Size, SourceExtent)
			&& RegionFits(CopyInfo.DestPosition, Size, MipExtent(OutputTexture->Desc, CopyInfo.DestMipIndex)),
		TEXT("AddCopyTexturePass: %d x %d texels from (%d, %d) of '%s' to (%d, %d) of '%s' do not lie inside both textures"), Size.X, Size.Y,
		CopyInfo.SourcePosition.X, CopyInfo.SourcePosition.Y, InputTexture->GetName(), CopyInfo.DestPosition.X, CopyInfo.DestPosition.Y,
		OutputTexture->GetName());

	FCopyTextureParameters* Parameters = GraphBuilder.AllocParameters<FCopyTextureParameters>();
	Parameters->Input = InputTexture;
	Parameters->Output = OutputTexture;
	return GraphBuilder.AddPass(RDG_EVENT_NAME("CopyTexture(%s -> %s)", InputTexture->GetName(), OutputTexture->GetName()), Parameters,
		ERDGPassFlags::Copy, [InputTexture, OutputTexture, CopyInfo](FRHICommandList& RHICmdList) {
			RHICmdList.CopyTexture(InputTexture->GetRHI(), OutputTexture->GetRHI(), CopyInfo);
		});
}

FRDGBufferRef CreateStructuredBuffer(FRDGBuilder& GraphBuilder, const TCHAR* Name, uint32 BytesPerElement, uint32 NumElements,
	const void* InitialData, uint64 InitialDataSize, ERDGInitialDataFlags InitialDataFlags)
{
	checkf(BytesPerElement > 0, TEXT("CreateStructuredBuffer: '%s' has elements of 0 bytes"), Name);
	checkf(InitialDataSize <= uint64(BytesPerElement) * NumElements,
		TEXT("CreateStructuredBuffer: %llu bytes of data do not fit '%s', %u elements of %u bytes"), static_cast<unsigned long long>(InitialDataSize),
		Name, NumElements, BytesPerElement);
	FRDGBufferRef Buffer = GraphBuilder.CreateBuffer(FRDGBufferDesc::CreateStructuredDesc(BytesPerElement, NumElements), Name);
	// An empty buffer is zeroed by the builder already; a non-empty one without data is zeroed by the upload.
	if (NumElements > 0)
	{
		GraphBuilder.QueueBufferUpload(Buffer, InitialData, InitialDataSize, InitialDataFlags);
	}
	return Buffer;
}
