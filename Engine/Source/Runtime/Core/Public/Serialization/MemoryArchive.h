#pragma once

#include "Serialization/Archive.h"

/** An archive over memory: a position that Seek and Tell move within the bytes. */
class CORE_API FMemoryArchive : public FArchive
{
public:
	int64 Tell() override { return Offset; }
	void Seek(int64 Position) override { Offset = Position; }

protected:
	int64 Offset = 0;
};
