#pragma once

// TScaleMatrix: the matrix that scales each axis, the first factor of a transform's matrix.

#include "Math/Matrix.h"
#include "Math/Vector.h"

namespace UE::Math
{
	template <typename T>
	struct TScaleMatrix : TMatrix<T>
	{
		explicit TScaleMatrix(const TVector<T>& Scale)
			: TMatrix<T>(TVector<T>(Scale.X, 0, 0), TVector<T>(0, Scale.Y, 0), TVector<T>(0, 0, Scale.Z), TVector<T>(0, 0, 0))
		{
		}
		explicit TScaleMatrix(T Scale) : TScaleMatrix(TVector<T>(Scale)) {}
	};
}

using FScaleMatrix = UE::Math::TScaleMatrix<double>;
using FScaleMatrix44f = UE::Math::TScaleMatrix<float>;
