#pragma once

// TRotator: an orientation as three angles in degrees (FRotator in double, FRotator3f in
// float). Yaw turns about Z (up), Pitch about Y (right), Roll about X (forward); a rotator
// applies Roll first, then Pitch, then Yaw. Positive Pitch lifts the forward axis towards Z,
// positive Yaw turns it towards Y, positive Roll lowers the right axis towards -Z.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Math/UnrealMathUtility.h"
#include "Math/Vector.h"

#include <type_traits>

namespace UE::Math
{
	template <typename T>
	struct TRotator
	{
		static_assert(std::is_floating_point_v<T>, "TRotator holds float or double angles");
		using FReal = T;

		/** Rotation about the right axis (Y), in degrees: nose up is positive. */
		T Pitch = 0;
		/** Rotation about the up axis (Z), in degrees. */
		T Yaw = 0;
		/** Rotation about the forward axis (X), in degrees. */
		T Roll = 0;

		static const TRotator ZeroRotator;

		/** No rotation (the engine leaves the angles uninitialised). */
		constexpr TRotator() = default;
		/** All three angles set to InF. */
		explicit constexpr TRotator(T InF) : Pitch(InF), Yaw(InF), Roll(InF) {}
		constexpr TRotator(T InPitch, T InYaw, T InRoll) : Pitch(InPitch), Yaw(InYaw), Roll(InRoll) {}
		/** The angles of a quaternion's rotation (defined in Math/Quat.h). */
		explicit TRotator(const TQuat<T>& Quat);
		/** Conversion from the other precision. */
		template <typename FArg>
			requires(!std::is_same_v<T, FArg>)
		explicit constexpr TRotator(const TRotator<FArg>& From)
			: Pitch(static_cast<T>(From.Pitch)), Yaw(static_cast<T>(From.Yaw)), Roll(static_cast<T>(From.Roll))
		{
		}

		/** Angle-wise sum; this is not the composition of the two rotations. */
		constexpr TRotator operator+(const TRotator& R) const { return TRotator(Pitch + R.Pitch, Yaw + R.Yaw, Roll + R.Roll); }
		constexpr TRotator operator-(const TRotator& R) const { return TRotator(Pitch - R.Pitch, Yaw - R.Yaw, Roll - R.Roll); }
		constexpr TRotator operator*(T Scale) const { return TRotator(Pitch * Scale, Yaw * Scale, Roll * Scale); }
		constexpr TRotator& operator+=(const TRotator& R) { return *this = *this + R; }
		constexpr TRotator& operator-=(const TRotator& R) { return *this = *this - R; }
		constexpr TRotator& operator*=(T Scale) { return *this = *this * Scale; }

		/** Exact comparison of the angles; 0 and 360 differ here but not in Equals. */
		constexpr bool operator==(const TRotator& R) const { return Pitch == R.Pitch && Yaw == R.Yaw && Roll == R.Roll; }
		constexpr bool operator!=(const TRotator& R) const { return !(*this == R); }

		/** Whether each angle is within Tolerance degrees of R's, counting whole turns as equal (359.99 equals -0.01). */
		bool Equals(const TRotator& R, T Tolerance = UE_KINDA_SMALL_NUMBER) const
		{
			return FMath::Abs(NormalizeAxis(Pitch - R.Pitch)) <= Tolerance && FMath::Abs(NormalizeAxis(Yaw - R.Yaw)) <= Tolerance
				&& FMath::Abs(NormalizeAxis(Roll - R.Roll)) <= Tolerance;
		}
		/** Whether every angle is within Tolerance of a whole turn. */
		bool IsNearlyZero(T Tolerance = UE_KINDA_SMALL_NUMBER) const { return Equals(ZeroRotator, Tolerance); }
		/** Whether every angle is exactly a whole number of turns. */
		bool IsZero() const { return ClampAxis(Pitch) == 0 && ClampAxis(Yaw) == 0 && ClampAxis(Roll) == 0; }

		TRotator& Add(T DeltaPitch, T DeltaYaw, T DeltaRoll)
		{
			Pitch += DeltaPitch;
			Yaw += DeltaYaw;
			Roll += DeltaRoll;
			return *this;
		}

		/** Angle in degrees brought into [0, 360). */
		static T ClampAxis(T Angle)
		{
			Angle = FMath::Fmod(Angle, T(360));
			if (Angle < T(0))
			{
				Angle += T(360);
			}
			// A tiny negative angle plus 360 rounds to 360 itself.
			return Angle >= T(360) ? T(0) : Angle;
		}
		/** Angle in degrees brought into (-180, 180]. */
		static T NormalizeAxis(T Angle)
		{
			Angle = ClampAxis(Angle);
			return Angle > T(180) ? Angle - T(360) : Angle;
		}

		/** Every angle in [0, 360). */
		TRotator Clamp() const { return TRotator(ClampAxis(Pitch), ClampAxis(Yaw), ClampAxis(Roll)); }
		/** Every angle in (-180, 180]. */
		TRotator GetNormalized() const { return TRotator(NormalizeAxis(Pitch), NormalizeAxis(Yaw), NormalizeAxis(Roll)); }
		void Normalize() { *this = GetNormalized(); }

		/** The forward axis (X) turned by this rotation; roll does not move it. */
		TVector<T> Vector() const
		{
			T SinPitch;
			T CosPitch;
			T SinYaw;
			T CosYaw;
			FMath::SinCos(&SinPitch, &CosPitch, static_cast<T>(FMath::DegreesToRadians(FMath::Fmod(Pitch, T(360)))));
			FMath::SinCos(&SinYaw, &CosYaw, static_cast<T>(FMath::DegreesToRadians(FMath::Fmod(Yaw, T(360)))));
			return TVector<T>(CosPitch * CosYaw, CosPitch * SinYaw, SinPitch);
		}

		/** (Roll, Pitch, Yaw): the angles about X, Y and Z. */
		TVector<T> Euler() const { return TVector<T>(Roll, Pitch, Yaw); }
		/** The rotator with angles about X, Y and Z of (Euler.X, Euler.Y, Euler.Z). */
		static TRotator MakeFromEuler(const TVector<T>& Euler) { return TRotator(Euler.Y, Euler.Z, Euler.X); }

		/** The same rotation as a quaternion (defined in Math/Quat.h). */
		TQuat<T> Quaternion() const;
		/** V turned by this rotation (defined in Math/Quat.h). */
		TVector<T> RotateVector(const TVector<T>& V) const;
		/** V turned by the inverse of this rotation (defined in Math/Quat.h). */
		TVector<T> UnrotateVector(const TVector<T>& V) const;

		/** "P=10.000000 Y=20.000000 R=30.000000" */
		FString ToString() const
		{
			return FString::Printf(
				"P=%f Y=%f R=%f", static_cast<double>(Pitch), static_cast<double>(Yaw), static_cast<double>(Roll));
		}

		friend uint32 GetTypeHash(const TRotator& R)
		{
			return HashCombine(HashCombine(GetTypeHash(R.Pitch), GetTypeHash(R.Yaw)), GetTypeHash(R.Roll));
		}
	};

	template <typename T>
	const TRotator<T> TRotator<T>::ZeroRotator(0, 0, 0);
}

// Quaternion() returns a TQuat, so whoever can name a rotator gets the quaternion with it.
#include "Math/Quat.h"
