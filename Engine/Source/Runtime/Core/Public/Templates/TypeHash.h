#pragma once

// GetTypeHash overloads for built-in types and HashCombine, as the engine's hashed containers use them.

#include "CoreTypes.h"

#include <bit>
#include <type_traits>

inline uint32 HashCombine(uint32 A, uint32 C)
{
	// The engine's mix of two hashes (Bob Jenkins' final mix).
	uint32 B = 0x9e3779b9;
	A += B;
	A -= B; A -= C; A ^= (C >> 13);
	B -= C; B -= A; B ^= (A << 8);
	C -= A; C -= B; C ^= (B >> 13);
	A -= B; A -= C; A ^= (C >> 12);
	B -= C; B -= A; B ^= (A << 16);
	C -= A; C -= B; C ^= (B >> 5);
	A -= B; A -= C; A ^= (C >> 3);
	B -= C; B -= A; B ^= (A << 10);
	C -= A; C -= B; C ^= (B >> 15);
	return C;
}

inline uint32 HashCombineFast(uint32 A, uint32 B)
{
	return A ^ (B + 0x9e3779b9 + (A << 6) + (A >> 2));
}

template <typename T>
	requires(std::is_integral_v<T> && sizeof(T) <= 4)
constexpr uint32 GetTypeHash(T Value)
{
	return static_cast<uint32>(Value);
}

template <typename T>
	requires(std::is_integral_v<T> && sizeof(T) == 8)
constexpr uint32 GetTypeHash(T Value)
{
	const uint64 Bits = static_cast<uint64>(Value);
	return static_cast<uint32>(Bits) + (static_cast<uint32>(Bits >> 32) * 23);
}

template <typename T>
	requires std::is_enum_v<T>
constexpr uint32 GetTypeHash(T Value)
{
	return GetTypeHash(static_cast<std::underlying_type_t<T>>(Value));
}

inline uint32 GetTypeHash(float Value)
{
	return std::bit_cast<uint32>(Value == 0.0f ? 0.0f : Value);
}

inline uint32 GetTypeHash(double Value)
{
	return GetTypeHash(std::bit_cast<uint64>(Value == 0.0 ? 0.0 : Value));
}

template <typename T>
uint32 GetTypeHash(T* Pointer)
{
	const UPTRINT Address = reinterpret_cast<UPTRINT>(Pointer);
	return GetTypeHash(static_cast<uint64>(Address >> 4));
}
