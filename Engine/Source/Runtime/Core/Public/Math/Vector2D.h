#pragma once

// TVector2: a two-component vector (FVector2D in double, FVector2f in float), used for
// screen positions, texture coordinates and value ranges.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/IntPoint.h"
#include "Math/MathFwd.h"
#include "Math/UnrealMathUtility.h"
#include "Misc/AssertionMacros.h"
#include "Templates/TypeHash.h"

#include <type_traits>

namespace UE::Math
{
	template <typename T>
	struct TVector2
	{
		static_assert(std::is_floating_point_v<T>, "TVector2 holds float or double components");
		using FReal = T;

		T X = 0;
		T Y = 0;

		/** (0, 0) */
		static const TVector2 ZeroVector;
		/** (1, 1) */
		static const TVector2 UnitVector;
		/** (1, 1) normalised: the unit vector at 45 degrees. */
		static const TVector2 Unit45Deg;

		/** The zero vector (the engine leaves the components uninitialised). */
		constexpr TVector2() = default;
		constexpr TVector2(T InX, T InY) : X(InX), Y(InY) {}
		/** Both components set to InF. */
		explicit constexpr TVector2(T InF) : X(InF), Y(InF) {}
		explicit constexpr TVector2(FIntPoint InPos) : X(static_cast<T>(InPos.X)), Y(static_cast<T>(InPos.Y)) {}
		/** Conversion from the other precision; explicit because float loses digits of a double. */
		template <typename FArg>
			requires(!std::is_same_v<T, FArg>)
		explicit constexpr TVector2(const TVector2<FArg>& From) : X(static_cast<T>(From.X)), Y(static_cast<T>(From.Y))
		{
		}
		/** The X and Y of a 3-D vector (defined in Math/Vector.h). */
		explicit TVector2(const TVector<T>& V);

		constexpr TVector2 operator+(const TVector2& V) const { return TVector2(X + V.X, Y + V.Y); }
		constexpr TVector2 operator-(const TVector2& V) const { return TVector2(X - V.X, Y - V.Y); }
		/** Component-wise product. */
		constexpr TVector2 operator*(const TVector2& V) const { return TVector2(X * V.X, Y * V.Y); }
		/** Component-wise quotient. */
		constexpr TVector2 operator/(const TVector2& V) const { return TVector2(X / V.X, Y / V.Y); }
		constexpr TVector2 operator+(T A) const { return TVector2(X + A, Y + A); }
		constexpr TVector2 operator-(T A) const { return TVector2(X - A, Y - A); }
		constexpr TVector2 operator*(T Scale) const { return TVector2(X * Scale, Y * Scale); }
		constexpr TVector2 operator/(T Scale) const { return TVector2(X / Scale, Y / Scale); }
		constexpr TVector2 operator-() const { return TVector2(-X, -Y); }
		/** Dot product. */
		constexpr T operator|(const TVector2& V) const { return X * V.X + Y * V.Y; }
		/** The Z of the 3-D cross product: positive when V lies counter-clockwise of this vector. */
		constexpr T operator^(const TVector2& V) const { return X * V.Y - Y * V.X; }

		constexpr TVector2& operator+=(const TVector2& V) { return *this = *this + V; }
		constexpr TVector2& operator-=(const TVector2& V) { return *this = *this - V; }
		constexpr TVector2& operator*=(const TVector2& V) { return *this = *this * V; }
		constexpr TVector2& operator/=(const TVector2& V) { return *this = *this / V; }
		constexpr TVector2& operator*=(T Scale) { return *this = *this * Scale; }
		constexpr TVector2& operator/=(T Scale) { return *this = *this / Scale; }

		/** Exact comparison; see Equals for a tolerance. */
		constexpr bool operator==(const TVector2& V) const { return X == V.X && Y == V.Y; }
		constexpr bool operator!=(const TVector2& V) const { return !(*this == V); }

		/** Component 0 (X) or 1 (Y); any other index is a failed check. */
		T& operator[](int32 Index)
		{
			checkf(Index >= 0 && Index < 2, "TVector2 index %d out of range", Index);
			return Index == 0 ? X : Y;
		}
		T operator[](int32 Index) const
		{
			checkf(Index >= 0 && Index < 2, "TVector2 index %d out of range", Index);
			return Index == 0 ? X : Y;
		}

		static constexpr T DotProduct(const TVector2& A, const TVector2& B) { return A | B; }
		static constexpr T CrossProduct(const TVector2& A, const TVector2& B) { return A ^ B; }
		static constexpr T DistSquared(const TVector2& A, const TVector2& B) { return (B - A).SizeSquared(); }
		static T Distance(const TVector2& A, const TVector2& B) { return (B - A).Size(); }
		static constexpr TVector2 Max(const TVector2& A, const TVector2& B) { return A.ComponentMax(B); }
		static constexpr TVector2 Min(const TVector2& A, const TVector2& B) { return A.ComponentMin(B); }

		/** Whether every component is within Tolerance of V's. */
		bool Equals(const TVector2& V, T Tolerance = UE_KINDA_SMALL_NUMBER) const
		{
			return FMath::Abs(X - V.X) <= Tolerance && FMath::Abs(Y - V.Y) <= Tolerance;
		}
		void Set(T InX, T InY)
		{
			X = InX;
			Y = InY;
		}

		constexpr T GetMax() const { return FMath::Max(X, Y); }
		constexpr T GetMin() const { return FMath::Min(X, Y); }
		constexpr T GetAbsMax() const { return FMath::Max(FMath::Abs(X), FMath::Abs(Y)); }
		constexpr TVector2 GetAbs() const { return TVector2(FMath::Abs(X), FMath::Abs(Y)); }
		constexpr TVector2 ComponentMin(const TVector2& V) const { return TVector2(FMath::Min(X, V.X), FMath::Min(Y, V.Y)); }
		constexpr TVector2 ComponentMax(const TVector2& V) const { return TVector2(FMath::Max(X, V.X), FMath::Max(Y, V.Y)); }

		T Size() const { return FMath::Sqrt(SizeSquared()); }
		T Length() const { return Size(); }
		constexpr T SizeSquared() const { return X * X + Y * Y; }
		constexpr T SquaredLength() const { return SizeSquared(); }

		/** A unit vector in this direction, or the zero vector when the squared size is at most Tolerance. */
		TVector2 GetSafeNormal(T Tolerance = UE_SMALL_NUMBER) const
		{
			const T SquareSum = SizeSquared();
			if (SquareSum > Tolerance)
			{
				return *this * FMath::InvSqrt(SquareSum);
			}
			return ZeroVector;
		}
		/** Scales to unit length in place; a vector too short to have a direction becomes zero. */
		void Normalize(T Tolerance = UE_SMALL_NUMBER) { *this = GetSafeNormal(Tolerance); }

		bool IsNearlyZero(T Tolerance = UE_KINDA_SMALL_NUMBER) const
		{
			return FMath::Abs(X) <= Tolerance && FMath::Abs(Y) <= Tolerance;
		}
		constexpr bool IsZero() const { return X == 0 && Y == 0; }

		/** The components rounded to integers, halves going up. */
		FIntPoint IntPoint() const { return FIntPoint(FMath::RoundToInt32(X), FMath::RoundToInt32(Y)); }

		/** "X=1.000 Y=2.000" */
		FString ToString() const { return FString::Printf("X=%3.3f Y=%3.3f", static_cast<double>(X), static_cast<double>(Y)); }

		/** Equal vectors hash alike, -0 and +0 included. */
		friend uint32 GetTypeHash(const TVector2& V) { return HashCombine(GetTypeHash(V.X), GetTypeHash(V.Y)); }
	};

	template <typename T, typename ScaleType>
		requires std::is_arithmetic_v<ScaleType>
	constexpr TVector2<T> operator*(ScaleType Scale, const TVector2<T>& V)
	{
		return V * static_cast<T>(Scale);
	}

	template <typename T>
	const TVector2<T> TVector2<T>::ZeroVector(0, 0);
	template <typename T>
	const TVector2<T> TVector2<T>::UnitVector(1, 1);
	template <typename T>
	const TVector2<T> TVector2<T>::Unit45Deg(static_cast<T>(0.70710678118654752440), static_cast<T>(0.70710678118654752440));
}
