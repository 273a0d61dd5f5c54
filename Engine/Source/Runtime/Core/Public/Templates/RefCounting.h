#pragma once

// Intrusive reference counting: TRefCountPtr holds any type with AddRef() and Release()
// returning the new count, the way the engine's RHI resources are held. Copying a pointer adds
// a reference, destroying or resetting it releases one; the object decides what to do when
// the count reaches zero.

#include "CoreTypes.h"

#include <utility>

template <typename ReferencedType>
class TRefCountPtr
{
public:
	TRefCountPtr() = default;
	TRefCountPtr(std::nullptr_t) {}

	TRefCountPtr(ReferencedType* InReference)
		: Reference(InReference)
	{
		if (Reference)
		{
			Reference->AddRef();
		}
	}

	TRefCountPtr(const TRefCountPtr& Other)
		: TRefCountPtr(Other.Reference)
	{
	}

	template <typename OtherType>
	TRefCountPtr(const TRefCountPtr<OtherType>& Other)
		: TRefCountPtr(Other.GetReference())
	{
	}

	TRefCountPtr(TRefCountPtr&& Other) noexcept
		: Reference(std::exchange(Other.Reference, nullptr))
	{
	}

	~TRefCountPtr()
	{
		if (Reference)
		{
			Reference->Release();
		}
	}

	TRefCountPtr& operator=(ReferencedType* InReference)
	{
		// Add first: assigning an object to the pointer already holding it must not free it.
		if (InReference)
		{
			InReference->AddRef();
		}
		ReferencedType* Old = std::exchange(Reference, InReference);
		if (Old)
		{
			Old->Release();
		}
		return *this;
	}

	TRefCountPtr& operator=(const TRefCountPtr& Other) { return *this = Other.Reference; }

	TRefCountPtr& operator=(TRefCountPtr&& Other) noexcept
	{
		if (this != &Other)
		{
			ReferencedType* Old = std::exchange(Reference, std::exchange(Other.Reference, nullptr));
			if (Old)
			{
				Old->Release();
			}
		}
		return *this;
	}

	ReferencedType* operator->() const { return Reference; }
	ReferencedType& operator*() const { return *Reference; }
	/** Comparisons (with other pointers, with nullptr) go through this conversion. */
	operator ReferencedType*() const { return Reference; }
	ReferencedType* GetReference() const { return Reference; }
	bool IsValid() const { return Reference != nullptr; }
	void SafeRelease() { *this = nullptr; }

private:
	ReferencedType* Reference = nullptr;
};
