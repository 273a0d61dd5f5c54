#pragma once

#include "UObject/Object.h"
#include "UObject/WeakObjectPtr.h"

template <typename T>
class TWeakObjectPtr
{
public:
	TWeakObjectPtr() = default;
	TWeakObjectPtr(std::nullptr_t) {}
	TWeakObjectPtr(const T* Object) : Weak(static_cast<const UObject*>(Object)) {}
	template <typename PointerType>
		requires requires(PointerType Pointer) { static_cast<const T*>(Pointer.Get()); }
	TWeakObjectPtr(const PointerType& Pointer) : TWeakObjectPtr(static_cast<const T*>(Pointer.Get()))
	{
	}

	/** The object, or null once it is collected or marked as garbage. */
	T* Get() const { return static_cast<T*>(Weak.Get()); }
	T* operator->() const { return Get(); }
	T& operator*() const { return *Get(); }
	bool IsValid() const { return Weak.IsValid(); }
	bool IsStale() const { return Weak.IsStale(); }
	explicit operator bool() const { return IsValid(); }
	void Reset() { Weak.Reset(); }

	bool operator==(const TWeakObjectPtr& Other) const = default;
	friend uint32 GetTypeHash(const TWeakObjectPtr& Pointer) { return GetTypeHash(Pointer.Weak); }

private:
	FWeakObjectPtr Weak;
};

static_assert(sizeof(TWeakObjectPtr<int>) == sizeof(FWeakObjectPtr));
