#pragma once

// Data assets of attachment culling: the cull-mask textures of attachments, and the
// per-vertex opacity of a body under an attachment.

#include "CoreMinimal.h"
#include "Engine/DataAsset.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "UObject/ObjectPtr.h"

#include "HCVertexCacheData.generated.h"

/** Cull-mask textures by material slot name; names match without letter case. */
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
	/** One opacity per LOD 0 vertex of TargetSkeletalMesh: 1 visible, 0 hidden. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<float> VertexOpacity;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TObjectPtr<USkeletalMesh> TargetSkeletalMesh = nullptr;

	/**
	 * The full path of the points file the opacities are built from: headerless little-endian
	 * 32-bit floats, each triple (x, y, z) one point at the engine position (100 x, -100 z, 100 y).
	 */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	FString BinFileDirectory;

	/**
	 * Rebuilds VertexOpacity from the points file: every LOD 0 vertex of TargetSkeletalMesh
	 * within 0.001 cm of a file point is hidden, every other one visible. A points file that
	 * cannot be read is logged and leaves VertexOpacity as it was. The mesh must be set and
	 * keep its LOD 0 positions on the CPU.
	 */
	void BuildData();

private:
	/** Reads the whole file at Path as little-endian floats; a trailing partial float is ignored. */
	static bool LoadBinaryFloats(const FString& Path, TArray<float>& OutFloats);
};
