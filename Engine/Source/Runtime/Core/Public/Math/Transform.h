#pragma once

// TTransform: scale, then rotation, then translation (FTransform in double, FTransform3f in
// float). A point P maps to Rotation.RotateVector(Scale3D * P) + Translation. Products follow
// the engine: A * B applies A first, then B.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Math/Quat.h"
#include "Math/Rotator.h"
#include "Math/UnrealMathUtility.h"
#include "Math/Vector.h"

#include <type_traits>

namespace UE::Math::Private
{
	/** The rotation whose rotation matrix has the given orthonormal, right-handed columns. */
	template <typename T>
	TQuat<T> QuatFromAxes(const TVector<T>& AxisX, const TVector<T>& AxisY, const TVector<T>& AxisZ)
	{
		// Element (Row, Column) of the matrix is component Row of Axis[Column]. The largest of
		// W, X, Y, Z is taken from the diagonal first, so that the division below is by at
		// least one: the other branches would lose precision near 180-degree turns.
		const T Trace = AxisX.X + AxisY.Y + AxisZ.Z;
		if (Trace > T(0))
		{
			const T S = FMath::Sqrt(Trace + T(1)) * T(2);
			return TQuat<T>((AxisY.Z - AxisZ.Y) / S, (AxisZ.X - AxisX.Z) / S, (AxisX.Y - AxisY.X) / S, S / T(4));
		}
		if (AxisX.X >= AxisY.Y && AxisX.X >= AxisZ.Z)
		{
			const T S = FMath::Sqrt(T(1) + AxisX.X - AxisY.Y - AxisZ.Z) * T(2);
			return TQuat<T>(S / T(4), (AxisX.Y + AxisY.X) / S, (AxisZ.X + AxisX.Z) / S, (AxisY.Z - AxisZ.Y) / S);
		}
		if (AxisY.Y >= AxisZ.Z)
		{
			const T S = FMath::Sqrt(T(1) + AxisY.Y - AxisX.X - AxisZ.Z) * T(2);
			return TQuat<T>((AxisX.Y + AxisY.X) / S, S / T(4), (AxisY.Z + AxisZ.Y) / S, (AxisZ.X - AxisX.Z) / S);
		}
		const T S = FMath::Sqrt(T(1) + AxisZ.Z - AxisX.X - AxisY.Y) * T(2);
		return TQuat<T>((AxisZ.X + AxisX.Z) / S, (AxisY.Z + AxisZ.Y) / S, S / T(4), (AxisX.Y - AxisY.X) / S);
	}
}

namespace UE::Math
{
	template <typename T>
	struct TTransform
	{
		static_assert(std::is_floating_point_v<T>, "TTransform holds float or double components");
		using FReal = T;

		/** The transform that changes nothing. */
		static const TTransform Identity;

		/** The identity. */
		constexpr TTransform() : Rotation(0, 0, 0, 1), Translation(0, 0, 0), Scale3D(1, 1, 1) {}
		explicit constexpr TTransform(const TVector<T>& InTranslation)
			: Rotation(0, 0, 0, 1), Translation(InTranslation), Scale3D(1, 1, 1)
		{
		}
		explicit constexpr TTransform(const TQuat<T>& InRotation) : Rotation(InRotation), Translation(0, 0, 0), Scale3D(1, 1, 1) {}
		explicit TTransform(const TRotator<T>& InRotation) : TTransform(InRotation.Quaternion()) {}
		constexpr TTransform(const TQuat<T>& InRotation, const TVector<T>& InTranslation, const TVector<T>& InScale3D = TVector<T>(1, 1, 1))
			: Rotation(InRotation), Translation(InTranslation), Scale3D(InScale3D)
		{
		}
		TTransform(const TRotator<T>& InRotation, const TVector<T>& InTranslation, const TVector<T>& InScale3D = TVector<T>(1, 1, 1))
			: TTransform(InRotation.Quaternion(), InTranslation, InScale3D)
		{
		}
		/** Conversion from the other precision. */
		template <typename FArg>
			requires(!std::is_same_v<T, FArg>)
		explicit TTransform(const TTransform<FArg>& From)
			: Rotation(From.GetRotation()), Translation(From.GetTranslation()), Scale3D(From.GetScale3D())
		{
		}

		const TQuat<T>& GetRotation() const { return Rotation; }
		void SetRotation(const TQuat<T>& NewRotation) { Rotation = NewRotation; }
		TRotator<T> Rotator() const { return Rotation.Rotator(); }
		const TVector<T>& GetTranslation() const { return Translation; }
		void SetTranslation(const TVector<T>& NewTranslation) { Translation = NewTranslation; }
		TVector<T> GetLocation() const { return Translation; }
		void SetLocation(const TVector<T>& Origin) { Translation = Origin; }
		const TVector<T>& GetScale3D() const { return Scale3D; }
		void SetScale3D(const TVector<T>& NewScale3D) { Scale3D = NewScale3D; }
		void SetIdentity() { *this = Identity; }

		/** A point from local to world space: scaled, rotated, then translated. */
		TVector<T> TransformPosition(const TVector<T>& V) const { return Rotation.RotateVector(Scale3D * V) + Translation; }
		/** A point rotated and translated, ignoring the scale. */
		TVector<T> TransformPositionNoScale(const TVector<T>& V) const { return Rotation.RotateVector(V) + Translation; }
		/** A direction: scaled and rotated, not translated. */
		TVector<T> TransformVector(const TVector<T>& V) const { return Rotation.RotateVector(Scale3D * V); }
		TVector<T> TransformVectorNoScale(const TVector<T>& V) const { return Rotation.RotateVector(V); }
		/** The point that TransformPosition maps to V; a zero scale axis gives 0 along it. */
		TVector<T> InverseTransformPosition(const TVector<T>& V) const
		{
			return Rotation.UnrotateVector(V - Translation) * GetSafeScaleReciprocal(Scale3D);
		}
		/** The direction that TransformVector maps to V; a zero scale axis gives 0 along it. */
		TVector<T> InverseTransformVector(const TVector<T>& V) const
		{
			return Rotation.UnrotateVector(V) * GetSafeScaleReciprocal(Scale3D);
		}

		/** Each component's reciprocal, with 0 for a component within Tolerance of zero. */
		static TVector<T> GetSafeScaleReciprocal(const TVector<T>& InScale, T Tolerance = UE_SMALL_NUMBER)
		{
			auto Reciprocal = [Tolerance](T Value) { return FMath::Abs(Value) <= Tolerance ? T(0) : T(1) / Value; };
			return TVector<T>(Reciprocal(InScale.X), Reciprocal(InScale.Y), Reciprocal(InScale.Z));
		}

		/**
		 * The transform applying A, then B. The scales multiply component-wise and the
		 * translation is A's moved by B. A rotation followed by a non-uniform scale is not a
		 * scale-rotation-translation any more, so the result then only approximates the two
		 * steps, as in the engine.
		 *
		 * With a negative scale the rotation B.Rotation * A.Rotation is wrong (a mirror moved
		 * through a rotation mirrors across another plane), so the rotation is recovered from the
		 * combined axes instead, with the mirroring kept in the signs of the scale.
		 */
		static void Multiply(TTransform* OutTransform, const TTransform* A, const TTransform* B)
		{
			// Everything is computed before anything is written, so OutTransform may be A or B.
			const TVector<T> NewScale = A->Scale3D * B->Scale3D;
			const TVector<T> NewTranslation = B->Rotation.RotateVector(B->Scale3D * A->Translation) + B->Translation;
			TQuat<T> NewRotation = B->Rotation * A->Rotation;
			if (A->Scale3D.GetMin() < T(0) || B->Scale3D.GetMin() < T(0))
			{
				TQuat<T> Recovered;
				if (RotationFromMirroredAxes(*A, *B, NewScale, Recovered))
				{
					NewRotation = Recovered;
				}
			}
			OutTransform->Rotation = NewRotation;
			OutTransform->Translation = NewTranslation;
			OutTransform->Scale3D = NewScale;
		}
		TTransform operator*(const TTransform& Other) const
		{
			TTransform Result;
			Multiply(&Result, this, &Other);
			return Result;
		}
		TTransform& operator*=(const TTransform& Other) { return *this = *this * Other; }
		/** This transform followed by the rotation Other. */
		TTransform operator*(const TQuat<T>& Other) const { return *this * TTransform(Other); }

		/** The transform undoing this one (exactly so when the scale is uniform); zero scale axes stay zero. */
		TTransform Inverse() const
		{
			const TQuat<T> InvRotation = Rotation.Inverse();
			const TVector<T> InvScale3D = GetSafeScaleReciprocal(Scale3D);
			// Chosen so that the inverse takes Translation back to the origin.
			const TVector<T> InvTranslation = InvRotation.RotateVector(InvScale3D * -Translation);
			return TTransform(InvRotation, InvTranslation, InvScale3D);
		}

		/** Whether rotation (either sign), translation and scale are each within Tolerance. */
		bool Equals(const TTransform& Other, T Tolerance = UE_KINDA_SMALL_NUMBER) const
		{
			return Rotation.Equals(Other.Rotation, Tolerance) && Translation.Equals(Other.Translation, Tolerance)
				&& Scale3D.Equals(Other.Scale3D, Tolerance);
		}

		/** "Tx,Ty,Tz|Pitch,Yaw,Roll|Sx,Sy,Sz" with six decimals each: translation, rotation in degrees, scale. */
		FString ToString() const
		{
			const TRotator<T> R = Rotator();
			return FString::Printf("%f,%f,%f|%f,%f,%f|%f,%f,%f", static_cast<double>(Translation.X),
				static_cast<double>(Translation.Y), static_cast<double>(Translation.Z), static_cast<double>(R.Pitch),
				static_cast<double>(R.Yaw), static_cast<double>(R.Roll), static_cast<double>(Scale3D.X),
				static_cast<double>(Scale3D.Y), static_cast<double>(Scale3D.Z));
		}

	protected:
		TQuat<T> Rotation;
		TVector<T> Translation;
		TVector<T> Scale3D;

	private:
		/**
		 * The rotation R for which R applied after Scale gives the linear part of A then B, found
		 * from the images of the three axes with their lengths removed and the scale's signs
		 * put back. False when an axis collapses to zero (a zero scale), leaving no direction.
		 */
		static bool RotationFromMirroredAxes(const TTransform& A, const TTransform& B, const TVector<T>& Scale, TQuat<T>& OutRotation)
		{
			TVector<T> Axes[3] = {
				B.TransformVector(A.TransformVector(TVector<T>(1, 0, 0))),
				B.TransformVector(A.TransformVector(TVector<T>(0, 1, 0))),
				B.TransformVector(A.TransformVector(TVector<T>(0, 0, 1))),
			};
			for (int32 Index = 0; Index < 3; ++Index)
			{
				if (!Axes[Index].Normalize())
				{
					return false;
				}
				if (Scale[Index] < T(0))
				{
					Axes[Index] = -Axes[Index];
				}
			}
			OutRotation = Private::QuatFromAxes(Axes[0], Axes[1], Axes[2]).GetNormalized();
			return true;
		}
	};

	template <typename T>
	const TTransform<T> TTransform<T>::Identity;
}
