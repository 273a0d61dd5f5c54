#pragma once

#include "Containers/Array.h"
#include "Serialization/MemoryArchive.h"

/**
 * Saves into a byte array, overwriting from the position (0, or the end with bSetOffset)
 * and growing the array as needed; it never shortens the array.
 */
class CORE_API FMemoryWriter : public FMemoryArchive
{
public:
	explicit FMemoryWriter(TArray<uint8>& InBytes, bool bIsPersistent = false, bool bSetOffset = false, FName InArchiveName = NAME_None);

	void Serialize(void* Data, int64 Num) override;
	int64 TotalSize() override { return Bytes.Num(); }
	FString GetArchiveName() const override;

private:
	TArray<uint8>& Bytes;
	FName ArchiveName;
};
