#include "Rendering/PositionVertexBuffer.h"

#include "Rendering/VertexBufferUpload.h"

void FPositionVertexBuffer::Init(uint32 InNumVertices, bool bInNeedsCPUAccess)
{
	checkf(!IsInitialized(), TEXT("FPositionVertexBuffer::Init on a buffer the renderer still uses: release it first"));
	Data.Empty();
	Data.SetNum(int32(InNumVertices));
	NumVertices = InNumVertices;
	bNeedsCPUAccess = bInNeedsCPUAccess;
}

void FPositionVertexBuffer::Init(const TArray<FVector3f>& InPositions, bool bInNeedsCPUAccess)
{
	checkf(!IsInitialized(), TEXT("FPositionVertexBuffer::Init on a buffer the renderer still uses: release it first"));
	Data = InPositions;
	NumVertices = uint32(InPositions.Num());
	bNeedsCPUAccess = bInNeedsCPUAccess;
}

void FPositionVertexBuffer::CleanUp()
{
	checkf(!IsInitialized(), TEXT("FPositionVertexBuffer::CleanUp on a buffer the renderer still uses: release it first"));
	Data.Empty();
	NumVertices = 0;
}

FVector3f& FPositionVertexBuffer::VertexPosition(uint32 VertexIndex)
{
	checkf(VertexIndex < NumVertices, TEXT("VertexPosition: vertex %u of %u"), VertexIndex, NumVertices);
	checkf(!Data.IsEmpty(), TEXT("VertexPosition: the CPU copy of the positions was dropped (no CPU access)"));
	return Data[int32(VertexIndex)];
}

const FVector3f& FPositionVertexBuffer::VertexPosition(uint32 VertexIndex) const
{
	return const_cast<FPositionVertexBuffer*>(this)->VertexPosition(VertexIndex);
}

void FPositionVertexBuffer::InitRHI(FRHICommandListImmediate& RHICmdList)
{
	VertexBufferRHI = UE::Engine::Private::CreateVertexBufferWithData(RHICmdList, TEXT("FPositionVertexBuffer"), Data.GetData(),
		uint32(Data.Num()) * GetStride());
	if (!bNeedsCPUAccess)
	{
		Data.Empty();
	}
}

void FPositionVertexBuffer::ReleaseRHI()
{
	VertexBufferRHI.SafeRelease();
}
