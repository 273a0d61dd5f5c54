#include "SampleImage.h"

#include "HAL/FileManager.h"
#include "Misc/Paths.h"
#include "PngWriter.h"
#include "UVRasterizer.h"

#include <algorithm>
#include <cmath>

FSampleImage::FSampleImage(int32 InWidth, int32 InHeight, const FLinearColor& Fill)
	: Width(InWidth)
	, Height(InHeight)
{
	Texels.Init(Fill, Width * Height);
}

FSampleImage::FSampleImage(const FUVRasterizer& Rasterizer)
	: FSampleImage(Rasterizer.GetSize(), Rasterizer.GetSize())
{
	for (int32 Y = 0; Y < Height; ++Y)
	{
		for (int32 X = 0; X < Width; ++X)
		{
			At(X, Y) = Rasterizer.GetTexel(X, Y);
		}
	}
}

TArray<uint8> FSampleImage::ToBGRA() const
{
	auto Byte = [](float Value) { return uint8(std::lround(std::clamp(Value, 0.0f, 1.0f) * 255.0f)); };
	TArray<uint8> Bytes;
	Bytes.SetNumUninitialized(Width * Height * 4);
	for (int32 Index = 0; Index < Texels.Num(); ++Index)
	{
		const FLinearColor& Texel = Texels[Index];
		Bytes[Index * 4 + 0] = Byte(Texel.B);
		Bytes[Index * 4 + 1] = Byte(Texel.G);
		Bytes[Index * 4 + 2] = Byte(Texel.R);
		Bytes[Index * 4 + 3] = Byte(Texel.A);
	}
	return Bytes;
}

bool FSampleImage::Write(const FString& Filename, FString& OutError) const
{
	IFileManager::Get().MakeDirectory(*FPaths::GetPath(Filename), true);
	if (!FPngWriter::WriteBGRA(ToBGRA(), Width, Height, Filename))
	{
		OutError = FString::Printf(TEXT("cannot write %s"), *Filename);
		return false;
	}
	return true;
}
