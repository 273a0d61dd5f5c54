#pragma once

// The kinds of JSON value.

#include "CoreTypes.h"

enum class EJson : uint8
{
	/** No value at all, as opposed to an explicit null. */
	None,
	Null,
	String,
	Number,
	Boolean,
	Array,
	Object,
};

/** The kind's name as messages show it ("Number"). */
JSON_API const TCHAR* LexToString(EJson Type);
