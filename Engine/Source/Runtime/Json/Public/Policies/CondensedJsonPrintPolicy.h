#pragma once

// The compact layout: no whitespace at all between tokens.

#include "Policies/JsonPrintPolicy.h"

template <class CharType>
struct TCondensedJsonPrintPolicy : public TJsonPrintPolicy<CharType>
{
	static void WriteLineTerminator(FString*) {}
	static void WriteTabs(FString*, int32) {}
	static void WriteSpace(FString*) {}
};
