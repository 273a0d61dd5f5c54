#include "Serialization/MemoryReader.h"

#include <cstring>

FMemoryReader::FMemoryReader(const TArray<uint8>& InBytes, bool bIsPersistent)
	: Bytes(InBytes)
{
	SetIsLoading(true);
	SetIsPersistent(bIsPersistent);
}

void FMemoryReader::Serialize(void* Data, int64 Num)
{
	if (Num <= 0)
	{
		return;
	}
	if (IsError() || Offset < 0 || Num > Bytes.Num() - Offset)
	{
		SetError();
		std::memset(Data, 0, static_cast<SIZE_T>(Num));
		return;
	}
	std::memcpy(Data, Bytes.GetData() + Offset, static_cast<SIZE_T>(Num));
	Offset += Num;
}
