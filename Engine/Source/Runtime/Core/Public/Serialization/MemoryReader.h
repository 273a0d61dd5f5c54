#pragma once

#include "Containers/Array.h"
#include "Serialization/MemoryArchive.h"

/** Loads from a byte array; never reads outside it (see FArchive for what happens at the end). */
class CORE_API FMemoryReader : public FMemoryArchive
{
public:
	explicit FMemoryReader(const TArray<uint8>& InBytes, bool bIsPersistent = false);

	void Serialize(void* Data, int64 Num) override;
	int64 TotalSize() override { return Bytes.Num(); }
	FString GetArchiveName() const override { return FString("FMemoryReader"); }

private:
	const TArray<uint8>& Bytes;
};
