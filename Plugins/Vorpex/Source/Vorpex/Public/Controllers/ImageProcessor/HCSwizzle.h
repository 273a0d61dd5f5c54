#pragma once

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "DataAssets/HCEnumerations.h"

#include "HCSwizzle.generated.h"

/** Rearranges the channels of its input (slot 0): each output channel takes a channel, its complement, 0 or 1. */
UCLASS()
class VORPEX_API UHCSwizzle : public UHCDependantImageProcessor
{
	GENERATED_BODY()

public:
	void SetArrangement(EHCSwizzleChannel InRed, EHCSwizzleChannel InGreen, EHCSwizzleChannel InBlue, EHCSwizzleChannel InAlpha);

	/** The channel sources of red, green, blue and alpha, read without the lock (the game thread alone writes them). */
	TArray<EHCSwizzleChannel> GetArrangement() const { return {Red, Green, Blue, Alpha}; }

protected:
	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override;
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override;

private:
	EHCSwizzleChannel Red = EHCSwizzleChannel::SC_Red;
	EHCSwizzleChannel Green = EHCSwizzleChannel::SC_Green;
	EHCSwizzleChannel Blue = EHCSwizzleChannel::SC_Blue;
	EHCSwizzleChannel Alpha = EHCSwizzleChannel::SC_Alpha;
};
