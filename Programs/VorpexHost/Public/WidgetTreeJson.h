#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "SliderBlueprintState.h"

class UUserWidget;
class UWidget;

/**
 * A laid-out widget tree as JSON, one object per widget with its children in "children":
 *   "class", "name", "path" (the object path, by which the studio's page calls it), "geometry" ({"position": [x, y], "size": [w, h]} in window pixels and
 *   "localSize" in layout units); text blocks: "text", "fontSize"; expandable areas:
 *   "expanded"; the editor's sliders: "kind" ("oneShape", "twoShapes", "bone", "polygon" or
 *   "colourPicker"), "bound" (the constraint and its shapes, or the section and handler),
 *   1-D sliders "range" and "value", colour pickers "pickerImage", "marker" and "position",
 *   polygon sliders "position" and the "lines" they paint (window pixels, thickness, colour).
 * Positions not known yet are null. The studio sends the same JSON to its page.
 */
class VORPEXHOST_API FWidgetTreeJson
{
public:
	/** Root and everything under it; States holds what each slider's blueprint shows. */
	static TSharedRef<FJsonObject> Write(const UWidget& Root, const TMap<const UUserWidget*, FSliderBlueprintState>& States);
};
