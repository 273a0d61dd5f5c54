#pragma once

// TVector: a three-component vector (FVector in double, FVector3f in float) for positions,
// directions and scales. The engine's axes: X forward, Y right, Z up.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Math/UnrealMathUtility.h"
#include "Math/Vector2D.h"
#include "Misc/AssertionMacros.h"
#include "Templates/TypeHash.h"

#include <type_traits>

namespace UE::Math
{
	template <typename T>
	struct TVector
	{
		static_assert(std::is_floating_point_v<T>, "TVector holds float or double components");
		using FReal = T;

		T X = 0;
		T Y = 0;
		T Z = 0;

		static const TVector ZeroVector;
		static const TVector OneVector;
		/** (0, 0, 1) */
		static const TVector UpVector;
		static const TVector DownVector;
		/** (1, 0, 0) */
		static const TVector ForwardVector;
		static const TVector BackwardVector;
		/** (0, 1, 0) */
		static const TVector RightVector;
		static const TVector LeftVector;
		static const TVector XAxisVector;
		static const TVector YAxisVector;
		static const TVector ZAxisVector;

		/** The zero vector (the engine leaves the components uninitialised). */
		constexpr TVector() = default;
		constexpr TVector(T InX, T InY, T InZ) : X(InX), Y(InY), Z(InZ) {}
		/** All three components set to InF. */
		explicit constexpr TVector(T InF) : X(InF), Y(InF), Z(InF) {}
		constexpr TVector(const TVector2<T> V, T InZ) : X(V.X), Y(V.Y), Z(InZ) {}
		/** Conversion from the other precision; explicit because float loses digits of a double. */
		template <typename FArg>
			requires(!std::is_same_v<T, FArg>)
		explicit constexpr TVector(const TVector<FArg>& From)
			: X(static_cast<T>(From.X)), Y(static_cast<T>(From.Y)), Z(static_cast<T>(From.Z))
		{
		}

		/** Cross product: ForwardVector ^ RightVector is UpVector. */
		constexpr TVector operator^(const TVector& V) const
		{
			return TVector(Y * V.Z - Z * V.Y, Z * V.X - X * V.Z, X * V.Y - Y * V.X);
		}
		/** Dot product. */
		constexpr T operator|(const TVector& V) const { return X * V.X + Y * V.Y + Z * V.Z; }

		constexpr TVector operator+(const TVector& V) const { return TVector(X + V.X, Y + V.Y, Z + V.Z); }
		constexpr TVector operator-(const TVector& V) const { return TVector(X - V.X, Y - V.Y, Z - V.Z); }
		/** Component-wise product. */
		constexpr TVector operator*(const TVector& V) const { return TVector(X * V.X, Y * V.Y, Z * V.Z); }
		/** Component-wise quotient. */
		constexpr TVector operator/(const TVector& V) const { return TVector(X / V.X, Y / V.Y, Z / V.Z); }
		constexpr TVector operator+(T Bias) const { return TVector(X + Bias, Y + Bias, Z + Bias); }
		constexpr TVector operator-(T Bias) const { return TVector(X - Bias, Y - Bias, Z - Bias); }
		constexpr TVector operator*(T Scale) const { return TVector(X * Scale, Y * Scale, Z * Scale); }
		constexpr TVector operator/(T Scale) const { return TVector(X / Scale, Y / Scale, Z / Scale); }
		constexpr TVector operator-() const { return TVector(-X, -Y, -Z); }

		constexpr TVector& operator+=(const TVector& V) { return *this = *this + V; }
		constexpr TVector& operator-=(const TVector& V) { return *this = *this - V; }
		constexpr TVector& operator*=(const TVector& V) { return *this = *this * V; }
		constexpr TVector& operator/=(const TVector& V) { return *this = *this / V; }
		constexpr TVector& operator*=(T Scale) { return *this = *this * Scale; }
		constexpr TVector& operator/=(T Scale) { return *this = *this / Scale; }

		/** Exact comparison; see Equals for a tolerance. */
		constexpr bool operator==(const TVector& V) const { return X == V.X && Y == V.Y && Z == V.Z; }
		constexpr bool operator!=(const TVector& V) const { return !(*this == V); }

		/** Component 0 (X), 1 (Y) or 2 (Z); any other index is a failed check. */
		T& operator[](int32 Index)
		{
			checkf(Index >= 0 && Index < 3, "TVector index %d out of range", Index);
			return Index == 0 ? X : (Index == 1 ? Y : Z);
		}
		T operator[](int32 Index) const
		{
			checkf(Index >= 0 && Index < 3, "TVector index %d out of range", Index);
			return Index == 0 ? X : (Index == 1 ? Y : Z);
		}

		static constexpr TVector CrossProduct(const TVector& A, const TVector& B) { return A ^ B; }
		static constexpr T DotProduct(const TVector& A, const TVector& B) { return A | B; }
		static T Dist(const TVector& V1, const TVector& V2) { return (V2 - V1).Size(); }
		static T Distance(const TVector& V1, const TVector& V2) { return Dist(V1, V2); }
		static constexpr T DistSquared(const TVector& V1, const TVector& V2) { return (V2 - V1).SizeSquared(); }
		/** Distance in the XY plane, ignoring Z. */
		static T Dist2D(const TVector& V1, const TVector& V2) { return (V2 - V1).Size2D(); }
		static constexpr T DistSquared2D(const TVector& V1, const TVector& V2) { return (V2 - V1).SizeSquared2D(); }
		static constexpr TVector Min(const TVector& A, const TVector& B) { return A.ComponentMin(B); }
		static constexpr TVector Max(const TVector& A, const TVector& B) { return A.ComponentMax(B); }

		/** Whether every component is within Tolerance of V's. */
		bool Equals(const TVector& V, T Tolerance = UE_KINDA_SMALL_NUMBER) const
		{
			return FMath::Abs(X - V.X) <= Tolerance && FMath::Abs(Y - V.Y) <= Tolerance && FMath::Abs(Z - V.Z) <= Tolerance;
		}
		void Set(T InX, T InY, T InZ)
		{
			X = InX;
			Y = InY;
			Z = InZ;
		}

		constexpr T GetMax() const { return FMath::Max3(X, Y, Z); }
		constexpr T GetMin() const { return FMath::Min3(X, Y, Z); }
		constexpr T GetAbsMax() const { return FMath::Max3(FMath::Abs(X), FMath::Abs(Y), FMath::Abs(Z)); }
		constexpr T GetAbsMin() const { return FMath::Min3(FMath::Abs(X), FMath::Abs(Y), FMath::Abs(Z)); }
		constexpr TVector GetAbs() const { return TVector(FMath::Abs(X), FMath::Abs(Y), FMath::Abs(Z)); }
		constexpr TVector ComponentMin(const TVector& V) const
		{
			return TVector(FMath::Min(X, V.X), FMath::Min(Y, V.Y), FMath::Min(Z, V.Z));
		}
		constexpr TVector ComponentMax(const TVector& V) const
		{
			return TVector(FMath::Max(X, V.X), FMath::Max(Y, V.Y), FMath::Max(Z, V.Z));
		}

		T Size() const { return FMath::Sqrt(SizeSquared()); }
		T Length() const { return Size(); }
		constexpr T SizeSquared() const { return X * X + Y * Y + Z * Z; }
		constexpr T SquaredLength() const { return SizeSquared(); }
		/** Length in the XY plane, ignoring Z. */
		T Size2D() const { return FMath::Sqrt(SizeSquared2D()); }
		constexpr T SizeSquared2D() const { return X * X + Y * Y; }

		bool IsNearlyZero(T Tolerance = UE_KINDA_SMALL_NUMBER) const
		{
			return FMath::Abs(X) <= Tolerance && FMath::Abs(Y) <= Tolerance && FMath::Abs(Z) <= Tolerance;
		}
		constexpr bool IsZero() const { return X == 0 && Y == 0 && Z == 0; }
		/** Whether the squared length is within UE_THRESH_VECTOR_NORMALIZED of 1. */
		bool IsNormalized() const { return FMath::Abs(T(1) - SizeSquared()) < static_cast<T>(UE_THRESH_VECTOR_NORMALIZED); }

		/**
		 * Scales to unit length in place when the squared length exceeds Tolerance and returns
		 * true; otherwise leaves the vector as it is and returns false.
		 */
		bool Normalize(T Tolerance = UE_SMALL_NUMBER)
		{
			const T SquareSum = SizeSquared();
			if (SquareSum > Tolerance)
			{
				*this *= FMath::InvSqrt(SquareSum);
				return true;
			}
			return false;
		}
		/** A unit vector in this direction, or ResultIfZero when the squared length is below Tolerance. */
		TVector GetSafeNormal(T Tolerance = UE_SMALL_NUMBER, const TVector& ResultIfZero = ZeroVector) const
		{
			const T SquareSum = SizeSquared();
			if (SquareSum == T(1))
			{
				return *this;
			}
			if (SquareSum < Tolerance)
			{
				return ResultIfZero;
			}
			return *this * FMath::InvSqrt(SquareSum);
		}
		/** Like GetSafeNormal but in the XY plane, with Z zeroed. */
		TVector GetSafeNormal2D(T Tolerance = UE_SMALL_NUMBER, const TVector& ResultIfZero = ZeroVector) const
		{
			return TVector(X, Y, 0).GetSafeNormal(Tolerance, ResultIfZero);
		}
		/** Divides by the length without guarding against zero: only for vectors known to be long enough. */
		TVector GetUnsafeNormal() const { return *this * FMath::InvSqrt(SizeSquared()); }

		/** "X=1.000 Y=2.000 Z=3.000" */
		FString ToString() const
		{
			return FString::Printf("X=%3.3f Y=%3.3f Z=%3.3f", static_cast<double>(X), static_cast<double>(Y), static_cast<double>(Z));
		}

		/** Equal vectors hash alike, -0 and +0 included. */
		friend uint32 GetTypeHash(const TVector& V)
		{
			return HashCombine(HashCombine(GetTypeHash(V.X), GetTypeHash(V.Y)), GetTypeHash(V.Z));
		}
	};

	template <typename T, typename ScaleType>
		requires std::is_arithmetic_v<ScaleType>
	constexpr TVector<T> operator*(ScaleType Scale, const TVector<T>& V)
	{
		return V * static_cast<T>(Scale);
	}

	template <typename T>
	TVector2<T>::TVector2(const TVector<T>& V) : X(V.X), Y(V.Y)
	{
	}

	template <typename T>
	const TVector<T> TVector<T>::ZeroVector(0, 0, 0);
	template <typename T>
	const TVector<T> TVector<T>::OneVector(1, 1, 1);
	template <typename T>
	const TVector<T> TVector<T>::UpVector(0, 0, 1);
	template <typename T>
	const TVector<T> TVector<T>::DownVector(0, 0, -1);
	template <typename T>
	const TVector<T> TVector<T>::ForwardVector(1, 0, 0);
	template <typename T>
	const TVector<T> TVector<T>::BackwardVector(-1, 0, 0);
	template <typename T>
	const TVector<T> TVector<T>::RightVector(0, 1, 0);
	template <typename T>
	const TVector<T> TVector<T>::LeftVector(0, -1, 0);
	template <typename T>
	const TVector<T> TVector<T>::XAxisVector(1, 0, 0);
	template <typename T>
	const TVector<T> TVector<T>::YAxisVector(0, 1, 0);
	template <typename T>
	const TVector<T> TVector<T>::ZAxisVector(0, 0, 1);
}
