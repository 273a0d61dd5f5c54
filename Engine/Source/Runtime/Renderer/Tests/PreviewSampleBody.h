#pragma once

// The bundled sample's body as the programs show it: the mesh loaded from the sample's content,
// mounted at /Game/, in a world, with the skin textures bound as each material's "BC_Texture"
// (the head's slots get the head texture). Used by the renderer's tests and its benchmark.

#include "AssetLoader.h"
#include "Components/SkeletalMeshComponent.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "Engine/World.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "Misc/PackageName.h"
#include "UObject/UObjectGlobals.h"

namespace PreviewSampleBody
{
	/** Mounts the sample's content (once) and returns the body in a new world, or null when it did not load. */
	inline USkeletalMeshComponent* Spawn(UWorld& World, const TCHAR* ContentDir)
	{
		FAssetLoader::Install();
		if (!FPackageName::MountPointExists(TEXT("/Game/")))
		{
			FPackageName::RegisterMountPoint(TEXT("/Game/"), ContentDir);
		}
		USkeletalMesh* Body = LoadObject<USkeletalMesh>(nullptr, TEXT("/Game/Characters/Human/SK_Body.SK_Body"));
		UTexture2D* BodyAlbedo = LoadObject<UTexture2D>(nullptr, TEXT("/Game/Textures/Skin/T_Body_Albedo.T_Body_Albedo"));
		UTexture2D* HeadAlbedo = LoadObject<UTexture2D>(nullptr, TEXT("/Game/Textures/Skin/T_Head_Albedo.T_Head_Albedo"));
		if (!Body || !BodyAlbedo || !HeadAlbedo)
		{
			return nullptr;
		}
		USkeletalMeshComponent* Component = NewObject<USkeletalMeshComponent>(&World);
		Component->SetSkeletalMeshAsset(Body);
		for (int32 Slot = 0; Slot < Body->GetMaterials().Num(); ++Slot)
		{
			const bool bHead = Body->GetMaterials()[Slot].MaterialSlotName.ToString().Contains(TEXT("Head"));
			Component->CreateAndSetMaterialInstanceDynamic(Slot)->SetTextureParameterValue(FName(TEXT("BC_Texture")), bHead ? HeadAlbedo : BodyAlbedo);
		}
		Component->RegisterComponentWithWorld(&World);
		return Component;
	}
}
