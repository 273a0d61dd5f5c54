#pragma once

// Forward declarations of the math templates and the names the engine gives their float
// and double forms. The unsuffixed names (FVector, FQuat, FRotator, FTransform) are the
// double-precision ones, as in the engine's large-world build.

#include "CoreTypes.h"

namespace UE::Math
{
	template <typename T>
	struct TVector;
	template <typename T>
	struct TVector2;
	template <typename T>
	struct TQuat;
	template <typename T>
	struct TRotator;
	template <typename T>
	struct TTransform;
	template <typename InIntType>
	struct TIntPoint;
}

using FVector = UE::Math::TVector<double>;
using FVector3f = UE::Math::TVector<float>;
using FVector3d = UE::Math::TVector<double>;
using FVector2D = UE::Math::TVector2<double>;
using FVector2f = UE::Math::TVector2<float>;
using FQuat = UE::Math::TQuat<double>;
using FQuat4f = UE::Math::TQuat<float>;
using FQuat4d = UE::Math::TQuat<double>;
using FRotator = UE::Math::TRotator<double>;
using FRotator3f = UE::Math::TRotator<float>;
using FRotator3d = UE::Math::TRotator<double>;
using FTransform = UE::Math::TTransform<double>;
using FTransform3f = UE::Math::TTransform<float>;
using FTransform3d = UE::Math::TTransform<double>;
using FIntPoint = UE::Math::TIntPoint<int32>;

struct FColor;
struct FLinearColor;
