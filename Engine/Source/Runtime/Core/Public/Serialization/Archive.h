#pragma once

// FArchive: a byte stream that both saves and loads with the same << calls, in the engine's
// encodings: little-endian integers and floats, bool as a 32-bit 0/1, FString as a signed
// 32-bit length and then either one byte per character or, negated, UTF-16 code units, each
// form ending in a zero; TArray and TMap as a 32-bit count and then their elements.
//
// Loading never trusts the input: reading past the end sets the error state and yields
// zeros, and a count or length larger than the bytes that remain is an error, not an
// allocation. Once in error, an archive reads only zeros.

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "UObject/NameTypes.h"

#include <bit>
#include <type_traits>

static_assert(std::endian::native == std::endian::little, "archives copy numbers as little-endian bytes");

class CORE_API FArchive
{
public:
	virtual ~FArchive() = default;

	/** Copies Length bytes to (saving) or from (loading) V. */
	virtual void Serialize(void* V, int64 Length) = 0;
	/** Current position, or INDEX_NONE when the archive has none. */
	virtual int64 Tell() { return INDEX_NONE; }
	/** Total size in bytes, or INDEX_NONE when unknown. */
	virtual int64 TotalSize() { return INDEX_NONE; }
	virtual void Seek(int64 Position) {}
	virtual FString GetArchiveName() const { return FString("FArchive"); }

	bool IsLoading() const { return bIsLoading; }
	bool IsSaving() const { return bIsSaving; }
	bool IsPersistent() const { return bIsPersistent; }
	bool IsError() const { return bIsError; }
	bool GetError() const { return bIsError; }
	void SetError() { bIsError = true; }
	void ClearError() { bIsError = false; }
	bool AtEnd();

	/**
	 * While loading: true when at least Count more bytes remain (always true when the size
	 * is unknown). Otherwise sets the error state and returns false, so a corrupt count
	 * cannot make the reader allocate or loop over more than the input holds.
	 */
	bool CanLoadBytes(int64 Count);

	/** Copies a number's bytes; numbers are little-endian on every supported platform. */
	template <typename T>
		requires(std::is_arithmetic_v<T> || std::is_enum_v<T>)
	FArchive& SerializeNumber(T& Value)
	{
		Serialize(&Value, sizeof(T));
		return *this;
	}

protected:
	void SetIsLoading(bool bLoading)
	{
		bIsLoading = bLoading;
		bIsSaving = !bLoading;
	}
	void SetIsSaving(bool bSaving) { SetIsLoading(!bSaving); }
	void SetIsPersistent(bool bPersistent) { bIsPersistent = bPersistent; }

private:
	bool bIsLoading = false;
	bool bIsSaving = false;
	bool bIsPersistent = false;
	bool bIsError = false;
};

template <typename T>
	requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>)
FArchive& operator<<(FArchive& Ar, T& Value)
{
	return Ar.SerializeNumber(Value);
}

template <typename T>
	requires std::is_enum_v<T>
FArchive& operator<<(FArchive& Ar, T& Value)
{
	return Ar.SerializeNumber(Value);
}

/** A bool travels as a 32-bit integer: written 0 or 1, read as true for any non-zero value. */
CORE_API FArchive& operator<<(FArchive& Ar, bool& Value);
CORE_API FArchive& operator<<(FArchive& Ar, FString& Value);
/** A name travels as its text, number suffix included. */
CORE_API FArchive& operator<<(FArchive& Ar, FName& Value);

template <typename ElementType>
FArchive& operator<<(FArchive& Ar, TArray<ElementType>& Array)
{
	int32 Count = Array.Num();
	Ar << Count;
	if (Ar.IsLoading())
	{
		Array.Reset();
		// Every element takes at least one byte, so a count beyond the remaining bytes is corrupt.
		if (Count < 0 || !Ar.CanLoadBytes(Count))
		{
			Ar.SetError();
			return Ar;
		}
		Array.SetNum(Count);
	}
	for (int32 Index = 0; Index < Array.Num() && !Ar.IsError(); ++Index)
	{
		Ar << Array[Index];
	}
	return Ar;
}

template <typename KeyType, typename ValueType>
FArchive& operator<<(FArchive& Ar, TMap<KeyType, ValueType>& Map)
{
	int32 Count = Map.Num();
	Ar << Count;
	if (Ar.IsLoading())
	{
		Map.Reset();
		if (Count < 0 || !Ar.CanLoadBytes(Count))
		{
			Ar.SetError();
			return Ar;
		}
		for (int32 Index = 0; Index < Count && !Ar.IsError(); ++Index)
		{
			KeyType Key{};
			ValueType Value{};
			Ar << Key << Value;
			Map.Add(std::move(Key), std::move(Value));
		}
		return Ar;
	}
	for (auto& Pair : Map)
	{
		KeyType Key = Pair.Key;
		Ar << Key << Pair.Value;
	}
	return Ar;
}
