#pragma once

// The registry of live objects: one slot per object (reused after collection, with a serial
// number so weak pointers can tell a reused slot from their object), the collector's
// per-object flags, and the name table that finds an object by outer and name.

#include "CoreMinimal.h"
#include "UObject/ObjectMacros.h"

#include <deque>

class UObject;

enum class EInternalObjectFlags : uint8
{
	None = 0,
	RootSet = 1 << 0,
	Garbage = 1 << 1,
	Unreachable = 1 << 2,
};
ENUM_CLASS_FLAGS(EInternalObjectFlags)

struct FUObjectItem
{
	UObject* Object = nullptr;
	int32 SerialNumber = 0;
	EInternalObjectFlags Flags = EInternalObjectFlags::None;

	bool HasAnyFlags(EInternalObjectFlags Test) const { return EnumHasAnyFlags(Flags, Test); }
	void SetFlags(EInternalObjectFlags Set) { Flags |= Set; }
	void ClearFlags(EInternalObjectFlags Clear) { Flags &= ~Clear; }
};

class FUObjectArray
{
public:
	static FUObjectArray& Get();

	/** Gives Object a slot and returns its index. */
	int32 Allocate(UObject* Object);
	/** Empties a slot; the next object in it gets a new serial number. */
	void Free(int32 Index);

	FUObjectItem* GetItem(int32 Index);
	FUObjectItem& GetItemChecked(const UObject* Object);
	int32 GetMaxIndex() const { return static_cast<int32>(Items.size()); }
	int32 GetNumLive() const { return NumLive; }

	UObject* FindByName(const UObject* Outer, FName Name) const;
	void AddName(UObject* Object);
	void RemoveName(UObject* Object);

private:
	struct FNameKey
	{
		const UObject* Outer;
		FName Name;
		bool operator==(const FNameKey& Other) const { return Outer == Other.Outer && Name == Other.Name; }
		friend uint32 GetTypeHash(const FNameKey& Key) { return HashCombine(GetTypeHash(Key.Outer), GetTypeHash(Key.Name)); }
	};

	std::deque<FUObjectItem> Items;
	TArray<int32> FreeIndices;
	TMap<FNameKey, UObject*> Names;
	int32 NumLive = 0;
};
