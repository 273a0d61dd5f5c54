#include "Policies/JsonPrintPolicy.h"

#include <charconv>
#include <cmath>

namespace
{
	// Beyond 2^53 not every integer is a double, so such values lose the exact-integer look
	// and take the shortest round-trip form instead.
	constexpr double MaxExactInteger = 9007199254740992.0;

	void AppendChars(FString& Out, const char* Begin, const char* End)
	{
		Out.Append(Begin, static_cast<int32>(End - Begin));
	}

	template <typename FloatType>
	void AppendFloatingPoint(FString& Out, FloatType Value)
	{
		if (!std::isfinite(Value))
		{
			Out.Append(TEXT("null"), 4);
			return;
		}
		if (std::trunc(Value) == Value && std::fabs(Value) <= MaxExactInteger)
		{
			UE::Json::Private::AppendInteger(Out, static_cast<int64>(Value));
			return;
		}
		char Buffer[64];
		const std::to_chars_result Result = std::to_chars(Buffer, Buffer + sizeof(Buffer), Value);
		AppendChars(Out, Buffer, Result.ptr);
	}

	template <typename IntegerType>
	void AppendIntegerText(FString& Out, IntegerType Value)
	{
		char Buffer[24];
		const std::to_chars_result Result = std::to_chars(Buffer, Buffer + sizeof(Buffer), Value);
		AppendChars(Out, Buffer, Result.ptr);
	}
}

namespace UE::Json::Private
{
	void AppendQuotedString(FString& Out, std::string_view Text)
	{
		static constexpr char HexDigits[] = "0123456789abcdef";
		Out.AppendChar('"');
		// Bytes that need no escape are copied in runs rather than one at a time.
		SIZE_T RunStart = 0;
		for (SIZE_T Index = 0; Index < Text.size(); ++Index)
		{
			const unsigned char Byte = static_cast<unsigned char>(Text[Index]);
			if (Byte >= 0x20 && Byte != '"' && Byte != '\\')
			{
				continue;
			}
			AppendChars(Out, Text.data() + RunStart, Text.data() + Index);
			RunStart = Index + 1;
			switch (Byte)
			{
			case '"': Out.Append(TEXT("\\\""), 2); break;
			case '\\': Out.Append(TEXT("\\\\"), 2); break;
			case '\b': Out.Append(TEXT("\\b"), 2); break;
			case '\f': Out.Append(TEXT("\\f"), 2); break;
			case '\n': Out.Append(TEXT("\\n"), 2); break;
			case '\r': Out.Append(TEXT("\\r"), 2); break;
			case '\t': Out.Append(TEXT("\\t"), 2); break;
			default:
			{
				const char Escape[] = {'\\', 'u', '0', '0', HexDigits[Byte >> 4], HexDigits[Byte & 0xF]};
				Out.Append(Escape, 6);
				break;
			}
			}
		}
		AppendChars(Out, Text.data() + RunStart, Text.data() + Text.size());
		Out.AppendChar('"');
	}

	void AppendNumber(FString& Out, double Value)
	{
		AppendFloatingPoint(Out, Value);
	}

	void AppendNumber(FString& Out, float Value)
	{
		AppendFloatingPoint(Out, Value);
	}

	void AppendInteger(FString& Out, int64 Value)
	{
		AppendIntegerText(Out, Value);
	}

	void AppendInteger(FString& Out, uint64 Value)
	{
		AppendIntegerText(Out, Value);
	}
}
