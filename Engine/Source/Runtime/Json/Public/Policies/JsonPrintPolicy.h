#pragma once

// The base of the print policies: how characters, strings and numbers become JSON text.
// A policy only appends to the output; TJsonWriter decides what goes where, and asks the
// policy's WriteLineTerminator, WriteTabs and WriteSpace for the layout between tokens.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <string_view>
#include <type_traits>

namespace UE::Json::Private
{
	/** Appends Text quoted and escaped: quote, backslash and control characters; other bytes as they are. */
	JSON_API void AppendQuotedString(FString& Out, std::string_view Text);
	/**
	 * Appends Value as a JSON number: integral values within 2^53 without a fraction ("3"),
	 * others in the shortest form that reads back to the same value. JSON has no NaN or
	 * infinity, so those are written as null.
	 */
	JSON_API void AppendNumber(FString& Out, double Value);
	/** As the double form, with the shortest text that reads back to the same float. */
	JSON_API void AppendNumber(FString& Out, float Value);
	/** Integers are written exactly, every digit. */
	JSON_API void AppendInteger(FString& Out, int64 Value);
	JSON_API void AppendInteger(FString& Out, uint64 Value);
}

template <class CharType>
struct TJsonPrintPolicy
{
	static_assert(std::is_same_v<CharType, TCHAR>, "JSON text is UTF-8 in this runtime: use TCHAR");

	static void WriteChar(FString* Stream, CharType Char) { Stream->AppendChar(Char); }
	/** Appends Text as it is, for tokens and raw JSON. */
	static void WriteRaw(FString* Stream, std::string_view Text) { Stream->Append(Text.data(), static_cast<int32>(Text.size())); }
	static void WriteQuotedString(FString* Stream, const FString& String) { UE::Json::Private::AppendQuotedString(*Stream, String.ToView()); }
	static void WriteFloat(FString* Stream, float Value) { UE::Json::Private::AppendNumber(*Stream, Value); }
	static void WriteDouble(FString* Stream, double Value) { UE::Json::Private::AppendNumber(*Stream, Value); }
	static void WriteInteger(FString* Stream, int64 Value) { UE::Json::Private::AppendInteger(*Stream, Value); }
	static void WriteInteger(FString* Stream, uint64 Value) { UE::Json::Private::AppendInteger(*Stream, Value); }
};
