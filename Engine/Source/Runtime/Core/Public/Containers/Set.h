#pragma once

// TSet: a hashed set with the engine's member names. Iterates in insertion order while
// nothing is removed; keys hash with GetTypeHash and compare with ==, so FString elements
// compare without letter case, as the engine's default key functions do.

#include "Containers/Array.h"
#include "Containers/HashTable.h"

#include <initializer_list>

/** The engine's default key functions: the element is its own key. */
template <typename ElementType>
struct DefaultKeyFuncs
{
	using KeyInitType = const ElementType&;
	static const ElementType& GetSetKey(const ElementType& Element) { return Element; }
	template <typename ComparableKey>
	static bool Matches(const ElementType& A, const ComparableKey& B) { return A == B; }
	template <typename ComparableKey>
	static uint32 GetKeyHash(const ComparableKey& Key) { return GetTypeHash(Key); }
};

template <typename InElementType, typename KeyFuncs = DefaultKeyFuncs<InElementType>>
class TSet
{
	using FTable = UE::Core::Private::THashTable<InElementType, KeyFuncs>;

public:
	using ElementType = InElementType;
	using TIterator = UE::Core::Private::THashTableIterator<FTable, ElementType>;
	using TConstIterator = UE::Core::Private::THashTableIterator<const FTable, const ElementType>;

	TSet() = default;
	TSet(std::initializer_list<ElementType> Items)
	{
		for (const ElementType& Item : Items)
		{
			Add(Item);
		}
	}
	explicit TSet(const TArray<ElementType>& Items)
	{
		Append(Items);
	}

	int32 Num() const { return Table.Num(); }
	bool IsEmpty() const { return Num() == 0; }

	/** Adds Item, replacing an equal element in place; bIsAlreadyInSet tells which happened. */
	void Add(const ElementType& Item, bool* bIsAlreadyInSet = nullptr) { Emplace(Item, bIsAlreadyInSet); }
	void Add(ElementType&& Item, bool* bIsAlreadyInSet = nullptr) { Emplace(std::move(Item), bIsAlreadyInSet); }
	template <typename ArgType>
	void Emplace(ArgType&& Item, bool* bIsAlreadyInSet = nullptr)
	{
		if (bIsAlreadyInSet)
		{
			*bIsAlreadyInSet = Contains(Item);
		}
		Table.AddOrReplace(ElementType(std::forward<ArgType>(Item)));
	}
	void Append(const TArray<ElementType>& Items)
	{
		for (const ElementType& Item : Items)
		{
			Add(Item);
		}
	}
	void Append(const TSet& Other)
	{
		for (const ElementType& Item : Other)
		{
			Add(Item);
		}
	}

	int32 Remove(typename KeyFuncs::KeyInitType Key) { return Table.Remove(Key); }
	bool Contains(typename KeyFuncs::KeyInitType Key) const { return Table.FindSlot(Key) != INDEX_NONE; }
	ElementType* Find(typename KeyFuncs::KeyInitType Key)
	{
		const int32 Slot = Table.FindSlot(Key);
		return Slot == INDEX_NONE ? nullptr : &Table.Get(Slot);
	}
	const ElementType* Find(typename KeyFuncs::KeyInitType Key) const
	{
		const int32 Slot = Table.FindSlot(Key);
		return Slot == INDEX_NONE ? nullptr : &Table.Get(Slot);
	}

	void Empty(int32 ExpectedNumElements = 0) { Table.Clear(ExpectedNumElements); }
	void Reset() { Table.Clear(0); }
	void Reserve(int32 Number) { Table.Reserve(Number); }

	TArray<ElementType> Array() const
	{
		TArray<ElementType> Result;
		Result.Reserve(Num());
		for (const ElementType& Item : *this)
		{
			Result.Add(Item);
		}
		return Result;
	}

	TSet Union(const TSet& Other) const
	{
		TSet Result = *this;
		Result.Append(Other);
		return Result;
	}
	TSet Intersect(const TSet& Other) const
	{
		TSet Result;
		for (const ElementType& Item : *this)
		{
			if (Other.Contains(Item))
			{
				Result.Add(Item);
			}
		}
		return Result;
	}
	TSet Difference(const TSet& Other) const
	{
		TSet Result;
		for (const ElementType& Item : *this)
		{
			if (!Other.Contains(Item))
			{
				Result.Add(Item);
			}
		}
		return Result;
	}
	bool Includes(const TSet& Other) const
	{
		for (const ElementType& Item : Other)
		{
			if (!Contains(Item))
			{
				return false;
			}
		}
		return true;
	}

	TIterator CreateIterator() { return TIterator(Table, 0); }
	TConstIterator CreateConstIterator() const { return TConstIterator(Table, 0); }
	TIterator begin() { return TIterator(Table, 0); }
	TIterator end() { return TIterator(Table, Table.GetMaxSlot()); }
	TConstIterator begin() const { return TConstIterator(Table, 0); }
	TConstIterator end() const { return TConstIterator(Table, Table.GetMaxSlot()); }

private:
	FTable Table;
};
