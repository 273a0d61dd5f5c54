#pragma once

// TQuatRotationTranslationMatrix: the matrix of a rotation followed by a translation, the
// matrix form of an unscaled FTransform. Scale it with TScaleMatrix first for the full
// scale-rotation-translation: FScaleMatrix(S) * FQuatRotationTranslationMatrix(Q, T).

#include "Math/Matrix.h"
#include "Math/Quat.h"
#include "Math/Vector.h"

namespace UE::Math
{
	template <typename T>
	struct TQuatRotationTranslationMatrix : TMatrix<T>
	{
		/** Q must be a unit quaternion; its rows are the rotated axes. */
		TQuatRotationTranslationMatrix(const TQuat<T>& Q, const TVector<T>& Origin)
			: TMatrix<T>(Q.RotateVector(TVector<T>(1, 0, 0)), Q.RotateVector(TVector<T>(0, 1, 0)), Q.RotateVector(TVector<T>(0, 0, 1)), Origin)
		{
		}
	};

	template <typename T>
	struct TQuatRotationMatrix : TQuatRotationTranslationMatrix<T>
	{
		explicit TQuatRotationMatrix(const TQuat<T>& Q) : TQuatRotationTranslationMatrix<T>(Q, TVector<T>(0, 0, 0)) {}
	};
}

using FQuatRotationTranslationMatrix = UE::Math::TQuatRotationTranslationMatrix<double>;
using FQuatRotationTranslationMatrix44f = UE::Math::TQuatRotationTranslationMatrix<float>;
using FQuatRotationMatrix = UE::Math::TQuatRotationMatrix<double>;
using FQuatRotationMatrix44f = UE::Math::TQuatRotationMatrix<float>;
