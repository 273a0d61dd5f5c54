#include "Rendering/ColorVertexBuffer.h"

#include "Rendering/VertexBufferUpload.h"

void FColorVertexBuffer::Init(uint32 InNumVertices, bool bInNeedsCPUAccess)
{
	InitFromSingleColor(FColor(0, 0, 0, 0), InNumVertices, bInNeedsCPUAccess);
}

void FColorVertexBuffer::InitFromSingleColor(const FColor& InColor, uint32 InNumVertices, bool bInNeedsCPUAccess)
{
	checkf(!IsInitialized(), TEXT("FColorVertexBuffer::Init on a buffer the renderer still uses: release it first"));
	Data.Init(InColor, int32(InNumVertices));
	NumVertices = InNumVertices;
	bNeedsCPUAccess = bInNeedsCPUAccess;
}

void FColorVertexBuffer::InitFromColorArray(const TArray<FColor>& InColors, bool bInNeedsCPUAccess)
{
	checkf(!IsInitialized(), TEXT("FColorVertexBuffer::Init on a buffer the renderer still uses: release it first"));
	Data = InColors;
	NumVertices = uint32(InColors.Num());
	bNeedsCPUAccess = bInNeedsCPUAccess;
}

void FColorVertexBuffer::CleanUp()
{
	checkf(!IsInitialized(), TEXT("FColorVertexBuffer::CleanUp on a buffer the renderer still uses: release it first"));
	Data.Empty();
	NumVertices = 0;
}

FColor& FColorVertexBuffer::VertexColor(uint32 VertexIndex)
{
	checkf(VertexIndex < NumVertices, TEXT("VertexColor: vertex %u of %u"), VertexIndex, NumVertices);
	checkf(!Data.IsEmpty(), TEXT("VertexColor: the CPU copy of the colours was dropped (no CPU access)"));
	return Data[int32(VertexIndex)];
}

const FColor& FColorVertexBuffer::VertexColor(uint32 VertexIndex) const
{
	return const_cast<FColorVertexBuffer*>(this)->VertexColor(VertexIndex);
}

void FColorVertexBuffer::InitRHI(FRHICommandListImmediate& RHICmdList)
{
	VertexBufferRHI = UE::Engine::Private::CreateVertexBufferWithData(RHICmdList, TEXT("FColorVertexBuffer"), Data.GetData(), GetAllocatedSize());
	if (!bNeedsCPUAccess)
	{
		Data.Empty();
	}
}

void FColorVertexBuffer::ReleaseRHI()
{
	VertexBufferRHI.SafeRelease();
}
