#pragma once

// The engine's reference-counted pointers over std::shared_ptr: TSharedPtr (nullable),
// TSharedRef (never null), TWeakPtr, MakeShared, MakeShareable and TSharedFromThis.

#include "Misc/AssertionMacros.h"
#include "Templates/TypeHash.h"

#include <memory>
#include <utility>

template <typename ObjectType>
class TSharedRef;
template <typename ObjectType>
class TWeakPtr;

template <typename ObjectType>
class TSharedPtr
{
public:
	TSharedPtr() = default;
	TSharedPtr(std::nullptr_t) {}
	explicit TSharedPtr(std::shared_ptr<ObjectType> InPointer) : Pointer(std::move(InPointer)) {}
	template <typename OtherType>
		requires std::is_convertible_v<OtherType*, ObjectType*>
	TSharedPtr(const TSharedPtr<OtherType>& Other) : Pointer(Other.ToStd()) {}
	template <typename OtherType>
		requires std::is_convertible_v<OtherType*, ObjectType*>
	TSharedPtr(const TSharedRef<OtherType>& Other) : Pointer(Other.ToStd()) {}

	bool IsValid() const { return Pointer != nullptr; }
	explicit operator bool() const { return IsValid(); }
	ObjectType* Get() const { return Pointer.get(); }
	ObjectType* operator->() const
	{
		check(IsValid());
		return Pointer.get();
	}
	ObjectType& operator*() const
	{
		check(IsValid());
		return *Pointer;
	}
	/** The pointer as a non-null reference; a null pointer is a failed check. */
	TSharedRef<ObjectType> ToSharedRef() const
	{
		check(IsValid());
		return TSharedRef<ObjectType>(Pointer);
	}
	void Reset() { Pointer.reset(); }
	int32 GetSharedReferenceCount() const { return static_cast<int32>(Pointer.use_count()); }
	bool IsUnique() const { return Pointer.use_count() == 1; }
	const std::shared_ptr<ObjectType>& ToStd() const { return Pointer; }

	template <typename OtherType>
	bool operator==(const TSharedPtr<OtherType>& Other) const { return Get() == Other.Get(); }
	bool operator==(std::nullptr_t) const { return !IsValid(); }

	friend uint32 GetTypeHash(const TSharedPtr& Value) { return GetTypeHash(Value.Get()); }

private:
	std::shared_ptr<ObjectType> Pointer;
};

template <typename ObjectType>
class TSharedRef
{
public:
	/** Never null: constructing from a null pointer is a failed check. */
	explicit TSharedRef(std::shared_ptr<ObjectType> InPointer) : Pointer(std::move(InPointer)) { check(Pointer != nullptr); }
	template <typename OtherType>
		requires std::is_convertible_v<OtherType*, ObjectType*>
	TSharedRef(const TSharedRef<OtherType>& Other) : Pointer(Other.ToStd()) {}

	ObjectType* operator->() const { return Pointer.get(); }
	ObjectType& operator*() const { return *Pointer; }
	ObjectType& Get() const { return *Pointer; }
	TSharedPtr<ObjectType> ToSharedPtr() const { return TSharedPtr<ObjectType>(Pointer); }
	bool IsValid() const { return true; }
	int32 GetSharedReferenceCount() const { return static_cast<int32>(Pointer.use_count()); }
	const std::shared_ptr<ObjectType>& ToStd() const { return Pointer; }

	template <typename OtherType>
	bool operator==(const TSharedRef<OtherType>& Other) const { return &Get() == &Other.Get(); }

	friend uint32 GetTypeHash(const TSharedRef& Value) { return GetTypeHash(&Value.Get()); }

private:
	std::shared_ptr<ObjectType> Pointer;
};

template <typename ObjectType>
class TWeakPtr
{
public:
	TWeakPtr() = default;
	TWeakPtr(const TSharedPtr<ObjectType>& Shared) : Pointer(Shared.ToStd()) {}
	TWeakPtr(const TSharedRef<ObjectType>& Shared) : Pointer(Shared.ToStd()) {}

	TSharedPtr<ObjectType> Pin() const { return TSharedPtr<ObjectType>(Pointer.lock()); }
	bool IsValid() const { return !Pointer.expired(); }
	void Reset() { Pointer.reset(); }

private:
	std::weak_ptr<ObjectType> Pointer;
};

/** Lets an object hand out shared references to itself. */
template <typename ObjectType>
class TSharedFromThis : public std::enable_shared_from_this<ObjectType>
{
public:
	TSharedRef<ObjectType> AsShared() { return TSharedRef<ObjectType>(this->shared_from_this()); }
	TSharedRef<const ObjectType> AsShared() const { return TSharedRef<const ObjectType>(this->shared_from_this()); }
};

template <typename ObjectType, typename... ArgTypes>
TSharedRef<ObjectType> MakeShared(ArgTypes&&... Args)
{
	return TSharedRef<ObjectType>(std::make_shared<ObjectType>(std::forward<ArgTypes>(Args)...));
}

/** Takes ownership of a raw pointer (null gives a null TSharedPtr). */
template <typename ObjectType>
TSharedPtr<ObjectType> MakeShareable(ObjectType* Object)
{
	return TSharedPtr<ObjectType>(std::shared_ptr<ObjectType>(Object));
}

template <typename ToType, typename FromType>
TSharedPtr<ToType> StaticCastSharedPtr(const TSharedPtr<FromType>& Pointer)
{
	return TSharedPtr<ToType>(std::static_pointer_cast<ToType>(Pointer.ToStd()));
}

template <typename ToType, typename FromType>
TSharedRef<ToType> StaticCastSharedRef(const TSharedRef<FromType>& Reference)
{
	return TSharedRef<ToType>(std::static_pointer_cast<ToType>(Reference.ToStd()));
}

template <typename ToType, typename FromType>
TSharedPtr<ToType> ConstCastSharedPtr(const TSharedPtr<FromType>& Pointer)
{
	return TSharedPtr<ToType>(std::const_pointer_cast<ToType>(Pointer.ToStd()));
}
