#include "UObject/Class.h"

void UEnum::SetEnums(TArray<UEnum_Private::FEnumEntry> InEntries)
{
	Entries = std::move(InEntries);
}

FName UEnum::GetNameByIndex(int32 Index) const
{
	return Entries.IsValidIndex(Index) ? Entries[Index].Name : FName();
}

int64 UEnum::GetValueByIndex(int32 Index) const
{
	return Entries.IsValidIndex(Index) ? Entries[Index].Value : INDEX_NONE;
}

int32 UEnum::GetIndexByValue(int64 Value) const
{
	return Entries.IndexOfByPredicate([Value](const UEnum_Private::FEnumEntry& Entry) { return Entry.Value == Value; });
}

int32 UEnum::GetIndexByName(FName Name) const
{
	const FString Wanted = Name.ToString();
	return Entries.IndexOfByPredicate([&](const UEnum_Private::FEnumEntry& Entry) {
		if (Entry.Name == Name)
		{
			return true;
		}
		FString Short;
		return Entry.Name.ToString().Split("::", nullptr, &Short) && Short == Wanted;
	});
}

FName UEnum::GetNameByValue(int64 Value) const
{
	return GetNameByIndex(GetIndexByValue(Value));
}

int64 UEnum::GetValueByName(FName Name) const
{
	return GetValueByIndex(GetIndexByName(Name));
}

FString UEnum::GetNameStringByIndex(int32 Index) const
{
	if (!Entries.IsValidIndex(Index))
	{
		return FString();
	}
	FString Full = Entries[Index].Name.ToString();
	FString Short;
	return Full.Split("::", nullptr, &Short) ? Short : Full;
}

FString UEnum::GetNameStringByValue(int64 Value) const
{
	return GetNameStringByIndex(GetIndexByValue(Value));
}

FText UEnum::GetDisplayNameTextByIndex(int32 Index) const
{
	if (HasMetaData(TEXT("DisplayName"), Index))
	{
		return FText::FromString(GetMetaData(TEXT("DisplayName"), Index));
	}
	return FText::FromString(GetNameStringByIndex(Index));
}

FText UEnum::GetDisplayNameTextByValue(int64 Value) const
{
	return GetDisplayNameTextByIndex(GetIndexByValue(Value));
}

const FString& UEnum::GetMetaData(const TCHAR* Key, int32 Index) const
{
	static const FString Empty;
	if (!Entries.IsValidIndex(Index))
	{
		return Empty;
	}
	const FString* Value = Entries[Index].MetaData.Find(FName(Key));
	return Value ? *Value : Empty;
}

bool UEnum::HasMetaData(const TCHAR* Key, int32 Index) const
{
	return Entries.IsValidIndex(Index) && Entries[Index].MetaData.Contains(FName(Key));
}

int64 UEnum::GetMaxEnumValue() const
{
	int64 Max = 0;
	for (const UEnum_Private::FEnumEntry& Entry : Entries)
	{
		Max = std::max(Max, Entry.Value);
	}
	return Max;
}
