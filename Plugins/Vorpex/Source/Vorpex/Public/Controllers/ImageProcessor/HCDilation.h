#pragma once

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"

#include "HCDilation.generated.h"

/** Fills the uncovered texels of its input (slot 0) from the nearest covered texel within Radius. */
UCLASS()
class VORPEX_API UHCDilation : public UHCDependantImageProcessor
{
	GENERATED_BODY()

public:
	void SetRadius(int32 InRadius);

	/**
	 * The offsets a pass searches, nearest first: every (x, y) with x ≠ 0, y ≠ 0 and
	 * √(x² + y²) < Radius (single precision), sorted by that length.
	 */
	static TArray<FIntPoint> BuildCellList(int32 Radius);

protected:
	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override;
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override;

private:
	int32 Radius = 16;
};
