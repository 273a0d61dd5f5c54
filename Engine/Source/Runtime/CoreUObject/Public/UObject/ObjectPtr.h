#pragma once

#include "CoreTypes.h"
#include "Templates/TypeHash.h"

#include <cstddef>
#include <type_traits>

/**
 * A reference to an object held by a reflected property; one pointer wide, so reflection
 * reads it as a plain object pointer. T may be incomplete where the pointer is only stored.
 */
template <typename T>
class TObjectPtr
{
public:
	TObjectPtr() = default;
	TObjectPtr(std::nullptr_t) {}
	TObjectPtr(T* InObject) : Object(InObject) {}
	template <typename U>
		requires std::is_convertible_v<U*, T*>
	TObjectPtr(const TObjectPtr<U>& Other) : Object(Other.Get())
	{
	}

	T* Get() const { return Object; }
	operator T*() const { return Object; }
	T* operator->() const { return Object; }
	T& operator*() const { return *Object; }
	explicit operator bool() const { return Object != nullptr; }
	bool operator!() const { return Object == nullptr; }

	TObjectPtr& operator=(T* InObject)
	{
		Object = InObject;
		return *this;
	}
	template <typename U>
	bool operator==(const TObjectPtr<U>& Other) const
	{
		return Object == Other.Get();
	}
	template <typename U>
	bool operator==(U* Other) const
	{
		return Object == Other;
	}
	bool operator==(std::nullptr_t) const { return Object == nullptr; }

	friend uint32 GetTypeHash(const TObjectPtr& Pointer) { return GetTypeHash(Pointer.Object); }

private:
	T* Object = nullptr;
};

static_assert(sizeof(TObjectPtr<int>) == sizeof(int*));
