#include "Misc/Crc.h"

#include "Misc/CString.h"

#include <array>
#include <cstring>

namespace
{
	constexpr std::array<uint32, 256> MakeCrcTable()
	{
		std::array<uint32, 256> Table{};
		for (uint32 Index = 0; Index < 256; ++Index)
		{
			uint32 Crc = Index;
			for (int32 Bit = 0; Bit < 8; ++Bit)
			{
				Crc = (Crc & 1) ? (Crc >> 1) ^ 0xEDB88320u : Crc >> 1;
			}
			Table[Index] = Crc;
		}
		return Table;
	}

	constexpr std::array<uint32, 256> CrcTable = MakeCrcTable();

	template <typename TransformType>
	uint32 Crc32(const uint8* Bytes, SIZE_T Length, uint32 Crc, TransformType Transform)
	{
		Crc = ~Crc;
		for (SIZE_T Index = 0; Index < Length; ++Index)
		{
			Crc = (Crc >> 8) ^ CrcTable[(Crc ^ Transform(Bytes[Index])) & 0xFF];
		}
		return ~Crc;
	}

	uint8 Identity(uint8 Byte) { return Byte; }
	uint8 Lower(uint8 Byte) { return static_cast<uint8>(FChar::ToLower(static_cast<TCHAR>(Byte))); }
}

uint32 FCrc::MemCrc32(const void* Data, int32 Length, uint32 Crc)
{
	return Length > 0 ? Crc32(static_cast<const uint8*>(Data), Length, Crc, Identity) : Crc;
}

uint32 FCrc::StrCrc32(const TCHAR* Text, uint32 Crc)
{
	return Text ? Crc32(reinterpret_cast<const uint8*>(Text), std::strlen(Text), Crc, Identity) : Crc;
}

uint32 FCrc::Strihash_DEPRECATED(const TCHAR* Text)
{
	return Text ? Strihash_DEPRECATED(static_cast<int32>(std::strlen(Text)), Text) : 0;
}

uint32 FCrc::Strihash_DEPRECATED(int32 Length, const TCHAR* Text)
{
	return Length > 0 ? Crc32(reinterpret_cast<const uint8*>(Text), Length, 0, Lower) : 0;
}
