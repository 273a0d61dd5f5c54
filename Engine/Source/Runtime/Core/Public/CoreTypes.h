#pragma once

// Fixed-width integer names, the character type and the literal macros the engine API uses.

#include <cstddef>
#include <cstdint>

using int8 = std::int8_t;
using int16 = std::int16_t;
using int32 = std::int32_t;
using int64 = std::int64_t;
using uint8 = std::uint8_t;
using uint16 = std::uint16_t;
using uint32 = std::uint32_t;
using uint64 = std::uint64_t;
using SIZE_T = std::size_t;
using SSIZE_T = std::ptrdiff_t;
using UPTRINT = std::uintptr_t;
using PTRINT = std::intptr_t;

// Text is UTF-8 throughout this runtime, so a character unit is one byte.
using TCHAR = char;
using ANSICHAR = char;
using UTF8CHAR = char;
using UTF16CHAR = char16_t;

#define TEXT(x) x

#ifndef INDEX_NONE
#define INDEX_NONE (-1)
#endif

#define FORCEINLINE inline
#define FORCENOINLINE __attribute__((noinline))
#define UE_ARRAY_COUNT(Array) (sizeof(Array) / sizeof((Array)[0]))

enum { MAX_int32 = 0x7fffffff };
inline constexpr int32 MIN_int32 = static_cast<int32>(0x80000000u);
inline constexpr int64 MAX_int64 = 0x7fffffffffffffffLL;
inline constexpr uint8 MAX_uint8 = 0xff;
inline constexpr uint16 MAX_uint16 = 0xffff;
inline constexpr uint32 MAX_uint32 = 0xffffffffu;
inline constexpr float MAX_flt = 3.402823466e+38F;
