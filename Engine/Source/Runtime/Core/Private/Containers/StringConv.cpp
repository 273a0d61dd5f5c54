#include "Containers/StringConv.h"

#include <algorithm>
#include <cstring>

namespace
{
	constexpr char32_t ReplacementCharacter = 0xFFFD;

	/** Decodes one code point at Text[Index], advancing Index; ill-formed input gives U+FFFD. */
	char32_t DecodeUtf8(const unsigned char* Text, SIZE_T Length, SIZE_T& Index)
	{
		const unsigned char Lead = Text[Index++];
		if (Lead < 0x80)
		{
			return Lead;
		}
		int32 Extra = 0;
		char32_t CodePoint = 0;
		char32_t Minimum = 0;
		if ((Lead & 0xE0) == 0xC0)
		{
			Extra = 1, CodePoint = Lead & 0x1F, Minimum = 0x80;
		}
		else if ((Lead & 0xF0) == 0xE0)
		{
			Extra = 2, CodePoint = Lead & 0x0F, Minimum = 0x800;
		}
		else if ((Lead & 0xF8) == 0xF0)
		{
			Extra = 3, CodePoint = Lead & 0x07, Minimum = 0x10000;
		}
		else
		{
			return ReplacementCharacter;
		}
		for (int32 Continuation = 0; Continuation < Extra; ++Continuation)
		{
			if (Index >= Length || (Text[Index] & 0xC0) != 0x80)
			{
				return ReplacementCharacter;
			}
			CodePoint = (CodePoint << 6) | (Text[Index++] & 0x3F);
		}
		const bool bSurrogate = CodePoint >= 0xD800 && CodePoint <= 0xDFFF;
		return (CodePoint < Minimum || CodePoint > 0x10FFFF || bSurrogate) ? ReplacementCharacter : CodePoint;
	}

	void EncodeUtf8(char32_t CodePoint, std::string& Out)
	{
		if (CodePoint < 0x80)
		{
			Out += static_cast<char>(CodePoint);
		}
		else if (CodePoint < 0x800)
		{
			Out += static_cast<char>(0xC0 | (CodePoint >> 6));
			Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
		}
		else if (CodePoint < 0x10000)
		{
			Out += static_cast<char>(0xE0 | (CodePoint >> 12));
			Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
			Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
		}
		else
		{
			Out += static_cast<char>(0xF0 | (CodePoint >> 18));
			Out += static_cast<char>(0x80 | ((CodePoint >> 12) & 0x3F));
			Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
			Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
		}
	}

	SIZE_T Utf16Length(const UTF16CHAR* Text)
	{
		SIZE_T Length = 0;
		while (Text && Text[Length] != 0)
		{
			++Length;
		}
		return Length;
	}
}

FTCHARToUTF16::FTCHARToUTF16(const TCHAR* Text)
	: FTCHARToUTF16(Text, Text ? static_cast<int32>(std::strlen(Text)) : 0)
{
}

FTCHARToUTF16::FTCHARToUTF16(const TCHAR* Text, int32 Length)
{
	const auto* Bytes = reinterpret_cast<const unsigned char*>(Text);
	const SIZE_T Count = static_cast<SIZE_T>(std::max(Length, 0));
	Converted.reserve(Count);
	for (SIZE_T Index = 0; Index < Count;)
	{
		const char32_t CodePoint = DecodeUtf8(Bytes, Count, Index);
		if (CodePoint >= 0x10000)
		{
			const char32_t Offset = CodePoint - 0x10000;
			Converted += static_cast<char16_t>(0xD800 + (Offset >> 10));
			Converted += static_cast<char16_t>(0xDC00 + (Offset & 0x3FF));
		}
		else
		{
			Converted += static_cast<char16_t>(CodePoint);
		}
	}
}

FUTF16ToTCHAR::FUTF16ToTCHAR(const UTF16CHAR* Text)
	: FUTF16ToTCHAR(Text, static_cast<int32>(Utf16Length(Text)))
{
}

FUTF16ToTCHAR::FUTF16ToTCHAR(const UTF16CHAR* Text, int32 Length)
{
	const int32 Count = std::max(Length, 0);
	Converted.reserve(Count);
	for (int32 Index = 0; Index < Count; ++Index)
	{
		const char32_t Unit = Text[Index];
		const bool bHigh = Unit >= 0xD800 && Unit <= 0xDBFF;
		const bool bLow = Unit >= 0xDC00 && Unit <= 0xDFFF;
		if (bHigh && Index + 1 < Count && Text[Index + 1] >= 0xDC00 && Text[Index + 1] <= 0xDFFF)
		{
			EncodeUtf8(0x10000 + ((Unit - 0xD800) << 10) + (Text[Index + 1] - 0xDC00), Converted);
			++Index;
		}
		else
		{
			EncodeUtf8((bHigh || bLow) ? ReplacementCharacter : Unit, Converted);
		}
	}
}

bool IsPureAnsi(const FString& Text)
{
	return std::all_of(Text.ToView().begin(), Text.ToView().end(), [](char Character) { return static_cast<unsigned char>(Character) < 128; });
}
