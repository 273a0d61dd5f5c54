#pragma once

#include "CoreMinimal.h"
#include "Math/BoxSphereBounds.h"

class UWorld;

/**
 * The preview picture of a composed character: the world drawn from the front and at three
 * quarters (45 degrees round the vertical axis), side by side, each view framing Bounds.
 */
class FPreviewPicture
{
public:
	/** Each view's size; the picture is two views wide. */
	static constexpr int32 ViewWidth = 384;
	static constexpr int32 ViewHeight = 768;

	/** Draws the views and writes them as the PNG file Filename (replaced as a whole); false with the reason in OutError. */
	static bool Write(const UWorld& World, const FBoxSphereBounds& Bounds, const FString& Filename, FString& OutError);
};
