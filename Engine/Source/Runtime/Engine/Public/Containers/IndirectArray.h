#pragma once

// TIndirectArray: an array that owns its elements through pointers, so elements that cannot be
// moved or copied (render resources) can still be held in order, and references to them stay
// valid while the array grows. Indexing and iteration give the elements themselves.

#include "Containers/Array.h"
#include "CoreMinimal.h"
#include "Templates/UniquePtr.h"

#include <utility>

template <typename T>
class TIndirectArray
{
public:
	TIndirectArray() = default;
	TIndirectArray(const TIndirectArray&) = delete;
	TIndirectArray& operator=(const TIndirectArray&) = delete;
	TIndirectArray(TIndirectArray&&) = default;
	TIndirectArray& operator=(TIndirectArray&&) = default;

	int32 Num() const { return Elements.Num(); }
	bool IsEmpty() const { return Elements.IsEmpty(); }
	bool IsValidIndex(int32 Index) const { return Elements.IsValidIndex(Index); }

	/** An index past the end is a failed check. */
	T& operator[](int32 Index) { return *Elements[Index]; }
	const T& operator[](int32 Index) const { return *Elements[Index]; }

	/** Takes ownership of Item (which must not be null) and returns its index. */
	int32 Add(T* Item)
	{
		check(Item != nullptr);
		return Elements.Add(TUniquePtr<T>(Item));
	}
	/** Makes an element in place from Args and returns it. */
	template <typename... ArgTypes>
	T& Emplace_GetRef(ArgTypes&&... Args)
	{
		return *Elements[Elements.Add(MakeUnique<T>(std::forward<ArgTypes>(Args)...))];
	}
	void RemoveAt(int32 Index, int32 Count = 1) { Elements.RemoveAt(Index, Count); }
	void Empty() { Elements.Empty(); }

	template <typename ElementType, typename PointerIterator>
	class TIterator
	{
	public:
		explicit TIterator(PointerIterator InCurrent) : Current(InCurrent) {}
		ElementType& operator*() const { return **Current; }
		ElementType* operator->() const { return Current->get(); }
		TIterator& operator++()
		{
			++Current;
			return *this;
		}
		bool operator!=(const TIterator& Other) const { return Current != Other.Current; }
		bool operator==(const TIterator& Other) const { return Current == Other.Current; }

	private:
		PointerIterator Current;
	};

	TIterator<T, TUniquePtr<T>*> begin() { return TIterator<T, TUniquePtr<T>*>(Elements.begin()); }
	TIterator<T, TUniquePtr<T>*> end() { return TIterator<T, TUniquePtr<T>*>(Elements.end()); }
	TIterator<const T, const TUniquePtr<T>*> begin() const { return TIterator<const T, const TUniquePtr<T>*>(Elements.begin()); }
	TIterator<const T, const TUniquePtr<T>*> end() const { return TIterator<const T, const TUniquePtr<T>*>(Elements.end()); }

private:
	TArray<TUniquePtr<T>> Elements;
};
