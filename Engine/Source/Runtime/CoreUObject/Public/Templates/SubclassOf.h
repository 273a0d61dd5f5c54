#pragma once

#include "UObject/Class.h"

/** A class that is T or derives from it; anything else reads as null. */
template <typename T>
class TSubclassOf
{
public:
	TSubclassOf() = default;
	TSubclassOf(std::nullptr_t) {}
	TSubclassOf(UClass* InClass) : Class(InClass) {}
	template <typename U>
		requires std::is_convertible_v<U*, T*>
	TSubclassOf(const TSubclassOf<U>& Other) : Class(Other.Get())
	{
	}

	/** The class, or null when it is not T or a subclass of T. */
	UClass* Get() const { return Class && Class->IsChildOf(T::StaticClass()) ? Class : nullptr; }
	operator UClass*() const { return Get(); }
	UClass* operator->() const { return Get(); }
	UClass& operator*() const { return *Get(); }
	T* GetDefaultObject() const
	{
		UClass* Result = Get();
		return Result ? Result->template GetDefaultObject<T>() : nullptr;
	}
	bool operator==(const TSubclassOf& Other) const { return Get() == Other.Get(); }
	friend uint32 GetTypeHash(const TSubclassOf& Value) { return GetTypeHash(Value.Get()); }

private:
	UClass* Class = nullptr;
};

static_assert(sizeof(TSubclassOf<UObject>) == sizeof(UClass*));
