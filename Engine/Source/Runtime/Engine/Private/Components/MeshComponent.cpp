#include "Components/MeshComponent.h"

#include "Materials/MaterialInterface.h"

UMeshComponent::UMeshComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
}

UMaterialInterface* UMeshComponent::GetMaterial(int32 ElementIndex) const
{
	return OverrideMaterials.IsValidIndex(ElementIndex) ? OverrideMaterials[ElementIndex].Get() : nullptr;
}

void UMeshComponent::SetMaterial(int32 ElementIndex, UMaterialInterface* Material)
{
	if (ElementIndex < 0)
	{
		return;
	}
	if (OverrideMaterials.Num() <= ElementIndex)
	{
		OverrideMaterials.SetNum(ElementIndex + 1);
	}
	if (OverrideMaterials[ElementIndex] != Material)
	{
		OverrideMaterials[ElementIndex] = Material;
		MarkRenderStateDirty();
	}
}

void UMeshComponent::EmptyOverrideMaterials()
{
	if (!OverrideMaterials.IsEmpty())
	{
		OverrideMaterials.Empty();
		MarkRenderStateDirty();
	}
}
