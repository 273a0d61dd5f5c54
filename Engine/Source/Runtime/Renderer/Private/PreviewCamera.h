#pragma once

// The camera of a preview as the shaders see it.

#include "CoreMinimal.h"
#include "Math/Box.h"

struct FPreviewView;

struct FPreviewCamera
{
	/** The rows of the world-to-clip matrix: +Y up in clip space, depth 0 at the near plane and 1 at the far one. */
	FVector4f ClipRows[4];
	FVector3f Position;

	/** The camera of View, with near and far planes that hold SceneBounds (when valid). */
	static FPreviewCamera Make(const FPreviewView& View, const FBox& SceneBounds);
};
