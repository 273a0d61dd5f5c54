#pragma once

// The skin composition: per group of meshes, the stacks of image processors that build the
// skin textures and the editor controls that act on them. Filled from JSON through
// reflection, so field names are the JSON keys; every field starts empty or zero.

#include "CoreMinimal.h"
#include "Engine/DataAsset.h"
#include "Engine/Texture2D.h"
#include "UObject/ObjectPtr.h"
#include "UObject/SoftObjectPtr.h"
#include "UObject/StrongObjectPtr.h"

#include "HCCharacterEditorSkinCompositionData.generated.h"

/** One image processor of a stack; its parameters mean what its type says. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCCharacterEditorSkinCompositionProcessor
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	FString name;

	/** Kind of processor ("ImageTexture", "Swizzle", "Colorize", ...). */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	FString type;

	/** How the result joins the stack so far: empty or "Normal" (no blend), "LinearDodge" (added). */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	FString blendMode;

	/** Integer parameters; stack references are positions in processorStacks, -1 for none. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<int32> intParams;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<float> floatParams;

	/** String parameters, such as image paths relative to the skin composition asset's folder. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FString> stringParams;

	/** Textures kept as paths and loaded only when needed. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<TSoftObjectPtr<UTexture2D>> textureReferences;
};

/** One stack of processors, producing one material texture or serving later stacks. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCCharacterEditorSkinCompositionProcessorStack
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	FString name;

	/** "_BaseColorMap" (albedo), "_NormalMap" (normal), or empty for a stack that only feeds others. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	FString materialKey;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FHCCharacterEditorSkinCompositionProcessor> processors;
};

/** One editor control acting on a processor. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCCharacterEditorSkinCompositionHandler
{
	GENERATED_BODY()

	/** Kind of control; "PixelPickerElement" is a colour picker over the one image in textureParams. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	FString type;

	/** Label; picker handlers of one section with the same label form one picker. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	FString displayName;

	/** The stack acted on, as a position in the component's processorStacks. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	int32 stack = 0;

	/** The processor acted on, by position within that stack. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	int32 process = 0;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	FString field;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<int32> intParams;

	/** For a colour picker, the two coordinates of its starting position. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<float> floatParams;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FString> stringParams;

	/** Textures of the control, given in JSON as engine object paths. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<TObjectPtr<UTexture2D>> textureParams;
};

/** The skin of one group of meshes. */
USTRUCT(BlueprintType)
struct VORPEX_API FHCCharacterEditorSkinCompositionComponent
{
	GENERATED_BODY()

	/** Names of the meshes this component textures. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FString> meshes;

	/** The stacks in order; processors refer to a stack by its position here. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FHCCharacterEditorSkinCompositionProcessorStack> processorStacks;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Halcor")
	TArray<FHCCharacterEditorSkinCompositionHandler> handlers;
};

/** The skin composition file. */
UCLASS(BlueprintType)
class VORPEX_API UHCCharacterEditorSkinCompositionData : public UDataAsset
{
	GENERATED_BODY()

public:
	/**
	 * A new skin composition in the transient package, read from the JSON file at Path; an
	 * empty handle, with a warning on LogTemp, when the file cannot be read or converted.
	 */
	static TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> Load(const FString& Path);

	/** Version of the file; carried, any value is accepted. */
	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	int32 version = 0;

	UPROPERTY(VisibleAnywhere, BlueprintReadOnly, Category = "Halcor")
	TArray<FHCCharacterEditorSkinCompositionComponent> components;
};
