#pragma once

// Debug drawing into a world's line batchers (UWorld::LineBatcher and PersistentLineBatcher).
// A line that is persistent or has a positive lifetime goes to the persistent batcher, where it
// stays for its lifetime (for ever without one); any other line lasts until the world's next
// tick. Nothing is drawn for a null world.

#include "CoreMinimal.h"

class UWorld;

ENGINE_API void DrawDebugLine(const UWorld* InWorld, const FVector& LineStart, const FVector& LineEnd, const FColor& Color,
	bool bPersistentLines = false, float LifeTime = -1.0f, uint8 DepthPriority = 0, float Thickness = 0.0f);

/**
 * A wire sphere of Radius around Center: Segments parallels (circles of latitude) and as many
 * meridians, each cut into Segments lines; fewer than 4 segments draw 4.
 */
ENGINE_API void DrawDebugSphere(const UWorld* InWorld, const FVector& Center, float Radius, int32 Segments, const FColor& Color,
	bool bPersistentLines = false, float LifeTime = -1.0f, uint8 DepthPriority = 0, float Thickness = 0.0f);
