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
	const std::unique_ptr<stbi_uc, void (*)(void*)> Rgba(
		stbi_load_from_memory(PngBytes.GetData(), PngBytes.Num(), &Width, &Height, &Channels, 4), stbi_image_free);
	if (!Rgba)
	{
		OutError = FString::Printf(TEXT("corrupt PNG (%s)"), stbi_failure_reason());
		return false;
	}
	TArray<uint8> Texels;
	Texels.SetNumUninitialized(Width * Height * 4);
	const stbi_uc* Source = Rgba.get();
	uint8* Target = Texels.GetData();
	for (int32 Index = 0; Index < Width * Height; ++Index, Source += 4, Target += 4)
	{
		Target[0] = Source[2];
		Target[1] = Source[1];
		Target[2] = Source[0];
		Target[3] = Source[3];
	}
	OutWidth = Width;
	OutHeight = Height;
	OutTexels = std::move(Texels);
	return true;
}
