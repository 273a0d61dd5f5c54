#include "Models/HCMorphShapingModel.h"

#include "Animation/MorphTarget.h"
#include "Engine/SkeletalMesh.h"

void UHCMorphShapingModel::Initialize(UHCCharacterEditorConfigData* Config, USkeletalMesh* MorphableMesh)
{
	bDirty = true;
	if (!MorphableMesh)
	{
		UE_LOG(LogTemp, Warning, TEXT("MorphableMesh is null!"));
		return;
	}
	for (const UMorphTarget* MorphTarget : MorphableMesh->GetMorphTargets())
	{
		if (MorphTarget)
		{
			MorphTargetWeights.Add(MorphTarget->GetName(), 0.0f);
		}
	}
}
