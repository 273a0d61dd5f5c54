#include "ShaderCache.h"

#include "Misc/Crc.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Serialization/MemoryReader.h"
#include "Serialization/MemoryWriter.h"
#include "ShaderCompileOutput.h"
#include "ShaderCompiler.h"

namespace
{
	constexpr uint32 CacheFileMagic = 0x43535856; // "VXSC"
	/** Raise when the file layout or FShaderCompileOutput's serialized form changes. */
	constexpr uint32 CacheFileVersion = 1;
	constexpr uint32 SpirvMagic = 0x07230203;
}

FString FShaderCache::GetFilePath(const FString& Key) const
{
	return FPaths::Combine(Directory, Key + TEXT(".spvcache"));
}

bool FShaderCache::Load(const FString& Key, FShaderCompileOutput& Output) const
{
	const FString FilePath = GetFilePath(Key);
	TArray<uint8> Bytes;
	if (!FFileHelper::LoadFileToArray(Bytes, *FilePath))
	{
		return false;
	}

	FMemoryReader Reader(Bytes);
	uint32 Magic = 0;
	uint32 Version = 0;
	FString StoredKey;
	TArray<uint8> Payload;
	uint32 PayloadCrc = 0;
	Reader << Magic << Version << StoredKey << Payload << PayloadCrc;

	FShaderCompileOutput Loaded;
	bool bIntact = !Reader.IsError() && Reader.AtEnd() && Magic == CacheFileMagic && Version == CacheFileVersion
		&& StoredKey.Equals(Key) && FCrc::MemCrc32(Payload.GetData(), Payload.Num()) == PayloadCrc;
	if (bIntact)
	{
		FMemoryReader PayloadReader(Payload);
		PayloadReader << Loaded;
		bIntact = !PayloadReader.IsError() && PayloadReader.AtEnd() && !Loaded.Spirv.IsEmpty() && Loaded.Spirv[0] == SpirvMagic;
	}
	if (!bIntact)
	{
		UE_LOG(LogShaderCompiler, Warning, TEXT("Ignoring the damaged shader cache file '%s'; the shader is compiled again"), *FilePath);
		return false;
	}
	Loaded.bSucceeded = true;
	Output = std::move(Loaded);
	return true;
}

void FShaderCache::Save(const FString& Key, const FShaderCompileOutput& Output) const
{
	TArray<uint8> Payload;
	FMemoryWriter PayloadWriter(Payload);
	// The archive operator serves loading too, so it takes a mutable output.
	FShaderCompileOutput Stored = Output;
	PayloadWriter << Stored;

	TArray<uint8> Bytes;
	FMemoryWriter Writer(Bytes);
	uint32 Magic = CacheFileMagic;
	uint32 Version = CacheFileVersion;
	FString StoredKey = Key;
	uint32 PayloadCrc = FCrc::MemCrc32(Payload.GetData(), Payload.Num());
	Writer << Magic << Version << StoredKey << Payload << PayloadCrc;

	const FString FilePath = GetFilePath(Key);
	if (!FFileHelper::SaveArrayToFile(Bytes, *FilePath))
	{
		UE_LOG(LogShaderCompiler, Warning, TEXT("Could not store the compiled shader in the cache file '%s'"), *FilePath);
	}
}
