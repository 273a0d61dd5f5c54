#pragma once

// TMatrix: a 4 × 4 matrix (FMatrix in double, FMatrix44f in float) in the engine's row-vector
// convention: a point P maps to (P, 1) * M, so the translation is the last row and A * B
// applies A first, then B, the same order as FTransform products.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Math/UnrealMathUtility.h"
#include "Math/Vector.h"

#include <type_traits>

namespace UE::Math
{
	template <typename T>
	struct alignas(16) TMatrix
	{
		static_assert(std::is_floating_point_v<T>, "TMatrix holds float or double elements");
		using FReal = T;

		/** M[Row][Column]. */
		T M[4][4];

		static const TMatrix Identity;

		/** The identity (the engine leaves the elements uninitialised). */
		constexpr TMatrix() : M{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}} {}
		/** The matrix with rows InX, InY, InZ and InW, each extended by 0 (the last by 1). */
		constexpr TMatrix(const TVector<T>& InX, const TVector<T>& InY, const TVector<T>& InZ, const TVector<T>& InW)
			: M{{InX.X, InX.Y, InX.Z, 0}, {InY.X, InY.Y, InY.Z, 0}, {InZ.X, InZ.Y, InZ.Z, 0}, {InW.X, InW.Y, InW.Z, 1}}
		{
		}
		/** Conversion from the other precision. */
		template <typename FArg>
			requires(!std::is_same_v<T, FArg>)
		explicit constexpr TMatrix(const TMatrix<FArg>& From)
		{
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					M[Row][Column] = static_cast<T>(From.M[Row][Column]);
				}
			}
		}

		/** This matrix, then Other. */
		constexpr TMatrix operator*(const TMatrix& Other) const
		{
			TMatrix Result;
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					Result.M[Row][Column] = M[Row][0] * Other.M[0][Column] + M[Row][1] * Other.M[1][Column] + M[Row][2] * Other.M[2][Column]
						+ M[Row][3] * Other.M[3][Column];
				}
			}
			return Result;
		}
		constexpr TMatrix& operator*=(const TMatrix& Other) { return *this = *this * Other; }
		/** Every element scaled, as skinning weights blend matrices. */
		constexpr TMatrix operator*(T Scale) const
		{
			TMatrix Result;
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					Result.M[Row][Column] = M[Row][Column] * Scale;
				}
			}
			return Result;
		}
		constexpr TMatrix operator+(const TMatrix& Other) const
		{
			TMatrix Result;
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					Result.M[Row][Column] = M[Row][Column] + Other.M[Row][Column];
				}
			}
			return Result;
		}
		constexpr TMatrix& operator+=(const TMatrix& Other) { return *this = *this + Other; }

		constexpr bool operator==(const TMatrix& Other) const
		{
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					if (M[Row][Column] != Other.M[Row][Column])
					{
						return false;
					}
				}
			}
			return true;
		}
		/** Whether every element is within Tolerance of Other's. */
		bool Equals(const TMatrix& Other, T Tolerance = UE_KINDA_SMALL_NUMBER) const
		{
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					if (FMath::Abs(M[Row][Column] - Other.M[Row][Column]) > Tolerance)
					{
						return false;
					}
				}
			}
			return true;
		}

		/** A point: (P, 1) * M, divided by nothing (affine matrices keep w = 1). */
		constexpr TVector<T> TransformPosition(const TVector<T>& P) const
		{
			return TVector<T>(P.X * M[0][0] + P.Y * M[1][0] + P.Z * M[2][0] + M[3][0], P.X * M[0][1] + P.Y * M[1][1] + P.Z * M[2][1] + M[3][1],
				P.X * M[0][2] + P.Y * M[1][2] + P.Z * M[2][2] + M[3][2]);
		}
		/** A direction: (V, 0) * M, untouched by the translation. */
		constexpr TVector<T> TransformVector(const TVector<T>& V) const
		{
			return TVector<T>(V.X * M[0][0] + V.Y * M[1][0] + V.Z * M[2][0], V.X * M[0][1] + V.Y * M[1][1] + V.Z * M[2][1],
				V.X * M[0][2] + V.Y * M[1][2] + V.Z * M[2][2]);
		}

		constexpr TVector<T> GetOrigin() const { return TVector<T>(M[3][0], M[3][1], M[3][2]); }

		constexpr TMatrix GetTransposed() const
		{
			TMatrix Result;
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					Result.M[Row][Column] = M[Column][Row];
				}
			}
			return Result;
		}

		constexpr T Determinant() const
		{
			return M[0][0] * Minor(1, 2, 3, 1, 2, 3) - M[1][0] * Minor(0, 2, 3, 1, 2, 3) + M[2][0] * Minor(0, 1, 3, 1, 2, 3)
				- M[3][0] * Minor(0, 1, 2, 1, 2, 3);
		}

		/**
		 * The inverse, by cofactors. A singular matrix (zero or non-finite determinant) has none;
		 * as in the engine it yields the identity, so callers that can meet one test
		 * Determinant() first.
		 */
		TMatrix Inverse() const
		{
			const T Det = Determinant();
			if (Det == T(0) || !FMath::IsFinite(Det))
			{
				return Identity;
			}
			TMatrix Result;
			const int32 Others[4][3] = {{1, 2, 3}, {0, 2, 3}, {0, 1, 3}, {0, 1, 2}};
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					const int32* Rows = Others[Row];
					const int32* Columns = Others[Column];
					const T Cofactor = Minor(Rows[0], Rows[1], Rows[2], Columns[0], Columns[1], Columns[2]);
					// The adjugate is the transposed cofactor matrix.
					Result.M[Column][Row] = ((Row + Column) % 2 == 0 ? Cofactor : -Cofactor) / Det;
				}
			}
			return Result;
		}

		/** "[a b c d] [e f g h] ..." row by row, for test failure messages. */
		FString ToString() const
		{
			FString Out;
			for (int32 Row = 0; Row < 4; ++Row)
			{
				Out += FString::Printf("[%g %g %g %g] ", static_cast<double>(M[Row][0]), static_cast<double>(M[Row][1]),
					static_cast<double>(M[Row][2]), static_cast<double>(M[Row][3]));
			}
			return Out;
		}

	private:
		/** The determinant of the 3 × 3 submatrix of rows R0..R2 and columns C0..C2. */
		constexpr T Minor(int32 R0, int32 R1, int32 R2, int32 C0, int32 C1, int32 C2) const
		{
			return M[R0][C0] * (M[R1][C1] * M[R2][C2] - M[R1][C2] * M[R2][C1]) - M[R0][C1] * (M[R1][C0] * M[R2][C2] - M[R1][C2] * M[R2][C0])
				+ M[R0][C2] * (M[R1][C0] * M[R2][C1] - M[R1][C1] * M[R2][C0]);
		}
	};

	template <typename T>
	const TMatrix<T> TMatrix<T>::Identity;
}

using FMatrix = UE::Math::TMatrix<double>;
using FMatrix44d = UE::Math::TMatrix<double>;
using FMatrix44f = UE::Math::TMatrix<float>;
