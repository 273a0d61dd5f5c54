#include "RHIResources.h"

#include "RHICommandList.h"
#include "RHIDeferredDeletion.h"

#include <cstring>

uint32 FRHIResource::Release() const
{
	const uint32 Remaining = --NumRefs;
	if (Remaining == 0)
	{
		FRHIDeferredDeletion::Enqueue(this);
	}
	return Remaining;
}

void FRHITexture::MarkUploaded()
{
	static std::atomic<uint64> NextRevision = 1;
	UploadRevision.store(NextRevision.fetch_add(1, std::memory_order_relaxed), std::memory_order_relaxed);
}

const FClearValueBinding FClearValueBinding::None;
const FClearValueBinding FClearValueBinding::Black(FLinearColor(0, 0, 0, 1));
const FClearValueBinding FClearValueBinding::White(FLinearColor(1, 1, 1, 1));
const FClearValueBinding FClearValueBinding::Transparent(FLinearColor(0, 0, 0, 0));
const FClearValueBinding FClearValueBinding::DepthOne(1.0f);
const FClearValueBinding FClearValueBinding::DepthZero(0.0f);

FRHITextureCreateDesc FRHITextureCreateDesc::Create2D(const TCHAR* InDebugName, int32 SizeX, int32 SizeY, EPixelFormat InFormat)
{
	return Create2D(InDebugName, FIntPoint(SizeX, SizeY), InFormat);
}

FRHITextureCreateDesc FRHITextureCreateDesc::Create2D(const TCHAR* InDebugName, FIntPoint InExtent, EPixelFormat InFormat)
{
	FRHITextureCreateDesc Desc;
	Desc.DebugName = InDebugName;
	Desc.Extent = InExtent;
	Desc.Format = InFormat;
	return Desc;
}

const FShaderResourceBinding* FRHIShader::FindResource(const FString& Name) const
{
	return Resources.FindByPredicate([&Name](const FShaderResourceBinding& Resource) { return Resource.Name.Equals(Name); });
}

const FShaderResourceBinding* FRHIShader::GetLooseParameterBuffer() const
{
	const FShaderResourceBinding* Resource = FindResource(TEXT("$Global"));
	return Resource && Resource->Kind == EShaderResourceKind::UniformBuffer ? Resource : nullptr;
}

int32 FRHIRenderPassInfo::GetNumColorRenderTargets() const
{
	int32 Count = 0;
	while (Count < int32(UE_ARRAY_COUNT(ColorRenderTargets)) && ColorRenderTargets[Count].RenderTarget)
	{
		++Count;
	}
	return Count;
}

void FRHIBatchedShaderParameters::SetLooseParameter(uint32 ByteOffset, uint32 NumBytes, const void* Value)
{
	check(Value || NumBytes == 0);
	const uint64 End = uint64(ByteOffset) + NumBytes;
	checkf(End <= uint64(MAX_int32), TEXT("SetLooseParameter: bytes %u to %llu lie beyond any parameter buffer"), ByteOffset, (unsigned long long)End);
	if (End > uint64(LooseParameterData.Num()))
	{
		LooseParameterData.SetNumZeroed(int32(End));
	}
	if (NumBytes > 0)
	{
		std::memcpy(LooseParameterData.GetData() + ByteOffset, Value, NumBytes);
	}
}
