#include "Rendering/StaticMeshVertexBuffer.h"

#include "Rendering/VertexBufferUpload.h"

void FStaticMeshVertexBuffer::Init(uint32 InNumVertices, uint32 InNumTexCoords, bool bInNeedsCPUAccess)
{
	checkf(!IsInitialized(), TEXT("FStaticMeshVertexBuffer::Init on a buffer the renderer still uses: release it first"));
	checkf(InNumTexCoords >= 1 && InNumTexCoords <= MAX_TEXCOORDS, TEXT("FStaticMeshVertexBuffer::Init: %u UV channels, not 1 to %u"),
		InNumTexCoords, MAX_TEXCOORDS);
	NumVertices = InNumVertices;
	NumTexCoords = InNumTexCoords;
	bNeedsCPUAccess = bInNeedsCPUAccess;
	Tangents.Empty();
	Tangents.Reserve(int32(InNumVertices) * 2);
	for (uint32 VertexIndex = 0; VertexIndex < InNumVertices; ++VertexIndex)
	{
		Tangents.Add(FVector4f(1, 0, 0, 0));
		Tangents.Add(FVector4f(0, 0, 1, 1));
	}
	TexCoords.Empty();
	TexCoords.SetNum(int32(InNumVertices * InNumTexCoords));
}

void FStaticMeshVertexBuffer::CleanUp()
{
	checkf(!IsInitialized(), TEXT("FStaticMeshVertexBuffer::CleanUp on a buffer the renderer still uses: release it first"));
	Tangents.Empty();
	TexCoords.Empty();
	NumVertices = 0;
	NumTexCoords = 0;
}

void FStaticMeshVertexBuffer::CheckVertex(uint32 VertexIndex) const
{
	checkf(VertexIndex < NumVertices, TEXT("FStaticMeshVertexBuffer: vertex %u of %u"), VertexIndex, NumVertices);
	checkf(!Tangents.IsEmpty(), TEXT("FStaticMeshVertexBuffer: the CPU copy of the tangents and UVs was dropped (no CPU access)"));
}

FVector4f FStaticMeshVertexBuffer::VertexTangentX(uint32 VertexIndex) const
{
	CheckVertex(VertexIndex);
	return Tangents[int32(VertexIndex * 2)];
}

FVector4f FStaticMeshVertexBuffer::VertexTangentZ(uint32 VertexIndex) const
{
	CheckVertex(VertexIndex);
	return Tangents[int32(VertexIndex * 2 + 1)];
}

FVector3f FStaticMeshVertexBuffer::VertexTangentY(uint32 VertexIndex) const
{
	const FVector4f X = VertexTangentX(VertexIndex);
	const FVector4f Z = VertexTangentZ(VertexIndex);
	return (FVector3f(Z.X, Z.Y, Z.Z) ^ FVector3f(X.X, X.Y, X.Z)) * Z.W;
}

void FStaticMeshVertexBuffer::SetVertexTangents(uint32 VertexIndex, const FVector3f& X, const FVector3f& Y, const FVector3f& Z)
{
	CheckVertex(VertexIndex);
	const float Sign = ((Z ^ X) | Y) < 0.0f ? -1.0f : 1.0f;
	Tangents[int32(VertexIndex * 2)] = FVector4f(X.X, X.Y, X.Z, 0.0f);
	Tangents[int32(VertexIndex * 2 + 1)] = FVector4f(Z.X, Z.Y, Z.Z, Sign);
}

FVector2f FStaticMeshVertexBuffer::GetVertexUV(uint32 VertexIndex, uint32 UVIndex) const
{
	CheckVertex(VertexIndex);
	checkf(UVIndex < NumTexCoords, TEXT("GetVertexUV: UV channel %u of %u"), UVIndex, NumTexCoords);
	return TexCoords[int32(VertexIndex * NumTexCoords + UVIndex)];
}

void FStaticMeshVertexBuffer::SetVertexUV(uint32 VertexIndex, uint32 UVIndex, const FVector2f& UV)
{
	CheckVertex(VertexIndex);
	checkf(UVIndex < NumTexCoords, TEXT("SetVertexUV: UV channel %u of %u"), UVIndex, NumTexCoords);
	TexCoords[int32(VertexIndex * NumTexCoords + UVIndex)] = UV;
}

void FStaticMeshVertexBuffer::InitRHI(FRHICommandListImmediate& RHICmdList)
{
	TangentsVertexBuffer.VertexBufferRHI = UE::Engine::Private::CreateVertexBufferWithData(RHICmdList, TEXT("FStaticMeshVertexBuffer.Tangents"),
		Tangents.GetData(), uint32(Tangents.Num()) * sizeof(FVector4f));
	TexCoordVertexBuffer.VertexBufferRHI = UE::Engine::Private::CreateVertexBufferWithData(RHICmdList,
		TEXT("FStaticMeshVertexBuffer.TexCoords"), TexCoords.GetData(), uint32(TexCoords.Num()) * sizeof(FVector2f));
	if (!bNeedsCPUAccess)
	{
		Tangents.Empty();
		TexCoords.Empty();
	}
}

void FStaticMeshVertexBuffer::ReleaseRHI()
{
	TangentsVertexBuffer.VertexBufferRHI.SafeRelease();
	TexCoordVertexBuffer.VertexBufferRHI.SafeRelease();
}
