#pragma once

// TIntPoint: a pair of integers (FIntPoint in int32), used for texture and viewport sizes and
// pixel positions. Division by zero is a failed check instead of a crash.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Math/UnrealMathUtility.h"
#include "Misc/AssertionMacros.h"
#include "Templates/TypeHash.h"

#include <type_traits>

namespace UE::Math
{
	template <typename InIntType>
	struct TIntPoint
	{
		using IntType = InIntType;
		static_assert(std::is_integral_v<IntType>, "TIntPoint holds integer components");

		IntType X = 0;
		IntType Y = 0;

		/** (0, 0) */
		static const TIntPoint ZeroValue;
		/** (INDEX_NONE, INDEX_NONE): "no point". */
		static const TIntPoint NoneValue;

		/** (0, 0) (the engine leaves the components uninitialised). */
		constexpr TIntPoint() = default;
		constexpr TIntPoint(IntType InX, IntType InY) : X(InX), Y(InY) {}
		/** Both components set to InXY. */
		explicit constexpr TIntPoint(IntType InXY) : X(InXY), Y(InXY) {}

		/** Component 0 (X) or 1 (Y); any other index is a failed check. */
		IntType& operator[](int32 Index)
		{
			checkf(Index >= 0 && Index < 2, "TIntPoint index %d out of range", Index);
			return Index == 0 ? X : Y;
		}
		IntType operator[](int32 Index) const
		{
			checkf(Index >= 0 && Index < 2, "TIntPoint index %d out of range", Index);
			return Index == 0 ? X : Y;
		}

		constexpr bool operator==(const TIntPoint& Other) const { return X == Other.X && Y == Other.Y; }
		constexpr bool operator!=(const TIntPoint& Other) const { return !(*this == Other); }

		constexpr TIntPoint operator+(const TIntPoint& Other) const { return TIntPoint(X + Other.X, Y + Other.Y); }
		constexpr TIntPoint operator-(const TIntPoint& Other) const { return TIntPoint(X - Other.X, Y - Other.Y); }
		/** Component-wise product. */
		constexpr TIntPoint operator*(const TIntPoint& Other) const { return TIntPoint(X * Other.X, Y * Other.Y); }
		constexpr TIntPoint operator*(IntType Scale) const { return TIntPoint(X * Scale, Y * Scale); }
		/** Component-wise integer division (truncating); a zero component of Divisor is a failed check. */
		TIntPoint operator/(const TIntPoint& Divisor) const
		{
			checkf(Divisor.X != 0 && Divisor.Y != 0, "TIntPoint division by zero (%s)", *Divisor.ToString());
			return TIntPoint(X / Divisor.X, Y / Divisor.Y);
		}
		/** Integer division of both components (truncating); a zero Divisor is a failed check. */
		TIntPoint operator/(IntType Divisor) const { return *this / TIntPoint(Divisor); }

		TIntPoint& operator+=(const TIntPoint& Other) { return *this = *this + Other; }
		TIntPoint& operator-=(const TIntPoint& Other) { return *this = *this - Other; }
		TIntPoint& operator*=(IntType Scale) { return *this = *this * Scale; }
		TIntPoint& operator/=(IntType Divisor) { return *this = *this / Divisor; }
		TIntPoint& operator/=(const TIntPoint& Divisor) { return *this = *this / Divisor; }

		constexpr TIntPoint ComponentMin(const TIntPoint& Other) const { return TIntPoint(FMath::Min(X, Other.X), FMath::Min(Y, Other.Y)); }
		constexpr TIntPoint ComponentMax(const TIntPoint& Other) const { return TIntPoint(FMath::Max(X, Other.X), FMath::Max(Y, Other.Y)); }
		constexpr IntType GetMax() const { return FMath::Max(X, Y); }
		constexpr IntType GetMin() const { return FMath::Min(X, Y); }

		/** The length, truncated; computed in 64 bits so that large components do not overflow. */
		IntType Size() const
		{
			const int64 X64 = X;
			const int64 Y64 = Y;
			return static_cast<IntType>(FMath::Sqrt(static_cast<double>(X64 * X64 + Y64 * Y64)));
		}
		constexpr IntType SizeSquared() const { return X * X + Y * Y; }

		/** Each component divided by Divisor, rounded up (for non-negative components). */
		static TIntPoint DivideAndRoundUp(TIntPoint Dividend, IntType Divisor)
		{
			return DivideAndRoundUp(Dividend, TIntPoint(Divisor));
		}
		static TIntPoint DivideAndRoundUp(TIntPoint Dividend, TIntPoint Divisor)
		{
			return TIntPoint(FMath::DivideAndRoundUp(Dividend.X, Divisor.X), FMath::DivideAndRoundUp(Dividend.Y, Divisor.Y));
		}
		static TIntPoint DivideAndRoundDown(TIntPoint Dividend, IntType Divisor) { return Dividend / Divisor; }

		/** "X=3 Y=-4" */
		FString ToString() const
		{
			return FString::Printf("X=%lld Y=%lld", static_cast<long long>(X), static_cast<long long>(Y));
		}

		friend uint32 GetTypeHash(const TIntPoint& Point) { return HashCombine(GetTypeHash(Point.X), GetTypeHash(Point.Y)); }
	};

	template <typename InIntType>
	const TIntPoint<InIntType> TIntPoint<InIntType>::ZeroValue(0, 0);
	template <typename InIntType>
	const TIntPoint<InIntType> TIntPoint<InIntType>::NoneValue(INDEX_NONE, INDEX_NONE);
}
