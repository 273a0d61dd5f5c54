#pragma once

// The positions of a mesh LOD's vertices. The CPU copy is what the game thread reads and
// edits; InitRHI (rendering thread) copies it into VertexBufferRHI and then drops it unless
// CPU access was asked for, as the engine does to save memory. Reading a dropped copy is a
// failed check rather than a read of freed memory.

#include "CoreMinimal.h"
#include "RenderResource.h"

class ENGINE_API FPositionVertexBuffer : public FRenderResource
{
public:
	/** The GPU copy, made by InitRHI; null while not initialized or when there are no vertices. */
	FBufferRHIRef VertexBufferRHI;

	FPositionVertexBuffer() = default;

	/**
	 * NumVertices positions, all zero. bInNeedsCPUAccess keeps the CPU copy after the GPU copy
	 * is made. Changing the data of an initialized buffer is a failed check: release it first.
	 */
	void Init(uint32 InNumVertices, bool bInNeedsCPUAccess = true);
	void Init(const TArray<FVector3f>& InPositions, bool bInNeedsCPUAccess = true);
	/** Drops the CPU copy and the vertex count (the buffer must not be initialized). */
	void CleanUp();

	/** A vertex's position in the CPU copy; an index past the end or a dropped copy is a failed check. */
	FVector3f& VertexPosition(uint32 VertexIndex);
	const FVector3f& VertexPosition(uint32 VertexIndex) const;

	uint32 GetStride() const { return sizeof(FVector3f); }
	uint32 GetNumVertices() const { return NumVertices; }
	bool GetAllowCPUAccess() const { return bNeedsCPUAccess; }
	/** The CPU copy (GetNumVertices() × GetStride() bytes), or null once it has been dropped. */
	void* GetVertexData() { return Data.IsEmpty() ? nullptr : Data.GetData(); }
	const void* GetVertexData() const { return Data.IsEmpty() ? nullptr : Data.GetData(); }

	void InitRHI(FRHICommandListImmediate& RHICmdList) override;
	void ReleaseRHI() override;

private:
	TArray<FVector3f> Data;
	uint32 NumVertices = 0;
	bool bNeedsCPUAccess = true;
};
