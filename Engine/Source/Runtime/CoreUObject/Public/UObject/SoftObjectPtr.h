#pragma once

#include "UObject/Object.h"
#include "UObject/SoftObjectPath.h"
#include "UObject/WeakObjectPtr.h"

/** A soft reference: a path plus a weak cache of the object once it is found. */
struct COREUOBJECT_API FSoftObjectPtr
{
	FSoftObjectPtr() = default;
	FSoftObjectPtr(const FSoftObjectPath& Path) : ObjectPath(Path) {}
	FSoftObjectPtr(const UObject* Object);

	const FSoftObjectPath& ToSoftObjectPath() const { return ObjectPath; }
	/** The object if it is in memory; never loads. */
	UObject* Get() const;
	UObject* LoadSynchronous() const;
	bool IsNull() const { return ObjectPath.IsNull(); }
	/** True when the path names an object that is in memory now. */
	bool IsValid() const { return Get() != nullptr; }
	bool IsPending() const { return !IsNull() && !IsValid(); }
	void Reset();

	bool operator==(const FSoftObjectPtr& Other) const { return ObjectPath == Other.ObjectPath; }

private:
	FSoftObjectPath ObjectPath;
	mutable FWeakObjectPtr Cache;
};

template <typename T>
class TSoftObjectPtr
{
public:
	TSoftObjectPtr() = default;
	TSoftObjectPtr(std::nullptr_t) {}
	TSoftObjectPtr(const FSoftObjectPath& Path) : SoftPtr(Path) {}
	TSoftObjectPtr(const T* Object) : SoftPtr(static_cast<const UObject*>(Object)) {}

	/** The object if it is in memory and of type T; never loads. */
	T* Get() const { return Cast(SoftPtr.Get()); }
	T* LoadSynchronous() const { return Cast(SoftPtr.LoadSynchronous()); }
	T* operator->() const { return Get(); }
	bool IsNull() const { return SoftPtr.IsNull(); }
	bool IsValid() const { return Get() != nullptr; }
	bool IsPending() const { return SoftPtr.IsPending(); }
	void Reset() { SoftPtr.Reset(); }
	const FSoftObjectPath& ToSoftObjectPath() const { return SoftPtr.ToSoftObjectPath(); }
	FString ToString() const { return SoftPtr.ToSoftObjectPath().ToString(); }
	FString GetAssetName() const { return SoftPtr.ToSoftObjectPath().GetAssetName(); }
	FString GetLongPackageName() const { return SoftPtr.ToSoftObjectPath().GetLongPackageName(); }

	bool operator==(const TSoftObjectPtr& Other) const { return SoftPtr == Other.SoftPtr; }
	friend uint32 GetTypeHash(const TSoftObjectPtr& Pointer) { return GetTypeHash(Pointer.ToSoftObjectPath()); }

private:
	static T* Cast(UObject* Object) { return Object && Object->IsA(T::StaticClass()) ? static_cast<T*>(Object) : nullptr; }

	FSoftObjectPtr SoftPtr;
};

static_assert(sizeof(TSoftObjectPtr<UObject>) == sizeof(FSoftObjectPtr));
