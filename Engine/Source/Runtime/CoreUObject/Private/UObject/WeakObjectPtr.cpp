#include "UObject/WeakObjectPtr.h"

#include "UObject/Object.h"
#include "UObject/UObjectArray.h"

FWeakObjectPtr& FWeakObjectPtr::operator=(const UObject* Object)
{
	if (!Object)
	{
		Reset();
		return *this;
	}
	ObjectIndex = Object->GetUniqueID();
	ObjectSerialNumber = FUObjectArray::Get().GetItemChecked(Object).SerialNumber;
	return *this;
}

UObject* FWeakObjectPtr::Get(bool bEvenIfGarbage) const
{
	const FUObjectItem* Item = FUObjectArray::Get().GetItem(ObjectIndex);
	if (!Item || !Item->Object || Item->SerialNumber != ObjectSerialNumber)
	{
		return nullptr;
	}
	if (!bEvenIfGarbage && Item->HasAnyFlags(EInternalObjectFlags::Garbage | EInternalObjectFlags::Unreachable))
	{
		return nullptr;
	}
	return Item->Object;
}

bool FWeakObjectPtr::IsStale() const
{
	return ObjectIndex != INDEX_NONE && Get(true) == nullptr;
}
