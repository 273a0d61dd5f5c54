#pragma once

// How a material parameter is named. Materials here have no layers, so every parameter is a
// global one and is found by name alone (names compare without letter case).

#include "CoreMinimal.h"

enum EMaterialParameterAssociation : int32
{
	LayerParameter,
	BlendParameter,
	GlobalParameter,
};

struct FMaterialParameterInfo
{
	FName Name;
	EMaterialParameterAssociation Association = GlobalParameter;
	/** The layer of a layer or blend parameter; INDEX_NONE for a global one. */
	int32 Index = INDEX_NONE;

	FMaterialParameterInfo() = default;
	FMaterialParameterInfo(const TCHAR* InName) : Name(InName) {}
	FMaterialParameterInfo(FName InName, EMaterialParameterAssociation InAssociation = GlobalParameter, int32 InIndex = INDEX_NONE)
		: Name(InName), Association(InAssociation), Index(InIndex)
	{
	}

	bool operator==(const FMaterialParameterInfo& Other) const
	{
		return Name == Other.Name && Association == Other.Association && Index == Other.Index;
	}
};

/** The engine hashes the name for faster lookups; here it is the same record. */
using FHashedMaterialParameterInfo = FMaterialParameterInfo;
