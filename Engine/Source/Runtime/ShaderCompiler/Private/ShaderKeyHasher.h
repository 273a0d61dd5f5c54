#pragma once

// FShaderKeyHasher: the 128-bit FNV-1a hash that names shader cache entries. CRC-32 is too
// short for a key: with thousands of entries a collision, which would hand one shader another's
// code, stops being unlikely. The hash need not resist attack, as only this machine's
// compiles write the cache.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <string_view>

class FShaderKeyHasher
{
public:
	/**
	 * Adds Text with its length first, so that ("ab", "c") and ("a", "bc") hash differently:
	 * every part of a key is added this way.
	 */
	void Add(std::string_view Text);
	void Add(const FString& Text) { Add(Text.ToView()); }
	void Add(uint32 Number);

	/** The hash as 32 lower-case hexadecimal digits. */
	FString ToString() const;

private:
	void AddBytes(const void* Data, SIZE_T Length);

	unsigned __int128 State = (static_cast<unsigned __int128>(0x6c62272e07bb0142ULL) << 64) | 0x62b821756295c58dULL;
};
