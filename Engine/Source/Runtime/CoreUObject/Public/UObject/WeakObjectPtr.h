#pragma once

#include "CoreTypes.h"
#include "Templates/TypeHash.h"

class UObject;

/**
 * A reference that does not keep its object alive: it remembers the object's slot and serial
 * number, so it reads as null once the object is collected or marked as garbage.
 */
struct COREUOBJECT_API FWeakObjectPtr
{
	FWeakObjectPtr() = default;
	FWeakObjectPtr(const UObject* Object) { operator=(Object); }
	FWeakObjectPtr& operator=(const UObject* Object);

	/** The object, or null when it is gone or marked as garbage (unless bEvenIfGarbage). */
	UObject* Get(bool bEvenIfGarbage = false) const;
	bool IsValid() const { return Get() != nullptr; }
	/** True when this once pointed at an object that has since gone away. */
	bool IsStale() const;
	bool IsExplicitlyNull() const { return ObjectIndex == INDEX_NONE; }
	void Reset() { ObjectIndex = INDEX_NONE, ObjectSerialNumber = 0; }

	bool operator==(const FWeakObjectPtr& Other) const = default;
	friend uint32 GetTypeHash(const FWeakObjectPtr& Pointer)
	{
		return HashCombine(GetTypeHash(Pointer.ObjectIndex), GetTypeHash(Pointer.ObjectSerialNumber));
	}

private:
	int32 ObjectIndex = INDEX_NONE;
	int32 ObjectSerialNumber = 0;
};
