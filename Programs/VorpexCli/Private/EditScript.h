#pragma once

// An edit script: a JSON list of steps that `vorpex edit` runs on a character being edited,
// each step an object with one of these keys:
//   {"section": S, "slider": L, "value": V}      moves the 1-D slider labelled L in section S to
//                                                 V: 0 to 1 for one shape, -1 to 1 for two
//   {"section": S, "slider": L, "position": [X, Y]}
//                                                 moves a colour picker or a polygon slider to
//                                                 (X, Y), each from -1 to 1 (y points down); a
//                                                 polygon position in none of its triangles
//                                                 leaves the shapes as they are
//   {"tick": N}                                  ticks the world N times (from 1 on), which
//                                                 shows what the steps before changed
//   {"save": FILE}                               saves the edit state to FILE
//   {"load": FILE}                               loads the edit state in FILE
//   {"cullMasks": OBJECT_PATH}                   shows the cull masks of an attachment (a
//                                                 UHCAttachmentCullMaskData); null shows none
//   {"cullData": OBJECT_PATH}                    hides the body's vertices under an attachment
//                                                 (a UHCAttachmentVertexCacheData of the body
//                                                 mesh); null shows every vertex
// Section titles and slider labels are the editor's, letter case ignored; FILE is relative to
// the script's folder.

#include "CoreMinimal.h"
#include "DataAssets/HCVertexCacheData.h"
#include "EditorLayout.h"
#include "UObject/StrongObjectPtr.h"

class USkeletalMesh;

struct FEditStep
{
	enum class EAction : uint8
	{
		MoveSlider,
		Tick,
		Save,
		Load,
		ApplyCullMasks,
		ApplyCullData,
	};

	EAction Action = EAction::Tick;
	/** MoveSlider: the slider and where it goes, as a value (1-D) or a position (the others). */
	FEditorSlider Slider;
	float Value = 0.0f;
	FVector2f Position = FVector2f(0.0f, 0.0f);
	/** Tick: how many times. */
	int32 Ticks = 0;
	/** Save and Load: the file as the script names it, and its full path. */
	FString File;
	FString FullPath;
	/**
	 * ApplyCullMasks and ApplyCullData: the asset to show, empty for none. Held from the check
	 * to the step, through the garbage collections of the ticks between.
	 */
	TStrongObjectPtr<UHCAttachmentCullMaskData> CullMasks;
	TStrongObjectPtr<UHCAttachmentVertexCacheData> VertexCache;
};

class FEditScript
{
public:
	/**
	 * Reads the script in File and checks every step against the editor's Layout and the body
	 * mesh Body (a shape slider's shapes must be morph targets of it, a vertex cache must be
	 * built for it) and loads the assets of the culling steps, so that no step runs
	 * from a script that goes wrong later. False, with one message in OutError, at the first
	 * problem: the file's, or "step <index>: <what is wrong>" (indices from 0).
	 */
	static bool Read(const FString& File, const FEditorLayout& Layout, const USkeletalMesh& Body, TArray<FEditStep>& OutSteps, FString& OutError);
};
