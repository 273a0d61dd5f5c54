#pragma once

// Helpers for the morph-shaping and serializer tests: skeletal meshes with named morph
// targets (no geometry: the models read only the names), shape constraints, and a model's
// weights as "Name=weight" lines that show order, spelling and value at once.

#include "Animation/MorphTarget.h"
#include "CoreMinimal.h"
#include "DataAssets/HCDataAssets.h"
#include "Engine/SkeletalMesh.h"
#include "Models/HCMorphShapingModel.h"
#include "UObject/UObjectGlobals.h"

#include <initializer_list>

namespace HCMorphShapingTest
{
	/** A mesh whose morph targets have these names, in this order. */
	inline USkeletalMesh* MakeMesh(std::initializer_list<const TCHAR*> MorphTargetNames)
	{
		USkeletalMesh* Mesh = NewObject<USkeletalMesh>();
		for (const TCHAR* Name : MorphTargetNames)
		{
			Mesh->RegisterMorphTarget(NewObject<UMorphTarget>(Mesh, FName(Name)));
		}
		return Mesh;
	}

	inline FHCShapeConstraints MakeConstraint(const TCHAR* DisplayName, std::initializer_list<const TCHAR*> Shapes)
	{
		FHCShapeConstraints Constraint;
		Constraint.displayName = DisplayName;
		for (const TCHAR* Shape : Shapes)
		{
			Constraint.shapes.Add(Shape);
		}
		return Constraint;
	}

	/** The model's weights in map order, as "Name=weight". */
	inline TArray<FString> Weights(const UHCMorphShapingModel* Model)
	{
		TArray<FString> Lines;
		for (const TPair<FString, float>& Weight : Model->GetMorphTargetWeights())
		{
			Lines.Add(FString::Printf(TEXT("%s=%g"), *Weight.Key, double(Weight.Value)));
		}
		return Lines;
	}
}
