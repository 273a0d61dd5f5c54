#include "Engine/TextureBulkData.h"

#include <cstring>

void* FByteBulkData::Lock(uint32 LockFlags)
{
	checkf(!bLocked, TEXT("Bulk data is already locked"));
	bLocked = true;
	LockedFlags = LockFlags;
	return Bytes.GetData();
}

const void* FByteBulkData::LockReadOnly() const
{
	checkf(!bLocked, TEXT("Bulk data is already locked"));
	bLocked = true;
	return Bytes.GetData();
}

void FByteBulkData::Unlock() const
{
	checkf(bLocked, TEXT("Bulk data is not locked"));
	bLocked = false;
}

void* FByteBulkData::Realloc(int64 Count)
{
	checkf(bLocked && LockedFlags == LOCK_READ_WRITE, TEXT("Bulk data must be locked for writing to be resized"));
	checkf(Count >= 0 && Count <= MAX_int32, TEXT("Bulk data size %lld is out of range"), static_cast<long long>(Count));
	Bytes.SetNum(static_cast<int32>(Count));
	return Bytes.GetData();
}

std::unique_ptr<FTexturePlatformData> FTexturePlatformData::MakeSingleMip(int32 InSizeX, int32 InSizeY, EPixelFormat InFormat, const uint8* Texels)
{
	const int64 Size = static_cast<int64>(InSizeX) * InSizeY * GetPixelFormatBytes(InFormat);
	check(InSizeX > 0 && InSizeY > 0 && Size > 0);
	auto Data = std::make_unique<FTexturePlatformData>();
	Data->SizeX = InSizeX;
	Data->SizeY = InSizeY;
	Data->PixelFormat = InFormat;
	FTexture2DMipMap& Mip = Data->Mips.AddDefaulted_GetRef();
	Mip.SizeX = InSizeX;
	Mip.SizeY = InSizeY;
	Mip.BulkData.Lock(LOCK_READ_WRITE);
	void* MipTexels = Mip.BulkData.Realloc(Size);
	if (Texels)
	{
		std::memcpy(MipTexels, Texels, static_cast<SIZE_T>(Size));
	}
	else
	{
		std::memset(MipTexels, 0, static_cast<SIZE_T>(Size));
	}
	Mip.BulkData.Unlock();
	return Data;
}
