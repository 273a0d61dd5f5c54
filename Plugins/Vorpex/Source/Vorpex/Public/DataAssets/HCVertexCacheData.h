#pragma once

// Data assets of attachment culling: the cull-mask textures of attachments, and the
// per-vertex opacity of a body under an attachment.

#include "CoreMinimal.h"
#include "Engine/DataAsset.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "UObject/ObjectPtr.h"

#include "HCVertexCacheData.generated.h"

/** Cull-mask textures by name. */
UCLASS(BlueprintType)
class VORPEX_API UHCAttachmentCullMaskData : public UDataAsset
{
	GENERATED_BODY()

public:
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TMap<FString, TObjectPtr<UTexture2D>> NameToCullMap;
};

/** How visible each vertex of a body mesh stays under one attachment. */
UCLASS(BlueprintType)
class VORPEX_API UHCAttachmentVertexCacheData : public UDataAsset
{
	GENERATED_BODY()

public:
	/** One opacity per vertex of TargetSkeletalMesh. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<float> VertexOpacity;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<USkeletalMesh> TargetSkeletalMesh = nullptr;

	/** Folder of the raw 32-bit float point files the opacities are built from. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString BinFileDirectory;
};
