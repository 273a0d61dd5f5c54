#pragma once

// FSampleVertexCaches: per garment, the body's vertex cache built from the garment's points file
// by the plug-in's own build (UHCAttachmentVertexCacheData::BuildData) on the body as the
// project's glTF file holds it, so the opacities follow the vertex order every loader of the
// project sees. Each is written as the JSON form of its data asset (FVertexCacheJson, the form
// `vorpex cull build` writes too). The points file is named relative to the Content folder, as
// project.json names it, so the file is the same wherever the project lies.

#include "CoreMinimal.h"

class FSampleVertexCaches
{
public:
	/**
	 * Writes the vertex caches of every garment into the Content folder ContentDir, whose body
	 * mesh and points files must be written already; false with the reason in OutError.
	 */
	static bool WriteAll(const FString& ContentDir, FString& OutError);
};
