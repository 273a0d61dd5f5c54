#pragma once

// TVector4: four components (FVector4f in float, FVector4d / FVector4 in double), the layout of
// a shader's float4.

#include "CoreTypes.h"
#include "Math/Color.h"
#include "Math/MathFwd.h"

#include <type_traits>

namespace UE::Math
{
	template <typename T>
	struct TVector4
	{
		static_assert(std::is_floating_point_v<T>, "TVector4 holds float or double components");

		T X = 0;
		T Y = 0;
		T Z = 0;
		T W = 0;

		constexpr TVector4() = default;
		constexpr TVector4(T InX, T InY, T InZ, T InW) : X(InX), Y(InY), Z(InZ), W(InW) {}
		/** (R, G, B, A) of a linear colour. */
		explicit constexpr TVector4(const FLinearColor& Color) : X(T(Color.R)), Y(T(Color.G)), Z(T(Color.B)), W(T(Color.A)) {}

		constexpr bool operator==(const TVector4&) const = default;
	};
}

using FVector4 = UE::Math::TVector4<double>;
using FVector4d = UE::Math::TVector4<double>;
using FVector4f = UE::Math::TVector4<float>;
