#pragma once

#include "CoreMinimal.h"
#include "Engine/Texture.h"

#include "TextureRenderTarget.generated.h"

/** Base of the textures the GPU draws into. */
UCLASS(Abstract)
class ENGINE_API UTextureRenderTarget : public UTexture
{
	GENERATED_BODY()

public:
	/** The gamma the target's contents are displayed with; 0 uses the display's. */
	UPROPERTY(EditAnywhere, Category = "RenderTarget")
	float TargetGamma = 0.0f;
};
