#include "PreviewPicture.h"

#include "PngWriter.h"
#include "PreviewRenderer.h"

#include <cstring>

bool FPreviewPicture::Write(const UWorld& World, const FBoxSphereBounds& Bounds, const FString& Filename, FString& OutError)
{
	constexpr float ViewYaws[] = {0.0f, 45.0f};
	constexpr int32 ViewCount = UE_ARRAY_COUNT(ViewYaws);
	const int32 PictureWidth = ViewWidth * ViewCount;
	TArray<uint8> Picture;
	Picture.SetNumZeroed(PictureWidth * ViewHeight * 4);
	for (int32 View = 0; View < ViewCount; ++View)
	{
		TArray<FColor> Pixels;
		if (!FPreviewRenderer::RenderToImage(World, FPreviewView::FrameBounds(Bounds, ViewYaws[View], ViewWidth, ViewHeight), Pixels, OutError))
		{
			return false;
		}
		check(Pixels.Num() == ViewWidth * ViewHeight);
		// FColor keeps its bytes in B, G, R, A order, the writer's layout.
		for (int32 Row = 0; Row < ViewHeight; ++Row)
		{
			std::memcpy(&Picture[(Row * PictureWidth + View * ViewWidth) * 4], &Pixels[Row * ViewWidth], ViewWidth * 4);
		}
	}
	if (!FPngWriter::WriteBGRA(Picture, PictureWidth, ViewHeight, Filename))
	{
		OutError = TEXT("the picture cannot be written (the warning above says why)");
		return false;
	}
	return true;
}
