#pragma once

// TQuat: a rotation as a unit quaternion (FQuat in double, FQuat4f in float). Products
// follow the engine: (A * B) rotates by B first, then by A. Q and -Q are the same rotation.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Math/Rotator.h"
#include "Math/UnrealMathUtility.h"
#include "Math/Vector.h"
#include "Misc/AssertionMacros.h"
#include "Templates/TypeHash.h"

#include <type_traits>

namespace UE::Math
{
	template <typename T>
	struct TQuat
	{
		static_assert(std::is_floating_point_v<T>, "TQuat holds float or double components");
		using FReal = T;

		T X = 0;
		T Y = 0;
		T Z = 0;
		T W = 1;

		/** No rotation: (0, 0, 0, 1). */
		static const TQuat Identity;

		/** The identity (the engine leaves the components uninitialised). */
		constexpr TQuat() = default;
		constexpr TQuat(T InX, T InY, T InZ, T InW) : X(InX), Y(InY), Z(InZ), W(InW) {}
		/** The rotation of a rotator. */
		explicit TQuat(const TRotator<T>& R) { *this = R.Quaternion(); }
		/**
		 * A rotation of AngleRad radians about Axis, counter-clockwise looking down the axis
		 * towards the origin. The axis is normalised here, so any length will do; a zero axis
		 * has no direction and is a failed check.
		 */
		TQuat(const TVector<T>& Axis, T AngleRad)
		{
			const TVector<T> UnitAxis = Axis.GetSafeNormal();
			checkf(!UnitAxis.IsZero(), "TQuat: the rotation axis %s has no direction", *Axis.ToString());
			T SinHalf;
			T CosHalf;
			FMath::SinCos(&SinHalf, &CosHalf, T(0.5) * AngleRad);
			X = UnitAxis.X * SinHalf;
			Y = UnitAxis.Y * SinHalf;
			Z = UnitAxis.Z * SinHalf;
			W = CosHalf;
		}
		/** Conversion from the other precision. */
		template <typename FArg>
			requires(!std::is_same_v<T, FArg>)
		explicit constexpr TQuat(const TQuat<FArg>& From)
			: X(static_cast<T>(From.X)), Y(static_cast<T>(From.Y)), Z(static_cast<T>(From.Z)), W(static_cast<T>(From.W))
		{
		}

		/** The composed rotation: Q first, then this one (the Hamilton product this * Q). */
		constexpr TQuat operator*(const TQuat& Q) const
		{
			return TQuat(W * Q.X + X * Q.W + Y * Q.Z - Z * Q.Y,
				W * Q.Y - X * Q.Z + Y * Q.W + Z * Q.X,
				W * Q.Z + X * Q.Y - Y * Q.X + Z * Q.W,
				W * Q.W - X * Q.X - Y * Q.Y - Z * Q.Z);
		}
		constexpr TQuat& operator*=(const TQuat& Q) { return *this = *this * Q; }
		/** V rotated by this quaternion. */
		TVector<T> operator*(const TVector<T>& V) const { return RotateVector(V); }

		// Component-wise arithmetic, as blending and interpolation use it.
		constexpr TQuat operator+(const TQuat& Q) const { return TQuat(X + Q.X, Y + Q.Y, Z + Q.Z, W + Q.W); }
		constexpr TQuat operator-(const TQuat& Q) const { return TQuat(X - Q.X, Y - Q.Y, Z - Q.Z, W - Q.W); }
		constexpr TQuat operator*(T Scale) const { return TQuat(X * Scale, Y * Scale, Z * Scale, W * Scale); }
		constexpr TQuat operator/(T Scale) const { return TQuat(X / Scale, Y / Scale, Z / Scale, W / Scale); }
		constexpr TQuat& operator+=(const TQuat& Q) { return *this = *this + Q; }
		constexpr TQuat& operator-=(const TQuat& Q) { return *this = *this - Q; }
		constexpr TQuat& operator*=(T Scale) { return *this = *this * Scale; }
		constexpr TQuat& operator/=(T Scale) { return *this = *this / Scale; }
		/** The four-component dot product. */
		constexpr T operator|(const TQuat& Q) const { return X * Q.X + Y * Q.Y + Z * Q.Z + W * Q.W; }

		/** Exact comparison of the components; Q and -Q differ here but not in Equals. */
		constexpr bool operator==(const TQuat& Q) const { return X == Q.X && Y == Q.Y && Z == Q.Z && W == Q.W; }
		constexpr bool operator!=(const TQuat& Q) const { return !(*this == Q); }

		/** Whether Q or -Q (the same rotation) is within Tolerance of this in every component. */
		bool Equals(const TQuat& Q, T Tolerance = UE_KINDA_SMALL_NUMBER) const
		{
			return (FMath::Abs(X - Q.X) <= Tolerance && FMath::Abs(Y - Q.Y) <= Tolerance && FMath::Abs(Z - Q.Z) <= Tolerance
					   && FMath::Abs(W - Q.W) <= Tolerance)
				|| (FMath::Abs(X + Q.X) <= Tolerance && FMath::Abs(Y + Q.Y) <= Tolerance && FMath::Abs(Z + Q.Z) <= Tolerance
					&& FMath::Abs(W + Q.W) <= Tolerance);
		}
		bool IsIdentity(T Tolerance = UE_SMALL_NUMBER) const { return Equals(Identity, Tolerance); }

		T Size() const { return FMath::Sqrt(SizeSquared()); }
		constexpr T SizeSquared() const { return X * X + Y * Y + Z * Z + W * W; }
		/** Whether the squared size is within UE_THRESH_QUAT_NORMALIZED of 1. */
		bool IsNormalized() const { return FMath::Abs(T(1) - SizeSquared()) < static_cast<T>(UE_THRESH_QUAT_NORMALIZED); }
		/**
		 * Scales to unit size in place. A quaternion whose squared size is below Tolerance has
		 * no meaningful direction and becomes the identity.
		 */
		void Normalize(T Tolerance = UE_SMALL_NUMBER)
		{
			const T SquareSum = SizeSquared();
			if (SquareSum >= Tolerance)
			{
				*this *= FMath::InvSqrt(SquareSum);
			}
			else
			{
				*this = Identity;
			}
		}
		TQuat GetNormalized(T Tolerance = UE_SMALL_NUMBER) const
		{
			TQuat Result(*this);
			Result.Normalize(Tolerance);
			return Result;
		}

		/**
		 * The inverse rotation, as the conjugate (-X, -Y, -Z, W). The conjugate is the inverse
		 * only for a unit quaternion, so a quaternion that is not normalised is a failed check
		 * rather than a silently wrong result.
		 */
		TQuat Inverse() const
		{
			checkf(IsNormalized(), "TQuat::Inverse of %s, which is not normalized", *ToString());
			return TQuat(-X, -Y, -Z, W);
		}

		/** V rotated by this (unit) quaternion. */
		TVector<T> RotateVector(const TVector<T>& V) const
		{
			// q v q* expanded: V + 2W (q x V) + 2 q x (q x V), with q the vector part.
			const TVector<T> Q(X, Y, Z);
			const TVector<T> Twice = T(2) * TVector<T>::CrossProduct(Q, V);
			return V + W * Twice + TVector<T>::CrossProduct(Q, Twice);
		}
		/** V rotated by the inverse of this (unit) quaternion. */
		TVector<T> UnrotateVector(const TVector<T>& V) const
		{
			const TVector<T> Q(-X, -Y, -Z);
			const TVector<T> Twice = T(2) * TVector<T>::CrossProduct(Q, V);
			return V + W * Twice + TVector<T>::CrossProduct(Q, Twice);
		}

		TVector<T> GetAxisX() const { return RotateVector(TVector<T>(1, 0, 0)); }
		TVector<T> GetAxisY() const { return RotateVector(TVector<T>(0, 1, 0)); }
		TVector<T> GetAxisZ() const { return RotateVector(TVector<T>(0, 0, 1)); }
		TVector<T> GetForwardVector() const { return GetAxisX(); }
		TVector<T> GetRightVector() const { return GetAxisY(); }
		TVector<T> GetUpVector() const { return GetAxisZ(); }

		/** The rotation angle in radians, in [0, 2 pi]. */
		T GetAngle() const { return T(2) * FMath::Acos(W); }
		/** The unit rotation axis; the X axis for a rotation too small to have a usable one. */
		TVector<T> GetRotationAxis() const
		{
			const T SquareSum = X * X + Y * Y + Z * Z;
			if (SquareSum < static_cast<T>(UE_SMALL_NUMBER))
			{
				return TVector<T>(1, 0, 0);
			}
			return TVector<T>(X, Y, Z) * FMath::InvSqrt(SquareSum);
		}
		void ToAxisAndAngle(TVector<T>& Axis, T& Angle) const
		{
			Angle = GetAngle();
			Axis = GetRotationAxis();
		}

		/** The angle in radians of the rotation that takes this one to Q, in [0, pi]. */
		T AngularDistance(const TQuat& Q) const
		{
			// cos(angle) = 2 (this . Q)^2 - 1 for unit quaternions; squaring makes Q and -Q agree.
			const T InnerProd = *this | Q;
			return FMath::Acos(T(2) * InnerProd * InnerProd - T(1));
		}

		/** The same rotation as pitch, yaw and roll in degrees. */
		TRotator<T> Rotator() const
		{
			constexpr T RadToDeg = static_cast<T>(180.0 / UE_DOUBLE_PI);
			// Sine of the pitch over two: the Z of the rotated forward axis is 2 (XZ - WY).
			const T SingularityTest = Z * X - W * Y;
			// The rotated forward axis projected on the XY plane gives the yaw.
			const T YawY = T(2) * (W * Z + X * Y);
			const T YawX = T(1) - T(2) * (Y * Y + Z * Z);
			const T Yaw = FMath::Atan2(YawY, YawX) * RadToDeg;
			// atan2 and asin keep the sign of a zero argument; adding +0 turns -0 into +0, so
			// that the identity reads "P=0.000000 Y=0.000000 R=0.000000" rather than "R=-0.000000".
			auto Angles = [](T InPitch, T InYaw, T InRoll) { return TRotator<T>(InPitch + T(0), InYaw + T(0), InRoll + T(0)); };
			// Within about 0.1 degree of straight up or down, yaw and roll turn about the same
			// axis and the roll formula breaks down; the roll is then what remains of the twist
			// (2 atan2(X, W) is yaw minus roll looking up, minus their sum looking down).
			constexpr T SingularityThreshold = static_cast<T>(0.4999995);
			if (SingularityTest < -SingularityThreshold)
			{
				const T Roll = TRotator<T>::NormalizeAxis(-Yaw - T(2) * FMath::Atan2(X, W) * RadToDeg);
				return Angles(T(-90), Yaw, Roll);
			}
			if (SingularityTest > SingularityThreshold)
			{
				const T Roll = TRotator<T>::NormalizeAxis(Yaw - T(2) * FMath::Atan2(X, W) * RadToDeg);
				return Angles(T(90), Yaw, Roll);
			}
			const T Pitch = FMath::Asin(T(2) * SingularityTest) * RadToDeg;
			const T Roll = FMath::Atan2(T(-2) * (W * X + Y * Z), T(1) - T(2) * (X * X + Y * Y)) * RadToDeg;
			return Angles(Pitch, Yaw, Roll);
		}
		/** (Roll, Pitch, Yaw) in degrees, as TRotator::Euler. */
		TVector<T> Euler() const { return Rotator().Euler(); }
		/** The rotation with angles about X, Y and Z of (Euler.X, Euler.Y, Euler.Z) degrees. */
		static TQuat MakeFromEuler(const TVector<T>& Euler) { return TRotator<T>::MakeFromEuler(Euler).Quaternion(); }

		/**
		 * A cheap blend: the component-wise lerp from A (negated when the two point into
		 * opposite half-spaces, so the blend takes the short way) to B. Not normalised.
		 */
		static TQuat FastLerp(const TQuat& A, const TQuat& B, T Alpha)
		{
			const T Bias = (A | B) >= T(0) ? T(1) : T(-1);
			return B * Alpha + A * (Bias * (T(1) - Alpha));
		}

		/**
		 * Spherical interpolation from Quat1 (Slerp 0) to Quat2 (Slerp 1) along the shorter
		 * arc, without normalising the result. Nearly parallel inputs (cosine of at least
		 * 0.9999) are blended linearly, where the spherical weights would divide by ~0.
		 */
		static TQuat Slerp_NotNormalized(const TQuat& Quat1, const TQuat& Quat2, T Slerp)
		{
			const T RawCosom = Quat1 | Quat2;
			// A negative cosine means Quat2's antipode is the nearer copy of its rotation.
			const T Cosom = FMath::Abs(RawCosom);
			T Scale0;
			T Scale1;
			if (Cosom < static_cast<T>(0.9999))
			{
				const T Omega = FMath::Acos(Cosom);
				const T InvSin = T(1) / FMath::Sin(Omega);
				Scale0 = FMath::Sin((T(1) - Slerp) * Omega) * InvSin;
				Scale1 = FMath::Sin(Slerp * Omega) * InvSin;
			}
			else
			{
				Scale0 = T(1) - Slerp;
				Scale1 = Slerp;
			}
			if (RawCosom < T(0))
			{
				Scale1 = -Scale1;
			}
			return Quat1 * Scale0 + Quat2 * Scale1;
		}
		/** Slerp_NotNormalized, normalised. */
		static TQuat Slerp(const TQuat& Quat1, const TQuat& Quat2, T Slerp)
		{
			return Slerp_NotNormalized(Quat1, Quat2, Slerp).GetNormalized();
		}

		bool ContainsNaN() const { return !(FMath::IsFinite(X) && FMath::IsFinite(Y) && FMath::IsFinite(Z) && FMath::IsFinite(W)); }

		/** "X=0.000000000 Y=0.000000000 Z=0.000000000 W=1.000000000" */
		FString ToString() const
		{
			return FString::Printf("X=%.9f Y=%.9f Z=%.9f W=%.9f", static_cast<double>(X), static_cast<double>(Y),
				static_cast<double>(Z), static_cast<double>(W));
		}

		friend uint32 GetTypeHash(const TQuat& Q)
		{
			return HashCombine(HashCombine(GetTypeHash(Q.X), GetTypeHash(Q.Y)), HashCombine(GetTypeHash(Q.Z), GetTypeHash(Q.W)));
		}
	};

	template <typename T, typename ScaleType>
		requires std::is_arithmetic_v<ScaleType>
	constexpr TQuat<T> operator*(ScaleType Scale, const TQuat<T>& Q)
	{
		return Q * static_cast<T>(Scale);
	}

	template <typename T>
	const TQuat<T> TQuat<T>::Identity(0, 0, 0, 1);

	template <typename T>
	TRotator<T>::TRotator(const TQuat<T>& Quat)
	{
		*this = Quat.Rotator();
	}

	template <typename T>
	TQuat<T> TRotator<T>::Quaternion() const
	{
		// Yaw about +Z, then pitch and roll about -Y and -X (the engine's axes are left-handed,
		// so nose-up pitch and right-wing-down roll turn the other way): the product
		// Q(Z, Yaw) * Q(Y, -Pitch) * Q(X, -Roll) written out. Whole turns are removed first so
		// that large angles keep their precision through the half-angle sines.
		constexpr T HalfDegToRad = static_cast<T>(UE_DOUBLE_PI / 360.0);
		T SP;
		T CP;
		T SY;
		T CY;
		T SR;
		T CR;
		FMath::SinCos(&SP, &CP, FMath::Fmod(Pitch, T(360)) * HalfDegToRad);
		FMath::SinCos(&SY, &CY, FMath::Fmod(Yaw, T(360)) * HalfDegToRad);
		FMath::SinCos(&SR, &CR, FMath::Fmod(Roll, T(360)) * HalfDegToRad);
		return TQuat<T>(CR * SP * SY - SR * CP * CY,
			-CR * SP * CY - SR * CP * SY,
			CR * CP * SY - SR * SP * CY,
			CR * CP * CY + SR * SP * SY);
	}

	template <typename T>
	TVector<T> TRotator<T>::RotateVector(const TVector<T>& V) const
	{
		return Quaternion().RotateVector(V);
	}

	template <typename T>
	TVector<T> TRotator<T>::UnrotateVector(const TVector<T>& V) const
	{
		return Quaternion().UnrotateVector(V);
	}
}
