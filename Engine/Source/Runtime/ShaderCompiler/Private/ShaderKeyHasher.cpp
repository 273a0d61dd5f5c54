#include "ShaderKeyHasher.h"

void FShaderKeyHasher::AddBytes(const void* Data, SIZE_T Length)
{
	// The 128-bit FNV prime, 2^88 + 2^8 + 0x3b.
	constexpr unsigned __int128 Prime = (static_cast<unsigned __int128>(1) << 88) | 0x13b;
	const uint8* Bytes = static_cast<const uint8*>(Data);
	for (SIZE_T Index = 0; Index < Length; ++Index)
	{
		State ^= Bytes[Index];
		State *= Prime;
	}
}

void FShaderKeyHasher::Add(std::string_view Text)
{
	const uint64 Length = Text.size();
	AddBytes(&Length, sizeof(Length));
	AddBytes(Text.data(), Text.size());
}

void FShaderKeyHasher::Add(uint32 Number)
{
	AddBytes(&Number, sizeof(Number));
}

FString FShaderKeyHasher::ToString() const
{
	return FString::Printf(TEXT("%016llx%016llx"), static_cast<unsigned long long>(State >> 64), static_cast<unsigned long long>(State));
}
