#pragma once

#include "CoreMinimal.h"
#include "DataAssets/HCDataAssets.h"

class UTexture2D;

/**
 * What the programs' slider blueprints show that the native sliders do not keep: the range
 * and value of a 1-D slider, the picker image, marker and position of a colour picker.
 */
struct FSliderBlueprintState
{
	/** SetRange's range; the value starts at its default. */
	TOptional<FHCRange> Range;
	/** The 1-D slider's value, once moved. */
	TOptional<float> Value;
	/** The colour picker's position in normalised slider space, once moved. */
	TOptional<FVector2f> Position;
	/** SetBackgroundTexture's image. */
	UTexture2D* PickerImage = nullptr;
	/** SetPickerPosition's marker, in the slider's local space. */
	TOptional<FIntPoint> Marker;
};
