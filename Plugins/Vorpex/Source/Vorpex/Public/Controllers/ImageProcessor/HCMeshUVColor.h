#pragma once

#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "RHIResources.h"

#include "HCMeshUVColor.generated.h"

/** Rasterises a mesh's UV layout into its result, with per-vertex colours; uncovered texels end up (0, 0, 0, 0). */
UCLASS()
class VORPEX_API UHCMeshUVColor : public UHCImageProcessor
{
	GENERATED_BODY()

public:
	/** Also sets TextureSize to the result's size. */
	void Initialize(int32 Width, int32 Height) override;

	/** Three UVs and colours per triangle; both arrays must have the same length. Uploaded by render commands. */
	void setUVsAndColors(const TArray<FVector2f>& uvs, const TArray<FColor>& colors);
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
	FBufferRHIRef ColorsVertexBuffer;
	TArray<FLinearColor> Colors;
};
