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

protected:
	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override;
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override;

private:
	EHCSwizzleChannel Red = EHCSwizzleChannel::SC_Red;
	EHCSwizzleChannel Green = EHCSwizzleChannel::SC_Green;
	EHCSwizzleChannel Blue = EHCSwizzleChannel::SC_Blue;
	EHCSwizzleChannel Alpha = EHCSwizzleChannel::SC_Alpha;
};
