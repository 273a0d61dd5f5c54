#pragma once

// FCString: the engine's C-string helpers. Conversions read a leading number as C's strto*
// do (0 when there is none) and clamp to the result type instead of overflowing.

#include "CoreTypes.h"

struct CORE_API FCString
{
	static int32 Atoi(const TCHAR* Text);
	static int64 Atoi64(const TCHAR* Text);
	static float Atof(const TCHAR* Text);
	static double Atod(const TCHAR* Text);
	/** "true", "yes", "on" (any case) or a non-zero number. */
	static bool ToBool(const TCHAR* Text);
	static int32 Strtoi(const TCHAR* Text, TCHAR** End, int32 Base);
	static int32 Strlen(const TCHAR* Text);
	static int32 Strcmp(const TCHAR* A, const TCHAR* B);
	/** ASCII case-insensitive comparison. */
	static int32 Stricmp(const TCHAR* A, const TCHAR* B);
	static int32 Strnicmp(const TCHAR* A, const TCHAR* B, SIZE_T Count);
	static bool IsNumeric(const TCHAR* Text);
};

struct CORE_API FChar
{
	static TCHAR ToLower(TCHAR Character);
	static TCHAR ToUpper(TCHAR Character);
	static bool IsDigit(TCHAR Character);
	static bool IsAlpha(TCHAR Character);
	static bool IsWhitespace(TCHAR Character);
};
