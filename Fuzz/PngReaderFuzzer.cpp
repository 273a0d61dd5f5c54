// PNG import on any bytes: a decoded image has exactly the texels its size says, and bytes that
// cannot be decoded say why and leave the outputs alone.

#include "FuzzCheck.h"
#include "PngReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	const TArray<uint8> Bytes(Data, static_cast<int32>(Size));
	int32 Width = -1;
	int32 Height = -1;
	TArray<uint8> Texels;
	FString Error;
	if (FPngReader::DecodeBGRA(Bytes, Width, Height, Texels, Error))
	{
		FUZZ_CHECK(Width > 0 && Height > 0 && Error.IsEmpty());
		FUZZ_CHECK(static_cast<int64>(Texels.Num()) == static_cast<int64>(Width) * Height * 4);
	}
	else
	{
		FUZZ_CHECK(Width == -1 && Height == -1 && Texels.IsEmpty() && !Error.IsEmpty());
	}
	FPngReader::IsSRGB(Bytes);
	return 0;
}
