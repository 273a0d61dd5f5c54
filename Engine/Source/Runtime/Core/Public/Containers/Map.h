#pragma once

// TMap: a hashed map of TPair elements with the engine's member names. Iterates in
// insertion order while nothing is removed (replacing a value keeps its place); keys hash
// with GetTypeHash and compare with ==, so FString keys compare without letter case.

#include "Containers/Array.h"
#include "Containers/HashTable.h"
#include "Templates/Tuple.h"

#include <initializer_list>

template <typename KeyType, typename ValueType>
struct TDefaultMapKeyFuncs
{
	using KeyInitType = const KeyType&;
	using ElementType = TPair<KeyType, ValueType>;
	static const KeyType& GetSetKey(const ElementType& Element) { return Element.Key; }
	template <typename ComparableKey>
	static bool Matches(const KeyType& A, const ComparableKey& B) { return A == B; }
	template <typename ComparableKey>
	static uint32 GetKeyHash(const ComparableKey& Key) { return GetTypeHash(Key); }
};

template <typename InKeyType, typename InValueType, typename KeyFuncs = TDefaultMapKeyFuncs<InKeyType, InValueType>>
class TMap
{
public:
	using KeyType = InKeyType;
	using ValueType = InValueType;
	using ElementType = TPair<KeyType, ValueType>;

private:
	using FTable = UE::Core::Private::THashTable<ElementType, KeyFuncs>;
	using KeyConstPointerType = const KeyType&;

	template <typename TableType, typename PairType>
	class TBaseIterator : public UE::Core::Private::THashTableIterator<TableType, PairType>
	{
		using Super = UE::Core::Private::THashTableIterator<TableType, PairType>;

	public:
		using Super::Super;
		decltype(auto) Key() const { return (**this).Key; }
		decltype(auto) Value() const { return ((**this).Value); }
	};

public:
	using TIterator = TBaseIterator<FTable, ElementType>;
	using TConstIterator = TBaseIterator<const FTable, const ElementType>;

	TMap() = default;
	TMap(std::initializer_list<ElementType> Items)
	{
		for (const ElementType& Item : Items)
		{
			Add(Item.Key, Item.Value);
		}
	}

	int32 Num() const { return Table.Num(); }
	bool IsEmpty() const { return Num() == 0; }

	/** Sets the value of Key, adding the pair at the end if the key is new; returns the stored value. */
	template <typename K = KeyType, typename V = ValueType>
	ValueType& Add(K&& Key, V&& Value)
	{
		return Emplace(std::forward<K>(Key), std::forward<V>(Value));
	}
	ValueType& Add(const KeyType& Key) { return Emplace(Key, ValueType()); }
	/** As the engine does, an existing pair is replaced whole (key spelling included) but keeps its place. */
	template <typename K, typename V>
	ValueType& Emplace(K&& Key, V&& Value)
	{
		return Table.Get(Table.AddOrReplace(ElementType(std::forward<K>(Key), std::forward<V>(Value)))).Value;
	}
	ValueType& FindOrAdd(const KeyType& Key)
	{
		const int32 Slot = Table.FindSlot(Key);
		return Slot != INDEX_NONE ? Table.Get(Slot).Value : Table.Get(Table.AddNew(ElementType(Key, ValueType()))).Value;
	}
	template <typename V>
	ValueType& FindOrAdd(const KeyType& Key, V&& Value)
	{
		const int32 Slot = Table.FindSlot(Key);
		return Slot != INDEX_NONE ? Table.Get(Slot).Value : Table.Get(Table.AddNew(ElementType(Key, std::forward<V>(Value)))).Value;
	}
	void Append(const TMap& Other)
	{
		for (const ElementType& Pair : Other)
		{
			Add(Pair.Key, Pair.Value);
		}
	}

	int32 Remove(KeyConstPointerType Key) { return Table.Remove(Key); }
	/** Removes Key, moving its value into OutRemovedValue; false if the key was absent. */
	bool RemoveAndCopyValue(KeyConstPointerType Key, ValueType& OutRemovedValue)
	{
		const int32 Slot = Table.FindSlot(Key);
		if (Slot == INDEX_NONE)
		{
			return false;
		}
		OutRemovedValue = std::move(Table.Get(Slot).Value);
		Table.RemoveSlot(Slot);
		return true;
	}

	bool Contains(KeyConstPointerType Key) const { return Table.FindSlot(Key) != INDEX_NONE; }
	ValueType* Find(KeyConstPointerType Key)
	{
		const int32 Slot = Table.FindSlot(Key);
		return Slot == INDEX_NONE ? nullptr : &Table.Get(Slot).Value;
	}
	const ValueType* Find(KeyConstPointerType Key) const
	{
		const int32 Slot = Table.FindSlot(Key);
		return Slot == INDEX_NONE ? nullptr : &Table.Get(Slot).Value;
	}
	/** The value of Key, or a default-constructed value when the key is absent. */
	ValueType FindRef(KeyConstPointerType Key) const
	{
		const ValueType* Value = Find(Key);
		return Value ? *Value : ValueType();
	}
	ValueType& FindChecked(KeyConstPointerType Key)
	{
		ValueType* Value = Find(Key);
		check(Value != nullptr);
		return *Value;
	}
	const ValueType& FindChecked(KeyConstPointerType Key) const
	{
		const ValueType* Value = Find(Key);
		check(Value != nullptr);
		return *Value;
	}
	ValueType& operator[](KeyConstPointerType Key) { return FindChecked(Key); }
	const ValueType& operator[](KeyConstPointerType Key) const { return FindChecked(Key); }
	/** The key of the first pair holding Value, or null. */
	const KeyType* FindKey(const ValueType& Value) const
	{
		for (const ElementType& Pair : *this)
		{
			if (Pair.Value == Value)
			{
				return &Pair.Key;
			}
		}
		return nullptr;
	}

	int32 GetKeys(TArray<KeyType>& OutKeys) const
	{
		OutKeys.Reset(Num());
		for (const ElementType& Pair : *this)
		{
			OutKeys.Add(Pair.Key);
		}
		return OutKeys.Num();
	}
	void GenerateKeyArray(TArray<KeyType>& OutKeys) const { GetKeys(OutKeys); }
	void GenerateValueArray(TArray<ValueType>& OutValues) const
	{
		OutValues.Reset(Num());
		for (const ElementType& Pair : *this)
		{
			OutValues.Add(Pair.Value);
		}
	}

	void Empty(int32 ExpectedNumElements = 0) { Table.Clear(ExpectedNumElements); }
	void Reset() { Table.Clear(0); }
	void Reserve(int32 Number) { Table.Reserve(Number); }

	/** Equal when both hold the same keys with equal values, in any order. */
	bool OrderIndependentCompareEqual(const TMap& Other) const
	{
		if (Num() != Other.Num())
		{
			return false;
		}
		for (const ElementType& Pair : *this)
		{
			const ValueType* OtherValue = Other.Find(Pair.Key);
			if (!OtherValue || !(*OtherValue == Pair.Value))
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
