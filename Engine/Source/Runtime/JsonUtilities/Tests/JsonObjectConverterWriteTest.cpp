#include "JsonObjectConverter.h"
#include "JsonUtilitiesTestHelpers.h"
#include "JsonUtilitiesTestTypes.h"
#include "Policies/CondensedJsonPrintPolicy.h"
#include "Serialization/JsonWriter.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

namespace
{
	template <typename StructType>
	FString WriteCondensed(const StructType& Value, EJsonObjectConversionFlags Flags = EJsonObjectConversionFlags::None, int64 SkipFlags = 0)
	{
		FString Text;
		EXPECT_TRUE(FJsonObjectConverter::UStructToJsonObjectString(Value, Text, 0, SkipFlags, 0, nullptr, false, Flags));
		return Text;
	}

	FString WriteCondensed(const TSharedPtr<FJsonValue>& Value)
	{
		FString Text;
		FJsonSerializer::Serialize(Value, FString(), TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Text));
		return Text;
	}

	FJsonTestDerived MakeDerived()
	{
		FJsonTestDerived Derived;
		Derived.AssetID = TEXT("A-1");
		Derived.Zeta = 3;
		Derived.Alpha = 0.1f;
		Derived.Middle = {TEXT("x"), TEXT("y")};
		Derived.Scratch = 9;
		return Derived;
	}
}

TEST(JsonObjectConverterWrite, StandardizeCaseLowersTheFirstLetterAndWritesIdForID)
{
	EXPECT_STREQ(*FJsonObjectConverter::StandardizeCase(FString(TEXT("AssetID"))), "assetId");
	EXPECT_STREQ(*FJsonObjectConverter::StandardizeCase(FString(TEXT("MeshIDList"))), "meshIdList");
	EXPECT_STREQ(*FJsonObjectConverter::StandardizeCase(FString(TEXT("LODData"))), "lODData");
	EXPECT_STREQ(*FJsonObjectConverter::StandardizeCase(FString(TEXT("already"))), "already");
	EXPECT_STREQ(*FJsonObjectConverter::StandardizeCase(FString()), "");
}

TEST(JsonObjectConverterWrite, CanonicalOutputKeepsDeclaredNamesAndOrder)
{
	FString Pretty;
	ASSERT_TRUE(FJsonObjectConverter::UStructToJsonObjectString(MakeDerived(), Pretty, 0, 0, 0, nullptr, true,
		EJsonObjectConversionFlags::SkipStandardizeCase));
	// Base fields first, each type's in declared order; the transient field is left out.
	EXPECT_STREQ(*Pretty, "{\n\t\"AssetID\": \"A-1\",\n\t\"Zeta\": 3,\n\t\"Alpha\": 0.1,\n\t\"Middle\": [\n\t\t\"x\",\n\t\t\"y\"\n\t]\n}");

	// Every field is present even when it holds its start value.
	EXPECT_STREQ(*WriteCondensed(FJsonTestDerived(), EJsonObjectConversionFlags::SkipStandardizeCase),
		R"({"AssetID":"","Zeta":0,"Alpha":0,"Middle":[]})");
	EXPECT_STREQ(*WriteCondensed(MakeDerived()), R"({"assetId":"A-1","zeta":3,"alpha":0.1,"middle":["x","y"]})");
}

TEST(JsonObjectConverterWrite, FlagsSelectWhatIsWritten)
{
	// Explicit skip flags replace the default ones, so the transient field is written.
	EXPECT_STREQ(*WriteCondensed(MakeDerived(), EJsonObjectConversionFlags::SkipStandardizeCase, CPF_Edit),
		R"({"Zeta":3,"Middle":["x","y"],"Scratch":9})");
	const FJsonTestDerived Derived = MakeDerived();
	const TSharedPtr<FJsonObject> Editable = FJsonObjectConverter::UStructToJsonObject(Derived, CPF_Edit);
	ASSERT_TRUE(Editable.IsValid());
	const TSharedPtr<FJsonValue> EditableValue = MakeShared<FJsonValueObject>(Editable).ToSharedPtr();
	EXPECT_STREQ(*WriteCondensed(EditableValue), R"({"assetId":"A-1","alpha":0.1})");

	FString Indented;
	ASSERT_TRUE(FJsonObjectConverter::UStructToJsonObjectString(FJsonTestBase(), Indented, CPF_Edit, 0, 1));
	EXPECT_STREQ(*Indented, "{\n\t\t\"assetId\": \"\"\n\t}");
}

TEST(JsonObjectConverterWrite, ScalarsAsNumbersStringsAndEntryNames)
{
	FJsonTestScalars Scalars;
	Scalars.text = TEXT("line\nbreak");
	Scalars.caption = FText::FromString(TEXT("Shown"));
	Scalars.count = -7;
	Scalars.tiny = -128;
	Scalars.octet = 255;
	Scalars.wide = 9007199254740993;
	Scalars.unsignedWide = std::numeric_limits<uint64>::max();
	Scalars.weight = 0.1f;
	Scalars.precise = 1.0 / 3.0;
	Scalars.enabled = true;
	Scalars.shade = EJsonTestShade::Dark;
	Scalars.byteShade = EJsonTestShade::Medium;
	EXPECT_STREQ(*WriteCondensed(Scalars),
		R"({"text":"line\nbreak","label":"None","caption":"Shown","count":-7,"tiny":-128,"octet":255,)"
		R"("wide":"9007199254740993","unsignedWide":"18446744073709551615","weight":0.1,"precise":0.3333333333333333,)"
		R"("enabled":true,"shade":"Dark","byteShade":"Medium"})");

	// Integers up to 2^53 stay numbers; a value that is no entry keeps its number.
	Scalars.wide = -9007199254740992;
	Scalars.shade = static_cast<EJsonTestShade>(3);
	const TSharedPtr<FJsonObject> Json = FJsonObjectConverter::UStructToJsonObject(Scalars);
	ASSERT_TRUE(Json.IsValid());
	EXPECT_STREQ(*WriteCondensed(Json->TryGetField(TEXT("wide"))), "-9007199254740992");
	EXPECT_STREQ(*WriteCondensed(Json->TryGetField(TEXT("shade"))), "3");
}

TEST(JsonObjectConverterWrite, ReferencesAndContainers)
{
	UPackage* Package = CreatePackage(TEXT("/Game/JsonTests/Written"));
	UJsonTestAsset* Asset = FindObject<UJsonTestAsset>(Package, TEXT("Written"));
	if (!Asset)
	{
		Asset = NewObject<UJsonTestAsset>(Package, FName(TEXT("Written")));
		Asset->AddToRoot();
	}
	FJsonTestReferences References;
	References.asset = Asset;
	References.kind = UJsonTestSpecialAsset::StaticClass();
	References.assets = {Asset, nullptr};
	EXPECT_STREQ(*WriteCondensed(References),
		*FString::Printf(TEXT(R"({"asset":"/Game/JsonTests/Written.Written","watched":null,"later":null,"kind":"%s","assets":["/Game/JsonTests/Written.Written",null]})"),
			*UJsonTestSpecialAsset::StaticClass()->GetPathName()));
	References.later = FSoftObjectPath(TEXT("/Game/JsonTests/Unloaded.Unloaded"));
	References.kind = nullptr;
	EXPECT_STREQ(*WriteCondensed(References),
		R"({"asset":"/Game/JsonTests/Written.Written","watched":null,"later":"/Game/JsonTests/Unloaded.Unloaded","kind":null,"assets":["/Game/JsonTests/Written.Written",null]})");

	FJsonTestContainers Containers;
	Containers.scores.Add(TEXT("Bob"), 4);
	Containers.labels.Add(-20, TEXT("minus twenty"));
	Containers.shadeWeights.Add(EJsonTestShade::Dark, 0.5f);
	Containers.cast.Add(FName(TEXT("Hero")), FJsonTestCharacter{TEXT("H"), {1.0f}});
	Containers.tags.Add(TEXT("t"));
	Containers.numbers.Add(7);
	Containers.shades = {EJsonTestShade::Pale};
	EXPECT_STREQ(*WriteCondensed(Containers),
		R"({"scores":{"Bob":4},"labels":{"-20":"minus twenty"},"shadeWeights":{"Dark":0.5},"cast":{"Hero":{"name":"H","blends":[1]}},)"
		R"("tags":["t"],"numbers":[7],"shades":["Pale"]})");
}

TEST(JsonObjectConverterWrite, KeysThatAreNotTextFail)
{
	FJsonTestPointMap Points;
	EXPECT_STREQ(*WriteCondensed(Points), R"({"byPoint":{}})");

	Points.byPoint.Add(FJsonTestPoint{1, 2}, 3);
	FLogCapture Capture;
	FString Text = TEXT("untouched");
	EXPECT_FALSE(FJsonObjectConverter::UStructToJsonObjectString(Points, Text));
	EXPECT_STREQ(*Text, "untouched");
	EXPECT_FALSE(FJsonObjectConverter::UStructToJsonObject(Points).IsValid());
	const TArray<FString> Errors = JsonErrors(Capture);
	ASSERT_EQ(Errors.Num(), 2);
	EXPECT_STREQ(*Errors[0], "Unable to write 'byPoint': keys of type FJsonTestPoint cannot be JSON object keys");
	EXPECT_STREQ(*Errors[1], *Errors[0]);

	FText Reason;
	EXPECT_FALSE(FJsonObjectConverter::JsonObjectToUStruct(ParseJsonObject(R"({"byPoint": {"a": 1}})"), &Points, 0, 0, false, &Reason));
	EXPECT_STREQ(*Reason.ToString(), "Unable to convert the key of 'byPoint.a': expected an object, found the string \"a\"");
}

TEST(JsonObjectConverterWrite, RoundTripGivesBackEveryValue)
{
	FJsonTestScalars Scalars;
	Scalars.text = TEXT("Grüße");
	Scalars.label = FName(TEXT("Hero_2"));
	Scalars.caption = FText::FromString(TEXT("Caption"));
	Scalars.count = MIN_int32;
	Scalars.tiny = 127;
	Scalars.octet = 200;
	Scalars.wide = std::numeric_limits<int64>::min();
	Scalars.unsignedWide = (uint64(1) << 63) + 1;
	Scalars.weight = 3.4e38f;
	Scalars.precise = 1e-300;
	Scalars.enabled = true;
	Scalars.shade = EJsonTestShade::Medium;
	Scalars.byteShade = EJsonTestShade::Dark;

	FString Text;
	ASSERT_TRUE(FJsonObjectConverter::UStructToJsonObjectString(Scalars, Text));
	FJsonTestScalars Read;
	ASSERT_TRUE(FJsonObjectConverter::JsonObjectStringToUStruct(Text, &Read));
	EXPECT_STREQ(*Read.text, *Scalars.text);
	EXPECT_EQ(Read.label, Scalars.label);
	EXPECT_STREQ(*Read.caption.ToString(), "Caption");
	EXPECT_EQ(Read.count, Scalars.count);
	EXPECT_EQ(Read.tiny, Scalars.tiny);
	EXPECT_EQ(Read.octet, Scalars.octet);
	EXPECT_EQ(Read.wide, Scalars.wide);
	EXPECT_EQ(Read.unsignedWide, Scalars.unsignedWide);
	EXPECT_EQ(Read.weight, Scalars.weight);
	EXPECT_EQ(Read.precise, Scalars.precise);
	EXPECT_EQ(Read.enabled, Scalars.enabled);
	EXPECT_EQ(Read.shade, Scalars.shade);
	EXPECT_EQ(Read.byteShade, Scalars.byteShade);

	FJsonTestDescriptor Descriptor;
	Descriptor.groups.SetNum(2);
	Descriptor.groups[1].title = TEXT("second");
	Descriptor.groups[1].characters = {FJsonTestCharacter{TEXT("B"), {0.25f, 0.1f}}, FJsonTestCharacter{TEXT("C"), {}}};
	Descriptor.lead = FJsonTestCharacter{TEXT("Lead"), {1.0f}};
	ASSERT_TRUE(FJsonObjectConverter::UStructToJsonObjectString(Descriptor, Text, 0, 0, 0, nullptr, false));
	FJsonTestDescriptor ReadDescriptor;
	ASSERT_TRUE(FJsonObjectConverter::JsonObjectStringToUStruct(Text, &ReadDescriptor));
	FString Again;
	ASSERT_TRUE(FJsonObjectConverter::UStructToJsonObjectString(ReadDescriptor, Again, 0, 0, 0, nullptr, false));
	EXPECT_STREQ(*Again, *Text);
	ASSERT_EQ(ReadDescriptor.groups.Num(), 2);
	EXPECT_EQ(ReadDescriptor.groups[1].characters[0].blends, (TArray<float>{0.25f, 0.1f}));
}

TEST(JsonObjectConverterWrite, ObjectsCustomExportAndSingleValues)
{
	UJsonTestDerivedCallee* Callee = NewObject<UJsonTestDerivedCallee>();
	Callee->Offset = 2;
	Callee->Extra = {5};
	EXPECT_STREQ(*WriteCondensed(*static_cast<UJsonTestCallee*>(Callee)), R"({"offset":2,"greeting":"","extra":[5]})");

	const FJsonObjectConverter::CustomExportCallback ExportCb = [](FProperty* Property, const void* Value) -> TSharedPtr<FJsonValue> {
		if (Property->GetFName() == FName(TEXT("Zeta")))
		{
			return MakeShared<FJsonValueString>(FString::Printf(TEXT("zeta is %d"), *static_cast<const int32*>(Value))).ToSharedPtr();
		}
		return TSharedPtr<FJsonValue>();
	};
	FString Text;
	ASSERT_TRUE(FJsonObjectConverter::UStructToJsonObjectString(MakeDerived(), Text, 0, 0, 0, &ExportCb, false));
	EXPECT_STREQ(*Text, R"({"assetId":"A-1","zeta":"zeta is 3","alpha":0.1,"middle":["x","y"]})");

	FJsonTestContainers Containers;
	Containers.shades = {EJsonTestShade::Dark, EJsonTestShade::Medium};
	FProperty* Shades = FJsonTestContainers::StaticStruct()->FindPropertyByName(FName(TEXT("shades")));
	ASSERT_NE(Shades, nullptr);
	EXPECT_STREQ(*WriteCondensed(FJsonObjectConverter::UPropertyToJsonValue(Shades, &Containers.shades)), R"(["Dark","Medium"])");

	FLogCapture Capture;
	EXPECT_FALSE(FJsonObjectConverter::UPropertyToJsonValue(nullptr, &Containers.shades).IsValid());
	EXPECT_FALSE(FJsonObjectConverter::UStructToJsonObject(FJsonTestContainers::StaticStruct(), nullptr, MakeShared<FJsonObject>()));
	EXPECT_EQ(JsonErrors(Capture).Num(), 2);
}
