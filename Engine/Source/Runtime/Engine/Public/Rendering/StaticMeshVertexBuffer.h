#pragma once

// The tangent frames and texture coordinates of a mesh LOD's vertices, at full precision:
// TangentX and TangentZ (the normal, whose W holds the sign of the binormal), and
// GetNumTexCoords() UV channels per vertex. InitRHI copies them into two GPU buffers and drops
// the CPU copy unless CPU access was asked for.

#include "CoreMinimal.h"
#include "RenderResource.h"

class ENGINE_API FStaticMeshVertexBuffer : public FRenderResource
{
public:
	/** A GPU buffer of one stream of the vertex data. */
	struct FVertexStream
	{
		FBufferRHIRef VertexBufferRHI;
	};
	/** Per vertex: TangentX then TangentZ, each an FVector4f. */
	FVertexStream TangentsVertexBuffer;
	/** Per vertex: GetNumTexCoords() FVector2f. */
	FVertexStream TexCoordVertexBuffer;

	FStaticMeshVertexBuffer() = default;

	/**
	 * NumVertices vertices with NumTexCoords UV channels (1 to MAX_TEXCOORDS), tangent frames set
	 * to the axes (X, Y, Z) and UVs zero. Not while initialized (a failed check).
	 */
	void Init(uint32 InNumVertices, uint32 InNumTexCoords, bool bInNeedsCPUAccess = true);
	void CleanUp();

	/** The tangent (W 0); an index past the end or a dropped copy is a failed check, as for every accessor. */
	FVector4f VertexTangentX(uint32 VertexIndex) const;
	/** The binormal, rebuilt from the normal, the tangent and the sign in the normal's W. */
	FVector3f VertexTangentY(uint32 VertexIndex) const;
	/** The normal, W holding the binormal sign (+1 or -1). */
	FVector4f VertexTangentZ(uint32 VertexIndex) const;
	/** Stores the frame; the binormal sign is whether (Z × X) points along Y. */
	void SetVertexTangents(uint32 VertexIndex, const FVector3f& X, const FVector3f& Y, const FVector3f& Z);
	FVector2f GetVertexUV(uint32 VertexIndex, uint32 UVIndex) const;
	void SetVertexUV(uint32 VertexIndex, uint32 UVIndex, const FVector2f& UV);

	uint32 GetNumVertices() const { return NumVertices; }
	uint32 GetNumTexCoords() const { return NumTexCoords; }
	bool GetAllowCPUAccess() const { return bNeedsCPUAccess; }
	/** Full-precision data here, always. */
	bool GetUseFullPrecisionUVs() const { return true; }
	bool GetUseHighPrecisionTangentBasis() const { return true; }

	void InitRHI(FRHICommandListImmediate& RHICmdList) override;
	void ReleaseRHI() override;

	static constexpr uint32 MAX_TEXCOORDS = 8;

private:
	void CheckVertex(uint32 VertexIndex) const;

	TArray<FVector4f> Tangents;
	TArray<FVector2f> TexCoords;
	uint32 NumVertices = 0;
	uint32 NumTexCoords = 0;
	bool bNeedsCPUAccess = true;
};
