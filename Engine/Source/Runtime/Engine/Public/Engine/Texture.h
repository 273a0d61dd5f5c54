#pragma once

#include "CoreMinimal.h"
#include "Engine/TextureDefines.h"
#include "RenderCommandFence.h"
#include "UObject/Object.h"

class FTextureResource;

#include "Texture.generated.h"

/**
 * Base of every texture asset: the settings that tell the renderer how to read its texels.
 * The importer (FAssetLoader) chooses them from the file; see AssetLoader.h.
 */
UCLASS(Abstract, BlueprintType)
class ENGINE_API UTexture : public UObject
{
	GENERATED_BODY()

public:
	/** The texels are sRGB-encoded colour, converted to linear when sampled; false for data (normals, masks). */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Texture")
	bool SRGB = true;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Texture")
	TEnumAsByte<TextureFilter> Filter = TF_Default;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "LevelOfDetail", meta = (DisplayName = "Texture Group"))
	TEnumAsByte<TextureGroup> LODGroup = TEXTUREGROUP_World;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "Compression")
	TEnumAsByte<TextureCompressionSettings> CompressionSettings = TC_Default;

	/** Keep every mip resident instead of streaming them in on demand. */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "LevelOfDetail")
	bool NeverStream = false;

	UPROPERTY(EditAnywhere, Category = "LevelOfDetail")
	TEnumAsByte<TextureMipGenSettings> MipGenSettings = TMGS_FromTextureGroup;

	/**
	 * Rebuilds the rendering resource from the texture's current data and settings: the old
	 * resource is released on the render thread and a new one made there (game thread).
	 */
	virtual void UpdateResource();
	/**
	 * The rendering resource, or null before UpdateResource. Its RHI texture is made on the
	 * render thread. The render thread sees the resource as of the commands it has run, so a
	 * command queued before an UpdateResource still finds the resource it was queued for, as
	 * the engine keeps one resource pointer per thread.
	 */
	FTextureResource* GetResource() const;
	/** Releases the rendering resource on the render thread; GetResource returns null from now on. */
	void ReleaseResource();
	/** Releases the resource and waits for the render commands that use this object. */
	void BeginDestroy() override;

protected:
	/** The resource UpdateResource installs; null where the texture has nothing to render. */
	virtual FTextureResource* CreateResource() { return nullptr; }
	/** Begun after every render command that uses this object, so destruction can wait for the last one. */
	FRenderCommandFence ReleaseFence;

private:
	/** Installs NewResource for the game thread now and for the render thread in command order. */
	void SetResource(FTextureResource* NewResource);

	FTextureResource* Resource = nullptr;
	FTextureResource* ResourceRenderThread = nullptr;
};
