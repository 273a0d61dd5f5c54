#include "Containers/StringConv.h"
#include "Containers/UnrealString.h"
#include "Misc/CString.h"

#include <gtest/gtest.h>

TEST(FStringTest, EqualityIgnoresCaseButEqualsAndCompareRespectItByDefault)
{
	const FString Lower("halcor");
	const FString Mixed("HalCor");
	EXPECT_TRUE(Lower == Mixed);
	EXPECT_FALSE(Lower.Equals(Mixed));
	EXPECT_TRUE(Lower.Equals(Mixed, ESearchCase::IgnoreCase));
	EXPECT_GT(Lower.Compare(Mixed), 0); // 'h' sorts after 'H'
	EXPECT_EQ(Lower.Compare(Mixed, ESearchCase::IgnoreCase), 0);
	EXPECT_LT(FString("abc").Compare(FString("abcd")), 0);
	EXPECT_TRUE(FString("apple") < FString("Banana")); // ordering ignores case
}

TEST(FStringTest, SearchesIgnoreCaseByDefault)
{
	const FString Path("/Game/Skin/T_Body");
	EXPECT_TRUE(Path.StartsWith("/game"));
	EXPECT_FALSE(Path.StartsWith("/game", ESearchCase::CaseSensitive));
	EXPECT_TRUE(Path.EndsWith("t_body"));
	EXPECT_FALSE(Path.StartsWith(""));
	EXPECT_FALSE(FString("ab").EndsWith("abc"));
	EXPECT_TRUE(Path.Contains("SKIN"));
	EXPECT_EQ(Path.Find("skin"), 6);
	EXPECT_EQ(Path.Find("skin", ESearchCase::CaseSensitive), INDEX_NONE);
	EXPECT_EQ(FString("a/b/c").Find("/", ESearchCase::IgnoreCase, ESearchDir::FromEnd), 3);
	EXPECT_EQ(FString("a/b/c").Find("/", ESearchCase::IgnoreCase, ESearchDir::FromStart, 2), 3);
	EXPECT_EQ(FString("abc").Find(""), INDEX_NONE);
	EXPECT_EQ(FString("ab").Find("abc"), INDEX_NONE);
}

TEST(FStringTest, SubstringsClampToTheString)
{
	const FString Text("Vorpex");
	EXPECT_EQ(Text.Left(3), "Vor");
	EXPECT_EQ(Text.Left(99), "Vorpex");
	EXPECT_EQ(Text.Left(-1), "");
	EXPECT_EQ(Text.Mid(3), "pex");
	EXPECT_EQ(Text.Mid(2, 2), "rp");
	EXPECT_EQ(Text.Mid(10, 2), "");
	EXPECT_EQ(Text.Mid(-2, 4), "Vo");
	EXPECT_EQ(Text.Right(3), "pex");
	EXPECT_EQ(Text.Right(10), "Vorpex");
	EXPECT_EQ(Text.LeftChop(2), "Vorp");
	EXPECT_EQ(Text.RightChop(4), "ex");
}

TEST(FStringTest, SplitReplaceAndParse)
{
	FString Left, Right;
	EXPECT_TRUE(FString("key=value=more").Split("=", &Left, &Right));
	EXPECT_EQ(Left, "key");
	EXPECT_EQ(Right, "value=more");
	EXPECT_TRUE(FString("key=value=more").Split("=", &Left, &Right, ESearchCase::IgnoreCase, ESearchDir::FromEnd));
	EXPECT_EQ(Left, "key=value");
	EXPECT_EQ(Right, "more");
	Left = "untouched";
	EXPECT_FALSE(FString("novalue").Split("=", &Left, nullptr));
	EXPECT_EQ(Left, "untouched");

	FString Self("a.b");
	EXPECT_TRUE(Self.Split(".", &Self, nullptr));
	EXPECT_EQ(Self, "a");

	EXPECT_EQ(FString("A-a-A").Replace("a", "x"), "x-x-x");
	EXPECT_EQ(FString("A-a-A").Replace("a", "x", ESearchCase::CaseSensitive), "A-x-A");
	EXPECT_EQ(FString("aaa").Replace("aa", "b"), "ba");
	EXPECT_EQ(FString("abc").Replace("", "x"), "abc");

	TArray<FString> Parts;
	EXPECT_EQ(FString("a,,b,").ParseIntoArray(Parts, ","), 2);
	EXPECT_EQ(Parts, (TArray<FString>{"a", "b"}));
	EXPECT_EQ(FString("a,,b,").ParseIntoArray(Parts, ",", false), 4);
	EXPECT_EQ(Parts, (TArray<FString>{"a", "", "b", ""}));
	EXPECT_EQ(FString("one::two").ParseIntoArray(Parts, "::"), 2);
	EXPECT_EQ(Parts[1], "two");
}

TEST(FStringTest, CaseConversionTouchesOnlyAsciiLetters)
{
	EXPECT_EQ(FString("Mixed Case 12 \xC3\x89").ToUpper(), "MIXED CASE 12 \xC3\x89");
	EXPECT_EQ(FString("Mixed Case 12").ToLower(), "mixed case 12");
}

TEST(FStringTest, IndexingIsChecked)
{
	FString Text("ab");
	EXPECT_EQ(Text[1], 'b');
	Text[0] = 'c';
	EXPECT_EQ(Text, "cb");
	EXPECT_THROW(Text[2], FCheckFailure);
	EXPECT_THROW(Text[-1], FCheckFailure);
	EXPECT_THROW(FString()[0], FCheckFailure);
}

TEST(FStringTest, ConcatenationAndPathJoin)
{
	EXPECT_EQ(FString("a") + "b" + FString("c"), "abc");
	EXPECT_EQ(FString("Content") / "Skin", "Content/Skin");
	EXPECT_EQ(FString("Content/") / "Skin", "Content/Skin");
	EXPECT_EQ(FString("Content/") / "/Skin", "Content/Skin");
	EXPECT_EQ(FString("Content") / "/Skin", "Content/Skin");
	EXPECT_EQ(FString() / "Skin", "Skin");
	EXPECT_EQ(FString("Content") / "", "Content");
}

TEST(FStringTest, PrintfAndNumberConversions)
{
	EXPECT_EQ(FString::Printf("%s - %d, %.2f", "UHC::Fn", 42, 0.5), "UHC::Fn - 42, 0.50");
	EXPECT_EQ(FString::Printf("%s", ""), "");
	const FString Long = FString::Printf("%s", *FString::ChrN(5000, 'x'));
	EXPECT_EQ(Long.Len(), 5000);

	EXPECT_EQ(FString::SanitizeFloat(1.0), "1.0");
	EXPECT_EQ(FString::SanitizeFloat(0.25), "0.25");
	EXPECT_EQ(FString::SanitizeFloat(3.0, 0), "3");
	EXPECT_EQ(LexToString(7), "7");
	EXPECT_EQ(LexToString(true), "true");
	EXPECT_EQ(LexToString(0.5f), "0.500000");

	EXPECT_EQ(FCString::Atoi("123abc"), 123);
	EXPECT_EQ(FCString::Atoi("  -5"), -5);
	EXPECT_EQ(FCString::Atoi("abc"), 0);
	EXPECT_EQ(FCString::Atoi("99999999999"), MAX_int32);
	EXPECT_FLOAT_EQ(FCString::Atof("2.5e1"), 25.0f);
	EXPECT_TRUE(FCString::ToBool("True"));
	EXPECT_FALSE(FCString::ToBool("0"));

	int32 Parsed = 0;
	EXPECT_TRUE(LexTryParseString(Parsed, "-17"));
	EXPECT_EQ(Parsed, -17);
	EXPECT_FALSE(LexTryParseString(Parsed, "17x"));
	EXPECT_FALSE(LexTryParseString(Parsed, "99999999999"));
	EXPECT_EQ(Parsed, -17);
	double ParsedDouble = 0;
	EXPECT_TRUE(LexTryParseString(ParsedDouble, "1.5"));
	EXPECT_DOUBLE_EQ(ParsedDouble, 1.5);

	EXPECT_TRUE(FString("-1.5").IsNumeric());
	EXPECT_FALSE(FString("1.2.3").IsNumeric());
	EXPECT_FALSE(FString("-").IsNumeric());
	EXPECT_EQ(FString(" \t trimmed \n").TrimStartAndEnd(), "trimmed");
}

TEST(FStringTest, HashIgnoresCase)
{
	EXPECT_EQ(GetTypeHash(FString("M_Body")), GetTypeHash(FString("m_body")));
	EXPECT_NE(GetTypeHash(FString("M_Body")), GetTypeHash(FString("M_Head")));
}

TEST(FStringConvTest, Utf16RoundTripIncludingSurrogatePairs)
{
	const FString Text("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"); // A, é, €, 😀
	const FTCHARToUTF16 Wide(*Text);
	ASSERT_EQ(Wide.Length(), 5);
	EXPECT_EQ(Wide.Get()[0], u'A');
	EXPECT_EQ(Wide.Get()[1], u'\u00E9');
	EXPECT_EQ(Wide.Get()[2], u'\u20AC');
	EXPECT_EQ(Wide.Get()[3], 0xD83D);
	EXPECT_EQ(Wide.Get()[4], 0xDE00);
	EXPECT_EQ(FString(FUTF16ToTCHAR(Wide.Get(), Wide.Length()).Get()), Text);
	EXPECT_FALSE(IsPureAnsi(Text));
	EXPECT_TRUE(IsPureAnsi(FString("plain 127 \x7F")));
}

TEST(FStringConvTest, MalformedInputBecomesReplacementCharacters)
{
	const FTCHARToUTF16 BadUtf8("a\xC3"); // truncated two-byte sequence
	ASSERT_EQ(BadUtf8.Length(), 2);
	EXPECT_EQ(BadUtf8.Get()[1], 0xFFFD);
	const FTCHARToUTF16 Overlong("\xC0\xAF");
	EXPECT_EQ(Overlong.Get()[0], 0xFFFD);

	const char16_t LoneSurrogate[] = {u'x', 0xD800, u'y'};
	EXPECT_EQ(FString(FUTF16ToTCHAR(LoneSurrogate, 3).Get()), "x\xEF\xBF\xBDy");
}
