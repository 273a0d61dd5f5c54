#include "UnrealClient.h"

#include "RHI.h"
#include "RenderingThread.h"

bool FRenderTarget::ReadPixels(TArray<FColor>& OutImageData, FReadSurfaceDataFlags InFlags, FIntRect InRect)
{
	OutImageData.Reset();
	bool bRead = false;
	ENQUEUE_RENDER_COMMAND(ReadSurfaceCommand)(
		[this, &OutImageData, &bRead, InFlags, InRect](FRHICommandListImmediate& RHICmdList)
		{
			FRHITexture* Texture = GetRenderTargetTexture();
			if (!Texture)
			{
				UE_LOG(LogRHI, Error, TEXT("ReadPixels: the render target has no texture"));
				return;
			}
			const EPixelFormat Format = Texture->GetFormat();
			if (Format != PF_B8G8R8A8 && Format != PF_R8G8B8A8)
			{
				UE_LOG(LogRHI, Error, TEXT("ReadPixels: %s is not an 8-bit four-channel surface"), *Texture->GetName());
				return;
			}
			const FIntPoint Size = Texture->GetSizeXY();
			const FIntRect Rect = InRect.IsEmpty() ? FIntRect(FIntPoint(0, 0), Size) : InRect;
			if (Rect.Min.X < 0 || Rect.Min.Y < 0 || Rect.Max.X > Size.X || Rect.Max.Y > Size.Y)
			{
				UE_LOG(LogRHI, Error, TEXT("ReadPixels: the rectangle (%d, %d)-(%d, %d) lies outside %s (%d x %d)"), Rect.Min.X, Rect.Min.Y,
					Rect.Max.X, Rect.Max.Y, *Texture->GetName(), Size.X, Size.Y);
				return;
			}
			RHICmdList.ReadSurfaceData(Texture, Rect, OutImageData, InFlags);
			bRead = true;
		});
	FlushRenderingCommands();
	return bRead;
}
