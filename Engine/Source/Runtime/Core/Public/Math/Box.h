#pragma once

// TBox: an axis-aligned box (FBox in double, FBox3f in float). A default box is empty and
// invalid; adding a point or a box makes it valid and grows it to enclose what was added.

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Math/Transform.h"
#include "Math/Vector.h"

#include <type_traits>

namespace UE::Math
{
	template <typename T>
	struct TBox
	{
		static_assert(std::is_floating_point_v<T>, "TBox holds float or double components");
		using FReal = T;

		TVector<T> Min = TVector<T>(0, 0, 0);
		TVector<T> Max = TVector<T>(0, 0, 0);
		/** Whether the box encloses anything; an invalid box's corners mean nothing. */
		uint8 IsValid = 0;

		constexpr TBox() = default;
		constexpr TBox(const TVector<T>& InMin, const TVector<T>& InMax) : Min(InMin), Max(InMax), IsValid(1) {}
		/** The smallest box around Points; invalid when there are none. */
		explicit TBox(const TArray<TVector<T>>& Points)
		{
			for (const TVector<T>& Point : Points)
			{
				*this += Point;
			}
		}

		TBox& operator+=(const TVector<T>& Point)
		{
			if (IsValid)
			{
				Min = Min.ComponentMin(Point);
				Max = Max.ComponentMax(Point);
			}
			else
			{
				Min = Max = Point;
				IsValid = 1;
			}
			return *this;
		}
		TBox& operator+=(const TBox& Other)
		{
			if (Other.IsValid)
			{
				*this += Other.Min;
				*this += Other.Max;
			}
			return *this;
		}
		TBox operator+(const TVector<T>& Point) const { return TBox(*this) += Point; }
		TBox operator+(const TBox& Other) const { return TBox(*this) += Other; }

		constexpr bool operator==(const TBox& Other) const { return Min == Other.Min && Max == Other.Max && IsValid == Other.IsValid; }

		TVector<T> GetCenter() const { return (Min + Max) * T(0.5); }
		/** Half the size along each axis. */
		TVector<T> GetExtent() const { return (Max - Min) * T(0.5); }
		TVector<T> GetSize() const { return Max - Min; }
		bool IsInsideOrOn(const TVector<T>& Point) const
		{
			return IsValid && Point.X >= Min.X && Point.X <= Max.X && Point.Y >= Min.Y && Point.Y <= Max.Y && Point.Z >= Min.Z && Point.Z <= Max.Z;
		}

		/** The box around this box's eight corners moved by Transform; an invalid box stays invalid. */
		TBox TransformBy(const TTransform<T>& Transform) const
		{
			if (!IsValid)
			{
				return TBox();
			}
			TBox Result;
			for (int32 Corner = 0; Corner < 8; ++Corner)
			{
				const TVector<T> Point((Corner & 1) ? Max.X : Min.X, (Corner & 2) ? Max.Y : Min.Y, (Corner & 4) ? Max.Z : Min.Z);
				Result += Transform.TransformPosition(Point);
			}
			return Result;
		}

		/** "IsValid=true, Min=(X=... Y=... Z=...), Max=(...)" */
		FString ToString() const
		{
			return FString::Printf("IsValid=%s, Min=(%s), Max=(%s)", IsValid ? "true" : "false", *Min.ToString(), *Max.ToString());
		}
	};
}

using FBox = UE::Math::TBox<double>;
using FBox3d = UE::Math::TBox<double>;
using FBox3f = UE::Math::TBox<float>;
