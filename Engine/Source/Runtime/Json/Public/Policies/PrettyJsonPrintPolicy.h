#pragma once

// The human-readable layout: a line per member or element, one tab per nesting level, and
// a space after each key's colon.

#include "Policies/JsonPrintPolicy.h"

template <class CharType>
struct TPrettyJsonPrintPolicy : public TJsonPrintPolicy<CharType>
{
	static void WriteLineTerminator(FString* Stream) { Stream->AppendChar(CharType('\n')); }
	static void WriteTabs(FString* Stream, int32 Count)
	{
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Stream->AppendChar(CharType('\t'));
		}
	}
	static void WriteSpace(FString* Stream) { Stream->AppendChar(CharType(' ')); }
};
