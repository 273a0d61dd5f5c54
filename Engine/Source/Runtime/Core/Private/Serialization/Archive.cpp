#include "Serialization/Archive.h"

#include "Containers/StringConv.h"

#include <string>
#include <string_view>

bool FArchive::AtEnd()
{
	const int64 Size = TotalSize();
	return Size != INDEX_NONE && Tell() >= Size;
}

bool FArchive::CanLoadBytes(int64 Count)
{
	const int64 Size = TotalSize();
	const int64 Position = Tell();
	if (Size == INDEX_NONE || Position == INDEX_NONE || (Count >= 0 && Count <= Size - Position))
	{
		return true;
	}
	SetError();
	return false;
}

FArchive& operator<<(FArchive& Ar, bool& Value)
{
	uint32 Encoded = Value ? 1 : 0;
	Ar << Encoded;
	if (Ar.IsLoading())
	{
		Value = Encoded != 0;
	}
	return Ar;
}

namespace
{
	void SaveString(FArchive& Ar, const FString& Value)
	{
		if (Value.IsEmpty())
		{
			int32 Zero = 0;
			Ar << Zero;
			return;
		}
		if (IsPureAnsi(Value))
		{
			int32 SaveNum = Value.Len() + 1;
			Ar << SaveNum;
			Ar.Serialize(const_cast<TCHAR*>(*Value), SaveNum);
			return;
		}
		const FTCHARToUTF16 Converted(*Value, Value.Len());
		int32 SaveNum = -(Converted.Length() + 1);
		Ar << SaveNum;
		for (int32 Index = 0; Index <= Converted.Length(); ++Index)
		{
			uint16 Unit = Converted.Get()[Index];
			Ar << Unit;
		}
	}

	/** Bytes of the one-byte form are Latin-1 characters; those above 127 become UTF-8. */
	FString LatinToUtf8(const std::string& Bytes)
	{
		std::string Result;
		Result.reserve(Bytes.size());
		for (const char Byte : Bytes)
		{
			const unsigned char Code = static_cast<unsigned char>(Byte);
			if (Code < 0x80)
			{
				Result += Byte;
			}
			else
			{
				Result += static_cast<char>(0xC0 | (Code >> 6));
				Result += static_cast<char>(0x80 | (Code & 0x3F));
			}
		}
		return FString(std::move(Result));
	}

	void LoadString(FArchive& Ar, FString& Value)
	{
		Value.Empty();
		int32 SaveNum = 0;
		Ar << SaveNum;
		if (Ar.IsError() || SaveNum == 0)
		{
			return;
		}
		if (SaveNum == MIN_int32)
		{
			Ar.SetError();
			return;
		}
		const bool bUtf16 = SaveNum < 0;
		const int64 Count = bUtf16 ? -static_cast<int64>(SaveNum) : SaveNum;
		if (!Ar.CanLoadBytes(Count * (bUtf16 ? 2 : 1)))
		{
			return;
		}
		if (bUtf16)
		{
			std::u16string Units(static_cast<SIZE_T>(Count), u'\0');
			for (char16_t& Unit : Units)
			{
				uint16 Raw = 0;
				Ar << Raw;
				Unit = Raw;
			}
			// The last unit must be the terminator; anything else means the data is corrupt.
			if (Ar.IsError() || Units.back() != 0)
			{
				Ar.SetError();
				return;
			}
			// Every unit before the terminator is kept, a zero among them too, as the one-byte
			// form keeps its bytes: a string reads back as it was written in either form.
			const FUTF16ToTCHAR Converted(Units.data(), static_cast<int32>(Count - 1));
			Value = FString(std::string_view(Converted.Get(), Converted.Length()));
			return;
		}
		std::string Bytes(static_cast<SIZE_T>(Count), '\0');
		Ar.Serialize(Bytes.data(), Count);
		if (Ar.IsError() || Bytes.back() != '\0')
		{
			Ar.SetError();
			return;
		}
		Bytes.pop_back();
		Value = LatinToUtf8(Bytes);
	}
}

FArchive& operator<<(FArchive& Ar, FString& Value)
{
	if (Ar.IsLoading())
	{
		LoadString(Ar, Value);
	}
	else
	{
		SaveString(Ar, Value);
	}
	return Ar;
}

FArchive& operator<<(FArchive& Ar, FName& Value)
{
	FString Text = Value.IsNone() ? FString() : Value.ToString();
	Ar << Text;
	if (Ar.IsLoading())
	{
		Value = FName(Text);
	}
	return Ar;
}
