#include "JsonTestUtils.h"

#include "Logging/LogCapture.h"

namespace
{
	const TCHAR* const Character = TEXT(R"({"name": "Ada", "Count": 2, "ratio": 2.5, "big": 1e10, "digits": "7",
		"visible": true, "tags": ["a", "b"], "pose": {"arm": 0.5}, "nothing": null})");
}

TEST(JsonObjectTest, FieldNamesIgnoreLetterCase)
{
	const TSharedPtr<FJsonObject> Object = JsonTest::ParseObject(Character);
	FLogCapture Capture;

	EXPECT_EQ(Object->GetStringField("Name").ToStdString(), "Ada");
	EXPECT_EQ(Object->GetStringField("NAME").ToStdString(), "Ada");
	EXPECT_TRUE(Object->HasField("count"));
	int32 Count = 0;
	EXPECT_TRUE(Object->TryGetNumberField("COUNT", Count));
	EXPECT_EQ(Count, 2);
	EXPECT_TRUE(Object->HasTypedField<EJson::Object>("Pose"));
	EXPECT_EQ(Object->GetObjectField("POSE")->GetNumberField("ARM"), 0.5);

	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty());
}

TEST(JsonObjectTest, TypedGettersReadTheirFieldsAndConvertWhereTheEngineDoes)
{
	const TSharedPtr<FJsonObject> Object = JsonTest::ParseObject(Character);
	FLogCapture Capture;

	EXPECT_EQ(Object->GetNumberField("ratio"), 2.5);
	EXPECT_EQ(Object->GetIntegerField("count"), 2);
	EXPECT_EQ(Object->GetIntegerField("digits"), 7);
	EXPECT_EQ(Object->GetStringField("count").ToStdString(), "2");
	EXPECT_EQ(Object->GetStringField("visible").ToStdString(), "true");
	EXPECT_TRUE(Object->GetBoolField("visible"));
	ASSERT_EQ(Object->GetArrayField("tags").Num(), 2);
	EXPECT_EQ(Object->GetArrayField("tags")[1]->AsString().ToStdString(), "b");

	int64 Big = 0;
	EXPECT_TRUE(Object->TryGetNumberField("big", Big));
	EXPECT_EQ(Big, 10000000000LL);
	uint32 Unsigned = 0;
	EXPECT_TRUE(Object->TryGetNumberField("count", Unsigned));
	EXPECT_EQ(Unsigned, 2u);
	float Ratio = 0.0f;
	EXPECT_TRUE(Object->TryGetNumberField("ratio", Ratio));
	EXPECT_EQ(Ratio, 2.5f);
	double Digits = 0.0;
	EXPECT_TRUE(Object->TryGetNumberField("digits", Digits));
	EXPECT_EQ(Digits, 7.0);

	EXPECT_TRUE(Object->HasTypedField<EJson::Null>("nothing"));
	EXPECT_FALSE(Object->HasTypedField<EJson::String>("count"));
	EXPECT_EQ(Object->GetField<EJson::None>("count")->Type, EJson::Number);
	EXPECT_EQ(Object->GetField<EJson::Array>("tags")->AsArray().Num(), 2);

	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty());
}

TEST(JsonObjectTest, GettersOnMissingOrMistypedFieldsLogOnceAndGiveTheEmptyValue)
{
	const TSharedPtr<FJsonObject> Object = JsonTest::ParseObject(Character);
	FLogCapture Capture;

	EXPECT_TRUE(Object->GetStringField("missing").IsEmpty());
	EXPECT_EQ(Object->GetNumberField("name"), 0.0);
	EXPECT_FALSE(Object->GetBoolField("tags"));
	EXPECT_TRUE(Object->GetArrayField("name").IsEmpty());
	EXPECT_FALSE(Object->GetObjectField("tags").IsValid());
	EXPECT_EQ(Object->GetIntegerField("ratio"), 0);
	EXPECT_EQ(Object->GetIntegerField("big"), 0);
	EXPECT_EQ(Object->GetField<EJson::String>("count")->Type, EJson::Null);
	EXPECT_EQ(Object->GetField<EJson::None>("absent")->Type, EJson::Null);

	const TArray<FString> Messages = Capture.GetMessages(ELogVerbosity::Error);
	ASSERT_EQ(Messages.Num(), 9);
	EXPECT_EQ(Messages[0].ToStdString(), "Field 'missing' was not found");
	EXPECT_EQ(Messages[1].ToStdString(), "Json value of type 'String' cannot be used as a Number");
	EXPECT_EQ(Messages[2].ToStdString(), "Json value of type 'Array' cannot be used as a Boolean");
	EXPECT_EQ(Messages[3].ToStdString(), "Json value of type 'String' cannot be used as an Array");
	EXPECT_EQ(Messages[4].ToStdString(), "Json value of type 'Array' cannot be used as an Object");
	EXPECT_EQ(Messages[5].ToStdString(), "Field 'ratio' of type 'Number' cannot be read as an int32");
	EXPECT_EQ(Messages[6].ToStdString(), "Field 'big' of type 'Number' cannot be read as an int32");
	EXPECT_EQ(Messages[7].ToStdString(), "Field 'count' is of type 'Number', not 'String'");
	EXPECT_EQ(Messages[8].ToStdString(), "Field 'absent' was not found");
}

TEST(JsonObjectTest, TryGettersFailWithoutLoggingAndLeaveTheOutputAlone)
{
	const TSharedPtr<FJsonObject> Object = JsonTest::ParseObject(Character);
	FLogCapture Capture;

	FString String("kept");
	EXPECT_FALSE(Object->TryGetStringField("missing", String));
	EXPECT_FALSE(Object->TryGetStringField("tags", String));
	EXPECT_EQ(String.ToStdString(), "kept");
	int32 Integer = 9;
	EXPECT_FALSE(Object->TryGetNumberField("ratio", Integer));
	EXPECT_FALSE(Object->TryGetNumberField("name", Integer));
	EXPECT_EQ(Integer, 9);
	bool bValue = true;
	EXPECT_FALSE(Object->TryGetBoolField("pose", bValue));
	EXPECT_TRUE(bValue);
	const TArray<TSharedPtr<FJsonValue>>* Array = nullptr;
	EXPECT_FALSE(Object->TryGetArrayField("pose", Array));
	EXPECT_EQ(Array, nullptr);
	const TSharedPtr<FJsonObject>* Child = nullptr;
	EXPECT_FALSE(Object->TryGetObjectField("tags", Child));
	EXPECT_EQ(Child, nullptr);
	EXPECT_FALSE(Object->TryGetField("missing").IsValid());

	EXPECT_TRUE(Capture.GetLines().IsEmpty());
}

TEST(JsonObjectTest, SettersReplaceInPlaceAndKeepInsertionOrder)
{
	const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	Object->SetStringField("zeta", "z");
	Object->SetNumberField("alpha", 1);
	Object->SetBoolField("mid", false);
	Object->SetArrayField("list", {MakeShared<FJsonValueNumber>(1), MakeShared<FJsonValueNull>()});
	const TSharedRef<FJsonObject> Child = MakeShared<FJsonObject>();
	Child->SetField("x", MakeShared<FJsonValueString>("y"));
	Object->SetObjectField("child", Child);
	EXPECT_EQ(JsonTest::WriteCondensed(Object), R"({"zeta":"z","alpha":1,"mid":false,"list":[1,null],"child":{"x":"y"}})");

	// Replacing takes the new spelling of the key but keeps the member's place.
	Object->SetNumberField("ALPHA", 2);
	Object->RemoveField("Mid");
	EXPECT_FALSE(Object->HasField("mid"));
	EXPECT_EQ(JsonTest::WriteCondensed(Object), R"({"zeta":"z","ALPHA":2,"list":[1,null],"child":{"x":"y"}})");

	// A field holding no value at all counts as absent.
	Object->SetField("hole", nullptr);
	EXPECT_FALSE(Object->HasField("hole"));
	EXPECT_FALSE(Object->HasTypedField<EJson::Null>("hole"));
}
