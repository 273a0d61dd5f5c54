#pragma once

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "RHIResources.h"

#include "HCMeshUVTexture.generated.h"

/** Rasterises a mesh's UV layout into its result, textured by its input (slot 0); uncovered texels end up (0, 0, 0, 0). */
UCLASS()
class VORPEX_API UHCMeshUVTexture : public UHCDependantImageProcessor
{
	GENERATED_BODY()

public:
	/** Also sets TextureSize to the result's size. */
	void Initialize(int32 Width, int32 Height) override;

	/** Three UVs per triangle, uploaded by a render command. */
	void setUVs(const TArray<FVector2f>& uvs);
	void setColorMultiplier(FColor color);

	/** Extent of the pass's texture; equals the result's size. */
	FIntPoint TextureSize = FIntPoint(0, 0);

protected:
	void Execute(HCImageProcessorExecuteContext_RenderThread& Context) override;
	void Execute(HCImageProcessorExecuteContext_GameThread& Context) override;

private:
	FLinearColor ColorMultiplier = FLinearColor(1.0f, 1.0f, 1.0f, 1.0f);
	FBufferRHIRef UVVertexBuffer;
	/** The UVs in UVVertexBuffer; render thread only, set with the buffer by its upload. */
	uint32 UploadedUVCount = 0;
	TArray<FVector2f> UVs;
};
