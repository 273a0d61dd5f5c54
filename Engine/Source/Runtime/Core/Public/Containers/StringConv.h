#pragma once

// Conversions between this runtime's UTF-8 text and UTF-16 code units, used by archives
// and by anything that speaks to UTF-16 peers. Malformed input never fails: ill-formed
// UTF-8 sequences and unpaired surrogates become U+FFFD.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <string>

/** UTF-8 text to UTF-16 code units (no terminator in Length()). */
class CORE_API FTCHARToUTF16
{
public:
	explicit FTCHARToUTF16(const TCHAR* Text);
	FTCHARToUTF16(const TCHAR* Text, int32 Length);

	const UTF16CHAR* Get() const { return Converted.c_str(); }
	int32 Length() const { return static_cast<int32>(Converted.size()); }

private:
	std::u16string Converted;
};

/** UTF-16 code units to UTF-8 text. */
class CORE_API FUTF16ToTCHAR
{
public:
	explicit FUTF16ToTCHAR(const UTF16CHAR* Text);
	FUTF16ToTCHAR(const UTF16CHAR* Text, int32 Length);

	const TCHAR* Get() const { return Converted.c_str(); }
	int32 Length() const { return static_cast<int32>(Converted.size()); }

private:
	std::string Converted;
};

/** True when every character of Text is below 128, so the one-byte form holds it exactly. */
CORE_API bool IsPureAnsi(const FString& Text);
