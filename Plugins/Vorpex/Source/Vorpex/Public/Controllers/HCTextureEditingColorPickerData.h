#pragma once

#include "CoreMinimal.h"
#include "Engine/Texture2D.h"
#include "UObject/ObjectPtr.h"

#include "HCTextureEditingColorPickerData.generated.h"

/**
 * One colour picker: a palette image kept on the CPU, and the colorize processors of the
 * texture-editing model it colours. Binding k is (components[k], stacks[k], processes[k]): a
 * component index, a stack index in it and an index into that stack's interface processors.
 */
USTRUCT(BlueprintType)
struct VORPEX_API FHCTextureEditingColorPickerData
{
	GENERATED_BODY()

	UPROPERTY()
	TObjectPtr<UTexture2D> texture2D = nullptr;

	/** The palette, row-major, width × height texels, row 0 first; empty when it could not be read back. */
	UPROPERTY()
	TArray<FColor> textureColors;

	UPROPERTY()
	int64 width = 0;

	UPROPERTY()
	int64 height = 0;

	UPROPERTY()
	TArray<int64> components;

	UPROPERTY()
	TArray<int64> stacks;

	UPROPERTY()
	TArray<int64> processes;

	/**
	 * The palette colour at Position, each coordinate in [-1, 1] from the first texel to the last
	 * (outside values are clamped). A palette that could not be read back gives FColor(0, 0, 0, 0).
	 */
	FColor SampleColor(FVector2f Position) const;

	/** Reads texture2D back from the GPU into textureColors (blocks until the copy is done); true when it was filled. */
	bool SetTextureColors();

	/** Whether textureColors holds the whole palette, so that sampling means something. */
	bool HasColors() const;
};
