#pragma once

// TArray: a contiguous array with the engine's member names over std::vector. Every index
// is checked; an index out of range is a failed check, never undefined behaviour.

#include "CoreTypes.h"
#include "Misc/AssertionMacros.h"
#include "Templates/TypeHash.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <utility>
#include <vector>

namespace UE::Core::Private
{
	// std::vector<bool> packs bits and hands out proxies; TArray<bool> must hand out bool&.
	struct FBoolSlot
	{
		bool Value = false;
		FBoolSlot() = default;
		FBoolSlot(bool InValue) : Value(InValue) {}
		bool operator==(const FBoolSlot&) const = default;
	};
	static_assert(sizeof(FBoolSlot) == sizeof(bool));

	template <typename T>
	using TArraySlot = std::conditional_t<std::is_same_v<T, bool>, FBoolSlot, T>;

	CORE_API [[noreturn]] void OnInvalidArrayIndex(int32 Index, int32 Num);
}

template <typename InElementType>
class TArray
{
	using FSlot = UE::Core::Private::TArraySlot<InElementType>;

public:
	using ElementType = InElementType;
	using SizeType = int32;

	TArray() = default;
	TArray(std::initializer_list<ElementType> Items) { Append(Items); }
	TArray(const ElementType* Items, int32 Count)
	{
		check(Count >= 0);
		Append(Items, Count);
	}

	// Iteration over the elements themselves (not the bool slots).
	ElementType* begin() { return GetData(); }
	ElementType* end() { return GetData() + Num(); }
	const ElementType* begin() const { return GetData(); }
	const ElementType* end() const { return GetData() + Num(); }

	int32 Num() const { return static_cast<int32>(Storage.size()); }
	int32 Max() const { return static_cast<int32>(Storage.capacity()); }
	bool IsEmpty() const { return Storage.empty(); }
	bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Num(); }
	void RangeCheck(int32 Index) const
	{
		if (!IsValidIndex(Index)) [[unlikely]]
		{
			UE::Core::Private::OnInvalidArrayIndex(Index, Num());
		}
	}

	ElementType* GetData() { return reinterpret_cast<ElementType*>(Storage.data()); }
	const ElementType* GetData() const { return reinterpret_cast<const ElementType*>(Storage.data()); }
	uint32 GetTypeSize() const { return sizeof(ElementType); }
	SIZE_T GetAllocatedSize() const { return Storage.capacity() * sizeof(FSlot); }

	ElementType& operator[](int32 Index)
	{
		RangeCheck(Index);
		return GetData()[Index];
	}
	const ElementType& operator[](int32 Index) const
	{
		RangeCheck(Index);
		return GetData()[Index];
	}
	ElementType& Last(int32 IndexFromEnd = 0) { return (*this)[Num() - 1 - IndexFromEnd]; }
	const ElementType& Last(int32 IndexFromEnd = 0) const { return (*this)[Num() - 1 - IndexFromEnd]; }
	ElementType& Top() { return Last(); }
	const ElementType& Top() const { return Last(); }

	int32 Add(const ElementType& Item) { return Emplace(Item); }
	int32 Add(ElementType&& Item) { return Emplace(std::move(Item)); }
	template <typename... ArgTypes>
	int32 Emplace(ArgTypes&&... Args)
	{
		Storage.emplace_back(ElementType(std::forward<ArgTypes>(Args)...));
		return Num() - 1;
	}
	template <typename... ArgTypes>
	ElementType& Emplace_GetRef(ArgTypes&&... Args)
	{
		const int32 Index = Emplace(std::forward<ArgTypes>(Args)...);
		return GetData()[Index];
	}
	ElementType& Add_GetRef(const ElementType& Item) { return Emplace_GetRef(Item); }
	ElementType& Add_GetRef(ElementType&& Item) { return Emplace_GetRef(std::move(Item)); }
	void Push(const ElementType& Item) { Add(Item); }
	void Push(ElementType&& Item) { Add(std::move(Item)); }

	/** Adds Item unless an equal element is already present; returns the element's index. */
	int32 AddUnique(const ElementType& Item)
	{
		const int32 Existing = Find(Item);
		return Existing != INDEX_NONE ? Existing : Add(Item);
	}
	int32 AddDefaulted(int32 Count = 1)
	{
		check(Count >= 0);
		const int32 First = Num();
		Storage.resize(Storage.size() + Count);
		return First;
	}
	ElementType& AddDefaulted_GetRef()
	{
		// The index must be taken before GetData(): adding may move the elements.
		const int32 Index = AddDefaulted();
		return GetData()[Index];
	}
	int32 AddZeroed(int32 Count = 1) { return AddDefaulted(Count); }
	int32 AddUninitialized(int32 Count = 1) { return AddDefaulted(Count); }

	void Append(const ElementType* Items, int32 Count)
	{
		check(Count >= 0 && (Count == 0 || Items != nullptr));
		Storage.insert(Storage.end(), reinterpret_cast<const FSlot*>(Items), reinterpret_cast<const FSlot*>(Items) + Count);
	}
	void Append(const TArray& Other)
	{
		if (&Other == this)
		{
			const TArray Copy = Other;
			Append(Copy);
			return;
		}
		Storage.insert(Storage.end(), Other.Storage.begin(), Other.Storage.end());
	}
	void Append(TArray&& Other)
	{
		if (Storage.empty())
		{
			Storage = std::move(Other.Storage);
			return;
		}
		Storage.insert(Storage.end(), std::make_move_iterator(Other.Storage.begin()), std::make_move_iterator(Other.Storage.end()));
		Other.Storage.clear();
	}
	void Append(std::initializer_list<ElementType> Items)
	{
		for (const ElementType& Item : Items)
		{
			Add(Item);
		}
	}
	TArray& operator+=(const TArray& Other)
	{
		Append(Other);
		return *this;
	}

	int32 Insert(const ElementType& Item, int32 Index)
	{
		check(Index >= 0 && Index <= Num());
		Storage.insert(Storage.begin() + Index, FSlot(Item));
		return Index;
	}
	int32 Insert(ElementType&& Item, int32 Index)
	{
		check(Index >= 0 && Index <= Num());
		Storage.insert(Storage.begin() + Index, FSlot(std::move(Item)));
		return Index;
	}
	void InsertDefaulted(int32 Index, int32 Count = 1)
	{
		check(Index >= 0 && Index <= Num() && Count >= 0);
		Storage.insert(Storage.begin() + Index, Count, FSlot());
	}

	void RemoveAt(int32 Index, int32 Count = 1)
	{
		check(Count >= 0 && Index >= 0 && Index + Count <= Num());
		Storage.erase(Storage.begin() + Index, Storage.begin() + Index + Count);
	}
	/** Removes by moving the last elements into the gap: faster, but the order changes. */
	void RemoveAtSwap(int32 Index, int32 Count = 1)
	{
		check(Count >= 0 && Index >= 0 && Index + Count <= Num());
		for (int32 Offset = 0; Offset < Count; ++Offset)
		{
			const int32 Last = Num() - 1;
			if (Index + Offset != Last)
			{
				Storage[Index + Offset] = std::move(Storage[Last]);
			}
			Storage.pop_back();
		}
	}
	/** Removes every element equal to Item; returns how many went. */
	int32 Remove(const ElementType& Item)
	{
		return RemoveAll([&Item](const ElementType& Element) { return Element == Item; });
	}
	/** Removes the first element equal to Item; returns 1 if one went, else 0. */
	int32 RemoveSingle(const ElementType& Item)
	{
		const int32 Index = Find(Item);
		if (Index == INDEX_NONE)
		{
			return 0;
		}
		RemoveAt(Index);
		return 1;
	}
	template <typename PredicateType>
	int32 RemoveAll(PredicateType Predicate)
	{
		const SIZE_T Before = Storage.size();
		std::erase_if(Storage, [&Predicate](const FSlot& Slot) { return Predicate(reinterpret_cast<const ElementType&>(Slot)); });
		return static_cast<int32>(Before - Storage.size());
	}
	ElementType Pop()
	{
		ElementType Result = std::move(Last());
		Storage.pop_back();
		return Result;
	}

	void Empty(int32 Slack = 0)
	{
		Storage.clear();
		if (Slack == 0)
		{
			Storage.shrink_to_fit();
		}
		else
		{
			Storage.reserve(Slack);
		}
	}
	void Reset(int32 NewSize = 0)
	{
		Storage.clear();
		Storage.reserve(NewSize);
	}
	void Reserve(int32 Count)
	{
		check(Count >= 0);
		Storage.reserve(Count);
	}
	void Shrink() { Storage.shrink_to_fit(); }
	void SetNum(int32 NewNum)
	{
		check(NewNum >= 0);
		Storage.resize(NewNum);
	}
	void SetNumZeroed(int32 NewNum) { SetNum(NewNum); }
	void SetNumUninitialized(int32 NewNum) { SetNum(NewNum); }
	void Init(const ElementType& Value, int32 Count)
	{
		check(Count >= 0);
		Storage.assign(Count, FSlot(Value));
	}

	int32 Find(const ElementType& Item) const
	{
		return IndexOfByPredicate([&Item](const ElementType& Element) { return Element == Item; });
	}
	bool Find(const ElementType& Item, int32& OutIndex) const
	{
		OutIndex = Find(Item);
		return OutIndex != INDEX_NONE;
	}
	int32 FindLast(const ElementType& Item) const
	{
		for (int32 Index = Num() - 1; Index >= 0; --Index)
		{
			if (GetData()[Index] == Item)
			{
				return Index;
			}
		}
		return INDEX_NONE;
	}
	template <typename KeyType>
	int32 IndexOfByKey(const KeyType& Key) const
	{
		return IndexOfByPredicate([&Key](const ElementType& Element) { return Element == Key; });
	}
	template <typename PredicateType>
	int32 IndexOfByPredicate(PredicateType Predicate) const
	{
		for (int32 Index = 0; Index < Num(); ++Index)
		{
			if (Predicate(GetData()[Index]))
			{
				return Index;
			}
		}
		return INDEX_NONE;
	}
	template <typename KeyType>
	ElementType* FindByKey(const KeyType& Key)
	{
		const int32 Index = IndexOfByKey(Key);
		return Index == INDEX_NONE ? nullptr : GetData() + Index;
	}
	template <typename KeyType>
	const ElementType* FindByKey(const KeyType& Key) const
	{
		const int32 Index = IndexOfByKey(Key);
		return Index == INDEX_NONE ? nullptr : GetData() + Index;
	}
	template <typename PredicateType>
	ElementType* FindByPredicate(PredicateType Predicate)
	{
		const int32 Index = IndexOfByPredicate(Predicate);
		return Index == INDEX_NONE ? nullptr : GetData() + Index;
	}
	template <typename PredicateType>
	const ElementType* FindByPredicate(PredicateType Predicate) const
	{
		const int32 Index = IndexOfByPredicate(Predicate);
		return Index == INDEX_NONE ? nullptr : GetData() + Index;
	}
	template <typename PredicateType>
	TArray FilterByPredicate(PredicateType Predicate) const
	{
		TArray Result;
		for (const ElementType& Element : *this)
		{
			if (Predicate(Element))
			{
				Result.Add(Element);
			}
		}
		return Result;
	}
	template <typename KeyType>
	bool Contains(const KeyType& Key) const
	{
		return IndexOfByKey(Key) != INDEX_NONE;
	}
	template <typename PredicateType>
	bool ContainsByPredicate(PredicateType Predicate) const
	{
		return IndexOfByPredicate(Predicate) != INDEX_NONE;
	}

	void Sort() { std::sort(begin(), end()); }
	template <typename PredicateType>
	void Sort(PredicateType Predicate)
	{
		std::sort(begin(), end(), Predicate);
	}
	void StableSort() { std::stable_sort(begin(), end()); }
	template <typename PredicateType>
	void StableSort(PredicateType Predicate)
	{
		std::stable_sort(begin(), end(), Predicate);
	}
	void Swap(int32 A, int32 B)
	{
		RangeCheck(A);
		RangeCheck(B);
		std::swap(GetData()[A], GetData()[B]);
	}

	bool operator==(const TArray& Other) const = default;

	friend uint32 GetTypeHash(const TArray& Array)
		requires requires(const ElementType& Element) { GetTypeHash(Element); }
	{
		uint32 Hash = 0;
		for (const ElementType& Element : Array)
		{
			Hash = HashCombine(Hash, GetTypeHash(Element));
		}
		return Hash;
	}

private:
	std::vector<FSlot> Storage;
};
