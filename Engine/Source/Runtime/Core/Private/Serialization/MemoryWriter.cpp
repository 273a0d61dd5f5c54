#include "Serialization/MemoryWriter.h"

#include <cstring>

FMemoryWriter::FMemoryWriter(TArray<uint8>& InBytes, bool bIsPersistent, bool bSetOffset, FName InArchiveName)
	: Bytes(InBytes)
	, ArchiveName(InArchiveName)
{
	SetIsSaving(true);
	SetIsPersistent(bIsPersistent);
	Offset = bSetOffset ? Bytes.Num() : 0;
}

void FMemoryWriter::Serialize(void* Data, int64 Num)
{
	if (Num <= 0 || IsError())
	{
		return;
	}
	const int64 End = Offset + Num;
	if (Offset < 0 || End > MAX_int32)
	{
		SetError();
		return;
	}
	if (End > Bytes.Num())
	{
		Bytes.SetNum(static_cast<int32>(End));
	}
	std::memcpy(Bytes.GetData() + Offset, Data, static_cast<SIZE_T>(Num));
	Offset = End;
}

FString FMemoryWriter::GetArchiveName() const
{
	return ArchiveName.IsNone() ? FString("FMemoryWriter") : ArchiveName.ToString();
}
