#include "Rendering/MultiSizeIndexContainer.h"

void FMultiSizeIndexContainer::RebuildIndexBuffer(uint8 InDataTypeSize, const TArray<uint32>& NewArray)
{
	checkf(InDataTypeSize == sizeof(uint16) || InDataTypeSize == sizeof(uint32), TEXT("RebuildIndexBuffer: indices of %u bytes"),
		uint32(InDataTypeSize));
	if (InDataTypeSize == sizeof(uint16))
	{
		for (const uint32 Index : NewArray)
		{
			checkf(Index <= 0xffff, TEXT("RebuildIndexBuffer: index %u does not fit 16 bits"), Index);
		}
	}
	Indices = NewArray;
	DataTypeSize = InDataTypeSize;
	bValid = true;
}
