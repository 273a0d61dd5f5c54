#include "JsonTestUtils.h"

#include "Logging/LogCapture.h"

#include <cmath>
#include <limits>

namespace
{
	using FCondensedFactory = TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>;

	std::string WritePretty(const FString& JsonText, int32 InitialIndentLevel = 0)
	{
		FString Text;
		EXPECT_TRUE(FJsonSerializer::Serialize(JsonTest::Parse(JsonText), FString(), TJsonWriterFactory<>::Create(&Text, InitialIndentLevel)));
		return Text.ToStdString();
	}
}

TEST(JsonWriterTest, IntegralNumbersHaveNoFractionAndOthersTheShortestExactForm)
{
	FString Text;
	const auto Writer = FCondensedFactory::Create(&Text);
	Writer->WriteArrayStart();
	Writer->WriteValue(3.0);
	Writer->WriteValue(-7.0);
	Writer->WriteValue(-0.0);
	Writer->WriteValue(0.1);
	Writer->WriteValue(1.0 / 3.0);
	Writer->WriteValue(2.5e-7);
	Writer->WriteValue(1e300);
	Writer->WriteValue(9007199254740992.0);
	Writer->WriteValue(1e20);
	Writer->WriteValue(0.1f);
	Writer->WriteValue(static_cast<double>(0.1f));
	Writer->WriteValue(1e10f);
	Writer->WriteValue(std::numeric_limits<int64>::min());
	Writer->WriteValue(std::numeric_limits<uint64>::max());
	Writer->WriteValue(MIN_int32);
	Writer->WriteValue(MAX_uint32);
	Writer->WriteArrayEnd();
	EXPECT_TRUE(Writer->Close());
	EXPECT_EQ(Text.ToStdString(), "[3,-7,0,0.1,0.3333333333333333,2.5e-07,1e+300,9007199254740992,1e+20,0.1,0.10000000149011612,"
								  "10000000000,-9223372036854775808,18446744073709551615,-2147483648,4294967295]");

	// Every double written reads back as the same double.
	for (const double Value : {1.0 / 3.0, 2.5e-7, 1e300, 123456.789, 5e-324, 9007199254740993.0, 1.7976931348623157e308})
	{
		const TSharedPtr<FJsonValue> Written = MakeShared<FJsonValueNumber>(Value);
		EXPECT_EQ(JsonTest::Parse(FString(JsonTest::WriteCondensed(Written)))->AsNumber(), Value);
	}
}

TEST(JsonWriterTest, NumbersJsonCannotHoldAreWrittenAsNull)
{
	const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	Object->SetNumberField("nan", std::nan(""));
	Object->SetNumberField("inf", std::numeric_limits<double>::infinity());
	Object->SetArrayField("list", {MakeShared<FJsonValueNumber>(-std::numeric_limits<double>::infinity())});
	EXPECT_EQ(JsonTest::WriteCondensed(Object), R"({"nan":null,"inf":null,"list":[null]})");

	FString Text;
	const auto Writer = FCondensedFactory::Create(&Text);
	Writer->WriteValue(std::numeric_limits<float>::quiet_NaN());
	EXPECT_EQ(Text.ToStdString(), "null");
}

TEST(JsonWriterTest, MissingValuesAreWrittenAsNull)
{
	const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	Object->SetField("pointer", nullptr);
	Object->SetObjectField("object", nullptr);
	Object->SetArrayField("elements", {nullptr, MakeShared<FJsonValueNull>()});
	EXPECT_EQ(JsonTest::WriteCondensed(Object), R"({"pointer":null,"object":null,"elements":[null,null]})");
}

TEST(JsonWriterTest, StreamingCallsWriteMembersAndElements)
{
	FString Text;
	const auto Writer = FCondensedFactory::Create(&Text);
	Writer->WriteObjectStart();
	Writer->WriteValue("text", TEXT("a/b"));
	Writer->WriteValue("string", FString("\"quoted\"\ttab"));
	Writer->WriteValue("flag", true);
	Writer->WriteValue("count", 3);
	Writer->WriteValue("big", int64(1) << 60);
	Writer->WriteValue("half", 0.5f);
	Writer->WriteNull("nothing");
	Writer->WriteRawJSONValue("raw", "{\"pre\":[1]}");
	Writer->WriteArrayStart("list");
	Writer->WriteValue(false);
	Writer->WriteNull();
	Writer->WriteRawJSONValue("2");
	Writer->WriteObjectStart();
	Writer->WriteObjectEnd();
	Writer->WriteArrayEnd();
	Writer->WriteObjectStart("child");
	Writer->WriteArrayStart("empty");
	Writer->WriteArrayEnd();
	Writer->WriteObjectEnd();
	Writer->WriteObjectEnd();
	EXPECT_TRUE(Writer->Close());
	EXPECT_EQ(Text.ToStdString(), R"({"text":"a/b","string":"\"quoted\"\ttab","flag":true,"count":3,"big":1152921504606846976,)"
								  R"("half":0.5,"nothing":null,"raw":{"pre":[1]},"list":[false,null,2,{}],"child":{"empty":[]}})");
}

TEST(JsonWriterTest, SerializeTakesTheIdentifierOnlyInsideAnObject)
{
	const TSharedPtr<FJsonValue> Value = JsonTest::Parse("[1, {\"a\": \"b\"}]");

	FString Text;
	const auto Writer = FCondensedFactory::Create(&Text);
	Writer->WriteObjectStart();
	EXPECT_TRUE(FJsonSerializer::Serialize(Value, "v", Writer, false));
	EXPECT_FALSE(FJsonSerializer::Serialize(Value, "w", Writer)) << "the object is still open";
	Writer->WriteObjectEnd();
	EXPECT_TRUE(Writer->Close());
	EXPECT_EQ(Text.ToStdString(), R"({"v":[1,{"a":"b"}],"w":[1,{"a":"b"}]})");

	EXPECT_EQ(JsonTest::WriteCondensed(Value), R"([1,{"a":"b"}])");

	FString ArrayText;
	EXPECT_TRUE(FJsonSerializer::Serialize(Value->AsArray(), FCondensedFactory::Create(&ArrayText)));
	EXPECT_EQ(ArrayText.ToStdString(), R"([1,{"a":"b"}])");
}

TEST(JsonWriterTest, CloseReportsWhetherOneCompleteValueWasWritten)
{
	FString Text;
	const auto Empty = FCondensedFactory::Create(&Text);
	EXPECT_FALSE(Empty->Close()) << "nothing written is no JSON";

	const auto Open = FCondensedFactory::Create(&Text);
	Open->WriteObjectStart();
	Open->WriteArrayStart("list");
	EXPECT_FALSE(Open->Close());
	Open->WriteArrayEnd();
	EXPECT_FALSE(Open->Close());
	Open->WriteIdentifierPrefix("pending");
	Open->WriteObjectStart();
	Open->WriteObjectEnd();
	Open->WriteObjectEnd();
	EXPECT_TRUE(Open->Close());

	const auto KeyWithoutValue = FCondensedFactory::Create(&Text);
	KeyWithoutValue->WriteObjectStart();
	KeyWithoutValue->WriteIdentifierPrefix("key");
	EXPECT_FALSE(KeyWithoutValue->Close());

	const auto Scalar = FCondensedFactory::Create(&Text);
	Scalar->WriteValue(TEXT("alone"));
	EXPECT_TRUE(Scalar->Close());
}

TEST(JsonWriterTest, TokensOutOfPlaceAreFailedChecksThatWriteNothing)
{
	FLogCapture Capture;
	FString Text;
	const auto Writer = FCondensedFactory::Create(&Text);
	Writer->WriteObjectStart();
	Writer->WriteValue("a", 1);
	EXPECT_THROW(Writer->WriteValue(2), FCheckFailure);
	EXPECT_THROW(Writer->WriteArrayStart(), FCheckFailure);
	EXPECT_THROW(Writer->WriteArrayEnd(), FCheckFailure);
	Writer->WriteArrayStart("list");
	EXPECT_THROW(Writer->WriteValue("key", 1), FCheckFailure);
	EXPECT_THROW(Writer->WriteObjectEnd(), FCheckFailure);
	Writer->WriteArrayEnd();
	Writer->WriteIdentifierPrefix("b");
	EXPECT_THROW(Writer->WriteIdentifierPrefix("c"), FCheckFailure);
	EXPECT_THROW(Writer->WriteObjectEnd(), FCheckFailure);
	Writer->WriteValue(true);
	Writer->WriteObjectEnd();
	EXPECT_THROW(Writer->WriteObjectStart(), FCheckFailure) << "a second top-level value";
	EXPECT_TRUE(Writer->Close());
	EXPECT_EQ(Text.ToStdString(), R"({"a":1,"list":[],"b":true})");
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error).Num(), 8);
}

TEST(JsonWriterTest, PrettyLayoutIsTheEngines)
{
	EXPECT_EQ(WritePretty(R"({"name":"Ada","tags":["x",2],"empty":[],"none":{},"child":{"n":1,"deeper":{"m":null}},)"
						  R"("list":[{"a":true},[false],[]]})"),
		"{\n"
		"\t\"name\": \"Ada\",\n"
		"\t\"tags\": [\n"
		"\t\t\"x\",\n"
		"\t\t2\n"
		"\t],\n"
		"\t\"empty\": [],\n"
		"\t\"none\":\n"
		"\t{},\n"
		"\t\"child\":\n"
		"\t{\n"
		"\t\t\"n\": 1,\n"
		"\t\t\"deeper\":\n"
		"\t\t{\n"
		"\t\t\t\"m\": null\n"
		"\t\t}\n"
		"\t},\n"
		"\t\"list\": [\n"
		"\t\t{\n"
		"\t\t\t\"a\": true\n"
		"\t\t},\n"
		"\t\t[\n"
		"\t\t\tfalse\n"
		"\t\t],\n"
		"\t\t[]\n"
		"\t]\n"
		"}");

	EXPECT_EQ(WritePretty("[1,{}]"), "[\n\t1,\n\t{}\n]");
	EXPECT_EQ(WritePretty("{}"), "{}");
	EXPECT_EQ(WritePretty("\"alone\""), "\"alone\"");
	// An initial indent shifts every line after the first, for text placed inside other text.
	EXPECT_EQ(WritePretty(R"({"a":[1]})", 2), "{\n\t\t\t\"a\": [\n\t\t\t\t1\n\t\t\t]\n\t\t}");
}
