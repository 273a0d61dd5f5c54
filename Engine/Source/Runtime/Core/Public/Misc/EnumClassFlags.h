#pragma once

#include <type_traits>

/** Bitwise operators for a flags enumeration, as the engine's ENUM_CLASS_FLAGS. */
#define ENUM_CLASS_FLAGS(Enum)                                                                                     \
	inline constexpr Enum operator|(Enum A, Enum B)                                                                \
	{                                                                                                              \
		return static_cast<Enum>(static_cast<std::underlying_type_t<Enum>>(A) | static_cast<std::underlying_type_t<Enum>>(B)); \
	}                                                                                                              \
	inline constexpr Enum operator&(Enum A, Enum B)                                                                \
	{                                                                                                              \
		return static_cast<Enum>(static_cast<std::underlying_type_t<Enum>>(A) & static_cast<std::underlying_type_t<Enum>>(B)); \
	}                                                                                                              \
	inline constexpr Enum operator~(Enum A) { return static_cast<Enum>(~static_cast<std::underlying_type_t<Enum>>(A)); } \
	inline Enum& operator|=(Enum& A, Enum B) { return A = A | B; }                                                 \
	inline Enum& operator&=(Enum& A, Enum B) { return A = A & B; }                                                 \
	inline constexpr bool operator!(Enum A) { return !static_cast<std::underlying_type_t<Enum>>(A); }

template <typename Enum>
constexpr bool EnumHasAnyFlags(Enum Flags, Enum Contains)
{
	return (static_cast<std::underlying_type_t<Enum>>(Flags) & static_cast<std::underlying_type_t<Enum>>(Contains)) != 0;
}

template <typename Enum>
constexpr bool EnumHasAllFlags(Enum Flags, Enum Contains)
{
	return (static_cast<std::underlying_type_t<Enum>>(Flags) & static_cast<std::underlying_type_t<Enum>>(Contains))
		== static_cast<std::underlying_type_t<Enum>>(Contains);
}
