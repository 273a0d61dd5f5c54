#pragma once

// Integer vectors of three and four components: FIntVector (compute dispatch group counts,
// texture extents with depth) and FIntVector4 (a shader's int4).

#include "CoreTypes.h"

namespace UE::Math
{
	template <typename InIntType>
	struct TIntVector3
	{
		InIntType X = 0;
		InIntType Y = 0;
		InIntType Z = 0;

		constexpr TIntVector3() = default;
		constexpr TIntVector3(InIntType InX, InIntType InY, InIntType InZ) : X(InX), Y(InY), Z(InZ) {}
		explicit constexpr TIntVector3(InIntType InValue) : X(InValue), Y(InValue), Z(InValue) {}

		constexpr bool operator==(const TIntVector3&) const = default;
	};

	template <typename InIntType>
	struct TIntVector4
	{
		InIntType X = 0;
		InIntType Y = 0;
		InIntType Z = 0;
		InIntType W = 0;

		constexpr TIntVector4() = default;
		constexpr TIntVector4(InIntType InX, InIntType InY, InIntType InZ, InIntType InW) : X(InX), Y(InY), Z(InZ), W(InW) {}
		explicit constexpr TIntVector4(InIntType InValue) : X(InValue), Y(InValue), Z(InValue), W(InValue) {}

		constexpr bool operator==(const TIntVector4&) const = default;
	};
}

using FIntVector = UE::Math::TIntVector3<int32>;
using FIntVector3 = UE::Math::TIntVector3<int32>;
using FIntVector4 = UE::Math::TIntVector4<int32>;
using FUintVector4 = UE::Math::TIntVector4<uint32>;
