#include "UObject/UObjectArray.h"

#include "UObject/Object.h"

FUObjectArray& FUObjectArray::Get()
{
	// Never destroyed: objects registered by static initialisers outlive ordinary statics.
	static FUObjectArray* Array = new FUObjectArray();
	return *Array;
}

int32 FUObjectArray::Allocate(UObject* Object)
{
	int32 Index;
	if (!FreeIndices.IsEmpty())
	{
		Index = FreeIndices.Pop();
	}
	else
	{
		Index = static_cast<int32>(Items.size());
		Items.emplace_back();
	}
	FUObjectItem& Item = Items[Index];
	Item.Object = Object;
	Item.Flags = EInternalObjectFlags::None;
	++Item.SerialNumber;
	++NumLive;
	return Index;
}

void FUObjectArray::Free(int32 Index)
{
	FUObjectItem& Item = Items[Index];
	Item.Object = nullptr;
	Item.Flags = EInternalObjectFlags::None;
	FreeIndices.Add(Index);
	--NumLive;
}

FUObjectItem* FUObjectArray::GetItem(int32 Index)
{
	return Index >= 0 && Index < GetMaxIndex() ? &Items[Index] : nullptr;
}

FUObjectItem& FUObjectArray::GetItemChecked(const UObject* Object)
{
	FUObjectItem* Item = GetItem(Object->GetUniqueID());
	check(Item != nullptr && Item->Object == Object);
	return *Item;
}

UObject* FUObjectArray::FindByName(const UObject* Outer, FName Name) const
{
	UObject* const* Found = Names.Find(FNameKey{Outer, Name});
	return Found ? *Found : nullptr;
}

void FUObjectArray::AddName(UObject* Object)
{
	Names.Add(FNameKey{Object->GetOuter(), Object->GetFName()}, Object);
}

void FUObjectArray::RemoveName(UObject* Object)
{
	const FNameKey Key{Object->GetOuter(), Object->GetFName()};
	UObject* const* Found = Names.Find(Key);
	if (Found && *Found == Object)
	{
		Names.Remove(Key);
	}
}
