#include "JsonTestUtils.h"

#include <string>

namespace
{
	struct FReadFailure
	{
		std::string Message;
		uint32 Line = 0;
		uint32 Character = 0;
	};

	/** Reads Text as an object, expecting that to fail and the output to stay as it was. */
	FReadFailure FailToReadObject(const FString& Text)
	{
		const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(Text);
		const TSharedPtr<FJsonObject> Previous = MakeShared<FJsonObject>();
		TSharedPtr<FJsonObject> Object = Previous;
		EXPECT_FALSE(FJsonSerializer::Deserialize(Reader, Object)) << "read: " << *Text;
		EXPECT_EQ(Object.Get(), Previous.Get());
		return {Reader->GetErrorMessage().ToStdString(), Reader->GetLineNumber(), Reader->GetCharacterNumber()};
	}

	std::string Repeat(const char* Text, int32 Count)
	{
		std::string Result;
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Result += Text;
		}
		return Result;
	}
}

TEST(JsonReaderTest, ParsedTextWritesBackUnchanged)
{
	const FString Text(R"({"name":"Vorpex","count":3,"ratio":-0.25,"on":true,"off":false,"none":null,)"
					   R"("list":[1,"two",[3,[]],{}],"nested":{"a":{"b":[{"c":"d"}]}},"zeta":1,"alpha":2})");
	EXPECT_EQ(JsonTest::WriteCondensed(JsonTest::ParseObject(Text).ToSharedRef()), Text.ToStdString());
	EXPECT_EQ(JsonTest::RoundTrip("  [ 1 , { \"a\" : [ ] } ]\r\n"), "[1,{\"a\":[]}]");
	EXPECT_EQ(JsonTest::RoundTrip("\"top-level string\""), "\"top-level string\"");
	EXPECT_EQ(JsonTest::RoundTrip("\xEF\xBB\xBF{\"after a byte order mark\":true}"), "{\"after a byte order mark\":true}");
}

TEST(JsonReaderTest, LaterDuplicateKeysWinInTheFirstPlace)
{
	EXPECT_EQ(JsonTest::RoundTrip(R"({"a":1,"b":2,"a":3})"), R"({"a":3,"b":2})");
	// Keys compare without letter case, so these are duplicates too.
	EXPECT_EQ(JsonTest::RoundTrip(R"({"Key":1,"key":2})"), R"({"key":2})");
}

TEST(JsonReaderTest, NumbersBecomeDoubles)
{
	const TSharedPtr<FJsonValue> Numbers = JsonTest::Parse("[12345678901234567890, -9223372036854775809, 1E2, -0.5e-3, 0]");
	const TArray<TSharedPtr<FJsonValue>>& Elements = Numbers->AsArray();
	ASSERT_EQ(Elements.Num(), 5);
	EXPECT_EQ(Elements[0]->AsNumber(), 12345678901234567890.0);
	int64 Rounded = 0;
	EXPECT_FALSE(Elements[0]->TryGetNumber(Rounded)) << "beyond int64 once rounded to a double";
	EXPECT_EQ(Elements[1]->AsNumber(), -9223372036854775808.0);
	EXPECT_TRUE(Elements[1]->TryGetNumber(Rounded));
	EXPECT_EQ(Rounded, std::numeric_limits<int64>::min());
	EXPECT_EQ(Elements[2]->AsNumber(), 100.0);
	EXPECT_EQ(Elements[3]->AsNumber(), -0.0005);
	EXPECT_EQ(Elements[4]->Type, EJson::Number);
}

TEST(JsonReaderTest, EscapesAndUtf8TextRoundTrip)
{
	const TSharedPtr<FJsonValue> Value = JsonTest::Parse(
		R"(["q\" b\\ s\/ \b\f\n\r\t \u0001\u001F \u00e9\ud83d\ude00 é😀 \u2028"])");
	const FString Decoded = Value->AsArray()[0]->AsString();
	EXPECT_EQ(Decoded.ToStdString(), "q\" b\\ s/ \b\f\n\r\t \x01\x1F \xC3\xA9\xF0\x9F\x98\x80 \xC3\xA9\xF0\x9F\x98\x80 \xE2\x80\xA8");
	// The writer escapes only what JSON requires: no slash, no non-ASCII text.
	EXPECT_EQ(JsonTest::WriteCondensed(Value), "[\"q\\\" b\\\\ s/ \\b\\f\\n\\r\\t \\u0001\\u001f é😀 é😀 \xE2\x80\xA8\"]");
	EXPECT_EQ(JsonTest::RoundTrip(FString(JsonTest::WriteCondensed(Value))), JsonTest::WriteCondensed(Value));

	const TSharedPtr<FJsonObject> Object = JsonTest::ParseObject(R"({"größe": "日本語"})");
	EXPECT_EQ(Object->GetStringField("größe").ToStdString(), "日本語");
}

TEST(JsonReaderTest, DeepNestingReadsUpToTheLimit)
{
	const int32 Depth = FJsonSerializer::MaxNestingDepth;
	const std::string Deepest = Repeat("[", Depth - 1) + "{\"leaf\":1}" + Repeat("]", Depth - 1);
	EXPECT_EQ(JsonTest::RoundTrip(FString(Deepest)), Deepest);

	const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(FString(Repeat("[", Depth + 1) + Repeat("]", Depth + 1)));
	TSharedPtr<FJsonValue> Value;
	EXPECT_FALSE(FJsonSerializer::Deserialize(Reader, Value));
	EXPECT_FALSE(Value.IsValid());
	EXPECT_EQ(Reader->GetErrorMessage().ToStdString(), "Objects and arrays are nested more than 512 deep (line 1, character 513)");

	// Brackets inside strings do not count towards the place of the error.
	const FReadFailure Failure = FailToReadObject(FString("{\"s\": \"[{\\\"\", \"t\": " + Repeat("[", Depth) + Repeat("]", Depth) + "}"));
	EXPECT_EQ(Failure.Message, "Objects and arrays are nested more than 512 deep (line 1, character 531)");

	// Far deeper input fails the same way instead of building a tree too deep to take apart.
	const int32 Huge = 200000;
	const TSharedRef<TJsonReader<>> HugeReader = TJsonReaderFactory<>::Create(FString(Repeat("[", Huge) + Repeat("]", Huge)));
	EXPECT_FALSE(FJsonSerializer::Deserialize(HugeReader, Value));
	EXPECT_EQ(HugeReader->GetCharacterNumber(), 513u);
}

TEST(JsonReaderTest, SyntaxErrorsSayWhatAndWhere)
{
	FReadFailure Failure = FailToReadObject(R"({"a": [1, 2)");
	EXPECT_EQ(Failure.Message, "syntax error while parsing array - unexpected end of input; expected ']' (line 1, character 12)");
	EXPECT_EQ(Failure.Line, 1u);
	EXPECT_EQ(Failure.Character, 12u);

	Failure = FailToReadObject(R"({"a": 1,})");
	EXPECT_EQ(Failure.Message, "syntax error while parsing object key - unexpected '}'; expected string literal (line 1, character 9)");

	Failure = FailToReadObject("[1, 2,]");
	EXPECT_EQ(Failure.Message, "Expected an object at the top level, found an array (line 1, character 1)");

	Failure = FailToReadObject(R"({"a": [1, 2,]})");
	EXPECT_EQ(Failure.Message, "syntax error while parsing value - unexpected ']'; expected '[', '{', or a literal (line 1, character 13)");

	Failure = FailToReadObject(R"({"a": 1} x)");
	EXPECT_EQ(Failure.Message, "syntax error while parsing value - invalid literal; last read: '1} x'; expected end of input (line 1, character 10)");

	Failure = FailToReadObject(R"({"a": 1} {})");
	EXPECT_EQ(Failure.Message, "syntax error while parsing value - unexpected '{'; expected end of input (line 1, character 10)");

	Failure = FailToReadObject("");
	EXPECT_EQ(Failure.Message,
		"syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal (line 1, character 1)");

	Failure = FailToReadObject("{\n\t\"a\": 1,\n\t\"b\": tru\n}");
	EXPECT_EQ(Failure.Line, 3u);
	EXPECT_EQ(Failure.Character, 10u);

	// Characters are code points: "é" is two bytes but one character.
	Failure = FailToReadObject("{\"é\": x}");
	EXPECT_EQ(Failure.Character, 7u);

	Failure = FailToReadObject("{\"a\": \"\xC3\x28\"}");
	EXPECT_EQ(Failure.Message.find("syntax error while parsing value - invalid string: ill-formed UTF-8 byte"), 0u) << Failure.Message;
	EXPECT_EQ(Failure.Character, 9u);

	Failure = FailToReadObject("{\"a\": 1e999}");
	EXPECT_EQ(Failure.Message, "number overflow parsing '1e999' (line 1, character 11)");
}

TEST(JsonReaderTest, TopLevelKindIsCheckedByTheTypedOverloads)
{
	FReadFailure Failure = FailToReadObject("\n  42");
	EXPECT_EQ(Failure.Message, "Expected an object at the top level, found a number (line 2, character 3)");
	Failure = FailToReadObject("\xEF\xBB\xBF null");
	EXPECT_EQ(Failure.Message, "Expected an object at the top level, found null (line 1, character 2)");

	TArray<TSharedPtr<FJsonValue>> Elements;
	const TSharedRef<TJsonReader<>> ArrayReader = TJsonReaderFactory<>::Create("[true, \"x\"]");
	ASSERT_TRUE(FJsonSerializer::Deserialize(ArrayReader, Elements));
	ASSERT_EQ(Elements.Num(), 2);
	EXPECT_TRUE(Elements[0]->AsBool());
	EXPECT_TRUE(ArrayReader->GetErrorMessage().IsEmpty());
	EXPECT_EQ(ArrayReader->GetLineNumber(), 0u);

	const TSharedRef<TJsonReader<>> ObjectReader = TJsonReaderFactory<>::Create("{\"a\": []}");
	EXPECT_FALSE(FJsonSerializer::Deserialize(ObjectReader, Elements));
	EXPECT_EQ(Elements.Num(), 2) << "a failed read leaves the output alone";
	EXPECT_EQ(ObjectReader->GetErrorMessage().ToStdString(), "Expected an array at the top level, found an object (line 1, character 1)");
}
