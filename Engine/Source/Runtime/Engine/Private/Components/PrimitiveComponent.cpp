#include "Components/PrimitiveComponent.h"

#include "EngineLogs.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Templates/Casts.h"

UPrimitiveComponent::UPrimitiveComponent(const FObjectInitializer& ObjectInitializer)
	: Super(ObjectInitializer)
{
}

UMaterialInstanceDynamic* UPrimitiveComponent::CreateAndSetMaterialInstanceDynamic(int32 ElementIndex)
{
	return CreateAndSetMaterialInstanceDynamicFromMaterial(ElementIndex, nullptr);
}

UMaterialInstanceDynamic* UPrimitiveComponent::CreateAndSetMaterialInstanceDynamicFromMaterial(int32 ElementIndex, UMaterialInterface* Parent)
{
	UMaterialInterface* Current = GetMaterial(ElementIndex);
	if (!Parent)
	{
		if (UMaterialInstanceDynamic* Existing = Cast<UMaterialInstanceDynamic>(Current))
		{
			return Existing;
		}
		Parent = Current;
	}
	if (!Parent)
	{
		UE_LOG(LogPrimitiveComponent, Warning, TEXT("CreateAndSetMaterialInstanceDynamic on %s: Material index %d is invalid."), *GetPathName(),
			ElementIndex);
		return nullptr;
	}
	UMaterialInstanceDynamic* Instance = UMaterialInstanceDynamic::Create(Parent, this);
	SetMaterial(ElementIndex, Instance);
	return Instance;
}
