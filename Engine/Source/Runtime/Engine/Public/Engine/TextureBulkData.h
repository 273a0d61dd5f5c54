#pragma once

// The CPU side of a texture: its size, format and mip levels with their bytes.

#include "CoreMinimal.h"
#include "PixelFormat.h"

#include <memory>

enum EBulkDataLockFlags : uint32
{
	LOCK_READ_ONLY = 1,
	LOCK_READ_WRITE = 2,
};

/** A block of bytes that is read and written between Lock and Unlock, as the engine's bulk data. */
class ENGINE_API FByteBulkData
{
public:
	/** The bytes; a second Lock without Unlock is a failed check. */
	void* Lock(uint32 LockFlags);
	const void* LockReadOnly() const;
	void Unlock() const;
	bool IsLocked() const { return bLocked; }
	/** Resizes the (locked for writing) block to Count bytes and returns it. */
	void* Realloc(int64 Count);
	int64 GetBulkDataSize() const { return Bytes.Num(); }

private:
	TArray<uint8> Bytes;
	mutable bool bLocked = false;
	uint32 LockedFlags = 0;
};

struct ENGINE_API FTexture2DMipMap
{
	int32 SizeX = 0;
	int32 SizeY = 0;
	FByteBulkData BulkData;
};

struct ENGINE_API FTexturePlatformData
{
	int32 SizeX = 0;
	int32 SizeY = 0;
	EPixelFormat PixelFormat = PF_Unknown;
	TArray<FTexture2DMipMap> Mips;

	/**
	 * Data with one mip of InSizeX × InSizeY texels of InFormat, copied from Texels (exactly
	 * that many texels' bytes) or all zero when Texels is null.
	 */
	static std::unique_ptr<FTexturePlatformData> MakeSingleMip(int32 InSizeX, int32 InSizeY, EPixelFormat InFormat, const uint8* Texels = nullptr);
};
