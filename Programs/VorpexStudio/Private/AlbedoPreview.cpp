#include "AlbedoPreview.h"

#include "Engine/TextureRenderTarget2D.h"
#include "TextureResource.h"

#include <array>

namespace
{
	/** Linear light in 16-bit fixed point, so that sums of a box stay in 32 bits. */
	constexpr float FixedOne = 65535.0f;
	/** The encoding table's steps: fine enough that neighbouring sRGB levels never share one. */
	constexpr int32 EncodeSteps = 4096;

	struct FConversionTables
	{
		std::array<uint16, 256> LinearFromLinearByte{};
		std::array<uint16, 256> LinearFromSRGBByte{};
		std::array<uint8, EncodeSteps> SRGBByteFromLinear{};

		FConversionTables()
		{
			for (int32 Level = 0; Level < 256; ++Level)
			{
				LinearFromLinearByte[Level] = uint16(FMath::RoundToInt(Level / 255.0f * FixedOne));
				LinearFromSRGBByte[Level] = uint16(FMath::RoundToInt(FLinearColor::sRGBToLinearTable[Level] * FixedOne));
			}
			for (int32 Step = 0; Step < EncodeSteps; ++Step)
			{
				const float Linear = (Step + 0.5f) / EncodeSteps;
				SRGBByteFromLinear[Step] = FLinearColor(Linear, 0.0f, 0.0f).ToFColor(true).R;
			}
		}
	};

	const FConversionTables& Tables()
	{
		static const FConversionTables Instance;
		return Instance;
	}
}

bool FAlbedoPreview::Read(const UTextureRenderTarget2D& Target, FPreviewTexels& OutPreview, FString& OutError)
{
	FTextureRenderTargetResource* Resource = Target.GameThread_GetRenderTargetResource();
	if (!Resource || !Resource->ReadPixels(ReadBuffer))
	{
		OutError = FString::Printf(TEXT("the texels of %s could not be read back"), *Target.GetPathName());
		return false;
	}
	const FIntPoint Size = Resource->GetSizeXY();
	OutPreview = Scale(ReadBuffer, Size.X, Size.Y, !Target.IsSRGB());
	return true;
}

FPreviewTexels FAlbedoPreview::Scale(const TArray<FColor>& Texels, int32 Width, int32 Height, bool bLinear)
{
	check(Width > 0 && Height > 0 && Texels.Num() == int64(Width) * Height);
	const int32 Factor = FMath::DivideAndRoundUp(FMath::Max(Width, Height), MaxSize);
	FPreviewTexels Out;
	Out.Width = FMath::Max(Width / Factor, 1);
	Out.Height = FMath::Max(Height / Factor, 1);
	Out.Texels.resize(size_t(Out.Width) * Out.Height * 4);

	const FConversionTables& Table = Tables();
	const std::array<uint16, 256>& ToLinear = bLinear ? Table.LinearFromLinearByte : Table.LinearFromSRGBByte;
	const uint32 BoxTexels = uint32(Factor) * uint32(Factor);
	for (int32 Y = 0; Y < Out.Height; ++Y)
	{
		for (int32 X = 0; X < Out.Width; ++X)
		{
			uint32 R = 0, G = 0, B = 0, A = 0;
			for (int32 BoxY = 0; BoxY < Factor; ++BoxY)
			{
				const FColor* Row = &Texels[int64(Y * Factor + BoxY) * Width + int64(X) * Factor];
				for (int32 BoxX = 0; BoxX < Factor; ++BoxX)
				{
					R += ToLinear[Row[BoxX].R];
					G += ToLinear[Row[BoxX].G];
					B += ToLinear[Row[BoxX].B];
					A += Row[BoxX].A;
				}
			}
			const auto Encode = [&](uint32 Sum) { return Table.SRGBByteFromLinear[(Sum / BoxTexels) * EncodeSteps / 65536]; };
			uint8* Texel = &Out.Texels[(size_t(Y) * Out.Width + X) * 4];
			Texel[0] = Encode(R);
			Texel[1] = Encode(G);
			Texel[2] = Encode(B);
			Texel[3] = uint8((A + BoxTexels / 2) / BoxTexels);
		}
	}
	return Out;
}
