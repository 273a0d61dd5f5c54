#pragma once

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"

#include "HCBrightnessContrast.generated.h"

/** Changes the brightness and contrast of its input (slot 0); both values are meant for [-1, 1]. */
UCLASS()
class VORPEX_API UHCBrightnessContrast : public UHCDependantImageProcessor
{
	GENERATED_BODY()

public:
	void SetBrightness(float Value);
	void SetContrast(float Value);

protected:
	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override;
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override;

private:
	float Brightness = 0.0f;
	float Contrast = 0.0f;
};
