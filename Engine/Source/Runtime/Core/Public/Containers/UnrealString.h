#pragma once

// FString: a UTF-8 string with the engine's member names and semantics. Note the engine's
// defaults: == and < ignore letter case, and so do StartsWith, EndsWith, Contains, Find,
// Replace and Split unless told otherwise; Equals and Compare respect case by default.
// Case folding covers ASCII letters only.

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Templates/TypeHash.h"

#include <compare>
#include <cstdarg>
#include <string>
#include <string_view>

namespace ESearchCase
{
	enum Type
	{
		CaseSensitive,
		IgnoreCase,
	};
}

namespace ESearchDir
{
	enum Type
	{
		FromStart,
		FromEnd,
	};
}

class CORE_API FString
{
public:
	FString() = default;
	FString(const TCHAR* Text) : Data(Text ? Text : "") {}
	FString(const TCHAR* Text, int32 Length);
	FString(int32 Length, const TCHAR* Text) : FString(Text, Length) {}
	explicit FString(std::string InData) : Data(std::move(InData)) {}
	explicit FString(std::string_view View) : Data(View) {}

	/** printf-style formatting; %s takes a const TCHAR* (pass *Str for an FString). */
	static FString Printf(const TCHAR* Format, ...) __attribute__((format(printf, 1, 2)));
	/** Printf over an argument list, for functions that take a format and arguments themselves. */
	static FString PrintfV(const TCHAR* Format, va_list Args) __attribute__((format(printf, 1, 0)));
	static FString FromInt(int32 Number);
	/** A number with six decimals less its trailing zeros, keeping MinFractionalDigits ("1.0", "0.5"). */
	static FString SanitizeFloat(double Number, int32 MinFractionalDigits = 1);
	static FString Join(const TArray<FString>& Items, const TCHAR* Separator);
	static FString ChrN(int32 Count, TCHAR Character);

	const TCHAR* operator*() const { return Data.c_str(); }
	const std::string& ToStdString() const { return Data; }
	std::string_view ToView() const { return Data; }

	int32 Len() const { return static_cast<int32>(Data.size()); }
	bool IsEmpty() const { return Data.empty(); }
	bool IsValidIndex(int32 Index) const { return Index >= 0 && Index < Len(); }
	void Empty() { Data.clear(); }
	void Reset() { Data.clear(); }
	void Reserve(int32 Count) { Data.reserve(Count < 0 ? 0 : Count); }

	/** A checked character access: an index outside [0, Len()) is a failed check. */
	TCHAR& operator[](int32 Index);
	const TCHAR& operator[](int32 Index) const;

	bool Equals(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;
	/** <0, 0 or >0 as this string sorts before, equal to or after Other. */
	int32 Compare(const FString& Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const;

	bool StartsWith(const FString& Prefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool EndsWith(const FString& Suffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	bool Contains(const FString& SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase,
		ESearchDir::Type SearchDir = ESearchDir::FromStart) const;
	/** Position of SubStr, or INDEX_NONE. StartPosition INDEX_NONE searches the whole string. */
	int32 Find(const FString& SubStr, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase,
		ESearchDir::Type SearchDir = ESearchDir::FromStart, int32 StartPosition = INDEX_NONE) const;
	bool FindChar(TCHAR Character, int32& OutIndex) const;
	bool FindLastChar(TCHAR Character, int32& OutIndex) const;

	FString ToLower() const;
	FString ToUpper() const;
	void ToLowerInline();
	void ToUpperInline();

	/** The first Count characters (all of them when Count >= Len(), none when Count <= 0). */
	FString Left(int32 Count) const;
	FString LeftChop(int32 Count) const;
	/** Count characters from Start, clamped to the string. */
	FString Mid(int32 Start, int32 Count = MAX_int32) const;
	FString Right(int32 Count) const;
	FString RightChop(int32 Count) const;
	void LeftInline(int32 Count);
	void LeftChopInline(int32 Count);
	void RightChopInline(int32 Count);
	void MidInline(int32 Start, int32 Count = MAX_int32);

	/** Splits at the first (or last) occurrence of InS; false, with the outputs untouched, if absent. */
	bool Split(const FString& InS, FString* LeftS, FString* RightS, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase,
		ESearchDir::Type SearchDir = ESearchDir::FromStart) const;
	/** Every occurrence of From replaced by To; an empty From changes nothing. */
	FString Replace(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const;
	int32 ReplaceInline(const TCHAR* From, const TCHAR* To, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase);
	/** Splits at every Delimiter into OutArray (replacing its contents); returns the count. */
	int32 ParseIntoArray(TArray<FString>& OutArray, const TCHAR* Delimiter, bool bCullEmpty = true) const;

	FString TrimStart() const;
	FString TrimEnd() const;
	FString TrimStartAndEnd() const;
	bool IsNumeric() const;
	FString Reverse() const;

	FString& Append(const FString& Text);
	FString& Append(const TCHAR* Text, int32 Count);
	FString& AppendChar(TCHAR Character);
	FString& AppendInt(int32 Number);
	void InsertAt(int32 Index, const FString& Text);
	void RemoveAt(int32 Index, int32 Count = 1);
	bool RemoveFromStart(const FString& Prefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase);
	bool RemoveFromEnd(const FString& Suffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase);

	FString& operator+=(const FString& Text) { return Append(Text); }
	FString& operator+=(const TCHAR* Text) { return Append(FString(Text)); }
	FString& operator+=(TCHAR Character) { return AppendChar(Character); }
	/** Appends Path with exactly one '/' between the two parts (none when this string is empty). */
	FString& operator/=(const FString& Path);
	FString& operator/=(const TCHAR* Path) { return *this /= FString(Path); }

	friend FString operator+(const FString& A, const FString& B) { return FString(A.Data + B.Data); }
	friend FString operator+(const FString& A, const TCHAR* B) { return FString(A.Data + (B ? B : "")); }
	friend FString operator+(const TCHAR* A, const FString& B) { return FString((A ? A : "") + B.Data); }
	friend FString operator/(const FString& A, const FString& B) { return FString(A) /= B; }
	friend FString operator/(const FString& A, const TCHAR* B) { return FString(A) /= B; }

	/** Case-insensitive, as the engine compares strings with ==. */
	friend bool operator==(const FString& A, const FString& B) { return A.Equals(B, ESearchCase::IgnoreCase); }
	friend bool operator==(const FString& A, const TCHAR* B) { return A.Equals(FString(B), ESearchCase::IgnoreCase); }
	/** Case-insensitive ordering, as the engine sorts strings. */
	friend std::weak_ordering operator<=>(const FString& A, const FString& B)
	{
		return A.Compare(B, ESearchCase::IgnoreCase) <=> 0;
	}

	/** The engine's case-insensitive string hash, so FString map keys ignore letter case. */
	friend CORE_API uint32 GetTypeHash(const FString& Text);

private:
	std::string Data;
};

/** Lexical conversions to and from strings, as the engine's Lex functions. */
CORE_API FString LexToString(int32 Value);
CORE_API FString LexToString(int64 Value);
CORE_API FString LexToString(uint32 Value);
CORE_API FString LexToString(uint64 Value);
CORE_API FString LexToString(float Value);
CORE_API FString LexToString(double Value);
CORE_API FString LexToString(bool Value);
CORE_API FString LexToString(const FString& Value);
CORE_API FString LexToString(const TCHAR* Value);
CORE_API void LexFromString(int32& OutValue, const TCHAR* Text);
CORE_API void LexFromString(int64& OutValue, const TCHAR* Text);
CORE_API void LexFromString(float& OutValue, const TCHAR* Text);
CORE_API void LexFromString(double& OutValue, const TCHAR* Text);
CORE_API void LexFromString(bool& OutValue, const TCHAR* Text);
CORE_API void LexFromString(FString& OutValue, const TCHAR* Text);
/** Strict parse: true only when all of Text is a number in range. */
CORE_API bool LexTryParseString(int32& OutValue, const TCHAR* Text);
CORE_API bool LexTryParseString(float& OutValue, const TCHAR* Text);
CORE_API bool LexTryParseString(double& OutValue, const TCHAR* Text);
