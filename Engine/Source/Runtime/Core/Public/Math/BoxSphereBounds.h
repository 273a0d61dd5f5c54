#pragma once

// TBoxSphereBounds: a box and a sphere about one origin, both enclosing the same geometry;
// the bounds a scene component keeps (FBoxSphereBounds in double, FBoxSphereBounds3f in float).

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/Box.h"
#include "Math/Matrix.h"
#include "Math/QuatRotationTranslationMatrix.h"
#include "Math/ScaleMatrix.h"
#include "Math/Transform.h"
#include "Math/Vector.h"

#include <type_traits>

namespace UE::Math
{
	template <typename T>
	struct TBoxSphereBounds
	{
		static_assert(std::is_floating_point_v<T>, "TBoxSphereBounds holds float or double components");

		TVector<T> Origin = TVector<T>(0, 0, 0);
		/** Half the box's size along each axis. */
		TVector<T> BoxExtent = TVector<T>(0, 0, 0);
		T SphereRadius = 0;

		/** Zero bounds at the origin (the engine leaves them uninitialised). */
		constexpr TBoxSphereBounds() = default;
		constexpr TBoxSphereBounds(const TVector<T>& InOrigin, const TVector<T>& InBoxExtent, T InSphereRadius)
			: Origin(InOrigin), BoxExtent(InBoxExtent), SphereRadius(InSphereRadius)
		{
		}
		/** The bounds of Box, with the sphere through its corners; zero bounds for an invalid box. */
		explicit TBoxSphereBounds(const TBox<T>& Box)
		{
			if (Box.IsValid)
			{
				Origin = Box.GetCenter();
				BoxExtent = Box.GetExtent();
				SphereRadius = BoxExtent.Size();
			}
		}

		TBox<T> GetBox() const { return TBox<T>(Origin - BoxExtent, Origin + BoxExtent); }

		/**
		 * The bounds moved by Transform. The box is the axis-aligned box around the moved box (so
		 * a rotation can only grow it); the sphere is scaled by the largest axis scale.
		 */
		TBoxSphereBounds TransformBy(const TTransform<T>& Transform) const
		{
			const TMatrix<T> M = TScaleMatrix<T>(Transform.GetScale3D())
				* TQuatRotationTranslationMatrix<T>(Transform.GetRotation(), Transform.GetTranslation());
			TBoxSphereBounds Result;
			Result.Origin = M.TransformPosition(Origin);
			for (int32 Axis = 0; Axis < 3; ++Axis)
			{
				Result.BoxExtent[Axis] = FMath::Abs(M.M[0][Axis]) * BoxExtent.X + FMath::Abs(M.M[1][Axis]) * BoxExtent.Y
					+ FMath::Abs(M.M[2][Axis]) * BoxExtent.Z;
			}
			T MaxAxisLengthSquared = 0;
			for (int32 Row = 0; Row < 3; ++Row)
			{
				MaxAxisLengthSquared = FMath::Max(MaxAxisLengthSquared, TVector<T>(M.M[Row][0], M.M[Row][1], M.M[Row][2]).SizeSquared());
			}
			Result.SphereRadius = SphereRadius * FMath::Sqrt(MaxAxisLengthSquared);
			return Result;
		}

		FString ToString() const
		{
			return FString::Printf("Origin=%s, BoxExtent=(%s), SphereRadius=(%f)", *Origin.ToString(), *BoxExtent.ToString(),
				static_cast<double>(SphereRadius));
		}
	};
}

using FBoxSphereBounds = UE::Math::TBoxSphereBounds<double>;
using FBoxSphereBounds3d = UE::Math::TBoxSphereBounds<double>;
using FBoxSphereBounds3f = UE::Math::TBoxSphereBounds<float>;
