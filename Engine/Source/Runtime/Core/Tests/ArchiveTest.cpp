#include "Serialization/MemoryReader.h"
#include "Serialization/MemoryWriter.h"

#include <gtest/gtest.h>

namespace
{
	FString ToHex(const TArray<uint8>& Bytes)
	{
		FString Text;
		for (const uint8 Byte : Bytes)
		{
			Text += FString::Printf("%02X", Byte);
		}
		return Text;
	}

	TArray<uint8> FromHex(const char* Hex)
	{
		TArray<uint8> Bytes;
		for (const char* Cursor = Hex; Cursor[0] && Cursor[1]; Cursor += 2)
		{
			Bytes.Add(static_cast<uint8>(std::stoi(std::string(Cursor, 2), nullptr, 16)));
		}
		return Bytes;
	}
}

TEST(ArchiveTest, WritesTheEngineEncodingsByteForByte)
{
	TArray<uint8> Bytes;
	FMemoryWriter Writer(Bytes);
	uint32 ReservedFlag = 0;
	bool bUseMorphs = true;
	bool bUseTextures = false;
	int32 ReservedNumber = 1;
	int32 Count = 1;
	FString Name("A");
	float Weight = 0.5f;
	Writer << ReservedFlag << bUseMorphs << bUseTextures << ReservedNumber << Count << Name << Weight;
	EXPECT_FALSE(Writer.IsError());
	EXPECT_TRUE(ToHex(Bytes).Equals("00000000010000000000000001000000010000000200000041000000003F")) << *ToHex(Bytes);
}

TEST(ArchiveTest, StringsRoundTripInBothForms)
{
	TArray<uint8> Bytes;
	FMemoryWriter Writer(Bytes);
	FString Ascii("Height");
	FString Wide("Gr\xC3\xB6\xC3\x9F" "e\xF0\x9F\x98\x80"); // Größe😀
	FString Empty;
	Writer << Ascii << Wide << Empty;

	// "Height": 7 then the bytes and a zero; the non-ASCII text is UTF-16 with a negated length.
	EXPECT_TRUE(ToHex(Bytes).StartsWith("07000000486569676874" "00" "F8FFFFFF47007200F600DF006500" "3DD800DE" "0000"));
	EXPECT_TRUE(ToHex(Bytes).EndsWith("00000000"));

	FMemoryReader Reader(Bytes);
	FString ReadAscii, ReadWide, ReadEmpty("x");
	Reader << ReadAscii << ReadWide << ReadEmpty;
	EXPECT_FALSE(Reader.IsError());
	EXPECT_TRUE(Reader.AtEnd());
	EXPECT_TRUE(ReadAscii.Equals(Ascii));
	EXPECT_TRUE(ReadWide.Equals(Wide));
	EXPECT_TRUE(ReadEmpty.IsEmpty());
}

TEST(ArchiveTest, ReadsOtherValidStringForms)
{
	// One byte holding only the terminator is the empty string; bytes above 127 are Latin-1.
	TArray<uint8> Bytes = FromHex("0100000000" "02000000E900");
	FMemoryReader Reader(Bytes);
	FString First("x"), Second;
	Reader << First << Second;
	EXPECT_FALSE(Reader.IsError());
	EXPECT_TRUE(First.IsEmpty());
	EXPECT_TRUE(Second.Equals("\xC3\xA9"));
}

TEST(ArchiveTest, AZeroInsideAStringIsKeptInBothForms)
{
	// Written and read back, in the one-byte form (ASCII) and in UTF-16 (with an é): nothing
	// after the zero is lost, so loading what was saved gives the string that was saved.
	const FString Ascii(std::string("ab\0cd", 5));
	const FString Wide(std::string("\xC3\xA9\0x", 4));
	TArray<uint8> Bytes;
	FMemoryWriter Writer(Bytes);
	Writer << const_cast<FString&>(Ascii) << const_cast<FString&>(Wide);
	EXPECT_TRUE(ToHex(Bytes).Equals("06000000616200636400" "FCFFFFFFE90000007800" "0000")) << *ToHex(Bytes);

	FMemoryReader Reader(Bytes);
	FString ReadAscii, ReadWide;
	Reader << ReadAscii << ReadWide;
	EXPECT_FALSE(Reader.IsError());
	EXPECT_EQ(ReadAscii.ToStdString(), Ascii.ToStdString());
	EXPECT_EQ(ReadWide.ToStdString(), Wide.ToStdString());
}

TEST(ArchiveTest, BooleansReadAnyNonZeroAsTrue)
{
	TArray<uint8> Bytes = FromHex("00000000" "02000000" "FFFFFFFF");
	FMemoryReader Reader(Bytes);
	bool bA = true, bB = false, bC = false;
	Reader << bA << bB << bC;
	EXPECT_FALSE(bA);
	EXPECT_TRUE(bB);
	EXPECT_TRUE(bC);
	EXPECT_FALSE(Reader.IsError());
}

TEST(ArchiveTest, TruncatedInputSetsErrorAndYieldsZeros)
{
	TArray<uint8> Bytes = FromHex("0100000002");
	FMemoryReader Reader(Bytes);
	int32 First = 0, Second = 7, Third = 7;
	Reader << First << Second;
	EXPECT_EQ(First, 1);
	EXPECT_EQ(Second, 0);
	EXPECT_TRUE(Reader.IsError());
	Reader << Third; // stays in error, reads nothing
	EXPECT_EQ(Third, 0);

	TArray<uint8> Empty;
	FMemoryReader EmptyReader(Empty);
	float Value = 1.0f;
	EmptyReader << Value;
	EXPECT_EQ(Value, 0.0f);
	EXPECT_TRUE(EmptyReader.IsError());
}

TEST(ArchiveTest, OversizedCountsAndLengthsAreErrorsNotAllocations)
{
	struct FCase
	{
		const char* Hex;
		const char* What;
	};
	const FCase Cases[] = {
		{"FFFFFF7F", "string length near 2^31"},
		{"00000080", "string length of INT_MIN"},
		{"05000000414243", "string longer than the input"},
		{"FEFFFFFF4100", "UTF-16 string longer than the input"},
		{"0300000041424300", "string without its terminator"},
		{"FEFFFFFF41004200", "UTF-16 string without its terminator"},
	};
	for (const FCase& Case : Cases)
	{
		TArray<uint8> Bytes = FromHex(Case.Hex);
		FMemoryReader Reader(Bytes);
		FString Text("x");
		Reader << Text;
		EXPECT_TRUE(Reader.IsError()) << Case.What;
		EXPECT_TRUE(Text.IsEmpty()) << Case.What;
	}

	TArray<uint8> HugeCount = FromHex("FFFFFF7F00000000");
	FMemoryReader ArrayReader(HugeCount);
	TArray<float> Floats{1.0f};
	ArrayReader << Floats;
	EXPECT_TRUE(ArrayReader.IsError());
	EXPECT_TRUE(Floats.IsEmpty());

	TArray<uint8> NegativeCount = FromHex("FFFFFFFF");
	FMemoryReader NegativeReader(NegativeCount);
	TArray<int32> Ints;
	NegativeReader << Ints;
	EXPECT_TRUE(NegativeReader.IsError());
}

TEST(ArchiveTest, ArraysAndMapsRoundTrip)
{
	TArray<uint8> Bytes;
	FMemoryWriter Writer(Bytes);
	TArray<FString> Names{"a", "b"};
	TMap<FString, float> Weights{{"Height", 0.25f}, {"Age", -1.0f}};
	FName Name("Slider_3");
	Writer << Names << Weights << Name;
	EXPECT_TRUE(ToHex(Bytes).StartsWith("02000000" "020000006100" "020000006200" "02000000"));

	FMemoryReader Reader(Bytes);
	TArray<FString> ReadNames;
	TMap<FString, float> ReadWeights;
	FName ReadName;
	Reader << ReadNames << ReadWeights << ReadName;
	EXPECT_FALSE(Reader.IsError());
	EXPECT_EQ(ReadNames, Names);
	ASSERT_EQ(ReadWeights.Num(), 2);
	EXPECT_FLOAT_EQ(ReadWeights["age"], -1.0f);
	EXPECT_EQ(ReadWeights.begin()->Key, "Height");
	EXPECT_EQ(ReadName, Name);
}

TEST(ArchiveTest, WriterOverwritesFromTheStartAndNeverShortens)
{
	TArray<uint8> Bytes = FromHex("AABBCCDDEEFF");
	FMemoryWriter Writer(Bytes);
	uint16 Value = 0x1234;
	Writer << Value;
	EXPECT_TRUE(ToHex(Bytes).Equals("3412CCDDEEFF"));

	FMemoryWriter Appender(Bytes, false, true);
	uint8 Tail = 0x01;
	Appender << Tail;
	EXPECT_TRUE(ToHex(Bytes).Equals("3412CCDDEEFF01"));
	EXPECT_EQ(Appender.Tell(), 7);
}
