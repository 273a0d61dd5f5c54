#include "Engine/TextureBulkData.h"

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
