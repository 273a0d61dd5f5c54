#pragma once

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "DataAssets/HCEnumerations.h"

#include "HCBlendTexture.generated.h"

/**
 * Blends input A with input B: lerp by the mask's red channel (three inputs), multiply or add
 * (two inputs). Slots are the EHCBlendTextureDependencySlot values.
 */
UCLASS()
class VORPEX_API UHCBlendTexture : public UHCDependantImageProcessor
{
	GENERATED_BODY()

public:
	/** Set while the graph is built, before any batch runs (it takes no lock). */
	void SetOperation(EHCBlendTextureOperation InOperation);
	EHCBlendTextureOperation GetOperation() const { return Operation; }
	void SetWeight(float InWeight);

protected:
	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override;
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override;

private:
	float Weight = 1.0f;
	EHCBlendTextureOperation Operation = EHCBlendTextureOperation::BTO_Lerp;
};
