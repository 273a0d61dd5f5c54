#pragma once

// The storage shared by TSet and TMap: elements in a dense slot array that keeps insertion
// order (removal leaves a hole that iteration skips, and holes are compacted away once
// they outnumber the elements), plus an open-addressed index of slot numbers.

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Misc/AssertionMacros.h"

#include <optional>
#include <utility>
#include <vector>

namespace UE::Core::Private
{
	template <typename ElementType, typename KeyFuncs>
	class THashTable
	{
	public:
		using KeyInitType = typename KeyFuncs::KeyInitType;

		int32 Num() const { return NumElements; }

		/** Slot of the element whose key matches Key, or INDEX_NONE. */
		template <typename ComparableKey>
		int32 FindSlot(const ComparableKey& Key) const
		{
			if (NumElements == 0)
			{
				return INDEX_NONE;
			}
			const uint32 Hash = KeyFuncs::GetKeyHash(Key);
			for (uint32 Bucket = Hash & BucketMask();; Bucket = (Bucket + 1) & BucketMask())
			{
				const int32 Slot = Buckets[Bucket];
				if (Slot == INDEX_NONE)
				{
					return INDEX_NONE;
				}
				if (Hashes[Slot] == Hash && KeyFuncs::Matches(KeyFuncs::GetSetKey(*Slots[Slot]), Key))
				{
					return Slot;
				}
			}
		}

		/** Adds Element, or replaces the element with the same key in place; returns its slot. */
		template <typename ArgType>
		int32 AddOrReplace(ArgType&& Element)
		{
			const int32 Existing = FindSlot(KeyFuncs::GetSetKey(Element));
			if (Existing != INDEX_NONE)
			{
				Slots[Existing].emplace(std::forward<ArgType>(Element));
				return Existing;
			}
			return AddNew(std::forward<ArgType>(Element));
		}

		/** Adds an element whose key is known to be absent. */
		template <typename ArgType>
		int32 AddNew(ArgType&& Element)
		{
			const uint32 Hash = KeyFuncs::GetKeyHash(KeyFuncs::GetSetKey(Element));
			const int32 Slot = static_cast<int32>(Slots.size());
			Slots.emplace_back(std::forward<ArgType>(Element));
			Hashes.push_back(Hash);
			++NumElements;
			if (Buckets.size() < 2 * Slots.size())
			{
				Rehash(Slots.size());
			}
			else
			{
				InsertIntoBuckets(Slot);
			}
			return Slot;
		}

		template <typename ComparableKey>
		int32 Remove(const ComparableKey& Key)
		{
			const int32 Slot = FindSlot(Key);
			if (Slot == INDEX_NONE)
			{
				return 0;
			}
			RemoveSlot(Slot);
			return 1;
		}

		/** Removes the element in Slot. bAllowCompact false keeps every other slot number (iterators rely on it). */
		void RemoveSlot(int32 Slot, bool bAllowCompact = true)
		{
			check(IsValidSlot(Slot));
			EraseFromBuckets(Slot);
			Slots[Slot].reset();
			--NumElements;
			if (bAllowCompact && static_cast<int32>(Slots.size()) > 2 * NumElements + 8)
			{
				Compact();
			}
		}

		void Clear(int32 ExpectedNumElements)
		{
			Slots.clear();
			Hashes.clear();
			Buckets.clear();
			NumElements = 0;
			Reserve(ExpectedNumElements);
		}

		void Reserve(int32 ExpectedNumElements)
		{
			if (ExpectedNumElements <= 0)
			{
				return;
			}
			Slots.reserve(ExpectedNumElements);
			Hashes.reserve(ExpectedNumElements);
			if (Buckets.size() < 2 * static_cast<SIZE_T>(ExpectedNumElements))
			{
				Rehash(ExpectedNumElements);
			}
		}

		int32 GetMaxSlot() const { return static_cast<int32>(Slots.size()); }
		bool IsValidSlot(int32 Slot) const { return Slot >= 0 && Slot < GetMaxSlot() && Slots[Slot].has_value(); }
		ElementType& Get(int32 Slot) { return *Slots[Slot]; }
		const ElementType& Get(int32 Slot) const { return *Slots[Slot]; }

		/** The first live slot at or after Slot, or GetMaxSlot(). */
		int32 NextValidSlot(int32 Slot) const
		{
			while (Slot < GetMaxSlot() && !Slots[Slot].has_value())
			{
				++Slot;
			}
			return Slot;
		}

	private:
		uint32 BucketMask() const { return static_cast<uint32>(Buckets.size()) - 1; }

		void Rehash(SIZE_T MinElements)
		{
			SIZE_T NumBuckets = 8;
			while (NumBuckets < 2 * MinElements)
			{
				NumBuckets *= 2;
			}
			Buckets.assign(NumBuckets, INDEX_NONE);
			for (int32 Slot = 0; Slot < GetMaxSlot(); ++Slot)
			{
				if (Slots[Slot].has_value())
				{
					InsertIntoBuckets(Slot);
				}
			}
		}

		void InsertIntoBuckets(int32 Slot)
		{
			uint32 Bucket = Hashes[Slot] & BucketMask();
			while (Buckets[Bucket] != INDEX_NONE)
			{
				Bucket = (Bucket + 1) & BucketMask();
			}
			Buckets[Bucket] = Slot;
		}

		// Linear-probing deletion by backward shift, so lookups never need tombstones.
		void EraseFromBuckets(int32 Slot)
		{
			uint32 Hole = Hashes[Slot] & BucketMask();
			while (Buckets[Hole] != Slot)
			{
				Hole = (Hole + 1) & BucketMask();
			}
			for (uint32 Next = (Hole + 1) & BucketMask(); Buckets[Next] != INDEX_NONE; Next = (Next + 1) & BucketMask())
			{
				const uint32 Home = Hashes[Buckets[Next]] & BucketMask();
				// Move the entry back into the hole unless its home lies cyclically in (Hole, Next].
				const bool bHomeBetween = Hole <= Next ? (Home > Hole && Home <= Next) : (Home > Hole || Home <= Next);
				if (!bHomeBetween)
				{
					Buckets[Hole] = Buckets[Next];
					Hole = Next;
				}
			}
			Buckets[Hole] = INDEX_NONE;
		}

		void Compact()
		{
			std::vector<std::optional<ElementType>> LiveSlots;
			std::vector<uint32> LiveHashes;
			LiveSlots.reserve(NumElements);
			LiveHashes.reserve(NumElements);
			for (int32 Slot = 0; Slot < GetMaxSlot(); ++Slot)
			{
				if (Slots[Slot].has_value())
				{
					LiveSlots.emplace_back(std::move(Slots[Slot]));
					LiveHashes.push_back(Hashes[Slot]);
				}
			}
			Slots = std::move(LiveSlots);
			Hashes = std::move(LiveHashes);
			Rehash(Slots.size());
		}

		std::vector<std::optional<ElementType>> Slots;
		std::vector<uint32> Hashes;
		std::vector<int32> Buckets;
		int32 NumElements = 0;
	};

	/** Iterator over the live slots of a hash table; also the engine's CreateIterator form. */
	template <typename TableType, typename ElementType>
	class THashTableIterator
	{
	public:
		THashTableIterator(TableType& InTable, int32 InSlot)
			: Table(&InTable), Slot(InTable.NextValidSlot(InSlot))
		{
		}

		ElementType& operator*() const { return Table->Get(Slot); }
		ElementType* operator->() const { return &Table->Get(Slot); }
		THashTableIterator& operator++()
		{
			Slot = Table->NextValidSlot(Slot + 1);
			return *this;
		}
		bool operator==(const THashTableIterator& Other) const { return Slot == Other.Slot; }
		explicit operator bool() const { return Slot < Table->GetMaxSlot(); }

		/** Removes the current element; the iterator stays valid and ++ moves to the next one. */
		void RemoveCurrent()
			requires(!std::is_const_v<TableType>)
		{
			// Compaction would renumber the slots under the iterator, so it waits for a later removal.
			Table->RemoveSlot(Slot, false);
		}

	protected:
		TableType* Table;
		int32 Slot;
	};
}
