#include "HCEditState.h"

#include "Serialization/MemoryReader.h"
#include "Serialization/MemoryWriter.h"

namespace
{
	constexpr int64 HeaderBytes = 16;
	constexpr int64 CountBytes = 4;
	/** The least a morph weight takes: the length of an empty name, and the weight. */
	constexpr int64 MinMorphWeightBytes = 4 + 4;
	constexpr int64 ColorizeColorBytes = 16;

	/** Saves Value; an archive that is saving only reads what it is given. */
	template <typename ValueType>
	void Save(FArchive& Writer, const ValueType& Value)
	{
		Writer << const_cast<ValueType&>(Value);
	}

	/**
	 * Reads the count of a section whose entries take at least MinEntryBytes each. A count
	 * the remaining bytes cannot hold is refused before anything is allocated for it.
	 */
	bool ReadCount(FMemoryReader& Reader, const TCHAR* Entries, int64 MinEntryBytes, int32& OutCount, FString& OutError)
	{
		const int64 Offset = Reader.Tell();
		if (Reader.TotalSize() - Offset < CountBytes)
		{
			OutError = FString::Printf(TEXT("The input ends at offset %lld, inside the count of %s"), static_cast<long long>(Offset), Entries);
			return false;
		}
		Reader << OutCount;
		const int64 Remaining = Reader.TotalSize() - Reader.Tell();
		if (OutCount < 0)
		{
			OutError = FString::Printf(TEXT("The count of %s at offset %lld is negative (%d)"), Entries, static_cast<long long>(Offset), OutCount);
			return false;
		}
		if (OutCount * MinEntryBytes > Remaining)
		{
			OutError = FString::Printf(TEXT("The count of %s at offset %lld is %d, more than the %lld bytes after it can hold"), Entries,
				static_cast<long long>(Offset), OutCount, static_cast<long long>(Remaining));
			return false;
		}
		return true;
	}

	bool ReadMorphWeights(FMemoryReader& Reader, TArray<FHCMorphWeightRecord>& OutWeights, FString& OutError)
	{
		int32 Count = 0;
		if (!ReadCount(Reader, TEXT("morph weights"), MinMorphWeightBytes, Count, OutError))
		{
			return false;
		}
		OutWeights.Reserve(Count);
		for (int32 Index = 0; Index < Count; ++Index)
		{
			const long long Offset = Reader.Tell();
			FHCMorphWeightRecord& Record = OutWeights.AddDefaulted_GetRef();
			Reader << Record.Name;
			if (Reader.IsError())
			{
				OutError = FString::Printf(TEXT("The name of morph weight %d at offset %lld runs past the end of the input or does not end in a zero"),
					Index, Offset);
				return false;
			}
			if (!Reader.CanLoadBytes(sizeof(Record.Weight)))
			{
				OutError = FString::Printf(TEXT("The input ends inside morph weight %d at offset %lld"), Index, Offset);
				return false;
			}
			Reader << Record.Weight;
		}
		return true;
	}

	bool ReadColorizeColors(FMemoryReader& Reader, TArray<FHCColorizeColorRecord>& OutColors, FString& OutError)
	{
		int32 Count = 0;
		if (!ReadCount(Reader, TEXT("colours"), ColorizeColorBytes, Count, OutError))
		{
			return false;
		}
		// The count is known to fit, so every entry reads in full.
		OutColors.SetNum(Count);
		for (FHCColorizeColorRecord& Record : OutColors)
		{
			Reader << Record.ComponentIndex << Record.StackIndex << Record.ProcessorIndex;
			Reader << Record.Color.B << Record.Color.G << Record.Color.R << Record.Color.A;
		}
		return true;
	}
}

void FHCEditState::Write(TArray<uint8>& OutBytes) const
{
	FMemoryWriter Writer(OutBytes);
	Save(Writer, false);
	Save(Writer, bUseMorphTargets);
	Save(Writer, bUseTextureEditing);
	Save(Writer, int32(1));
	if (bUseMorphTargets)
	{
		Save(Writer, MorphWeights.Num());
		for (const FHCMorphWeightRecord& Record : MorphWeights)
		{
			Save(Writer, Record.Name);
			Save(Writer, Record.Weight);
		}
	}
	if (bUseTextureEditing)
	{
		Save(Writer, ColorizeColors.Num());
		for (const FHCColorizeColorRecord& Record : ColorizeColors)
		{
			Save(Writer, Record.ComponentIndex);
			Save(Writer, Record.StackIndex);
			Save(Writer, Record.ProcessorIndex);
			Save(Writer, Record.Color.B);
			Save(Writer, Record.Color.G);
			Save(Writer, Record.Color.R);
			Save(Writer, Record.Color.A);
		}
	}
}

bool FHCEditState::Read(const TArray<uint8>& Bytes, FString& OutError)
{
	*this = FHCEditState();
	// Zero bytes have always read as a header without sections; anything shorter than a header is cut off.
	if (Bytes.IsEmpty())
	{
		return true;
	}
	if (Bytes.Num() < HeaderBytes)
	{
		OutError = FString::Printf(TEXT("The input ends inside the header, after %d of its %lld bytes"), Bytes.Num(),
			static_cast<long long>(HeaderBytes));
		return false;
	}
	FMemoryReader Reader(Bytes);
	bool bReservedFlag = false;
	int32 ReservedNumber = 0;
	Reader << bReservedFlag << bUseMorphTargets << bUseTextureEditing << ReservedNumber;
	return (!bUseMorphTargets || ReadMorphWeights(Reader, MorphWeights, OutError))
		&& (!bUseTextureEditing || ReadColorizeColors(Reader, ColorizeColors, OutError));
}
