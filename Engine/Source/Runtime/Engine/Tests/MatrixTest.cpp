// The matrix and bounds types the scene code adds to Core's math.

#include "CoreMinimal.h"
#include "Math/BoxSphereBounds.h"
#include "Math/Matrix.h"
#include "Math/QuatRotationTranslationMatrix.h"
#include "Math/ScaleMatrix.h"

#include <gtest/gtest.h>

namespace
{
	FMatrix MatrixOf(const FTransform& Transform)
	{
		return FScaleMatrix(Transform.GetScale3D()) * FQuatRotationTranslationMatrix(Transform.GetRotation(), Transform.GetTranslation());
	}

	void ExpectNear(const FVector& Actual, const FVector& Expected, double Tolerance = 1e-9)
	{
		EXPECT_TRUE(Actual.Equals(Expected, Tolerance)) << *Actual.ToString() << " vs " << *Expected.ToString();
	}
}

TEST(MatrixTest, TransformMatricesMapPointsAsTheTransformDoes)
{
	const FTransform Transform(FQuat(FVector(0.3, -1, 2), 1.1), FVector(5, -7, 2.5), FVector(2, 0.5, 3));
	const FMatrix M = MatrixOf(Transform);
	for (const FVector& Point : {FVector(0, 0, 0), FVector(1, 2, 3), FVector(-4, 0.25, 9)})
	{
		ExpectNear(M.TransformPosition(Point), Transform.TransformPosition(Point));
		ExpectNear(M.TransformVector(Point), Transform.TransformVector(Point));
	}
	ExpectNear(M.GetOrigin(), FVector(5, -7, 2.5));
}

TEST(MatrixTest, ProductsApplyTheLeftMatrixFirst)
{
	const FTransform First(FQuat(FVector(0, 0, 1), UE_DOUBLE_HALF_PI), FVector(1, 0, 0));
	const FTransform Second(FQuat::Identity, FVector(0, 0, 10), FVector(2, 2, 2));
	const FVector Point(1, 1, 1);
	// First: rotate (1,1,1) to (-1,1,1) then move to (0,1,1); second: scale to (0,2,2) then move up.
	ExpectNear((MatrixOf(First) * MatrixOf(Second)).TransformPosition(Point), FVector(0, 2, 12));
	ExpectNear((MatrixOf(First) * MatrixOf(Second)).TransformPosition(Point), (First * Second).TransformPosition(Point));
}

TEST(MatrixTest, InverseUndoesTheMatrixAndSingularMatricesGiveIdentity)
{
	const FMatrix M = MatrixOf(FTransform(FQuat(FVector(1, 1, 0), 0.7), FVector(3, 4, 5), FVector(1, 2, 4)));
	EXPECT_TRUE((M * M.Inverse()).Equals(FMatrix::Identity, 1e-12)) << *(M * M.Inverse()).ToString();
	EXPECT_NEAR(M.Determinant(), 8.0, 1e-12);

	const FMatrix Flat = FScaleMatrix(FVector(1, 0, 1));
	EXPECT_EQ(Flat.Determinant(), 0.0);
	EXPECT_EQ(Flat.Inverse(), FMatrix::Identity);
}

TEST(MatrixTest, PrecisionConversionAndBlendingArithmetic)
{
	const FMatrix44f Single(MatrixOf(FTransform(FVector(1.5, 2, 3))));
	EXPECT_FLOAT_EQ(Single.M[3][0], 1.5f);
	const FMatrix44f Half = FMatrix44f::Identity * 0.5f + Single * 0.5f;
	EXPECT_TRUE(Half.TransformPosition(FVector3f(0, 0, 0)).Equals(FVector3f(0.75f, 1.0f, 1.5f)));
	EXPECT_FLOAT_EQ(Half.M[0][0], 1.0f);
	EXPECT_EQ(Single.GetTransposed().M[0][3], 1.5f);
}

TEST(MatrixTest, BoxesGrowAroundWhatIsAddedAndMoveAsTheirCorners)
{
	FBox Box;
	EXPECT_FALSE(Box.IsValid);
	Box += FVector(1, 2, 3);
	EXPECT_TRUE(Box.IsValid);
	EXPECT_EQ(Box.Min, FVector(1, 2, 3));
	Box += FVector(-1, 5, 3);
	EXPECT_EQ(Box.Min, FVector(-1, 2, 3));
	EXPECT_EQ(Box.Max, FVector(1, 5, 3));
	EXPECT_EQ(Box.GetCenter(), FVector(0, 3.5, 3));
	EXPECT_TRUE(Box.IsInsideOrOn(FVector(0, 2, 3)));
	EXPECT_FALSE(Box.IsInsideOrOn(FVector(0, 1.9, 3)));
	EXPECT_FALSE(FBox(TArray<FVector>()).IsValid);

	const FBox Turned = FBox(FVector(0, 0, 0), FVector(2, 1, 1)).TransformBy(FTransform(FQuat(FVector(0, 0, 1), UE_DOUBLE_HALF_PI)));
	ExpectNear(Turned.Min, FVector(-1, 0, 0));
	ExpectNear(Turned.Max, FVector(0, 2, 1));
	EXPECT_FALSE(FBox().TransformBy(FTransform(FVector(1, 1, 1))).IsValid);
}

TEST(MatrixTest, BoundsFollowTheirBoxThroughTransforms)
{
	const FBoxSphereBounds Bounds(FBox(FVector(-1, -2, -2), FVector(1, 2, 2)));
	EXPECT_EQ(Bounds.Origin, FVector(0, 0, 0));
	EXPECT_EQ(Bounds.BoxExtent, FVector(1, 2, 2));
	EXPECT_DOUBLE_EQ(Bounds.SphereRadius, 3.0);
	EXPECT_EQ(FBoxSphereBounds(FBox()).SphereRadius, 0.0);

	const FBoxSphereBounds Moved = Bounds.TransformBy(FTransform(FQuat(FVector(0, 0, 1), UE_DOUBLE_HALF_PI), FVector(10, 0, 0), FVector(2, 2, 2)));
	ExpectNear(Moved.Origin, FVector(10, 0, 0));
	ExpectNear(Moved.BoxExtent, FVector(4, 2, 4));
	EXPECT_NEAR(Moved.SphereRadius, 6.0, 1e-9);
	ExpectNear(Moved.GetBox().Max, FVector(14, 2, 4));
}
