#pragma once

// FMath: the engine's scalar maths (rounding, clamping, trigonometry, tolerances, powers of
// two, range mapping) and the UE_ constants. Float arguments give float results and double
// arguments double results; the integer conversions of a double give int64, as in the engine.

#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Misc/AssertionMacros.h"

#include <bit>
#include <cmath>
#include <concepts>
#include <limits>
#include <type_traits>

#define UE_PI (3.1415926535897932f)
#define UE_SMALL_NUMBER (1.e-8f)
#define UE_KINDA_SMALL_NUMBER (1.e-4f)
#define UE_BIG_NUMBER (3.4e+38f)
#define UE_EULERS_NUMBER (2.71828182845904523536f)
#define UE_GOLDEN_RATIO (1.6180339887498948482045868343656381f)
#define UE_FLOAT_NON_FRACTIONAL (8388608.f)
#define UE_MAX_FLT (3.402823466e+38F)
#define UE_INV_PI (0.31830988618f)
#define UE_HALF_PI (1.57079632679f)
#define UE_TWO_PI (6.28318530717f)
#define UE_PI_SQUARED (9.86960440108f)
#define UE_SQRT_2 (1.4142135623730950488016887242097f)
#define UE_INV_SQRT_2 (0.70710678118654752440084436210485f)

#define UE_DOUBLE_PI (3.141592653589793238462643383279502884197169399)
#define UE_DOUBLE_SMALL_NUMBER (1.e-8)
#define UE_DOUBLE_KINDA_SMALL_NUMBER (1.e-4)
#define UE_DOUBLE_BIG_NUMBER (3.4e+38)
#define UE_DOUBLE_EULERS_NUMBER (2.7182818284590452353602874713526624977572)
#define UE_DOUBLE_NON_FRACTIONAL (4503599627370496.0)
#define UE_DOUBLE_INV_PI (0.31830988618379067154)
#define UE_DOUBLE_HALF_PI (1.57079632679489661923)
#define UE_DOUBLE_TWO_PI (6.28318530717958647692)

#define UE_DELTA (0.00001f)
#define UE_DOUBLE_DELTA (0.00001)
#define UE_FLOAT_NORMAL_THRESH (0.0001f)
#define UE_DOUBLE_NORMAL_THRESH (0.0001)
#define UE_THRESH_VECTOR_NORMALIZED (0.01f)
#define UE_THRESH_QUAT_NORMALIZED (0.01f)

// The names older engine code still uses.
#define PI UE_PI
#define HALF_PI UE_HALF_PI
#define TWO_PI UE_TWO_PI
#define INV_PI UE_INV_PI
#define SMALL_NUMBER UE_SMALL_NUMBER
#define KINDA_SMALL_NUMBER UE_KINDA_SMALL_NUMBER
#define BIG_NUMBER UE_BIG_NUMBER
#define EULERS_NUMBER UE_EULERS_NUMBER
#define DOUBLE_PI UE_DOUBLE_PI
#define DOUBLE_SMALL_NUMBER UE_DOUBLE_SMALL_NUMBER
#define DOUBLE_KINDA_SMALL_NUMBER UE_DOUBLE_KINDA_SMALL_NUMBER
#define DELTA UE_DELTA
#define THRESH_VECTOR_NORMALIZED UE_THRESH_VECTOR_NORMALIZED
#define THRESH_QUAT_NORMALIZED UE_THRESH_QUAT_NORMALIZED

namespace UE::Math::Private
{
	/**
	 * Converts an already rounded value to an integer type. A plain cast of a value the
	 * integer cannot hold (or of NaN) is undefined behaviour, so out-of-range values pin to
	 * the nearest limit and NaN gives 0.
	 */
	template <std::integral IntType, std::floating_point FloatType>
	constexpr IntType SaturateToInt(FloatType Value)
	{
		if (Value != Value)
		{
			return 0;
		}
		// The integer limits are powers of two, so both bounds are exact in either float type.
		constexpr FloatType Lowest = static_cast<FloatType>(std::numeric_limits<IntType>::min());
		constexpr FloatType UpperBound = -Lowest;
		if (Value <= Lowest)
		{
			return std::numeric_limits<IntType>::min();
		}
		if (Value >= UpperBound)
		{
			return std::numeric_limits<IntType>::max();
		}
		return static_cast<IntType>(Value);
	}

	/**
	 * Argument types that mix floating point with another number type: these compute in
	 * their common type. Integer-only mixes (signed with unsigned) stay ambiguous on purpose.
	 */
	template <typename... Types>
	concept CMixedArithmetic = (std::is_arithmetic_v<Types> && ...) && (std::is_floating_point_v<Types> || ...)
		&& !(std::is_same_v<Types, float> && ...) && !(std::is_same_v<Types, double> && ...);
}

struct FMath
{
	// Truncation towards zero.
	static constexpr int32 TruncToInt32(float F) { return UE::Math::Private::SaturateToInt<int32>(F); }
	static constexpr int32 TruncToInt32(double F) { return UE::Math::Private::SaturateToInt<int32>(F); }
	static constexpr int64 TruncToInt64(double F) { return UE::Math::Private::SaturateToInt<int64>(F); }
	static constexpr int32 TruncToInt(float F) { return TruncToInt32(F); }
	static constexpr int64 TruncToInt(double F) { return TruncToInt64(F); }
	static float TruncToFloat(float F) { return std::trunc(F); }
	static double TruncToFloat(double F) { return std::trunc(F); }
	static double TruncToDouble(double F) { return std::trunc(F); }

	// Rounding down.
	static int32 FloorToInt32(float F) { return UE::Math::Private::SaturateToInt<int32>(std::floor(F)); }
	static int32 FloorToInt32(double F) { return UE::Math::Private::SaturateToInt<int32>(std::floor(F)); }
	static int64 FloorToInt64(double F) { return UE::Math::Private::SaturateToInt<int64>(std::floor(F)); }
	static int32 FloorToInt(float F) { return FloorToInt32(F); }
	static int64 FloorToInt(double F) { return FloorToInt64(F); }
	static float FloorToFloat(float F) { return std::floor(F); }
	static double FloorToFloat(double F) { return std::floor(F); }
	static double FloorToDouble(double F) { return std::floor(F); }

	// Rounding to nearest with halves going up (towards positive infinity): 2.5 -> 3, -2.5 -> -2.
	static int32 RoundToInt32(float F) { return FloorToInt32(F + 0.5f); }
	static int32 RoundToInt32(double F) { return FloorToInt32(F + 0.5); }
	static int64 RoundToInt64(double F) { return FloorToInt64(F + 0.5); }
	static int32 RoundToInt(float F) { return RoundToInt32(F); }
	static int64 RoundToInt(double F) { return RoundToInt64(F); }
	static float RoundToFloat(float F) { return FloorToFloat(F + 0.5f); }
	static double RoundToFloat(double F) { return FloorToDouble(F + 0.5); }
	static double RoundToDouble(double F) { return FloorToDouble(F + 0.5); }

	// Rounding up.
	static int32 CeilToInt32(float F) { return UE::Math::Private::SaturateToInt<int32>(std::ceil(F)); }
	static int32 CeilToInt32(double F) { return UE::Math::Private::SaturateToInt<int32>(std::ceil(F)); }
	static int64 CeilToInt64(double F) { return UE::Math::Private::SaturateToInt<int64>(std::ceil(F)); }
	static int32 CeilToInt(float F) { return CeilToInt32(F); }
	static int64 CeilToInt(double F) { return CeilToInt64(F); }
	static float CeilToFloat(float F) { return std::ceil(F); }
	static double CeilToFloat(double F) { return std::ceil(F); }
	static double CeilToDouble(double F) { return std::ceil(F); }

	/** The part above the floor, in [0, 1): Frac(-1.25) is 0.75. */
	template <std::floating_point T>
	static T Frac(T Value) { return Value - std::floor(Value); }
	/** The part after the decimal point, keeping the sign: Fractional(-1.25) is -0.25. */
	template <std::floating_point T>
	static T Fractional(T Value) { return Value - std::trunc(Value); }

	/**
	 * The remainder of X / Y with the sign of X. A divisor within UE_SMALL_NUMBER of zero
	 * gives 0 rather than NaN, so a bad period cannot poison the values computed from it.
	 */
	template <std::floating_point T>
	static T Fmod(T X, T Y)
	{
		if (std::fabs(Y) <= static_cast<T>(UE_DOUBLE_SMALL_NUMBER))
		{
			return 0;
		}
		return std::fmod(X, Y);
	}

	template <typename T>
	static constexpr T Min(const T A, const T B) { return A <= B ? A : B; }
	template <typename T>
	static constexpr T Max(const T A, const T B) { return A >= B ? A : B; }
	/** Mixed float, double and integer arguments compare in their common type (float and double in double). */
	template <typename A, typename B>
		requires UE::Math::Private::CMixedArithmetic<A, B>
	static constexpr std::common_type_t<A, B> Min(const A X, const B Y) { return Min<std::common_type_t<A, B>>(X, Y); }
	template <typename A, typename B>
		requires UE::Math::Private::CMixedArithmetic<A, B>
	static constexpr std::common_type_t<A, B> Max(const A X, const B Y) { return Max<std::common_type_t<A, B>>(X, Y); }
	template <typename T>
	static constexpr T Min3(const T A, const T B, const T C) { return Min(Min(A, B), C); }
	template <typename T>
	static constexpr T Max3(const T A, const T B, const T C) { return Max(Max(A, B), C); }

	/** X limited to [MinValue, MaxValue]; a NaN X gives MaxValue. */
	template <typename T>
	static constexpr T Clamp(const T X, const T MinValue, const T MaxValue)
	{
		return X < MinValue ? MinValue : (X < MaxValue ? X : MaxValue);
	}
	template <typename A, typename B, typename C>
		requires UE::Math::Private::CMixedArithmetic<A, B, C>
	static constexpr std::common_type_t<A, B, C> Clamp(const A X, const B MinValue, const C MaxValue)
	{
		using T = std::common_type_t<A, B, C>;
		return Clamp<T>(X, MinValue, MaxValue);
	}

	template <typename T>
	static constexpr T Abs(const T A) { return A < T(0) ? -A : A; }
	/** 1, -1 or 0 by the sign of A. */
	template <typename T>
	static constexpr T Sign(const T A) { return A > T(0) ? T(1) : (A < T(0) ? T(-1) : T(0)); }
	template <typename T>
	static constexpr T Square(const T A) { return A * A; }
	template <typename T>
	static constexpr T Cube(const T A) { return A * A * A; }

	template <std::floating_point T>
	static T Sqrt(T Value) { return std::sqrt(Value); }
	template <std::floating_point T>
	static T InvSqrt(T Value) { return T(1) / std::sqrt(Value); }
	template <std::floating_point T>
	static T Sin(T Value) { return std::sin(Value); }
	template <std::floating_point T>
	static T Cos(T Value) { return std::cos(Value); }
	template <std::floating_point T>
	static T Tan(T Value) { return std::tan(Value); }
	/** Arc sine with the argument clamped to [-1, 1], so rounding just past 1 cannot give NaN. */
	template <std::floating_point T>
	static T Asin(T Value) { return std::asin(Clamp(Value, T(-1), T(1))); }
	/** Arc cosine with the argument clamped to [-1, 1], so rounding just past 1 cannot give NaN. */
	template <std::floating_point T>
	static T Acos(T Value) { return std::acos(Clamp(Value, T(-1), T(1))); }
	template <std::floating_point T>
	static T Atan(T Value) { return std::atan(Value); }
	template <std::floating_point T>
	static T Atan2(T Y, T X) { return std::atan2(Y, X); }
	template <std::floating_point T>
	static void SinCos(T* ScalarSin, T* ScalarCos, T Value)
	{
		*ScalarSin = std::sin(Value);
		*ScalarCos = std::cos(Value);
	}
	template <std::floating_point T>
	static T Exp(T Value) { return std::exp(Value); }
	template <std::floating_point T>
	static T Exp2(T Value) { return std::exp2(Value); }
	template <std::floating_point T>
	static T Loge(T Value) { return std::log(Value); }
	template <std::floating_point T>
	static T Log2(T Value) { return std::log2(Value); }
	template <std::floating_point T>
	static T LogX(T Base, T Value) { return std::log(Value) / std::log(Base); }
	template <std::floating_point T>
	static T Pow(T A, T B) { return std::pow(A, B); }

	template <std::floating_point T>
	static bool IsFinite(T Value) { return std::isfinite(Value); }
	template <std::floating_point T>
	static bool IsNaN(T Value) { return std::isnan(Value); }

	static constexpr bool IsNearlyEqual(float A, float B, float ErrorTolerance = UE_SMALL_NUMBER)
	{
		return Abs(A - B) <= ErrorTolerance;
	}
	static constexpr bool IsNearlyEqual(double A, double B, double ErrorTolerance = UE_DOUBLE_SMALL_NUMBER)
	{
		return Abs(A - B) <= ErrorTolerance;
	}
	template <typename A, typename B, typename C>
		requires UE::Math::Private::CMixedArithmetic<A, B, C>
	static constexpr bool IsNearlyEqual(A X, B Y, C ErrorTolerance)
	{
		return IsNearlyEqual(double(X), double(Y), double(ErrorTolerance));
	}
	static constexpr bool IsNearlyZero(float Value, float ErrorTolerance = UE_SMALL_NUMBER)
	{
		return Abs(Value) <= ErrorTolerance;
	}
	static constexpr bool IsNearlyZero(double Value, double ErrorTolerance = UE_DOUBLE_SMALL_NUMBER)
	{
		return Abs(Value) <= ErrorTolerance;
	}
	template <typename A, typename B>
		requires UE::Math::Private::CMixedArithmetic<A, B>
	static constexpr bool IsNearlyZero(A Value, B ErrorTolerance)
	{
		return IsNearlyZero(double(Value), double(ErrorTolerance));
	}

	/** A + Alpha * (B - A): A at Alpha 0, B at Alpha 1, extrapolating outside [0, 1]. */
	template <typename T, typename U>
	static constexpr T Lerp(const T& A, const T& B, const U& Alpha)
	{
		return static_cast<T>(A + Alpha * (B - A));
	}

	static constexpr float DegreesToRadians(float DegVal) { return DegVal * (UE_PI / 180.f); }
	static constexpr double DegreesToRadians(double DegVal) { return DegVal * (UE_DOUBLE_PI / 180.0); }
	static constexpr float RadiansToDegrees(float RadVal) { return RadVal * (180.f / UE_PI); }
	static constexpr double RadiansToDegrees(double RadVal) { return RadVal * (180.0 / UE_DOUBLE_PI); }

	/** Angle in degrees brought into (-180, 180]. */
	template <std::floating_point T>
	static T UnwindDegrees(T Angle)
	{
		Angle = std::fmod(Angle, T(360));
		if (Angle > T(180))
		{
			Angle -= T(360);
		}
		else if (Angle <= T(-180))
		{
			Angle += T(360);
		}
		return Angle;
	}

	/** Whether Value is a power of two. Zero is not one (the engine's bit trick says it is). */
	template <std::integral T>
	static constexpr bool IsPowerOfTwo(T Value)
	{
		return Value > T(0) && (Value & (Value - 1)) == T(0);
	}
	/** The exponent of the largest power of two not above Value; 0 for 0. */
	static constexpr uint32 FloorLog2(uint32 Value) { return Value == 0 ? 0 : 31 - std::countl_zero(Value); }
	static constexpr uint64 FloorLog2_64(uint64 Value) { return Value == 0 ? 0 : 63 - std::countl_zero(Value); }
	/** The exponent of the smallest power of two not below Value; 0 for 0 and 1. */
	static constexpr uint32 CeilLogTwo(uint32 Value) { return Value <= 1 ? 0 : 32 - std::countl_zero(Value - 1); }
	static constexpr uint64 CeilLogTwo64(uint64 Value) { return Value <= 1 ? 0 : 64 - std::countl_zero(Value - 1); }
	/** The smallest power of two not below Arg (1 for 0). Beyond 2^31 there is none: a failed check. */
	static uint32 RoundUpToPowerOfTwo(uint32 Arg)
	{
		checkf(Arg <= (1u << 31), "RoundUpToPowerOfTwo(%u): the result does not fit in 32 bits", Arg);
		return 1u << CeilLogTwo(Arg);
	}
	static uint64 RoundUpToPowerOfTwo64(uint64 Arg)
	{
		checkf(Arg <= (uint64(1) << 63), "RoundUpToPowerOfTwo64(%llu): the result does not fit in 64 bits",
			static_cast<unsigned long long>(Arg));
		return uint64(1) << CeilLogTwo64(Arg);
	}
	/** Dividend / Divisor rounded up, for a non-negative Dividend and positive Divisor; 0 is a failed check. */
	template <std::integral T>
	static T DivideAndRoundUp(T Dividend, T Divisor)
	{
		check(Divisor != T(0));
		return (Dividend + Divisor - 1) / Divisor;
	}
	template <std::integral T>
	static T DivideAndRoundDown(T Dividend, T Divisor)
	{
		check(Divisor != T(0));
		return Dividend / Divisor;
	}

	/** Where Value lies between MinValue and MaxValue (0 at Min, 1 at Max); an empty range gives 0 below Max and 1 from it. */
	template <std::floating_point T>
	static T GetRangePct(T MinValue, T MaxValue, T Value)
	{
		const T Divisor = MaxValue - MinValue;
		if (IsNearlyZero(Divisor))
		{
			return Value >= MaxValue ? T(1) : T(0);
		}
		return (Value - MinValue) / Divisor;
	}
	template <typename T>
	static T GetRangePct(const UE::Math::TVector2<T>& Range, std::type_identity_t<T> Value)
	{
		return GetRangePct(Range.X, Range.Y, Value);
	}
	/** The point Pct of the way from Range.X to Range.Y. */
	template <typename T>
	static T GetRangeValue(const UE::Math::TVector2<T>& Range, std::type_identity_t<T> Pct)
	{
		return Lerp(Range.X, Range.Y, Pct);
	}
	/** Maps Value from InputRange to OutputRange, clamping it to the input range first. */
	template <typename T>
	static T GetMappedRangeValueClamped(
		const UE::Math::TVector2<T>& InputRange, const UE::Math::TVector2<T>& OutputRange, std::type_identity_t<T> Value)
	{
		const T ClampedPct = Clamp(GetRangePct(InputRange, Value), T(0), T(1));
		return GetRangeValue(OutputRange, ClampedPct);
	}
	/** Maps Value from InputRange to OutputRange, extrapolating outside the input range. */
	template <typename T>
	static T GetMappedRangeValueUnclamped(
		const UE::Math::TVector2<T>& InputRange, const UE::Math::TVector2<T>& OutputRange, std::type_identity_t<T> Value)
	{
		return GetRangeValue(OutputRange, GetRangePct(InputRange, Value));
	}
};
