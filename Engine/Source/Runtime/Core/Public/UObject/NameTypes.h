#pragma once

// FName: an interned name. Names compare and hash without letter case and keep the spelling
// the name table first saw; a trailing "_N" (N without leading zeros) is stored as a number,
// so "Box_2" is the name "Box" with number 3 (the internal number is N + 1, 0 meaning none).

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

enum EName : uint32
{
	NAME_None = 0,
};

/** The internal number meaning "no number suffix". */
inline constexpr int32 NAME_NO_NUMBER_INTERNAL = 0;

class CORE_API FName
{
public:
	FName() = default;
	FName(EName) {}
	FName(const TCHAR* Name);
	FName(const FString& Name) : FName(*Name) {}
	/** A name with an explicit internal number (0: none, N + 1: suffix "_N"). */
	FName(const TCHAR* PlainName, int32 InternalNumber);
	FName(const FName& Other, int32 InternalNumber) : ComparisonIndex(Other.ComparisonIndex), Number(InternalNumber) {}

	bool IsNone() const { return ComparisonIndex == 0 && Number == NAME_NO_NUMBER_INTERNAL; }
	bool IsValid() const { return true; }
	/** The name with its number suffix, in the first-seen spelling; "None" for NAME_None. */
	FString ToString() const;
	void ToString(FString& Out) const { Out = ToString(); }
	/** The name without its number suffix. */
	FString GetPlainNameString() const;
	int32 GetNumber() const { return Number; }
	void SetNumber(int32 InternalNumber) { Number = InternalNumber; }
	uint32 GetComparisonIndex() const { return ComparisonIndex; }

	/** Case-insensitive equality; also compares the number. */
	bool operator==(const FName& Other) const { return ComparisonIndex == Other.ComparisonIndex && Number == Other.Number; }
	bool operator==(EName Other) const { return *this == FName(Other); }
	/** Alphabetical, ignoring letter case, then by number. */
	bool LexicalLess(const FName& Other) const;
	/** Cheap ordering by table index; stable within a run, not alphabetical. */
	bool FastLess(const FName& Other) const
	{
		return ComparisonIndex != Other.ComparisonIndex ? ComparisonIndex < Other.ComparisonIndex : Number < Other.Number;
	}
	int32 Compare(const FName& Other) const;

	friend uint32 GetTypeHash(const FName& Name) { return Name.ComparisonIndex + (Name.Number << 16) + Name.Number; }

private:
	uint32 ComparisonIndex = 0;
	int32 Number = NAME_NO_NUMBER_INTERNAL;
};

inline FString LexToString(const FName& Name)
{
	return Name.ToString();
}
