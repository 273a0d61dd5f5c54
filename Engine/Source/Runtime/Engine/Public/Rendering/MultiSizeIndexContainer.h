#pragma once

// The triangle list of a mesh LOD: three vertex indices per triangle, stored as 16- or 32-bit
// values as the engine chooses by vertex count. Kept in CPU memory for the exporter and the CPU
// skinning; nothing draws meshes here.

#include "CoreMinimal.h"

class ENGINE_API FMultiSizeIndexContainer
{
public:
	/**
	 * Replaces the indices. InDataTypeSize is 2 or 4 bytes; an index that does not fit 16 bits,
	 * or another size, is a failed check and leaves the indices unchanged.
	 */
	void RebuildIndexBuffer(uint8 InDataTypeSize, const TArray<uint32>& NewArray);
	/** Every index, widened to 32 bits. */
	void GetIndexBuffer(TArray<uint32>& OutIndexBuffer) const { OutIndexBuffer = Indices; }
	uint8 GetDataTypeSize() const { return DataTypeSize; }
	bool IsIndexBufferValid() const { return bValid; }
	int32 Num() const { return Indices.Num(); }

private:
	TArray<uint32> Indices;
	uint8 DataTypeSize = sizeof(uint16);
	bool bValid = false;
};
