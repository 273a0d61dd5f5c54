#pragma once

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"

#include "HCColorize.generated.h"

/** Tints its input (slot 0) by a colour, keeping the input's alpha. */
UCLASS()
class VORPEX_API UHCColorize : public UHCDependantImageProcessor
{
	GENERATED_BODY()

public:
	void SetColor(FColor InColor);
	/** The stored colour, read without the lock (the game thread alone writes it). */
	const FColor& GetColor() const { return Color; }

protected:
	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override;
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override;

private:
	FColor Color = FColor(255, 255, 255, 255);
};
