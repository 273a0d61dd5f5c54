#pragma once

#include "CoreMinimal.h"

class UHCImageProcessor;

/**
 * Runs image-processor graphs in batches: the protocol the texture-editing controller and the
 * composite component drive their graphs with.
 */
class VORPEX_API FHCImageProcessorBatch
{
public:
	/**
	 * Runs one batch of the graphs under Roots, in the roots' order: Prepare on every root and
	 * the game-thread walk of every root (game thread), then one render command that adds every
	 * root's pass (and, first, its inputs' passes, once each) to one render graph and executes
	 * it. The command runs at once on the rendering thread or while rendering is not threaded.
	 * Null roots are skipped.
	 */
	static void Run(const TArray<UHCImageProcessor*>& Roots);
};
