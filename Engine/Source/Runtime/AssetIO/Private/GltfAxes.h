#pragma once

// The engine's axes and units to glTF's: the inverse of the conversion GltfImporter.h
// describes. An engine point (X, Y, Z) in centimetres becomes (-Y, Z, X) / 100 in metres,
// directions the same without the 100, scales (SY, SZ, SX), rotations (X, Y, Z, W) become
// (Y, -Z, -X, W).

#include "CoreMinimal.h"
#include "Math/QuatRotationTranslationMatrix.h"
#include "Math/ScaleMatrix.h"

#include <nlohmann/json.hpp>

#include <string>

namespace UE::AssetIO::Private
{
	/** A transform in glTF's axes. */
	struct FGltfTrs
	{
		FVector Translation = FVector::ZeroVector;
		FQuat Rotation = FQuat::Identity;
		FVector Scale = FVector::OneVector;
	};

	inline FGltfTrs ToGltf(const FTransform& Transform)
	{
		const FVector T = Transform.GetTranslation();
		const FQuat R = Transform.GetRotation();
		const FVector S = Transform.GetScale3D();
		// The validator wants unit rotations; a zero one has no direction and becomes none.
		const double Length = std::sqrt(R.X * R.X + R.Y * R.Y + R.Z * R.Z + R.W * R.W);
		const FQuat Rotation = Length > 1e-12 ? FQuat(R.Y / Length, -R.Z / Length, -R.X / Length, R.W / Length) : FQuat::Identity;
		return {FVector(-T.Y / 100.0, T.Z / 100.0, T.X / 100.0), Rotation, FVector(S.Y, S.Z, S.X)};
	}

	/** The transform's matrix in glTF's axes, in the engine's row-vector convention (points times the matrix). */
	inline FMatrix GltfMatrix(const FTransform& Transform)
	{
		const FGltfTrs Trs = ToGltf(Transform);
		return FScaleMatrix(Trs.Scale) * FQuatRotationTranslationMatrix(Trs.Rotation, Trs.Translation);
	}

	inline void AppendPosition(TArray<float>& Out, const FVector3f& V)
	{
		Out.Append({-V.Y / 100.0f, V.Z / 100.0f, V.X / 100.0f});
	}

	inline void AppendDirection(TArray<float>& Out, const FVector3f& V)
	{
		Out.Append({-V.Y, V.Z, V.X});
	}

	/** Tangent made square to the unit Normal and of unit length, as glTF requires; any perpendicular when it lies along the normal. */
	inline FVector3f PerpendicularTangent(const FVector3f& Tangent, const FVector3f& Normal)
	{
		const FVector3f Square = (Tangent - Normal * (Tangent | Normal)).GetSafeNormal();
		if (!Square.IsZero())
		{
			return Square;
		}
		const FVector3f Reference = std::abs(Normal.Z) < 0.9f ? FVector3f(0, 0, 1) : FVector3f(1, 0, 0);
		return (Reference ^ Normal).GetSafeNormal();
	}

	inline std::string Utf8(const FString& Text)
	{
		return Text.ToStdString();
	}

	/** A node called Name with Transform's translation, rotation and scale, those that differ from the identity. */
	inline nlohmann::json NodeJson(const FString& Name, const FTransform& Transform)
	{
		const FGltfTrs Trs = ToGltf(Transform);
		nlohmann::json Node = {{"name", Utf8(Name)}};
		if (!Trs.Translation.IsZero())
		{
			Node["translation"] = {Trs.Translation.X, Trs.Translation.Y, Trs.Translation.Z};
		}
		if (Trs.Rotation.X != 0 || Trs.Rotation.Y != 0 || Trs.Rotation.Z != 0 || Trs.Rotation.W != 1)
		{
			Node["rotation"] = {Trs.Rotation.X, Trs.Rotation.Y, Trs.Rotation.Z, Trs.Rotation.W};
		}
		if (Trs.Scale != FVector::OneVector)
		{
			Node["scale"] = {Trs.Scale.X, Trs.Scale.Y, Trs.Scale.Z};
		}
		return Node;
	}
}
