#pragma once

// The colours of a mesh LOD's vertices (FColor, bytes B, G, R, A). Like the other vertex
// buffers it keeps a CPU copy, copied to VertexBufferRHI by InitRHI and dropped there unless
// CPU access was asked for.

#include "CoreMinimal.h"
#include "RenderResource.h"

class ENGINE_API FColorVertexBuffer : public FRenderResource
{
public:
	/** The GPU copy, made by InitRHI; null while not initialized or when there are no vertices. */
	FBufferRHIRef VertexBufferRHI;

	FColorVertexBuffer() = default;

	/** NumVertices colours, all zero (transparent black). Not while initialized (a failed check). */
	void Init(uint32 InNumVertices, bool bInNeedsCPUAccess = true);
	void InitFromSingleColor(const FColor& InColor, uint32 InNumVertices, bool bInNeedsCPUAccess = true);
	void InitFromColorArray(const TArray<FColor>& InColors, bool bInNeedsCPUAccess = true);
	void CleanUp();

	/** A vertex's colour in the CPU copy; an index past the end or a dropped copy is a failed check. */
	FColor& VertexColor(uint32 VertexIndex);
	const FColor& VertexColor(uint32 VertexIndex) const;

	uint32 GetStride() const { return sizeof(FColor); }
	uint32 GetNumVertices() const { return NumVertices; }
	bool GetAllowCPUAccess() const { return bNeedsCPUAccess; }
	/** The bytes the CPU copy holds: 0 once it has been dropped. */
	uint32 GetAllocatedSize() const { return uint32(Data.Num()) * GetStride(); }
	void* GetVertexData() { return Data.IsEmpty() ? nullptr : Data.GetData(); }
	const void* GetVertexData() const { return Data.IsEmpty() ? nullptr : Data.GetData(); }

	void InitRHI(FRHICommandListImmediate& RHICmdList) override;
	void ReleaseRHI() override;

private:
	TArray<FColor> Data;
	uint32 NumVertices = 0;
	bool bNeedsCPUAccess = true;
};
