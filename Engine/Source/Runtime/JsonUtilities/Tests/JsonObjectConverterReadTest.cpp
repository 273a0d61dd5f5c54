#include "JsonObjectConverter.h"
#include "JsonUtilitiesTestHelpers.h"
#include "JsonUtilitiesTestTypes.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

namespace
{
	/**
	 * Converts Json into Out; gives "" on success, else the failure text after checking that
	 * exactly that text was logged once on LogJson.
	 */
	template <typename StructType>
	FString Convert(const FString& Json, StructType& Out, int64 CheckFlags = 0, int64 SkipFlags = 0, bool bStrictMode = false)
	{
		FLogCapture Capture;
		FText Reason;
		const bool bConverted = FJsonObjectConverter::JsonObjectToUStruct(ParseJsonObject(Json), &Out, CheckFlags, SkipFlags, bStrictMode, &Reason);
		const TArray<FString> Errors = JsonErrors(Capture);
		if (bConverted)
		{
			EXPECT_TRUE(Errors.IsEmpty());
			EXPECT_TRUE(Reason.IsEmpty());
			return FString();
		}
		EXPECT_FALSE(Reason.IsEmpty());
		EXPECT_EQ(Errors.Num(), 1);
		if (Errors.Num() == 1)
		{
			EXPECT_STREQ(*Errors[0], *Reason.ToString());
		}
		return Reason.ToString();
	}
}

TEST(JsonObjectConverterRead, MatchesKeysIgnoringCaseAndIgnoresUnknownKeys)
{
	FJsonTestScalars Scalars;
	EXPECT_STREQ(*Convert(R"({"TEXT": "hi", "Count": 3, "ENABLED": true, "BYTESHADE": "Dark", "nonsense": [1, {"a": 2}], "more": null})", Scalars), "");
	EXPECT_STREQ(*Scalars.text, "hi");
	EXPECT_EQ(Scalars.count, 3);
	EXPECT_TRUE(Scalars.enabled);
	EXPECT_EQ(Scalars.byteShade.GetValue(), EJsonTestShade::Dark);
	EXPECT_FLOAT_EQ(Scalars.weight, 0.5f);

	// Keys in any order, with unknown ones between them.
	FJsonTestScalars Reordered;
	EXPECT_STREQ(*Convert(R"({"shade": "Dark", "x": 1, "weight": 4, "Text": "t", "y": 2, "count": 8})", Reordered), "");
	EXPECT_EQ(Reordered.shade, EJsonTestShade::Dark);
	EXPECT_FLOAT_EQ(Reordered.weight, 4.0f);
	EXPECT_STREQ(*Reordered.text, "t");
	EXPECT_EQ(Reordered.count, 8);
}

TEST(JsonObjectConverterRead, EmptyObjectAndNullsKeepStartValues)
{
	FJsonTestScalars Scalars;
	EXPECT_STREQ(*Convert(R"({})", Scalars), "");
	EXPECT_STREQ(*Scalars.text, "start");
	EXPECT_EQ(Scalars.count, -1);
	EXPECT_FLOAT_EQ(Scalars.weight, 0.5f);

	Scalars.count = 9;
	EXPECT_STREQ(*Convert(R"({"text": null, "count": null, "weight": null, "shade": null})", Scalars), "");
	EXPECT_STREQ(*Scalars.text, "start");
	EXPECT_EQ(Scalars.count, 9);
	EXPECT_EQ(Scalars.shade, EJsonTestShade::Pale);
}

TEST(JsonObjectConverterRead, StringsNamesAndTexts)
{
	FJsonTestScalars Scalars;
	EXPECT_STREQ(*Convert(R"({"text": "Grüße \"quoted\"", "label": "Hero_2", "caption": "Shown"})", Scalars), "");
	EXPECT_STREQ(*Scalars.text, "Grüße \"quoted\"");
	EXPECT_EQ(Scalars.label, FName(TEXT("Hero_2")));
	EXPECT_STREQ(*Scalars.caption.ToString(), "Shown");

	// Numbers and booleans convert to their text, as the engine's converter does.
	EXPECT_STREQ(*Convert(R"({"text": 2.5, "label": true})", Scalars), "");
	EXPECT_STREQ(*Scalars.text, "2.5");
	EXPECT_EQ(Scalars.label, FName(TEXT("true")));

	EXPECT_STREQ(*Convert(R"({"text": ["a"]})", Scalars), "Unable to convert 'text': expected a string, found an array");
	// Messages quote at most 80 bytes of a string, cut between characters.
	const FString Long = FString::ChrN(79, 'a') + TEXT("ü") + FString::ChrN(20, 'b');
	EXPECT_STREQ(*Convert(FString::Printf(TEXT(R"({"count": "%s"})"), *Long), Scalars),
		*FString::Printf(TEXT("Unable to convert 'count': expected an integer, found the string \"%s...\""), *FString::ChrN(79, 'a')));
	EXPECT_STREQ(*Convert(R"({"caption": {"a": 1}})", Scalars), "Unable to convert 'caption': expected a string, found an object");
	EXPECT_STREQ(*Scalars.caption.ToString(), "Shown");
}

TEST(JsonObjectConverterRead, IntegersTakeIntegralNumbersWithinRangeOnly)
{
	FJsonTestScalars Scalars;
	EXPECT_STREQ(*Convert(R"({"count": 3.0})", Scalars), "");
	EXPECT_EQ(Scalars.count, 3);
	EXPECT_STREQ(*Convert(R"({"count": -2147483648})", Scalars), "");
	EXPECT_EQ(Scalars.count, MIN_int32);
	EXPECT_STREQ(*Convert(R"({"count": "42"})", Scalars), "");
	EXPECT_EQ(Scalars.count, 42);
	EXPECT_STREQ(*Convert(R"({"count": "12.0"})", Scalars), "");
	EXPECT_EQ(Scalars.count, 12);

	// A fraction or an out-of-range number fails and leaves the field as it was.
	EXPECT_STREQ(*Convert(R"({"count": 2.5})", Scalars), "Unable to convert 'count': expected an integer within the range of int32, found the number 2.5");
	EXPECT_STREQ(*Convert(R"({"count": 2147483648})", Scalars),
		"Unable to convert 'count': expected an integer within the range of int32, found the number 2147483648");
	EXPECT_STREQ(*Convert(R"({"count": "2147483648"})", Scalars),
		"Unable to convert 'count': expected an integer within the range of int32, found the string \"2147483648\"");
	EXPECT_EQ(Scalars.count, 12);
	EXPECT_STREQ(*Convert(R"({"count": "many"})", Scalars), "Unable to convert 'count': expected an integer, found the string \"many\"");
	EXPECT_STREQ(*Convert(R"({"count": true})", Scalars), "Unable to convert 'count': expected an integer, found the boolean true");
	EXPECT_STREQ(*Convert(R"({"count": [1]})", Scalars), "Unable to convert 'count': expected an integer, found an array");

	EXPECT_STREQ(*Convert(R"({"tiny": -128, "octet": 255})", Scalars), "");
	EXPECT_EQ(Scalars.tiny, -128);
	EXPECT_EQ(Scalars.octet, 255);
	EXPECT_STREQ(*Convert(R"({"tiny": 128})", Scalars), "Unable to convert 'tiny': expected an integer within the range of int8, found the number 128");
	EXPECT_STREQ(*Convert(R"({"octet": 256})", Scalars), "Unable to convert 'octet': expected an integer within the range of uint8, found the number 256");
	EXPECT_STREQ(*Convert(R"({"octet": -1})", Scalars), "Unable to convert 'octet': expected an integer within the range of uint8, found the number -1");

	// 64-bit values in strings keep every digit; as JSON numbers they are doubles.
	EXPECT_STREQ(*Convert(R"({"wide": "-9223372036854775808", "unsignedWide": "18446744073709551615"})", Scalars), "");
	EXPECT_EQ(Scalars.wide, std::numeric_limits<int64>::min());
	EXPECT_EQ(Scalars.unsignedWide, std::numeric_limits<uint64>::max());
	EXPECT_STREQ(*Convert(R"({"wide": "9223372036854775807"})", Scalars), "");
	EXPECT_EQ(Scalars.wide, std::numeric_limits<int64>::max());
	EXPECT_STREQ(*Convert(R"({"wide": "9223372036854775808"})", Scalars),
		"Unable to convert 'wide': expected an integer within the range of int64, found the string \"9223372036854775808\"");
	// A JSON number is a double: 2^63 - 1 reads as 2^63, which int64 cannot hold.
	EXPECT_STREQ(*Convert(R"({"wide": 9223372036854775807})", Scalars),
		"Unable to convert 'wide': expected an integer within the range of int64, found the number 9223372036854775808");
	EXPECT_STREQ(*Convert(R"({"unsignedWide": -1})", Scalars),
		"Unable to convert 'unsignedWide': expected an integer within the range of uint64, found the number -1");
	EXPECT_STREQ(*Convert(R"({"wide": 4503599627370497})", Scalars), "");
	EXPECT_EQ(Scalars.wide, 4503599627370497);
}

TEST(JsonObjectConverterRead, FloatsAndBools)
{
	FJsonTestScalars Scalars;
	EXPECT_STREQ(*Convert(R"({"weight": 2.5, "precise": 1e300, "enabled": true})", Scalars), "");
	EXPECT_FLOAT_EQ(Scalars.weight, 2.5f);
	EXPECT_DOUBLE_EQ(Scalars.precise, 1e300);
	EXPECT_TRUE(Scalars.enabled);
	EXPECT_STREQ(*Convert(R"({"weight": "0.25", "precise": -3, "enabled": "FALSE"})", Scalars), "");
	EXPECT_FLOAT_EQ(Scalars.weight, 0.25f);
	EXPECT_DOUBLE_EQ(Scalars.precise, -3.0);
	EXPECT_FALSE(Scalars.enabled);
	EXPECT_STREQ(*Convert(R"({"enabled": 2})", Scalars), "");
	EXPECT_TRUE(Scalars.enabled);
	EXPECT_STREQ(*Convert(R"({"enabled": 0})", Scalars), "");
	EXPECT_FALSE(Scalars.enabled);

	EXPECT_STREQ(*Convert(R"({"weight": 1e39})", Scalars), "Unable to convert 'weight': expected a number within the range of float, found the number 1e+39");
	EXPECT_STREQ(*Convert(R"({"weight": "heavy"})", Scalars), "Unable to convert 'weight': expected a number, found the string \"heavy\"");
	EXPECT_STREQ(*Convert(R"({"precise": false})", Scalars), "Unable to convert 'precise': expected a number, found the boolean false");
	EXPECT_STREQ(*Convert(R"({"enabled": "yes"})", Scalars), "Unable to convert 'enabled': expected a boolean, found the string \"yes\"");
	EXPECT_STREQ(*Convert(R"({"enabled": {}})", Scalars), "Unable to convert 'enabled': expected a boolean, found an object");
	EXPECT_FLOAT_EQ(Scalars.weight, 0.25f);
}

TEST(JsonObjectConverterRead, EnumsByNameOrValue)
{
	FJsonTestScalars Scalars;
	EXPECT_STREQ(*Convert(R"({"shade": "Dark", "byteShade": "EJsonTestShade::Medium"})", Scalars), "");
	EXPECT_EQ(Scalars.shade, EJsonTestShade::Dark);
	EXPECT_EQ(Scalars.byteShade.GetValue(), EJsonTestShade::Medium);
	EXPECT_STREQ(*Convert(R"({"shade": "medium", "byteShade": 5})", Scalars), "");
	EXPECT_EQ(Scalars.shade, EJsonTestShade::Medium);
	EXPECT_EQ(Scalars.byteShade.GetValue(), EJsonTestShade::Dark);
	EXPECT_STREQ(*Convert(R"({"shade": 0})", Scalars), "");
	EXPECT_EQ(Scalars.shade, EJsonTestShade::Pale);

	EXPECT_STREQ(*Convert(R"({"shade": "Purple"})", Scalars),
		"Unable to convert 'shade': expected the name or value of an entry of EJsonTestShade, found the string \"Purple\"");
	EXPECT_STREQ(*Convert(R"({"byteShade": 3})", Scalars),
		"Unable to convert 'byteShade': expected the name or value of an entry of EJsonTestShade, found the number 3");
	EXPECT_STREQ(*Convert(R"({"shade": 4.5})", Scalars),
		"Unable to convert 'shade': expected the name or value of an entry of EJsonTestShade, found the number 4.5");
	EXPECT_STREQ(*Convert(R"({"shade": ""})", Scalars),
		"Unable to convert 'shade': expected the name or value of an entry of EJsonTestShade, found the string \"\"");
	EXPECT_EQ(Scalars.shade, EJsonTestShade::Pale);
}

TEST(JsonObjectConverterRead, WrongTypeDeepDownFailsTheWholeConversionWithItsPath)
{
	FJsonTestDescriptor Descriptor;
	const FString Json = R"({
		"groups": [
			{"title": "first", "characters": [{"name": "A", "blends": [0.5]}]},
			{"title": "second", "characters": [{"name": "B", "blends": {"jaw": 1}}]}
		],
		"lead": {"name": "Lead"}
	})";
	EXPECT_STREQ(*Convert(Json, Descriptor), "Unable to convert 'groups[1].characters[0].blends': expected an array, found an object");
	// What was read before the bad value stays, and the rest keeps its start value.
	ASSERT_EQ(Descriptor.groups.Num(), 2);
	EXPECT_STREQ(*Descriptor.groups[0].characters[0].name, "A");
	EXPECT_STREQ(*Descriptor.groups[1].characters[0].name, "B");
	EXPECT_TRUE(Descriptor.groups[1].characters[0].blends.IsEmpty());
	EXPECT_TRUE(Descriptor.lead.name.IsEmpty());

	EXPECT_STREQ(*Convert(R"({"groups": [{"characters": [{"blends": [1, "x"]}]}]})", Descriptor),
		"Unable to convert 'groups[0].characters[0].blends[1]': expected a number, found the string \"x\"");
	EXPECT_STREQ(*Convert(R"({"groups": {"characters": []}})", Descriptor), "Unable to convert 'groups': expected an array, found an object");
	EXPECT_STREQ(*Convert(R"({"lead": "Lead"})", Descriptor), "Unable to convert 'lead': expected an object, found the string \"Lead\"");
}

TEST(JsonObjectConverterRead, ArraysAreReplacedWithFreshElements)
{
	FJsonTestDescriptor Descriptor;
	Descriptor.groups.SetNum(3);
	Descriptor.groups[0].title = TEXT("old");
	Descriptor.groups[0].characters.SetNum(2);
	EXPECT_STREQ(*Convert(R"({"groups": [{"characters": [{"name": "New"}]}, null]})", Descriptor), "");
	ASSERT_EQ(Descriptor.groups.Num(), 2);
	EXPECT_TRUE(Descriptor.groups[0].title.IsEmpty());
	ASSERT_EQ(Descriptor.groups[0].characters.Num(), 1);
	EXPECT_STREQ(*Descriptor.groups[0].characters[0].name, "New");
	EXPECT_TRUE(Descriptor.groups[1].characters.IsEmpty());

	EXPECT_STREQ(*Convert(R"({"groups": []})", Descriptor), "");
	EXPECT_TRUE(Descriptor.groups.IsEmpty());
}

TEST(JsonObjectConverterRead, MapsConvertKeysAndValues)
{
	FJsonTestContainers Containers;
	Containers.scores.Add(TEXT("stale"), 1);
	const FString Json = R"({
		"scores": {"alice": 3, "Bob": 4},
		"labels": {"1": "one", "-20": "minus twenty"},
		"shadeWeights": {"Dark": 0.5, "EJsonTestShade::Medium": 1},
		"cast": {"hero": {"name": "H", "blends": [1, 2]}}
	})";
	EXPECT_STREQ(*Convert(Json, Containers), "");
	EXPECT_EQ(Containers.scores.Num(), 2);
	EXPECT_FALSE(Containers.scores.Contains(TEXT("stale")));
	EXPECT_EQ(Containers.scores.FindRef(TEXT("alice")), 3);
	EXPECT_EQ(Containers.scores.FindRef(TEXT("bob")), 4);
	EXPECT_STREQ(*Containers.labels.FindRef(-20), "minus twenty");
	EXPECT_STREQ(*Containers.labels.FindRef(1), "one");
	EXPECT_FLOAT_EQ(Containers.shadeWeights.FindRef(EJsonTestShade::Dark), 0.5f);
	EXPECT_FLOAT_EQ(Containers.shadeWeights.FindRef(EJsonTestShade::Medium), 1.0f);
	ASSERT_TRUE(Containers.cast.Contains(FName(TEXT("hero"))));
	EXPECT_EQ(Containers.cast[FName(TEXT("hero"))].blends, (TArray<float>{1.0f, 2.0f}));

	EXPECT_STREQ(*Convert(R"({"labels": {"one": "x"}})", Containers),
		"Unable to convert the key of 'labels.one': expected an integer, found the string \"one\"");
	EXPECT_STREQ(*Convert(R"({"shadeWeights": {"Purple": 1}})", Containers),
		"Unable to convert the key of 'shadeWeights.Purple': expected the name or value of an entry of EJsonTestShade, found the string \"Purple\"");
	EXPECT_STREQ(*Convert(R"({"scores": {"alice": "many"}})", Containers),
		"Unable to convert 'scores.alice': expected an integer, found the string \"many\"");
	EXPECT_STREQ(*Convert(R"({"cast": {"hero": {"blends": {}}}})", Containers),
		"Unable to convert 'cast.hero.blends': expected an array, found an object");
	EXPECT_STREQ(*Convert(R"({"scores": [1, 2]})", Containers), "Unable to convert 'scores': expected an object, found an array");
}

TEST(JsonObjectConverterRead, SetsAndArraysOfEnums)
{
	FJsonTestContainers Containers;
	EXPECT_STREQ(*Convert(R"({"tags": ["a", "b", "A"], "numbers": [3, 1, 3, 2], "shades": ["Dark", 4, "pale"]})", Containers), "");
	// FString elements compare without letter case, so "A" is the "a" already there.
	EXPECT_EQ(Containers.tags.Num(), 2);
	EXPECT_TRUE(Containers.tags.Contains(TEXT("b")));
	EXPECT_EQ(Containers.numbers.Array(), (TArray<int32>{3, 1, 2}));
	EXPECT_EQ(Containers.shades, (TArray<EJsonTestShade>{EJsonTestShade::Dark, EJsonTestShade::Medium, EJsonTestShade::Pale}));

	EXPECT_STREQ(*Convert(R"({"numbers": [1, 2.5]})", Containers),
		"Unable to convert 'numbers[1]': expected an integer within the range of int32, found the number 2.5");
	EXPECT_STREQ(*Convert(R"({"tags": "a"})", Containers), "Unable to convert 'tags': expected an array, found the string \"a\"");
}

TEST(JsonObjectConverterRead, StrictModeRequiresEveryVisitedField)
{
	FJsonTestBase Base;
	EXPECT_STREQ(*Convert(R"({"AssetID": "A"})", Base, 0, 0, true), "Unable to convert 'Zeta': the field is missing");
	EXPECT_STREQ(*Convert(R"({"AssetID": "A", "Zeta": null})", Base, 0, 0, true), "Unable to convert 'Zeta': the field is null");
	EXPECT_STREQ(*Convert(R"({"assetid": "B", "zeta": 2})", Base, 0, 0, true), "");
	EXPECT_STREQ(*Base.AssetID, "B");
	EXPECT_EQ(Base.Zeta, 2);
	// Only visited fields are required.
	EXPECT_STREQ(*Convert(R"({"AssetID": "C"})", Base, CPF_Edit, 0, true), "");
}

TEST(JsonObjectConverterRead, CheckAndSkipFlagsSelectFields)
{
	const FString Json = R"({"AssetID": "A", "Zeta": 1, "Alpha": 2, "Middle": ["m"], "Scratch": 3})";
	FJsonTestDerived OnlyEditable;
	EXPECT_STREQ(*Convert(Json, OnlyEditable, CPF_Edit), "");
	EXPECT_STREQ(*OnlyEditable.AssetID, "A");
	EXPECT_FLOAT_EQ(OnlyEditable.Alpha, 2.0f);
	EXPECT_EQ(OnlyEditable.Zeta, 0);
	EXPECT_TRUE(OnlyEditable.Middle.IsEmpty());

	FJsonTestDerived NotEditable;
	EXPECT_STREQ(*Convert(Json, NotEditable, 0, CPF_Edit), "");
	EXPECT_TRUE(NotEditable.AssetID.IsEmpty());
	EXPECT_EQ(NotEditable.Zeta, 1);
	EXPECT_EQ(NotEditable.Middle.Num(), 1);
	// Reading has no implicit skip flags: transient fields are read.
	EXPECT_EQ(NotEditable.Scratch, 3);
}

TEST(JsonObjectConverterRead, StringConversionReportsParseFailuresTheSameWay)
{
	FJsonTestScalars Scalars;
	EXPECT_TRUE(FJsonObjectConverter::JsonObjectStringToUStruct(FString(R"({"count": 7})"), &Scalars));
	EXPECT_EQ(Scalars.count, 7);

	for (const TCHAR* Text : {R"({"count": })", R"([1, 2])", ""})
	{
		FLogCapture Capture;
		FText Reason;
		EXPECT_FALSE(FJsonObjectConverter::JsonObjectStringToUStruct(FString(Text), &Scalars, 0, 0, false, &Reason)) << Text;
		const TArray<FString> Errors = JsonErrors(Capture);
		ASSERT_EQ(Errors.Num(), 1) << Text;
		EXPECT_TRUE(Errors[0].StartsWith(FString(TEXT("Unable to parse JSON: ")), ESearchCase::CaseSensitive)) << *Errors[0];
		EXPECT_GT(Errors[0].Len(), FString(TEXT("Unable to parse JSON: ")).Len()) << *Errors[0];
		EXPECT_STREQ(*Errors[0], *Reason.ToString());
	}
	EXPECT_EQ(Scalars.count, 7);
}

TEST(JsonObjectConverterRead, ObjectsAreFilledThroughTheirOwnClass)
{
	UJsonTestDerivedCallee* Derived = NewObject<UJsonTestDerivedCallee>();
	UJsonTestCallee* AsBase = Derived;
	EXPECT_TRUE(FJsonObjectConverter::JsonObjectToUStruct(ParseJsonObject(R"({"offset": 5, "greeting": "hello", "extra": [1, 2]})"), AsBase));
	EXPECT_EQ(Derived->Offset, 5);
	EXPECT_STREQ(*Derived->Greeting, "hello");
	EXPECT_EQ(Derived->Extra, (TArray<int32>{1, 2}));
}

TEST(JsonObjectConverterRead, SingleValuesAndMissingInputs)
{
	FProperty* Shades = FJsonTestContainers::StaticStruct()->FindPropertyByName(FName(TEXT("shades")));
	ASSERT_NE(Shades, nullptr);
	TArray<EJsonTestShade> Value;
	const TSharedRef<FJsonObject> Json = ParseJsonObject(R"({"good": ["Dark"], "bad": ["Dark", "Red"]})");
	EXPECT_TRUE(FJsonObjectConverter::JsonValueToUProperty(Json->TryGetField(TEXT("good")), Shades, &Value));
	EXPECT_EQ(Value, (TArray<EJsonTestShade>{EJsonTestShade::Dark}));

	FLogCapture Capture;
	FText Reason;
	EXPECT_FALSE(FJsonObjectConverter::JsonValueToUProperty(Json->TryGetField(TEXT("bad")), Shades, &Value, 0, 0, false, &Reason));
	EXPECT_STREQ(*Reason.ToString(),
		"Unable to convert 'shades[1]': expected the name or value of an entry of EJsonTestShade, found the string \"Red\"");
	EXPECT_FALSE(FJsonObjectConverter::JsonObjectToUStruct(Json, FJsonTestScalars::StaticStruct(), nullptr));
	EXPECT_FALSE(FJsonObjectConverter::JsonValueToUProperty(TSharedPtr<FJsonValue>(), Shades, &Value));
	EXPECT_EQ(JsonErrors(Capture).Num(), 3);
}
