#pragma once

// FShaderCache: successful compiles on disk, one file per key, "<key>.spvcache" in the cache
// folder. A file holds a magic number, a format version, its own key, then the serialized
// output with its CRC-32, so a truncated, corrupted or misplaced file is recognised and never
// trusted.

#include "Containers/UnrealString.h"

struct FShaderCompileOutput;

class FShaderCache
{
public:
	explicit FShaderCache(FString InDirectory) : Directory(std::move(InDirectory)) {}

	FString GetFilePath(const FString& Key) const;

	/**
	 * Fills Output from the entry for Key; false, leaving Output as it was, when there is none
	 * or it does not read back whole and intact (logged as a warning: it will be replaced).
	 */
	bool Load(const FString& Key, FShaderCompileOutput& Output) const;

	/** Stores Output under Key, atomically (a reader sees the old file or the new one); a failure is logged and otherwise ignored. */
	void Save(const FString& Key, const FShaderCompileOutput& Output) const;

private:
	FString Directory;
};
