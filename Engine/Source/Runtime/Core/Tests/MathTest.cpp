#include "CoreMinimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <type_traits>

namespace
{
	const double Sqrt1_2 = std::sqrt(0.5);

	/** A rotation about an axis by an angle in degrees. */
	FQuat AxisDegrees(const FVector& Axis, double Degrees)
	{
		return FQuat(Axis, FMath::DegreesToRadians(Degrees));
	}

	void ExpectVectorNear(const FVector& Actual, const FVector& Expected, double Tolerance = 1e-9)
	{
		EXPECT_TRUE(Actual.Equals(Expected, Tolerance)) << "got " << *Actual.ToString() << ", expected " << *Expected.ToString();
	}

	void ExpectQuatComponents(const FQuat& Actual, double X, double Y, double Z, double W, double Tolerance = 1e-9)
	{
		EXPECT_NEAR(Actual.X, X, Tolerance);
		EXPECT_NEAR(Actual.Y, Y, Tolerance);
		EXPECT_NEAR(Actual.Z, Z, Tolerance);
		EXPECT_NEAR(Actual.W, W, Tolerance);
	}
}

// FMath --------------------------------------------------------------------------------------

TEST(Math, RoundToIntTakesHalvesUpwards)
{
	EXPECT_EQ(FMath::RoundToInt(2.5f), 3);
	EXPECT_EQ(FMath::RoundToInt(-2.5f), -2);
	EXPECT_EQ(FMath::RoundToInt(0.49999f), 0);
	EXPECT_EQ(FMath::RoundToInt(-0.5f), 0);
	EXPECT_EQ(FMath::RoundToInt(-0.50001f), -1);
	EXPECT_EQ(FMath::RoundToInt(1.5), 2);
	EXPECT_EQ(FMath::RoundToInt(-1.5), -1);
	EXPECT_EQ(FMath::RoundToFloat(-2.5f), -2.0f);
	EXPECT_EQ(FMath::RoundToDouble(2.5), 3.0);
	// A double rounds to 64 bits, a float to 32, as in the engine.
	static_assert(std::is_same_v<decltype(FMath::RoundToInt(1.0)), int64>);
	static_assert(std::is_same_v<decltype(FMath::RoundToInt(1.0f)), int32>);
	EXPECT_EQ(FMath::RoundToInt(5000000000.5), 5000000001LL);
}

TEST(Math, FloorCeilAndTruncGoTheirOwnWays)
{
	EXPECT_EQ(FMath::FloorToInt(-0.5f), -1);
	EXPECT_EQ(FMath::CeilToInt(-0.5f), 0);
	EXPECT_EQ(FMath::TruncToInt(-1.7f), -1);
	EXPECT_EQ(FMath::TruncToInt(1.7), 1);
	EXPECT_EQ(FMath::CeilToInt(1.2), 2);
	EXPECT_EQ(FMath::FloorToFloat(-1.5f), -2.0f);
	EXPECT_EQ(FMath::TruncToFloat(-1.5f), -1.0f);
	EXPECT_EQ(FMath::Frac(-1.25), 0.75);
	EXPECT_EQ(FMath::Fractional(-1.25), -0.25);
}

TEST(Math, IntegerConversionsSaturateInsteadOfOverflowing)
{
	EXPECT_EQ(FMath::RoundToInt(1e20f), MAX_int32);
	EXPECT_EQ(FMath::FloorToInt32(-1e20), MIN_int32);
	EXPECT_EQ(FMath::CeilToInt(1e300), MAX_int64);
	EXPECT_EQ(FMath::TruncToInt(std::numeric_limits<float>::quiet_NaN()), 0);
	EXPECT_EQ(FMath::RoundToInt(std::numeric_limits<double>::infinity()), MAX_int64);
	// The limits themselves still convert exactly.
	EXPECT_EQ(FMath::FloorToInt32(-2147483648.0), MIN_int32);
	EXPECT_EQ(FMath::FloorToInt32(2147483647.0), MAX_int32);
}

TEST(Math, FmodKeepsTheSignOfXAndGivesZeroForAZeroPeriod)
{
	EXPECT_DOUBLE_EQ(FMath::Fmod(7.5, 2.0), 1.5);
	EXPECT_DOUBLE_EQ(FMath::Fmod(-7.5, 2.0), -1.5);
	EXPECT_EQ(FMath::Fmod(1.0, 0.0), 0.0);
	EXPECT_EQ(FMath::Fmod(1.0f, 1e-9f), 0.0f);
}

TEST(Math, ClampMinMaxAndSign)
{
	EXPECT_EQ(FMath::Clamp(5, 0, 3), 3);
	EXPECT_EQ(FMath::Clamp(-1, 0, 3), 0);
	EXPECT_EQ(FMath::Clamp(2, 0, 3), 2);
	EXPECT_EQ(FMath::Clamp(std::numeric_limits<float>::quiet_NaN(), 0.0f, 1.0f), 1.0f);
	// Mixed float and double arguments work in double, as the engine's overloads do.
	static_assert(std::is_same_v<decltype(FMath::Clamp(0.5f, 0.0, 1.0)), double>);
	static_assert(std::is_same_v<decltype(FMath::Max(1.0f, 2.0)), double>);
	EXPECT_EQ(FMath::Max(1.0f, 2.5), 2.5);
	EXPECT_EQ(FMath::Min(1.0f, 2.5), 1.0);
	EXPECT_EQ(FMath::Min3(3, -1, 2), -1);
	EXPECT_EQ(FMath::Max3(3, -1, 7), 7);
	EXPECT_EQ(FMath::Abs(-3), 3);
	EXPECT_EQ(FMath::Sign(-3.5), -1.0);
	EXPECT_EQ(FMath::Sign(0.0), 0.0);
	EXPECT_EQ(FMath::Sign(2), 1);
	EXPECT_EQ(FMath::Square(-3), 9);
}

TEST(Math, TrigonometryAndLogarithms)
{
	// Rounding just past 1 is common after a dot product of unit vectors.
	EXPECT_EQ(FMath::Acos(1.0000001), 0.0);
	EXPECT_DOUBLE_EQ(FMath::Acos(-1.5), UE_DOUBLE_PI);
	EXPECT_DOUBLE_EQ(FMath::Asin(-1.5), -UE_DOUBLE_HALF_PI);
	EXPECT_DOUBLE_EQ(FMath::Atan2(1.0, -1.0), 0.75 * UE_DOUBLE_PI);
	double S = 0.0;
	double C = 0.0;
	FMath::SinCos(&S, &C, UE_DOUBLE_PI / 6.0);
	EXPECT_DOUBLE_EQ(S, 0.5);
	EXPECT_DOUBLE_EQ(C, std::sqrt(3.0) / 2.0);
	EXPECT_DOUBLE_EQ(FMath::InvSqrt(4.0), 0.5);
	// The base comes first.
	EXPECT_DOUBLE_EQ(FMath::LogX(2.0, 8.0), 3.0);
}

TEST(Math, ToleranceComparisons)
{
	EXPECT_TRUE(FMath::IsNearlyEqual(1.0, 1.0 + 1e-9));
	EXPECT_FALSE(FMath::IsNearlyEqual(1.0, 1.0 + 1e-7));
	EXPECT_TRUE(FMath::IsNearlyEqual(1.0, 1.05, 0.1));
	EXPECT_TRUE(FMath::IsNearlyEqual(1.0f, 1.0, 0.001));
	EXPECT_TRUE(FMath::IsNearlyZero(-1e-9));
	EXPECT_FALSE(FMath::IsNearlyZero(-1e-7));
	EXPECT_TRUE(FMath::IsNearlyZero(0.5f, 0.5f));
	EXPECT_TRUE(FMath::IsNaN(std::numeric_limits<double>::quiet_NaN()));
	EXPECT_FALSE(FMath::IsFinite(std::numeric_limits<float>::infinity()));
	EXPECT_TRUE(FMath::IsFinite(1.0));
}

TEST(Math, PowersOfTwoAndIntegerDivision)
{
	EXPECT_FALSE(FMath::IsPowerOfTwo(0));
	EXPECT_TRUE(FMath::IsPowerOfTwo(1));
	EXPECT_TRUE(FMath::IsPowerOfTwo(64u));
	EXPECT_FALSE(FMath::IsPowerOfTwo(96));
	EXPECT_FALSE(FMath::IsPowerOfTwo(MIN_int32));
	EXPECT_EQ(FMath::RoundUpToPowerOfTwo(0), 1u);
	EXPECT_EQ(FMath::RoundUpToPowerOfTwo(1), 1u);
	EXPECT_EQ(FMath::RoundUpToPowerOfTwo(5), 8u);
	EXPECT_EQ(FMath::RoundUpToPowerOfTwo(64), 64u);
	EXPECT_EQ(FMath::RoundUpToPowerOfTwo(65), 128u);
	EXPECT_EQ(FMath::RoundUpToPowerOfTwo(1u << 31), 1u << 31);
	EXPECT_THROW(FMath::RoundUpToPowerOfTwo((1u << 31) + 1), FCheckFailure);
	EXPECT_EQ(FMath::RoundUpToPowerOfTwo64(uint64(1) << 40 | 1), uint64(1) << 41);
	EXPECT_EQ(FMath::CeilLogTwo(5), 3u);
	EXPECT_EQ(FMath::FloorLog2(5), 2u);
	EXPECT_EQ(FMath::DivideAndRoundUp(10, 3), 4);
	EXPECT_EQ(FMath::DivideAndRoundUp(9, 3), 3);
	EXPECT_EQ(FMath::DivideAndRoundUp(0, 3), 0);
	EXPECT_EQ(FMath::DivideAndRoundDown(11, 3), 3);
	EXPECT_THROW(FMath::DivideAndRoundUp(1, 0), FCheckFailure);
}

TEST(Math, AnglesAndInterpolation)
{
	EXPECT_EQ(FMath::DegreesToRadians(180.0), UE_DOUBLE_PI);
	EXPECT_FLOAT_EQ(FMath::DegreesToRadians(90.0f), UE_HALF_PI);
	EXPECT_DOUBLE_EQ(FMath::RadiansToDegrees(UE_DOUBLE_HALF_PI), 90.0);
	EXPECT_EQ(UE_PI, std::numbers::pi_v<float>);
	EXPECT_EQ(UE_DOUBLE_PI, std::numbers::pi);
	EXPECT_EQ(FMath::Lerp(2.0, 4.0, 0.25), 2.5);
	EXPECT_EQ(FMath::Lerp(2.0, 4.0, 1.5), 5.0);
	ExpectVectorNear(FMath::Lerp(FVector(0, 0, 0), FVector(2, 4, 6), 0.5), FVector(1, 2, 3));
	EXPECT_EQ(FMath::UnwindDegrees(540.0), 180.0);
	EXPECT_EQ(FMath::UnwindDegrees(-180.0), 180.0);
	EXPECT_EQ(FMath::UnwindDegrees(181.0), -179.0);
}

TEST(Math, MappedRangeValues)
{
	const FVector2D In(0.0, 10.0);
	const FVector2D Out(100.0, 200.0);
	EXPECT_DOUBLE_EQ(FMath::GetMappedRangeValueClamped(In, Out, 5.0), 150.0);
	EXPECT_DOUBLE_EQ(FMath::GetMappedRangeValueClamped(In, Out, 20.0), 200.0);
	EXPECT_DOUBLE_EQ(FMath::GetMappedRangeValueClamped(In, Out, -5.0), 100.0);
	EXPECT_DOUBLE_EQ(FMath::GetMappedRangeValueUnclamped(In, Out, 20.0), 300.0);
	// A reversed output range maps downwards.
	EXPECT_DOUBLE_EQ(FMath::GetMappedRangeValueClamped(In, FVector2D(1.0, 0.0), 2.5), 0.75);
	// An empty input range is a step at its value instead of a division by zero.
	EXPECT_DOUBLE_EQ(FMath::GetMappedRangeValueClamped(FVector2D(5.0, 5.0), Out, 4.0), 100.0);
	EXPECT_DOUBLE_EQ(FMath::GetMappedRangeValueClamped(FVector2D(5.0, 5.0), Out, 5.0), 200.0);
	EXPECT_FLOAT_EQ(FMath::GetMappedRangeValueClamped(FVector2f(0.0f, 2.0f), FVector2f(0.0f, 1.0f), 1.0f), 0.5f);
}

// FVector -------------------------------------------------------------------------------------

TEST(Vector, ArithmeticAndProducts)
{
	const FVector A(1, 2, 3);
	const FVector B(4, 5, 6);
	EXPECT_EQ(A + B, FVector(5, 7, 9));
	EXPECT_EQ(B - A, FVector(3, 3, 3));
	EXPECT_EQ(A * B, FVector(4, 10, 18));
	EXPECT_EQ(B / FVector(2, 5, 3), FVector(2, 1, 2));
	EXPECT_EQ(A * 2.0, FVector(2, 4, 6));
	EXPECT_EQ(2.0 * A, FVector(2, 4, 6));
	EXPECT_EQ(B / 2.0, FVector(2, 2.5, 3));
	EXPECT_EQ(A + 1.0, FVector(2, 3, 4));
	EXPECT_EQ(-A, FVector(-1, -2, -3));
	EXPECT_EQ(A | B, 32.0);
	EXPECT_EQ(FVector::DotProduct(A, B), 32.0);
	EXPECT_EQ(A ^ B, FVector(-3, 6, -3));
	EXPECT_EQ(FVector::CrossProduct(B, A), FVector(3, -6, 3));
	EXPECT_EQ(FVector::ForwardVector ^ FVector::RightVector, FVector::UpVector);
	FVector C = A;
	C += B;
	C *= 2.0;
	C -= FVector(1, 1, 1);
	C /= FVector(1, 13, 17);
	EXPECT_EQ(C, FVector(9, 1, 1));
	EXPECT_NE(A, B);
}

TEST(Vector, SizesAndDistances)
{
	const FVector V(3, 4, 12);
	EXPECT_EQ(V.Size(), 13.0);
	EXPECT_EQ(V.SizeSquared(), 169.0);
	EXPECT_EQ(V.Size2D(), 5.0);
	EXPECT_EQ(V.SizeSquared2D(), 25.0);
	EXPECT_EQ(FVector::Dist(FVector(1, 1, 1), FVector(4, 5, 1)), 5.0);
	EXPECT_EQ(FVector::DistSquared(FVector(1, 1, 1), FVector(4, 5, 1)), 25.0);
	EXPECT_EQ(FVector::Dist2D(FVector(0, 0, 100), FVector(3, 4, -50)), 5.0);
}

TEST(Vector, NormalisationGuardsShortVectors)
{
	ExpectVectorNear(FVector(0, 3, 4).GetSafeNormal(), FVector(0, 0.6, 0.8));
	EXPECT_EQ(FVector::ZeroVector.GetSafeNormal(), FVector::ZeroVector);
	EXPECT_EQ(FVector::ZeroVector.GetSafeNormal(UE_SMALL_NUMBER, FVector::UpVector), FVector::UpVector);
	// Squared length 1e-10 is below the tolerance: no direction.
	EXPECT_EQ(FVector(1e-5, 0, 0).GetSafeNormal(), FVector::ZeroVector);
	ExpectVectorNear(FVector(3, 4, 100).GetSafeNormal2D(), FVector(0.6, 0.8, 0));

	FVector Short(1e-5, 0, 0);
	EXPECT_FALSE(Short.Normalize());
	EXPECT_EQ(Short, FVector(1e-5, 0, 0));
	FVector Long(0, -5, 0);
	EXPECT_TRUE(Long.Normalize());
	EXPECT_EQ(Long, FVector(0, -1, 0));
	EXPECT_TRUE(Long.IsNormalized());
	EXPECT_FALSE(FVector(0, 1.01, 0).IsNormalized());
}

TEST(Vector, ToleranceAndComponentQueries)
{
	const FVector A(1, 2, 3);
	EXPECT_TRUE(A.Equals(FVector(1.00005, 2, 2.99995)));
	EXPECT_FALSE(A.Equals(FVector(1, 2, 3.0002)));
	EXPECT_TRUE(A.Equals(FVector(1, 2, 3.4), 0.5));
	EXPECT_TRUE(FVector(1e-5, -1e-5, 0).IsNearlyZero());
	EXPECT_FALSE(FVector(1e-5, -1e-5, 0).IsZero());
	EXPECT_TRUE(FVector(0, -0.0, 0).IsZero());

	const FVector B(-4, 1, 2);
	EXPECT_EQ(A.ComponentMin(B), FVector(-4, 1, 2));
	EXPECT_EQ(A.ComponentMax(B), FVector(1, 2, 3));
	EXPECT_EQ(FVector::Min(A, B), FVector(-4, 1, 2));
	EXPECT_EQ(B.GetAbs(), FVector(4, 1, 2));
	EXPECT_EQ(B.GetMax(), 2.0);
	EXPECT_EQ(B.GetMin(), -4.0);
	EXPECT_EQ(B.GetAbsMax(), 4.0);
	EXPECT_EQ(B.GetAbsMin(), 1.0);
}

TEST(Vector, IndexIsChecked)
{
	FVector V(1, 2, 3);
	EXPECT_EQ(V[0], 1.0);
	EXPECT_EQ(V[2], 3.0);
	V[1] = 7.0;
	EXPECT_EQ(V.Y, 7.0);
	EXPECT_THROW(V[3], FCheckFailure);
	EXPECT_THROW(V[-1], FCheckFailure);
	const FVector2D P(1, 2);
	EXPECT_EQ(P[1], 2.0);
	EXPECT_THROW(P[2], FCheckFailure);
}

TEST(Vector, ToStringUsesThreeDecimals)
{
	EXPECT_EQ(FVector(1, -2.5, 1234.5678).ToString().ToStdString(), "X=1.000 Y=-2.500 Z=1234.568");
	EXPECT_EQ(FVector3f(0.5f, 0, 0).ToString().ToStdString(), "X=0.500 Y=0.000 Z=0.000");
}

TEST(Vector, PrecisionConversionsAreExplicit)
{
	static_assert(!std::is_convertible_v<FVector, FVector3f>);
	static_assert(!std::is_convertible_v<FVector3f, FVector>);
	static_assert(!std::is_convertible_v<double, FVector>);
	const FVector3f Single(FVector(0.1, 0.2, 0.3));
	EXPECT_EQ(Single, FVector3f(0.1f, 0.2f, 0.3f));
	EXPECT_EQ(FVector(Single).X, static_cast<double>(0.1f));
	EXPECT_EQ(FVector(2.0), FVector(2, 2, 2));
	EXPECT_EQ(FVector2f(FVector2D(0.25, 0.5)), FVector2f(0.25f, 0.5f));
}

TEST(Vector, EqualVectorsHashAlikeAndWorkAsKeys)
{
	EXPECT_EQ(GetTypeHash(FVector(0, -0.0, 0)), GetTypeHash(FVector::ZeroVector));
	EXPECT_NE(GetTypeHash(FVector(1, 2, 3)), GetTypeHash(FVector(3, 2, 1)));
	TMap<FVector, int32> Map;
	Map.Add(FVector(1, 2, 3), 7);
	Map.Add(FVector(0, -0.0, 0), 9);
	EXPECT_EQ(Map.FindRef(FVector(1, 2, 3)), 7);
	EXPECT_EQ(Map.FindRef(FVector::ZeroVector), 9);
}

// FVector2D -----------------------------------------------------------------------------------

TEST(Vector2D, ArithmeticProductsAndSizes)
{
	const FVector2D A(3, 4);
	EXPECT_EQ(A + FVector2D(1, 1), FVector2D(4, 5));
	EXPECT_EQ(A - FVector2D(1, 1), FVector2D(2, 3));
	EXPECT_EQ(A * FVector2D(2, 3), FVector2D(6, 12));
	EXPECT_EQ(0.5 * A, FVector2D(1.5, 2));
	EXPECT_EQ(A / 2.0, FVector2D(1.5, 2));
	EXPECT_EQ(-A, FVector2D(-3, -4));
	EXPECT_EQ(A | FVector2D(1, 2), 11.0);
	// The 2-D cross product is positive when the second vector lies counter-clockwise.
	EXPECT_EQ(FVector2D(1, 0) ^ FVector2D(0, 1), 1.0);
	EXPECT_EQ(FVector2D::CrossProduct(FVector2D(0, 1), FVector2D(1, 0)), -1.0);
	EXPECT_EQ(A.Size(), 5.0);
	EXPECT_EQ(A.SizeSquared(), 25.0);
	EXPECT_EQ(FVector2D::Distance(FVector2D(1, 1), FVector2D(4, 5)), 5.0);
	EXPECT_EQ(FVector2D::DistSquared(FVector2D(1, 1), FVector2D(4, 5)), 25.0);
	EXPECT_EQ(A.ComponentMin(FVector2D(5, 0)), FVector2D(3, 0));
	EXPECT_EQ(FVector2D(-3, 2).GetAbs(), FVector2D(3, 2));
	EXPECT_EQ(FVector2D(-3, 2).GetAbsMax(), 3.0);
	EXPECT_TRUE(A.Equals(FVector2D(3.00005, 4)));
	EXPECT_FALSE(A.Equals(FVector2D(3.0002, 4)));
}

TEST(Vector2D, NormalizeZeroesAVectorTooShortToHaveADirection)
{
	FVector2D V(0, -2);
	V.Normalize();
	EXPECT_EQ(V, FVector2D(0, -1));
	// Unlike the 3-D Normalize, the 2-D one leaves a too-short vector at zero.
	FVector2D Short(1e-5, 1e-5);
	Short.Normalize();
	EXPECT_TRUE(Short.IsZero());
	EXPECT_EQ(FVector2D(1e-5, 0).GetSafeNormal(), FVector2D::ZeroVector);
	EXPECT_NEAR(FVector2D::Unit45Deg.Size(), 1.0, 1e-15);
}

TEST(Vector2D, ConversionsToStringAndIntPoint)
{
	EXPECT_EQ(FVector2D(1, 2.5).ToString().ToStdString(), "X=1.000 Y=2.500");
	EXPECT_EQ(FVector2D(2.5, -2.5).IntPoint(), FIntPoint(3, -2));
	EXPECT_EQ(FVector2D(FIntPoint(3, -4)), FVector2D(3, -4));
	EXPECT_EQ(FVector2D(FVector(1, 2, 3)), FVector2D(1, 2));
	EXPECT_EQ(FVector(FVector2D(1, 2), 3), FVector(1, 2, 3));
	EXPECT_EQ(GetTypeHash(FVector2D(-0.0, 1)), GetTypeHash(FVector2D(0, 1)));
}

// FIntPoint -----------------------------------------------------------------------------------

TEST(MathIntPoint, ArithmeticAndQueries)
{
	const FIntPoint P(7, -4);
	EXPECT_EQ(P + FIntPoint(1, 1), FIntPoint(8, -3));
	EXPECT_EQ(P - FIntPoint(1, 1), FIntPoint(6, -5));
	EXPECT_EQ(P * 2, FIntPoint(14, -8));
	EXPECT_EQ(P * FIntPoint(2, 3), FIntPoint(14, -12));
	// Integer division truncates towards zero.
	EXPECT_EQ(P / 2, FIntPoint(3, -2));
	EXPECT_EQ(P / FIntPoint(7, 4), FIntPoint(1, -1));
	FIntPoint Q = P;
	Q += FIntPoint(1, 4);
	Q *= 3;
	Q /= 2;
	EXPECT_EQ(Q, FIntPoint(12, 0));
	EXPECT_NE(Q, P);
	EXPECT_EQ(P.GetMax(), 7);
	EXPECT_EQ(P.GetMin(), -4);
	EXPECT_EQ(P.ComponentMin(FIntPoint(0, 0)), FIntPoint(0, -4));
	EXPECT_EQ(P.ComponentMax(FIntPoint(0, 0)), FIntPoint(7, 0));
	EXPECT_EQ(FIntPoint(3, 4).Size(), 5);
	EXPECT_EQ(FIntPoint(3, 4).SizeSquared(), 25);
	// The squares overflow 32 bits; the length does not.
	EXPECT_EQ(FIntPoint(40000, 30000).Size(), 50000);
	EXPECT_EQ(FIntPoint::ZeroValue, FIntPoint(0, 0));
	EXPECT_EQ(FIntPoint::NoneValue, FIntPoint(INDEX_NONE, INDEX_NONE));
	EXPECT_EQ(FIntPoint::DivideAndRoundUp(FIntPoint(10, 9), 3), FIntPoint(4, 3));
	EXPECT_EQ(FIntPoint::DivideAndRoundUp(FIntPoint(10, 9), FIntPoint(5, 2)), FIntPoint(2, 5));
}

TEST(MathIntPoint, DivisionByZeroIsAFailedCheck)
{
	const FIntPoint P(7, 4);
	EXPECT_THROW(P / 0, FCheckFailure);
	EXPECT_THROW(P / FIntPoint(1, 0), FCheckFailure);
	EXPECT_THROW(FIntPoint::DivideAndRoundUp(P, 0), FCheckFailure);
	FIntPoint Q = P;
	EXPECT_THROW(Q /= 0, FCheckFailure);
	EXPECT_EQ(Q, P);
	EXPECT_THROW(Q[2], FCheckFailure);
}

TEST(MathIntPoint, ToStringHashAndKeys)
{
	EXPECT_EQ(FIntPoint(3, -4).ToString().ToStdString(), "X=3 Y=-4");
	EXPECT_NE(GetTypeHash(FIntPoint(1, 2)), GetTypeHash(FIntPoint(2, 1)));
	TSet<FIntPoint> Set;
	Set.Add(FIntPoint(1, 2));
	Set.Add(FIntPoint(1, 2));
	Set.Add(FIntPoint(2, 1));
	EXPECT_EQ(Set.Num(), 2);
	EXPECT_TRUE(Set.Contains(FIntPoint(2, 1)));
}

// FQuat ---------------------------------------------------------------------------------------

TEST(Quat, AxisAngleConstruction)
{
	ExpectQuatComponents(FQuat(FVector(0, 0, 1), UE_DOUBLE_HALF_PI), 0, 0, Sqrt1_2, Sqrt1_2);
	// The axis is normalised, so its length does not scale the rotation.
	ExpectQuatComponents(FQuat(FVector(0, 0, 5), UE_DOUBLE_HALF_PI), 0, 0, Sqrt1_2, Sqrt1_2);
	EXPECT_THROW(FQuat(FVector::ZeroVector, 1.0), FCheckFailure);

	FVector Axis;
	double Angle = 0.0;
	FQuat(FVector(1, 2, 2), 0.5).ToAxisAndAngle(Axis, Angle);
	ExpectVectorNear(Axis, FVector(1.0 / 3, 2.0 / 3, 2.0 / 3));
	EXPECT_NEAR(Angle, 0.5, 1e-12);
	EXPECT_EQ(FQuat::Identity.GetRotationAxis(), FVector(1, 0, 0));
	EXPECT_EQ(FQuat(), FQuat::Identity);
}

TEST(Quat, ProductAppliesTheRightOperandFirst)
{
	const FQuat Z90 = AxisDegrees(FVector(0, 0, 1), 90);
	const FQuat X90 = AxisDegrees(FVector(1, 0, 0), 90);
	ExpectQuatComponents(Z90 * X90, 0.5, 0.5, 0.5, 0.5);
	ExpectQuatComponents(X90 * Z90, 0.5, -0.5, 0.5, 0.5);
	// X90 takes +Y to +Z, which Z90 leaves alone; Z90 takes +Y to -X, which X90 leaves alone.
	ExpectVectorNear((Z90 * X90).RotateVector(FVector(0, 1, 0)), FVector(0, 0, 1));
	ExpectVectorNear((X90 * Z90).RotateVector(FVector(0, 1, 0)), FVector(-1, 0, 0));
	FQuat Accumulated = Z90;
	Accumulated *= X90;
	EXPECT_TRUE(Accumulated.Equals(Z90 * X90, 1e-12));
}

TEST(Quat, RotateAndUnrotateVectors)
{
	const FQuat Z90 = AxisDegrees(FVector(0, 0, 1), 90);
	ExpectVectorNear(Z90.RotateVector(FVector(1, 0, 0)), FVector(0, 1, 0));
	ExpectVectorNear(Z90 * FVector(1, 2, 3), FVector(-2, 1, 3));
	ExpectVectorNear(Z90.UnrotateVector(FVector(0, 1, 0)), FVector(1, 0, 0));
	ExpectVectorNear(Z90.GetForwardVector(), FVector(0, 1, 0));
	ExpectVectorNear(Z90.GetRightVector(), FVector(-1, 0, 0));
	ExpectVectorNear(Z90.GetUpVector(), FVector(0, 0, 1));
	// 120 degrees about the diagonal cycles the axes.
	const FQuat Cycle = FQuat(FVector(1, 1, 1), FMath::DegreesToRadians(120.0));
	ExpectVectorNear(Cycle.RotateVector(FVector(1, 0, 0)), FVector(0, 1, 0));
	ExpectVectorNear(Cycle.RotateVector(FVector(0, 0, 1)), FVector(1, 0, 0));

	const FQuat Q = FQuat(FVector(0.3, -1, 2), 2.2);
	const FVector V(4, -5, 6);
	ExpectVectorNear(Q.UnrotateVector(Q.RotateVector(V)), V);
	ExpectVectorNear(Q.Inverse().RotateVector(V), Q.UnrotateVector(V));
	EXPECT_NEAR(Q.RotateVector(V).Size(), V.Size(), 1e-12);
}

TEST(Quat, InverseIsTheConjugateOfAUnitQuaternion)
{
	const FQuat Q = FQuat(1, 2, 3, 4).GetNormalized();
	const FQuat Inv = Q.Inverse();
	ExpectQuatComponents(Inv, -Q.X, -Q.Y, -Q.Z, Q.W, 0.0);
	EXPECT_TRUE((Q * Inv).Equals(FQuat::Identity, 1e-12));
	EXPECT_TRUE((Inv * Q).Equals(FQuat::Identity, 1e-12));
	// The conjugate of a non-unit quaternion is no inverse: refuse it.
	EXPECT_THROW(FQuat(1, 2, 3, 4).Inverse(), FCheckFailure);
	EXPECT_THROW(FQuat(0, 0, 0, 0).Inverse(), FCheckFailure);
}

TEST(Quat, NormalizeSizesAndNearZero)
{
	FQuat Q(0, 0, 3, 4);
	EXPECT_EQ(Q.Size(), 5.0);
	EXPECT_EQ(Q.SizeSquared(), 25.0);
	const FQuat Unit = Q.GetNormalized();
	EXPECT_EQ(Q, FQuat(0, 0, 3, 4));
	ExpectQuatComponents(Unit, 0, 0, 0.6, 0.8);
	Q.Normalize();
	EXPECT_EQ(Q, Unit);

	// Squared size 1e-10 is below the tolerance: no usable rotation, so the identity.
	FQuat Tiny(1e-5, 0, 0, 0);
	Tiny.Normalize();
	EXPECT_EQ(Tiny, FQuat::Identity);
	EXPECT_EQ(FQuat(0, 0, 0, 0).GetNormalized(), FQuat::Identity);
	// Squared size 1e-6 is above it and normalises.
	ExpectQuatComponents(FQuat(0, 1e-3, 0, 0).GetNormalized(), 0, 1, 0, 0);

	EXPECT_TRUE(FQuat(0, 0, 0, 1.004).IsNormalized());
	EXPECT_FALSE(FQuat(0, 0, 0, 1.006).IsNormalized());
}

TEST(Quat, SlerpEndpointsMidpointAndShortestPath)
{
	const FQuat Z90 = AxisDegrees(FVector(0, 0, 1), 90);
	const FQuat Z45 = AxisDegrees(FVector(0, 0, 1), 45);
	ExpectQuatComponents(FQuat::Slerp(FQuat::Identity, Z90, 0.0), 0, 0, 0, 1);
	ExpectQuatComponents(FQuat::Slerp(FQuat::Identity, Z90, 1.0), Z90.X, Z90.Y, Z90.Z, Z90.W);
	ExpectQuatComponents(FQuat::Slerp(FQuat::Identity, Z90, 0.5), Z45.X, Z45.Y, Z45.Z, Z45.W);
	ExpectQuatComponents(FQuat::Slerp(FQuat::Identity, Z90, 0.25), 0, 0, std::sin(FMath::DegreesToRadians(11.25)),
		std::cos(FMath::DegreesToRadians(11.25)));

	// -Z90 is the same rotation; the blend must not go the long way round through 225 degrees.
	const FQuat NegZ90 = Z90 * -1.0;
	ExpectQuatComponents(FQuat::Slerp(FQuat::Identity, NegZ90, 0.5), Z45.X, Z45.Y, Z45.Z, Z45.W);
	EXPECT_TRUE(FQuat::Slerp(FQuat::Identity, NegZ90, 1.0).Equals(Z90, 1e-12));

	// Nearly parallel inputs take the linear branch and still land in between.
	const FQuat A = AxisDegrees(FVector(0, 0, 1), 0.5);
	const FQuat B = AxisDegrees(FVector(0, 0, 1), 0.6);
	ASSERT_GE(A | B, 0.9999);
	EXPECT_TRUE(FQuat::Slerp(A, B, 0.5).Equals(AxisDegrees(FVector(0, 0, 1), 0.55), 1e-9));
	const FQuat Same = FQuat::Slerp(Z90, Z90, 0.3);
	EXPECT_FALSE(Same.ContainsNaN());
	EXPECT_TRUE(Same.Equals(Z90, 1e-12));
	// A quaternion and its antipode blend to the rotation itself.
	EXPECT_TRUE(FQuat::Slerp_NotNormalized(Z90, NegZ90, 0.5).Equals(Z90, 1e-12));
}

TEST(Quat, FastLerpBlendsComponentsTheShortWay)
{
	const FQuat Z90 = AxisDegrees(FVector(0, 0, 1), 90);
	const FQuat Z45 = AxisDegrees(FVector(0, 0, 1), 45);
	const FQuat Blend = FQuat::FastLerp(FQuat::Identity, Z90, 0.5);
	// Not normalised: half of each unit quaternion.
	ExpectQuatComponents(Blend, 0, 0, Sqrt1_2 / 2, (1 + Sqrt1_2) / 2);
	EXPECT_TRUE(Blend.GetNormalized().Equals(Z45, 1e-12));
	EXPECT_TRUE(FQuat::FastLerp(FQuat::Identity, Z90 * -1.0, 0.5).GetNormalized().Equals(Z45, 1e-12));
}

TEST(Quat, EqualityAngularDistanceAndToString)
{
	const FQuat Z90 = AxisDegrees(FVector(0, 0, 1), 90);
	const FQuat NegZ90 = Z90 * -1.0;
	EXPECT_TRUE(Z90.Equals(NegZ90));
	EXPECT_NE(Z90, NegZ90);
	EXPECT_FALSE(Z90.Equals(FQuat::Identity));
	EXPECT_TRUE(FQuat(0, 0, 0, -1).IsIdentity());

	EXPECT_NEAR(FQuat::Identity.AngularDistance(Z90), UE_DOUBLE_HALF_PI, 1e-12);
	EXPECT_NEAR(FQuat::Identity.AngularDistance(NegZ90), UE_DOUBLE_HALF_PI, 1e-12);
	for (int32 Step = 0; Step < 50; ++Step)
	{
		const FQuat Q = FQuat(FVector(1, Step, 3), 0.37 * Step);
		const double Distance = Q.AngularDistance(Q);
		EXPECT_FALSE(std::isnan(Distance)) << "step " << Step;
		EXPECT_LT(Distance, 1e-7);
	}

	EXPECT_EQ(FQuat::Identity.ToString().ToStdString(), "X=0.000000000 Y=0.000000000 Z=0.000000000 W=1.000000000");
	EXPECT_EQ(Z90.ToString().ToStdString(), "X=0.000000000 Y=0.000000000 Z=0.707106781 W=0.707106781");
	EXPECT_EQ(GetTypeHash(FQuat(-0.0, 0, 0, 1)), GetTypeHash(FQuat::Identity));
}

TEST(Quat, EulerAnglesAreRollPitchYawAboutXYZ)
{
	EXPECT_TRUE(FQuat::MakeFromEuler(FVector(0, 0, 90)).Equals(AxisDegrees(FVector(0, 0, 1), 90), 1e-12));
	// Positive pitch lifts the nose, a negative turn about +Y.
	EXPECT_TRUE(FQuat::MakeFromEuler(FVector(0, 30, 0)).Equals(AxisDegrees(FVector(0, 1, 0), -30), 1e-12));
	EXPECT_TRUE(FQuat::MakeFromEuler(FVector(30, 0, 0)).Equals(AxisDegrees(FVector(1, 0, 0), -30), 1e-12));
	ExpectVectorNear(FQuat::MakeFromEuler(FVector(10, 20, 30)).Euler(), FVector(10, 20, 30));
	const FQuat4f Single(FQuat::MakeFromEuler(FVector(10, 20, 30)));
	EXPECT_TRUE(FQuat(Single).Equals(FQuat::MakeFromEuler(FVector(10, 20, 30)), 1e-7));
}

// FRotator ------------------------------------------------------------------------------------

TEST(MathRotator, AxesFollowTheEngineConventions)
{
	ExpectVectorNear(FRotator(0, 90, 0).RotateVector(FVector::ForwardVector), FVector(0, 1, 0));
	ExpectVectorNear(FRotator(90, 0, 0).RotateVector(FVector::ForwardVector), FVector(0, 0, 1));
	ExpectVectorNear(FRotator(0, 0, 90).RotateVector(FVector::RightVector), FVector(0, 0, -1));
	ExpectVectorNear(FRotator(0, 0, 90).UnrotateVector(FVector(0, 0, -1)), FVector::RightVector);
	// Pitch before yaw: the nose goes up, then yaw turns the right axis round to -X.
	const FRotator PitchYaw(90, 90, 0);
	ExpectVectorNear(PitchYaw.RotateVector(FVector::ForwardVector), FVector(0, 0, 1));
	ExpectVectorNear(PitchYaw.RotateVector(FVector::RightVector), FVector(-1, 0, 0));

	const double S15 = std::sin(FMath::DegreesToRadians(15.0));
	const double C15 = std::cos(FMath::DegreesToRadians(15.0));
	ExpectQuatComponents(FRotator(30, 0, 0).Quaternion(), 0, -S15, 0, C15);
	ExpectQuatComponents(FRotator(0, 30, 0).Quaternion(), 0, 0, S15, C15);
	ExpectQuatComponents(FRotator(0, 0, 30).Quaternion(), -S15, 0, 0, C15);

	// Roll, then pitch, then yaw.
	const FRotator R(25, -70, 130);
	const FQuat Composed = AxisDegrees(FVector(0, 0, 1), R.Yaw) * AxisDegrees(FVector(0, 1, 0), -R.Pitch)
		* AxisDegrees(FVector(1, 0, 0), -R.Roll);
	EXPECT_TRUE(R.Quaternion().Equals(Composed, 1e-12));
	EXPECT_TRUE(FQuat(R).Equals(Composed, 1e-12));
	ExpectVectorNear(R.Vector(), Composed.GetForwardVector());
	// Whole turns change nothing.
	EXPECT_TRUE(FRotator(25 + 720, -70 - 360, 130 + 1080).Quaternion().Equals(Composed, 1e-9));
}

TEST(MathRotator, RoundTripsThroughQuaternions)
{
	for (double Pitch = -85; Pitch <= 85; Pitch += 17)
	{
		for (double Yaw = -175; Yaw <= 180; Yaw += 35)
		{
			for (double Roll = -170; Roll <= 180; Roll += 50)
			{
				const FRotator R(Pitch, Yaw, Roll);
				const FRotator Back = R.Quaternion().Rotator();
				EXPECT_TRUE(Back.Equals(R, 1e-9)) << *R.ToString() << " came back as " << *Back.ToString();
				EXPECT_TRUE(FRotator(R.Quaternion()).Equals(R, 1e-9));
				const FQuat Q = R.Quaternion();
				EXPECT_TRUE(Q.Rotator().Quaternion().Equals(Q, 1e-12));
			}
		}
	}
}

TEST(MathRotator, StraightUpOrDownKeepsTheRotation)
{
	// At +-90 pitch, yaw and roll turn about the same axis; the split may change, the rotation not.
	for (const FRotator R : {FRotator(90, 30, 10), FRotator(-90, 30, 10), FRotator(89.99999, -120, 45), FRotator(-90, 0, 0)})
	{
		const FQuat Q = R.Quaternion();
		const FRotator Back = Q.Rotator();
		EXPECT_EQ(Back.Pitch, R.Pitch > 0 ? 90.0 : -90.0) << *R.ToString();
		EXPECT_TRUE(Back.Quaternion().Equals(Q, 1e-6)) << *R.ToString() << " came back as " << *Back.ToString();
	}
	// No negative zeros in the angles of the identity.
	EXPECT_EQ(FQuat::Identity.Rotator().ToString().ToStdString(), "P=0.000000 Y=0.000000 R=0.000000");
	EXPECT_EQ(FQuat(0, 0, 0, -1).Rotator().ToString().ToStdString(), "P=0.000000 Y=0.000000 R=0.000000");
}

TEST(MathRotator, AxisWrappingAndTolerance)
{
	EXPECT_EQ(FRotator::ClampAxis(-90.0), 270.0);
	EXPECT_EQ(FRotator::ClampAxis(720.0), 0.0);
	EXPECT_EQ(FRotator::ClampAxis(360.0), 0.0);
	// -1e-6 + 360 rounds to 360 in float, which is outside [0, 360).
	EXPECT_EQ(FRotator3f::ClampAxis(-1e-6f), 0.0f);
	EXPECT_EQ(FRotator::NormalizeAxis(270.0), -90.0);
	EXPECT_EQ(FRotator::NormalizeAxis(180.0), 180.0);
	EXPECT_EQ(FRotator::NormalizeAxis(-180.0), 180.0);
	EXPECT_EQ(FRotator(370, -190, 540).GetNormalized(), FRotator(10, 170, 180));
	EXPECT_EQ(FRotator(-10, 370, 0).Clamp(), FRotator(350, 10, 0));

	EXPECT_TRUE(FRotator(10, -170, 0).Equals(FRotator(370, 190, 0)));
	EXPECT_NE(FRotator(10, -170, 0), FRotator(370, 190, 0));
	EXPECT_TRUE(FRotator(0, 359.99999, 0).Equals(FRotator::ZeroRotator));
	EXPECT_FALSE(FRotator(0, 0.001, 0).Equals(FRotator::ZeroRotator));
	EXPECT_TRUE(FRotator(360, -720, 0).IsZero());
	EXPECT_FALSE(FRotator(0, 1e-9, 0).IsZero());
	EXPECT_TRUE(FRotator(0, 1e-9, 0).IsNearlyZero());
	EXPECT_EQ(FRotator(1, 2, 3) + FRotator(1, 1, 1), FRotator(2, 3, 4));
	EXPECT_EQ(FRotator(1, 2, 3) * 2.0, FRotator(2, 4, 6));
	EXPECT_EQ(FRotator::MakeFromEuler(FVector(30, 10, 20)), FRotator(10, 20, 30));
}

TEST(MathRotator, ToStringAndVector)
{
	EXPECT_EQ(FRotator(10, -20.5, 0).ToString().ToStdString(), "P=10.000000 Y=-20.500000 R=0.000000");
	ExpectVectorNear(FRotator(0, 90, 77).Vector(), FVector(0, 1, 0));
	ExpectVectorNear(FRotator(45, 0, 0).Vector(), FVector(Sqrt1_2, 0, Sqrt1_2));
}

// FTransform ----------------------------------------------------------------------------------

TEST(Transform, DefaultIsIdentity)
{
	const FTransform T;
	const FVector P(1, -2, 3);
	EXPECT_EQ(T.TransformPosition(P), P);
	EXPECT_TRUE(T.Equals(FTransform::Identity));
	EXPECT_EQ(T.ToString().ToStdString(), "0.000000,0.000000,0.000000|0.000000,0.000000,0.000000|1.000000,1.000000,1.000000");
}

TEST(Transform, PositionsAreScaledThenRotatedThenTranslated)
{
	const FQuat Z90 = AxisDegrees(FVector(0, 0, 1), 90);
	const FTransform T(Z90, FVector(10, 0, 0), FVector(2, 3, 4));
	ExpectVectorNear(T.TransformPosition(FVector(1, 1, 1)), FVector(7, 2, 4));
	ExpectVectorNear(T.TransformPositionNoScale(FVector(1, 1, 1)), FVector(9, 1, 1));
	ExpectVectorNear(T.TransformVector(FVector(1, 1, 1)), FVector(-3, 2, 4));
	ExpectVectorNear(T.TransformVectorNoScale(FVector(1, 1, 1)), FVector(-1, 1, 1));
	ExpectVectorNear(T.InverseTransformPosition(FVector(7, 2, 4)), FVector(1, 1, 1));
	ExpectVectorNear(T.InverseTransformVector(FVector(-3, 2, 4)), FVector(1, 1, 1));

	FTransform U;
	U.SetRotation(Z90);
	U.SetLocation(FVector(10, 0, 0));
	U.SetScale3D(FVector(2, 3, 4));
	EXPECT_TRUE(U.Equals(T, 0.0));
	EXPECT_EQ(U.GetLocation(), U.GetTranslation());
	EXPECT_TRUE(FTransform(FRotator(0, 90, 0), FVector(10, 0, 0), FVector(2, 3, 4)).Equals(T, 1e-12));
}

TEST(Transform, ProductAppliesTheLeftOperandFirst)
{
	const FQuat Z90 = AxisDegrees(FVector(0, 0, 1), 90);
	const FQuat X90 = AxisDegrees(FVector(1, 0, 0), 90);
	const FTransform A(Z90, FVector(1, 0, 0), FVector(2, 2, 2));
	const FTransform B(X90, FVector(0, 0, 5), FVector(3, 3, 3));

	const FTransform AB = A * B;
	EXPECT_TRUE(AB.GetRotation().Equals(X90 * Z90, 1e-12));
	ExpectVectorNear(AB.GetTranslation(), FVector(3, 0, 5));
	ExpectVectorNear(AB.GetScale3D(), FVector(6, 6, 6));
	for (const FVector P : {FVector(0, 0, 0), FVector(1, 2, 3), FVector(-4, 0.5, 9)})
	{
		ExpectVectorNear(AB.TransformPosition(P), B.TransformPosition(A.TransformPosition(P)));
		ExpectVectorNear((B * A).TransformPosition(P), A.TransformPosition(B.TransformPosition(P)));
	}
	EXPECT_FALSE(AB.Equals(B * A));

	FTransform Accumulated = A;
	Accumulated *= B;
	EXPECT_TRUE(Accumulated.Equals(AB, 1e-12));
	// The output may be one of the inputs.
	FTransform InPlace = A;
	FTransform::Multiply(&InPlace, &InPlace, &B);
	EXPECT_TRUE(InPlace.Equals(AB, 1e-12));
	InPlace = B;
	FTransform::Multiply(&InPlace, &A, &InPlace);
	EXPECT_TRUE(InPlace.Equals(AB, 1e-12));
	EXPECT_TRUE((A * X90).Equals(A * FTransform(X90), 1e-12));
}

TEST(Transform, InverseUndoesTheTransform)
{
	const FTransform A(FRotator(20, -35, 60), FVector(4, -5, 6), FVector(2, 2, 2));
	EXPECT_TRUE((A * A.Inverse()).Equals(FTransform::Identity, 1e-12));
	EXPECT_TRUE((A.Inverse() * A).Equals(FTransform::Identity, 1e-12));
	const FVector P(1, 2, 3);
	ExpectVectorNear(A.Inverse().TransformPosition(A.TransformPosition(P)), P);

	// Non-uniform scale: the inverse still takes the translation back to the origin.
	const FTransform B(FRotator(20, -35, 60), FVector(4, -5, 6), FVector(1, 2, 3));
	EXPECT_TRUE((B * B.Inverse()).Equals(FTransform::Identity, 1e-12));
	ExpectVectorNear(B.Inverse().TransformPosition(B.GetTranslation()), FVector::ZeroVector);
	ExpectVectorNear(B.InverseTransformPosition(B.TransformPosition(P)), P);

	// A zero scale axis has no inverse; it stays zero rather than becoming infinite.
	const FTransform Flat(FQuat::Identity, FVector(1, 1, 1), FVector(2, 0, 1));
	ExpectVectorNear(Flat.Inverse().GetScale3D(), FVector(0.5, 0, 1));
	ExpectVectorNear(Flat.InverseTransformPosition(FVector(3, 5, 2)), FVector(1, 0, 1));
	ExpectVectorNear(FTransform::GetSafeScaleReciprocal(FVector(2, 1e-9, -4)), FVector(0.5, 0, -0.25));
}

TEST(Transform, NegativeScaleComposesExactly)
{
	// A mirror after a rotation is a mirror across another plane: the product must still
	// equal the two steps in turn.
	const FTransform Rotate(FRotator(0, 90, 0), FVector(1, 2, 3));
	const FTransform Mirror(FQuat::Identity, FVector(0, 0, 1), FVector(-1, 1, 1));
	const FTransform MirrorBoth(FRotator(30, 0, 0), FVector::ZeroVector, FVector(-2, 2, -2));
	for (const FVector P : {FVector(1, 0, 0), FVector(1, 2, 3), FVector(-4, 0.5, 9)})
	{
		ExpectVectorNear((Rotate * Mirror).TransformPosition(P), Mirror.TransformPosition(Rotate.TransformPosition(P)));
		ExpectVectorNear((Mirror * Rotate).TransformPosition(P), Rotate.TransformPosition(Mirror.TransformPosition(P)));
		const FVector InTurn = Mirror.TransformPosition(Rotate.TransformPosition(MirrorBoth.TransformPosition(P)));
		ExpectVectorNear((MirrorBoth * Rotate * Mirror).TransformPosition(P), InTurn);
	}
	EXPECT_TRUE((Rotate * Mirror).GetRotation().IsNormalized());
	ExpectVectorNear((Rotate * Mirror).GetScale3D(), FVector(-1, 1, 1));

	// A zero axis leaves nothing to recover a rotation from; the plain product is exact there.
	const FTransform Squash(FQuat::Identity, FVector(1, 0, 0), FVector(0, -1, 1));
	const FTransform Turn(FRotator(0, 90, 0), FVector::ZeroVector);
	ExpectVectorNear((Squash * Turn).TransformPosition(FVector(5, 2, 3)), FVector(2, 1, 3));
}

TEST(Transform, EqualsAndToString)
{
	const FQuat Q = FRotator(10, 20, 30).Quaternion();
	EXPECT_TRUE(FTransform(Q).Equals(FTransform(Q * -1.0)));
	EXPECT_FALSE(FTransform(FVector(1, 2, 3)).Equals(FTransform(FVector(1, 2, 3.0002))));
	EXPECT_TRUE(FTransform(FVector(1, 2, 3)).Equals(FTransform(FVector(1, 2, 3.0002)), 0.001));

	const FTransform T(FRotator(10, 20, 30), FVector(1, 2, 3), FVector(1, 1, 2));
	EXPECT_EQ(T.ToString().ToStdString(), "1.000000,2.000000,3.000000|10.000000,20.000000,30.000000|1.000000,1.000000,2.000000");
	const FTransform3f Single(T);
	EXPECT_EQ(Single.GetTranslation(), FVector3f(1, 2, 3));
	EXPECT_EQ(Single.GetScale3D(), FVector3f(1, 1, 2));
	EXPECT_TRUE(FQuat(Single.GetRotation()).Equals(T.GetRotation(), 1e-7));
}

// FColor --------------------------------------------------------------------------------------

TEST(Color, MemoryLayoutIsBGRA)
{
	const FColor C(1, 2, 3, 4);
	uint8 Bytes[4] = {};
	std::memcpy(Bytes, &C, sizeof(Bytes));
	EXPECT_EQ(Bytes[0], 3);
	EXPECT_EQ(Bytes[1], 2);
	EXPECT_EQ(Bytes[2], 1);
	EXPECT_EQ(Bytes[3], 4);
	EXPECT_EQ(C.DWColor(), 0x04010203u);
	EXPECT_EQ(C.ToPackedARGB(), 0x04010203u);
	EXPECT_EQ(C.ToPackedABGR(), 0x04030201u);
	EXPECT_EQ(C.ToPackedRGBA(), 0x01020304u);
	EXPECT_EQ(C.ToPackedBGRA(), 0x03020104u);
	EXPECT_EQ(FColor(0x04010203u), C);
	EXPECT_EQ(FColor(9, 8, 7).A, 255);
	EXPECT_NE(FColor::Black, FColor::Transparent);
}

TEST(Color, TextFormsAndSaturatingSum)
{
	EXPECT_EQ(FColor(255, 0, 128).ToHex().ToStdString(), "FF0080FF");
	EXPECT_EQ(FColor(10, 11, 12, 13).ToHex().ToStdString(), "0A0B0C0D");
	EXPECT_EQ(FColor(255, 0, 128).ToString().ToStdString(), "(R=255,G=0,B=128,A=255)");
	FColor Sum(200, 10, 0, 255);
	Sum += FColor(100, 10, 0, 1);
	EXPECT_EQ(Sum, FColor(255, 20, 0, 255));
	EXPECT_EQ(FColor::Red.WithAlpha(0), FColor(255, 0, 0, 0));
	EXPECT_NE(GetTypeHash(FColor(1, 2, 3)), GetTypeHash(FColor(3, 2, 1)));
}

// FLinearColor --------------------------------------------------------------------------------

TEST(LinearColor, DecodesSRGBBytesAndKeepsAlphaLinear)
{
	const FLinearColor C(FColor(255, 0, 128, 128));
	EXPECT_EQ(C.R, 1.0f);
	EXPECT_EQ(C.G, 0.0f);
	EXPECT_NEAR(C.B, 0.2158605, 1e-6);
	EXPECT_EQ(C.A, 128.0f / 255.0f);
	// 10 is on the linear segment of the curve, 11 on the power segment.
	EXPECT_NEAR(FLinearColor(FColor(10, 11, 0)).R, 10.0 / 255.0 / 12.92, 1e-9);
	EXPECT_NEAR(FLinearColor(FColor(10, 11, 0)).G, 0.0033465358, 1e-9);
	EXPECT_EQ(FLinearColor::FromSRGBColor(FColor(128, 0, 0)).R, C.B);
	// Reinterpreting skips the decoding.
	EXPECT_EQ(FColor(128, 0, 0).ReinterpretAsLinear().R, 128.0f / 255.0f);
}

TEST(LinearColor, TableMatchesTheSRGBCurve)
{
	for (int32 Index = 0; Index < 256; ++Index)
	{
		const double Encoded = Index / 255.0;
		const double Expected = Encoded <= 0.04045 ? Encoded / 12.92 : std::pow((Encoded + 0.055) / 1.055, 2.4);
		EXPECT_NEAR(FLinearColor::sRGBToLinearTable[Index], Expected, 1e-7) << "entry " << Index;
	}
}

TEST(LinearColor, EveryByteSurvivesTheSRGBRoundTrip)
{
	for (int32 Index = 0; Index < 256; ++Index)
	{
		const uint8 Byte = static_cast<uint8>(Index);
		const FColor Original(Byte, Byte, Byte, Byte);
		EXPECT_EQ(FLinearColor(Original).ToFColor(true), Original) << "byte " << Index;
		EXPECT_EQ(Original.ReinterpretAsLinear().ToFColor(false), Original) << "byte " << Index;
	}
}

TEST(LinearColor, QuantisingClampsAndRounds)
{
	const FLinearColor C(2.0f, -1.0f, 0.5f, 0.5f);
	// Linear: 0.5 * 255 = 127.5 rounds up.
	EXPECT_EQ(C.ToFColor(false), FColor(255, 0, 128, 128));
	EXPECT_EQ(C.QuantizeRound(), FColor(255, 0, 128, 128));
	EXPECT_EQ(C.QuantizeFloor(), FColor(255, 0, 127, 127));
	// sRGB: 0.5 encodes to 0.7354, times 255.999 floors to 188; alpha stays linear.
	EXPECT_EQ(C.ToFColor(true), FColor(255, 0, 188, 127));
	EXPECT_EQ(C.ToFColorSRGB(), FColor(255, 0, 188, 127));
	EXPECT_EQ(FLinearColor::Red.ToFColor(true), FColor::Red);
	EXPECT_EQ(FLinearColor::Transparent.ToFColor(true), FColor::Transparent);
	EXPECT_EQ(FLinearColor::White.ToFColor(false), FColor::White);
}

TEST(LinearColor, ArithmeticComparisonAndToString)
{
	const FLinearColor A(0.5f, 0.25f, 1.0f, 1.0f);
	const FLinearColor B(0.25f, 0.25f, 0.5f, 0.5f);
	EXPECT_EQ(A + B, FLinearColor(0.75f, 0.5f, 1.5f, 1.5f));
	EXPECT_EQ(A - B, FLinearColor(0.25f, 0.0f, 0.5f, 0.5f));
	EXPECT_EQ(A * B, FLinearColor(0.125f, 0.0625f, 0.5f, 0.5f));
	EXPECT_EQ(A * 2.0f, FLinearColor(1.0f, 0.5f, 2.0f, 2.0f));
	EXPECT_EQ(2.0f * A, A * 2.0f);
	EXPECT_EQ(A / 2.0f, FLinearColor(0.25f, 0.125f, 0.5f, 0.5f));
	FLinearColor C = A;
	C += B;
	C *= 2.0f;
	EXPECT_EQ(C, FLinearColor(1.5f, 1.0f, 3.0f, 3.0f));
	EXPECT_NE(A, B);

	EXPECT_TRUE(A.Equals(FLinearColor(0.50005f, 0.25f, 1.0f, 1.0f)));
	EXPECT_FALSE(A.Equals(FLinearColor(0.5f, 0.25f, 1.0f, 0.999f)));
	EXPECT_EQ(FLinearColor(1.5f, -0.5f, 0.5f, 2.0f).GetClamped(), FLinearColor(1.0f, 0.0f, 0.5f, 1.0f));
	EXPECT_EQ(FLinearColor(1.5f, -0.5f, 0.5f, 2.0f).GetClamped(0.0f, 0.75f), FLinearColor(0.75f, 0.0f, 0.5f, 0.75f));
	EXPECT_EQ(A.CopyWithNewOpacity(0.0f), FLinearColor(0.5f, 0.25f, 1.0f, 0.0f));
	EXPECT_EQ(FLinearColor(1.0f, 0.5f, 0.0f).ToString().ToStdString(), "(R=1.000000,G=0.500000,B=0.000000,A=1.000000)");
	EXPECT_EQ(FLinearColor::Gray.ToFColor(false), FColor(128, 128, 128));
}
