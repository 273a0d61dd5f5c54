#include "PngReader.h"

#include "Misc/Crc.h"

#include <stb_image.h>

#include <cstring>
#include <memory>

namespace
{
	constexpr uint8 PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

	uint32 ReadBigEndian32(const uint8* Bytes)
	{
		return (uint32(Bytes[0]) << 24) | (uint32(Bytes[1]) << 16) | (uint32(Bytes[2]) << 8) | uint32(Bytes[3]);
	}

	/**
	 * Why the chunks after the signature are damaged ("" when every chunk up to IEND is whole
	 * and its CRC matches). stb_image checks no CRCs, so without this a flipped bit in the
	 * image data could decode into wrong texels instead of failing.
	 */
	FString FindChunkDamage(const TArray<uint8>& Bytes)
	{
		const int64 Size = Bytes.Num();
		int64 Offset = sizeof(PngSignature);
		for (;;)
		{
			if (Offset + 12 > Size)
			{
				return TEXT("file ends before its IEND chunk");
			}
			const int64 Length = ReadBigEndian32(&Bytes[Offset]);
			if (Offset + 12 + Length > Size)
			{
				return TEXT("file ends inside a chunk");
			}
			const uint8* Type = &Bytes[Offset + 4];
			// The CRC covers the chunk's type and data.
			if (FCrc::MemCrc32(Type, static_cast<int32>(Length + 4)) != ReadBigEndian32(&Bytes[Offset + 8 + Length]))
			{
				return FString::Printf(TEXT("CRC mismatch in chunk %c%c%c%c"), Type[0], Type[1], Type[2], Type[3]);
			}
			Offset += 12 + Length;
			if (std::memcmp(Type, "IEND", 4) == 0)
			{
				return FString();
			}
		}
	}
}

bool FPngReader::DecodeBGRA(const TArray<uint8>& PngBytes, int32& OutWidth, int32& OutHeight, TArray<uint8>& OutTexels, FString& OutError)
{
	// stb_image reads other formats too; checking the signature keeps a JPEG or BMP that was
	// given a .png name from being taken as one.
	if (PngBytes.Num() < static_cast<int32>(sizeof(PngSignature)) || std::memcmp(PngBytes.GetData(), PngSignature, sizeof(PngSignature)) != 0)
	{
		OutError = TEXT("not a PNG file");
		return false;
	}
	const FString Damage = FindChunkDamage(PngBytes);
	if (!Damage.IsEmpty())
	{
		OutError = FString::Printf(TEXT("corrupt PNG (%s)"), *Damage);
		return false;
	}
	int Width = 0;
	int Height = 0;
	int Channels = 0;
	if (!stbi_info_from_memory(PngBytes.GetData(), PngBytes.Num(), &Width, &Height, &Channels))
	{
		OutError = FString::Printf(TEXT("corrupt PNG (%s)"), stbi_failure_reason());
		return false;
	}
	// Texel arrays are indexed by int32, so the decoded image must fit in one.
	const int64 ByteCount = static_cast<int64>(Width) * Height * 4;
	if (ByteCount > MAX_int32)
	{
		OutError = FString::Printf(TEXT("image of %d x %d texels is too large"), Width, Height);
		return false;
	}
	// stb reduces 16-bit channels to 8 by dropping the low byte, which is off by up to one (0x10F0
	// becomes 0x10, not 0x11); they are decoded at full depth and rounded here instead.
	const bool bSixteenBit = stbi_is_16_bit_from_memory(PngBytes.GetData(), PngBytes.Num()) != 0;
	const std::unique_ptr<void, void (*)(void*)> Rgba(bSixteenBit
			? static_cast<void*>(stbi_load_16_from_memory(PngBytes.GetData(), PngBytes.Num(), &Width, &Height, &Channels, 4))
			: static_cast<void*>(stbi_load_from_memory(PngBytes.GetData(), PngBytes.Num(), &Width, &Height, &Channels, 4)),
		stbi_image_free);
	if (!Rgba)
	{
		OutError = FString::Printf(TEXT("corrupt PNG (%s)"), stbi_failure_reason());
		return false;
	}
	TArray<uint8> Texels;
	Texels.SetNumUninitialized(Width * Height * 4);
	uint8* Target = Texels.GetData();
	// stb expands grey to R = G = B and adds A = 255 where the file has no alpha.
	constexpr int32 RgbaToBgra[4] = {2, 1, 0, 3};
	if (bSixteenBit)
	{
		const stbi_us* Source = static_cast<const stbi_us*>(Rgba.get());
		for (int32 Index = 0; Index < Width * Height; ++Index, Source += 4, Target += 4)
		{
			for (int32 Channel = 0; Channel < 4; ++Channel)
			{
				Target[Channel] = static_cast<uint8>((uint32(Source[RgbaToBgra[Channel]]) * 255 + 32767) / 65535);
			}
		}
	}
	else
	{
		const stbi_uc* Source = static_cast<const stbi_uc*>(Rgba.get());
		for (int32 Index = 0; Index < Width * Height; ++Index, Source += 4, Target += 4)
		{
			for (int32 Channel = 0; Channel < 4; ++Channel)
			{
				Target[Channel] = Source[RgbaToBgra[Channel]];
			}
		}
	}
	OutWidth = Width;
	OutHeight = Height;
	OutTexels = std::move(Texels);
	return true;
}

bool FPngReader::IsSRGB(const TArray<uint8>& PngBytes)
{
	bool bSRGB = true;
	int64 Offset = sizeof(PngSignature);
	// Colour chunks come before the image data; only whole chunks are read.
	while (Offset + 12 <= PngBytes.Num())
	{
		const int64 Length = ReadBigEndian32(&PngBytes[Offset]);
		const uint8* Type = &PngBytes[Offset + 4];
		if (Offset + 12 + Length > PngBytes.Num() || std::memcmp(Type, "IDAT", 4) == 0)
		{
			break;
		}
		if (std::memcmp(Type, "sRGB", 4) == 0)
		{
			// An sRGB chunk overrides gAMA, as the PNG standard says.
			return true;
		}
		if (std::memcmp(Type, "gAMA", 4) == 0 && Length == 4)
		{
			bSRGB = ReadBigEndian32(&PngBytes[Offset + 8]) != 100000;
		}
		Offset += 12 + Length;
	}
	return bSRGB;
}
