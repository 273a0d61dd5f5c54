#pragma once

// The JSON form of an edit state, as `vorpex state` prints and reads it:
//
//   {
//     "useMorphTargets": true,
//     "useTextureEditing": true,
//     "morphWeights": [{"name": "Brow_Up", "weight": 0.25}],
//     "colorizeColors": [{"component": 0, "stack": 1, "processor": 2, "color": [255, 128, 0, 255]}]
//   }
//
// The flags are the header's; each list is there exactly when its flag is true. A colour is
// [R, G, B, A], 0 to 255 each; component, stack and processor are positions, 0 to 2147483647.
// A weight is written in the shortest form that reads back as the same 32-bit float; weights
// that no JSON number holds are the strings "NaN", "Infinity" and "-Infinity". Keys are
// matched exactly and unknown keys are refused, so a misspelt key cannot go unnoticed.

#include "CoreMinimal.h"

struct FHCEditState;

class FEditStateJson
{
public:
	/** The state as JSON text, two spaces per level, ending in a line break. */
	static FString Print(const FHCEditState& State);

	/**
	 * Reads JSON text into OutState. False, with OutState unchanged and the place and reason in
	 * OutError ("colorizeColors[2].color[0]: 300 is outside 0 to 255", or the line and column of
	 * a syntax error), when the text is not an edit state.
	 */
	static bool Parse(const FString& Text, FHCEditState& OutState, FString& OutError);
};
