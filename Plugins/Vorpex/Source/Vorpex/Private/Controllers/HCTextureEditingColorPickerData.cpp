#include "Controllers/HCTextureEditingColorPickerData.h"

#include "Engine/TextureRenderTarget2D.h"
#include "RenderCommandFence.h"
#include "RenderingThread.h"
#include "RHICommandList.h"
#include "TextureResource.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

namespace
{
	/** Clamps a picker coordinate to [-1, 1]; NaN becomes -1 so that it can never index outside the palette. */
	float ClampPickerCoordinate(float Value)
	{
		return Value >= -1.0f ? (Value <= 1.0f ? Value : 1.0f) : -1.0f;
	}
}

FColor FHCTextureEditingColorPickerData::SampleColor(FVector2f Position) const
{
	if (!HasColors())
	{
		return FColor(0, 0, 0, 0);
	}
	const float U = (ClampPickerCoordinate(Position.X) + 1.0f) * 0.5f;
	const float V = (ClampPickerCoordinate(Position.Y) + 1.0f) * 0.5f;
	const int32 Column = static_cast<int32>(static_cast<double>(U) * static_cast<double>(width - 1));
	const int32 Row = static_cast<int32>(static_cast<double>(V) * static_cast<double>(height - 1));
	const int32 Index = Column + Row * static_cast<int32>(width);
	return textureColors[Index];
}

bool FHCTextureEditingColorPickerData::HasColors() const
{
	return width > 0 && height > 0 && textureColors.Num() == width * height;
}

bool FHCTextureEditingColorPickerData::SetTextureColors()
{
	if (!texture2D)
	{
		UE_LOG(LogTemp, Warning, TEXT("Invalid texture."));
		return false;
	}
	texture2D->UpdateResource();
	width = texture2D->GetSizeX();
	height = texture2D->GetSizeY();

	UTextureRenderTarget2D* RenderTarget = NewObject<UTextureRenderTarget2D>(GetTransientPackage());
	RenderTarget->RenderTargetFormat = RTF_RGBA8;
	RenderTarget->InitAutoFormat(static_cast<uint32>(width), static_cast<uint32>(height));
	RenderTarget->UpdateResourceImmediate(true);

	// Both objects exist here (the texture was checked above, NewObject does not fail), so only
	// their GPU resources can be missing, and then the copy is skipped.
	FTextureResource* SourceResource = texture2D->GetResource();
	FTextureRenderTargetResource* DestinationResource = RenderTarget->GetRenderTargetResource();
	ENQUEUE_RENDER_COMMAND(CopyTextureCommand)(
		[SourceResource, DestinationResource](FRHICommandListImmediate& RHICmdList)
		{
			FRHITexture* Source = SourceResource ? SourceResource->GetTextureRHI() : nullptr;
			FRHITexture* Destination = DestinationResource ? DestinationResource->GetRenderTargetTexture() : nullptr;
			if (Source && Destination && Source != Destination)
			{
				RHICmdList.CopyTexture(Source, Destination, FRHICopyTextureInfo());
			}
		});

	FRenderCommandFence Fence;
	Fence.BeginFence();
	Fence.Wait();

	textureColors.Empty();
	const bool bRead = RenderTarget->GameThread_GetRenderTargetResource()->ReadPixels(textureColors);
	if (!bRead)
	{
		UE_LOG(LogTemp, Error, TEXT("Failed to read pixels from the RenderTarget!"));
		textureColors.Empty();
	}
	return bRead;
}
