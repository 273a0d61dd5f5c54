#pragma once

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "Engine/Texture2D.h"

#include "HCImageTexture.generated.h"

/** A source node: resamples a texture onto its result (bilinear, by Scale and Offset). */
UCLASS()
class VORPEX_API UHCImageTexture : public UHCImageProcessor
{
	GENERATED_BODY()

public:
	/** The texture to resample; its rendering resource is rebuilt at the next Prepare. */
	void SetInputTexture(UTexture2D* Texture);
	/** Source position = (result texel centre / result size) × Scale + Offset. */
	void SetScaleAndOffset(FVector2f InScale, FVector2f InOffset);
	UTexture2D* GetInputTexture() const { return InputTexture; }

protected:
	/** Requires a texture; rebuilds its rendering resource once after it was set. */
	void Prepare() override;
	/** Adds the texture's upload revision: new texels make the result anew even in the same texture. */
	void GetResultSources(TArray<uint64>& OutSources) const override;
	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override;
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override;

private:
	UPROPERTY()
	TObjectPtr<UTexture2D> InputTexture = nullptr;

	bool bInputTextureChanged = false;
	FVector2f Scale = FVector2f(1.0f, 1.0f);
	FVector2f Offset = FVector2f(0.0f, 0.0f);
};
