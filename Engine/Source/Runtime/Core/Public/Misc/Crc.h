#pragma once

// CRC-32 over bytes and strings, as the engine's FCrc.

#include "CoreTypes.h"

struct CORE_API FCrc
{
	/** The standard CRC-32 (polynomial 0xEDB88320) of Length bytes, continuing from Crc. */
	static uint32 MemCrc32(const void* Data, int32 Length, uint32 Crc = 0);
	/** CRC-32 of a zero-terminated string. */
	static uint32 StrCrc32(const TCHAR* Text, uint32 Crc = 0);
	/** CRC-32 of a string with ASCII letters folded to lower case: the same for "Name" and "NAME". */
	static uint32 Strihash_DEPRECATED(const TCHAR* Text);
	static uint32 Strihash_DEPRECATED(int32 Length, const TCHAR* Text);
};
