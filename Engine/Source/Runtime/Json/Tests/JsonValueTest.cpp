#include "JsonTestUtils.h"

#include "Logging/LogCapture.h"

#include <cmath>
#include <limits>

namespace
{
	TSharedPtr<FJsonValue> Number(double Value)
	{
		return MakeShared<FJsonValueNumber>(Value);
	}

	TSharedPtr<FJsonValue> String(const FString& Value)
	{
		return MakeShared<FJsonValueString>(Value);
	}
}

TEST(JsonValueTest, ConvertsBetweenKindsAsTheEngineDoes)
{
	FLogCapture Capture;

	EXPECT_EQ(Number(2.5)->AsString().ToStdString(), "2.5");
	EXPECT_EQ(Number(-3.0)->AsString().ToStdString(), "-3");
	EXPECT_EQ(Number(1e300)->AsString().ToStdString(), "1e+300");
	EXPECT_EQ(MakeShared<FJsonValueBoolean>(true)->AsString().ToStdString(), "true");
	EXPECT_EQ(MakeShared<FJsonValueBoolean>(false)->AsString().ToStdString(), "false");
	EXPECT_EQ(MakeShared<FJsonValueBoolean>(true)->AsNumber(), 1.0);

	EXPECT_EQ(String("12.5")->AsNumber(), 12.5);
	EXPECT_EQ(String("-1e3")->AsNumber(), -1000.0);
	EXPECT_TRUE(String("TRUE")->AsBool());
	EXPECT_FALSE(String("false")->AsBool());
	EXPECT_TRUE(Number(2.0)->AsBool());
	EXPECT_FALSE(Number(0.0)->AsBool());

	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty());
}

TEST(JsonValueTest, ReadingAsAnUnrelatedKindLogsAndGivesTheEmptyValue)
{
	const TSharedPtr<FJsonValue> Array = JsonTest::Parse("[1, 2]");
	const TSharedPtr<FJsonValue> Object = JsonTest::Parse("{\"a\": 1}");
	const TSharedPtr<FJsonValue> Null = MakeShared<FJsonValueNull>();

	FLogCapture Capture;
	EXPECT_TRUE(Array->AsString().IsEmpty());
	EXPECT_EQ(String("twelve")->AsNumber(), 0.0);
	EXPECT_FALSE(String("yes")->AsBool());
	EXPECT_TRUE(Object->AsArray().IsEmpty());
	EXPECT_FALSE(Array->AsObject().IsValid());
	EXPECT_TRUE(Null->AsString().IsEmpty());
	// NaN has no text in JSON.
	EXPECT_TRUE(Number(std::nan(""))->AsString().IsEmpty());

	const TArray<FString> Lines = Capture.GetLines();
	ASSERT_EQ(Lines.Num(), 7);
	EXPECT_EQ(Lines[0].ToStdString(), "LogJson: Error: Json value of type 'Array' cannot be used as a String");
	EXPECT_EQ(Lines[1].ToStdString(), "LogJson: Error: Json value of type 'String' cannot be used as a Number");
	EXPECT_EQ(Lines[2].ToStdString(), "LogJson: Error: Json value of type 'String' cannot be used as a Boolean");
	EXPECT_EQ(Lines[3].ToStdString(), "LogJson: Error: Json value of type 'Object' cannot be used as an Array");
	EXPECT_EQ(Lines[4].ToStdString(), "LogJson: Error: Json value of type 'Array' cannot be used as an Object");
	EXPECT_EQ(Lines[5].ToStdString(), "LogJson: Error: Json value of type 'Null' cannot be used as a String");
	EXPECT_EQ(Lines[6].ToStdString(), "LogJson: Error: Json value of type 'Number' cannot be used as a String");

	EXPECT_TRUE(Null->IsNull());
	EXPECT_FALSE(Number(0.0)->IsNull());
}

TEST(JsonValueTest, IntegerReadsRequireAnIntegralNumberInRange)
{
	int32 Int32 = -1;
	EXPECT_TRUE(Number(2147483647.0)->TryGetNumber(Int32));
	EXPECT_EQ(Int32, 2147483647);
	EXPECT_TRUE(Number(-2147483648.0)->TryGetNumber(Int32));
	EXPECT_EQ(Int32, MIN_int32);
	Int32 = 7;
	EXPECT_FALSE(Number(2147483648.0)->TryGetNumber(Int32));
	EXPECT_FALSE(Number(-2147483649.0)->TryGetNumber(Int32));
	EXPECT_FALSE(Number(3.5)->TryGetNumber(Int32));
	EXPECT_FALSE(Number(std::nan(""))->TryGetNumber(Int32));
	EXPECT_FALSE(Number(std::numeric_limits<double>::infinity())->TryGetNumber(Int32));
	EXPECT_EQ(Int32, 7) << "a failed read leaves the output alone";

	uint32 UInt32 = 0;
	EXPECT_TRUE(Number(4294967295.0)->TryGetNumber(UInt32));
	EXPECT_EQ(UInt32, MAX_uint32);
	EXPECT_FALSE(Number(4294967296.0)->TryGetNumber(UInt32));
	EXPECT_FALSE(Number(-1.0)->TryGetNumber(UInt32));

	int64 Int64 = 0;
	EXPECT_TRUE(Number(-9223372036854775808.0)->TryGetNumber(Int64));
	EXPECT_EQ(Int64, std::numeric_limits<int64>::min());
	EXPECT_TRUE(Number(4611686018427387904.0)->TryGetNumber(Int64));
	EXPECT_EQ(Int64, 4611686018427387904LL);
	// 2^63 is the nearest double to int64's maximum, and just beyond it.
	EXPECT_FALSE(Number(9223372036854775807.0)->TryGetNumber(Int64));

	float Float = 0.0f;
	EXPECT_TRUE(Number(0.5)->TryGetNumber(Float));
	EXPECT_EQ(Float, 0.5f);
	EXPECT_FALSE(Number(1e39)->TryGetNumber(Float));
}

TEST(JsonValueTest, StringsReadAsNumbersOnlyWhenAllOfThemIsANumber)
{
	int64 Int64 = 0;
	// Through a double the last digit would become 2.
	EXPECT_TRUE(String("9007199254740993")->TryGetNumber(Int64));
	EXPECT_EQ(Int64, 9007199254740993LL);
	EXPECT_TRUE(String("-9223372036854775808")->TryGetNumber(Int64));
	EXPECT_EQ(Int64, std::numeric_limits<int64>::min());
	EXPECT_FALSE(String("9223372036854775808")->TryGetNumber(Int64));

	int32 Int32 = 0;
	EXPECT_TRUE(String("12.0")->TryGetNumber(Int32));
	EXPECT_EQ(Int32, 12);
	EXPECT_TRUE(String("1e3")->TryGetNumber(Int32));
	EXPECT_EQ(Int32, 1000);
	Int32 = 5;
	EXPECT_FALSE(String("99999999999")->TryGetNumber(Int32));
	EXPECT_FALSE(String("12.5")->TryGetNumber(Int32));
	EXPECT_FALSE(String(" 12")->TryGetNumber(Int32));
	EXPECT_FALSE(String("12px")->TryGetNumber(Int32));
	EXPECT_FALSE(String("")->TryGetNumber(Int32));
	EXPECT_EQ(Int32, 5);

	uint32 UInt32 = 0;
	EXPECT_FALSE(String("-1")->TryGetNumber(UInt32));
	EXPECT_TRUE(String("4294967295")->TryGetNumber(UInt32));
	EXPECT_EQ(UInt32, MAX_uint32);

	double Double = 1.0;
	EXPECT_TRUE(String("-0.25")->TryGetNumber(Double));
	EXPECT_EQ(Double, -0.25);
	Double = 1.0;
	EXPECT_FALSE(String("nan")->TryGetNumber(Double));
	EXPECT_FALSE(String("inf")->TryGetNumber(Double));
	EXPECT_FALSE(String("1e999")->TryGetNumber(Double));
	EXPECT_FALSE(String("0x10")->TryGetNumber(Double));
	EXPECT_EQ(Double, 1.0);
}

TEST(JsonValueTest, TryGetGivesContainersOnlyForTheirKind)
{
	const TSharedPtr<FJsonValue> Array = JsonTest::Parse("[1, \"two\"]");
	const TArray<TSharedPtr<FJsonValue>>* Elements = nullptr;
	ASSERT_TRUE(Array->TryGetArray(Elements));
	ASSERT_EQ(Elements->Num(), 2);
	EXPECT_EQ((*Elements)[1]->AsString().ToStdString(), "two");

	const TSharedPtr<FJsonObject>* Object = nullptr;
	EXPECT_FALSE(Array->TryGetObject(Object));
	EXPECT_EQ(Object, nullptr);

	// An object value without an object is not an object.
	const TSharedPtr<FJsonValue> Empty = MakeShared<FJsonValueObject>(nullptr);
	EXPECT_FALSE(Empty->TryGetObject(Object));
	FLogCapture Capture;
	EXPECT_FALSE(Empty->AsObject().IsValid());
	const TArray<FString> Messages = Capture.GetMessages(ELogVerbosity::Error);
	ASSERT_EQ(Messages.Num(), 1);
	EXPECT_EQ(Messages[0].ToStdString(), "Json value of type 'Object' holds no object");
}

TEST(JsonValueTest, CompareEqualIsDeep)
{
	const TSharedPtr<FJsonValue> Value = JsonTest::Parse("{\"a\": [1, \"x\", null, {\"b\": true}], \"c\": {}}");
	EXPECT_TRUE(FJsonValue::CompareEqual(*Value, *JsonTest::Parse("{\"c\": {}, \"A\": [1, \"x\", null, {\"B\": true}]}")))
		<< "member order and key case do not matter";
	EXPECT_FALSE(FJsonValue::CompareEqual(*Value, *JsonTest::Parse("{\"a\": [1, \"X\", null, {\"b\": true}], \"c\": {}}")))
		<< "string values keep their case";
	EXPECT_FALSE(FJsonValue::CompareEqual(*Value, *JsonTest::Parse("{\"a\": [\"x\", 1, null, {\"b\": true}], \"c\": {}}")));
	EXPECT_FALSE(FJsonValue::CompareEqual(*Value, *JsonTest::Parse("{\"a\": [1, \"x\", null, {\"b\": false}], \"c\": {}}")));
	EXPECT_FALSE(FJsonValue::CompareEqual(*Value, *JsonTest::Parse("{\"a\": [1, \"x\", null, {\"b\": true}], \"c\": {}, \"d\": 0}")));
	EXPECT_FALSE(FJsonValue::CompareEqual(*Value, *JsonTest::Parse("{\"a\": [1, \"x\", null, {\"b\": true}], \"d\": {}}")));
	EXPECT_FALSE(FJsonValue::CompareEqual(*Number(1.0), *String("1")));
	EXPECT_FALSE(FJsonValue::CompareEqual(*MakeShared<FJsonValueObject>(nullptr), *JsonTest::Parse("{}")));
	EXPECT_TRUE(FJsonValue::CompareEqual(*MakeShared<FJsonValueNull>(), *JsonTest::Parse("null")));
}
