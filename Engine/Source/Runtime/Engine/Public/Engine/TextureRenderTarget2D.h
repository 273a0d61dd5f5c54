#pragma once

// UTextureRenderTarget2D: a 2-D texture that the GPU draws into and that keeps its contents
// until drawn again. Set SizeX/SizeY, RenderTargetFormat and ClearColor, then make its
// resource (InitAutoFormat or UpdateResource); the render thread gets the RHI texture from
// GetRenderTargetResource(), the game thread reads pixels back through
// GameThread_GetRenderTargetResource()->ReadPixels.

#include "CoreMinimal.h"
#include "Engine/TextureRenderTarget.h"
#include "PixelFormat.h"

#include "TextureRenderTarget2D.generated.h"

class FTextureRenderTargetResource;

/** The pixel formats a render target can have (the engine's values). */
UENUM(BlueprintType)
enum ETextureRenderTargetFormat : int
{
	RTF_R8 UMETA(DisplayName = "R8"),
	RTF_RG8 UMETA(DisplayName = "RG8"),
	RTF_RGBA8 UMETA(DisplayName = "RGBA8"),
	RTF_RGBA8_SRGB UMETA(DisplayName = "RGBA8 SRGB"),
	RTF_R16f UMETA(DisplayName = "R16f"),
	RTF_RG16f UMETA(DisplayName = "RG16f"),
	RTF_RGBA16f UMETA(DisplayName = "RGBA16f"),
	RTF_R32f UMETA(DisplayName = "R32f"),
	RTF_RG32f UMETA(DisplayName = "RG32f"),
	RTF_RGBA32f UMETA(DisplayName = "RGBA32f"),
	RTF_RGB10A2 UMETA(DisplayName = "RGB10A2"),
};

UCLASS(BlueprintType)
class ENGINE_API UTextureRenderTarget2D : public UTextureRenderTarget
{
	GENERATED_BODY()

public:
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "TextureRenderTarget2D")
	int32 SizeX = 1;

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "TextureRenderTarget2D")
	int32 SizeY = 1;

	/** The colour the target is cleared to (the engine's default is green). */
	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "TextureRenderTarget2D")
	FLinearColor ClearColor = FLinearColor(0.0f, 1.0f, 0.0f, 1.0f);

	UPROPERTY(EditAnywhere, BlueprintReadWrite, Category = "TextureRenderTarget2D")
	TEnumAsByte<ETextureRenderTargetFormat> RenderTargetFormat = RTF_RGBA16f;

	/** Lets compute shaders write the target directly (formats without sRGB only). */
	UPROPERTY(EditAnywhere, Category = "TextureRenderTarget2D")
	bool bCanCreateUAV = false;

	/** Sets the size and makes the resource, cleared to ClearColor (game thread). */
	void InitAutoFormat(uint32 InSizeX, uint32 InSizeY);

	/**
	 * Makes the resource unless it matches the current size, format and clear colour, then, if
	 * bClearRenderTarget, clears it to ClearColor (game thread; the clear is a render command).
	 */
	void UpdateResourceImmediate(bool bClearRenderTarget = true);

	/** The resource as a render target, for the game thread (ReadPixels); null before it is made. */
	FTextureRenderTargetResource* GameThread_GetRenderTargetResource() const;
	/** The resource as a render target, for the rendering thread. */
	FTextureRenderTargetResource* GetRenderTargetResource() const;

	/** The pixel format of RenderTargetFormat; PF_Unknown for the formats this runtime cannot make (RG8, 16-bit floats but RGBA, RG32f, RGB10A2). */
	EPixelFormat GetFormat() const;
	/** True for RTF_RGBA8_SRGB: writes encode and reads decode sRGB. */
	bool IsSRGB() const;

protected:
	/** Checks the size (positive) and the format (one GetFormat knows) first. */
	FTextureResource* CreateResource() override;
};
