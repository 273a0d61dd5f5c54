#pragma once

// TPair: the key-value element of TMap, with the engine's Key and Value member names.

#include "Templates/TypeHash.h"

#include <utility>

template <typename KeyType, typename ValueType>
struct TPair
{
	KeyType Key;
	ValueType Value;

	TPair() = default;
	template <typename K, typename V>
	TPair(K&& InKey, V&& InValue) : Key(std::forward<K>(InKey)), Value(std::forward<V>(InValue))
	{
	}

	bool operator==(const TPair& Other) const = default;

	friend uint32 GetTypeHash(const TPair& Pair)
	{
		return HashCombine(GetTypeHash(Pair.Key), GetTypeHash(Pair.Value));
	}
};

template <typename KeyType, typename ValueType>
TPair<std::decay_t<KeyType>, std::decay_t<ValueType>> MakeTuple(KeyType&& Key, ValueType&& Value)
{
	return {std::forward<KeyType>(Key), std::forward<ValueType>(Value)};
}
