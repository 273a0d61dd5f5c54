#pragma once

// FFileHelper: whole-file loading and saving.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

struct CORE_API FFileHelper
{
	/** Reads a whole regular file; false for a missing file or a folder, leaving Result untouched. */
	static bool LoadFileToArray(TArray<uint8>& Result, const TCHAR* Filename);
	/**
	 * Reads a text file into Result (replaced only on success). A UTF-8 byte-order mark is
	 * dropped; a UTF-16 (LE or BE) byte-order mark means the file is UTF-16 and it is
	 * converted. Text without a mark is taken as UTF-8.
	 */
	static bool LoadFileToString(FString& Result, const TCHAR* Filename);
	/**
	 * Reads a text file as LoadFileToString does and splits it into lines at "\r\n", "\n" or
	 * "\r". Empty lines are kept; a final line break does not start another line.
	 */
	static bool LoadFileToStringArray(TArray<FString>& Result, const TCHAR* Filename);

	/**
	 * Writes Array as the whole content of Filename, creating missing parent folders. The bytes
	 * go to a temporary file in the same folder, which then replaces the target in one rename:
	 * a failed save leaves any old file as it was and no temporary behind. A read-only target is
	 * not replaced. A replaced file keeps its permissions, and a link is saved through, so the
	 * file it points to changes. Failures are logged as warnings on LogCore.
	 */
	static bool SaveArrayToFile(const TArray<uint8>& Array, const TCHAR* Filename);
	/** Writes the string's UTF-8 bytes (no byte-order mark) as SaveArrayToFile does. */
	static bool SaveStringToFile(const FString& String, const TCHAR* Filename);
};
