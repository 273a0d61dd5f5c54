#pragma once

// FSampleProjectBuilder: the whole build of the sample project from the source data, in order:
// the body and garment meshes with their morph targets, the rig animation (the skeleton fitted
// to each shape), the body positions each garment covers and the body's vertex caches built
// from them, the textures and the JSON files.

#include "CoreMinimal.h"

class FSampleProjectBuilder
{
public:
	/** Builds into ProjectDir from the data in SourceDir; false with the reason in OutError. */
	static bool Build(const FString& SourceDir, const FString& ProjectDir, FString& OutError);
};
