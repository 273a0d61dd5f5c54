#include "Controllers/HCMorphShapingController.h"

#include "Components/SkeletalMeshComponent.h"
#include "DataAssets/HCDataAssets.h"
#include "Models/HCMorphShapingModel.h"

void UHCMorphShapingController::Initialize(UHCCharacterEditorConfigData* Config)
{
	Configuration = Config;
}

void UHCMorphShapingController::SetModel(UHCMorphShapingModel* Model)
{
	ModelToControl = Model;
}

void UHCMorphShapingController::UpdateModel(const FHCShapeConstraints* ShapeConstraints, int32 FirstIndex, float FirstWeight, int32 SecondIndex, float SecondWeight)
{
	// Everything is checked before the first weight changes, so a refused call leaves no
	// constraint half zeroed.
	const FString Error = FindUpdateError(ShapeConstraints, FirstIndex, SecondIndex);
	if (!Error.IsEmpty())
	{
		UE_LOG(LogTemp, Error, TEXT("%s - %s; nothing changed"), TEXT("UHCMorphShapingController::UpdateModel"), *Error);
		return;
	}

	TMap<FString, float>& Weights = ModelToControl->MorphTargetWeights;
	ModelToControl->bDirty = true;
	for (const FString& Shape : ShapeConstraints->shapes)
	{
		Weights.FindChecked(Shape) = 0.0f;
	}
	Weights.FindChecked(ShapeConstraints->shapes[FirstIndex]) = FirstWeight;
	if (SecondIndex >= 0)
	{
		Weights.FindChecked(ShapeConstraints->shapes[SecondIndex]) = SecondWeight;
	}
}

FString UHCMorphShapingController::FindUpdateError(const FHCShapeConstraints* ShapeConstraints, int32 FirstIndex, int32 SecondIndex) const
{
	if (!ModelToControl)
	{
		return TEXT("The controller has no model");
	}
	if (!ShapeConstraints)
	{
		return TEXT("No shape constraint was given");
	}
	const TArray<FString>& Shapes = ShapeConstraints->shapes;
	if (!Shapes.IsValidIndex(FirstIndex) || SecondIndex >= Shapes.Num())
	{
		return FString::Printf(TEXT("Shape index %d is outside the %d shapes of constraint \"%s\""),
			Shapes.IsValidIndex(FirstIndex) ? SecondIndex : FirstIndex, Shapes.Num(), *ShapeConstraints->displayName);
	}
	for (const FString& Shape : Shapes)
	{
		if (!ModelToControl->MorphTargetWeights.Contains(Shape))
		{
			return FString::Printf(TEXT("Constraint \"%s\" names shape \"%s\", which is no morph target of the model"),
				*ShapeConstraints->displayName, *Shape);
		}
	}
	return FString();
}

void UHCMorphShapingController::ApplyChanges(USkeletalMeshComponent* Component)
{
	if (!ModelToControl || !Component)
	{
		UE_LOG(LogTemp, Error, TEXT("%s - No model or component to apply the morph target weights to"), TEXT("UHCMorphShapingController::ApplyChanges"));
		return;
	}
	ModelToControl->bDirty = false;
	for (const TPair<FString, float>& Weight : ModelToControl->MorphTargetWeights)
	{
		Component->SetMorphTarget(FName(*Weight.Key), Weight.Value, true);
	}
}

void UHCMorphShapingController::Randomize()
{
}

void UHCMorphShapingController::ResetToConfigValues()
{
}
