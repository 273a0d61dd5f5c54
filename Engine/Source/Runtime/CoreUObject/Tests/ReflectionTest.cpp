#include "ReflectionTestTypes.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace
{
	struct FPropertySummary
	{
		FString Name;
		FString Type;
		FString Category;
	};

	TArray<FString> Names(const TArray<FProperty*>& Properties)
	{
		TArray<FString> Result;
		for (const FProperty* Property : Properties)
		{
			Result.Add(Property->GetName());
		}
		return Result;
	}
}

TEST(ReflectionTest, StructFieldsKeepDeclarationOrderOffsetsAndTypes)
{
	UScriptStruct* Struct = FTestRecord::StaticStruct();
	ASSERT_NE(Struct, nullptr);
	EXPECT_EQ(Struct->GetName(), "TestRecord");
	EXPECT_EQ(Struct->GetPathName(), "/Script/CoreUObjectTests.TestRecord");
	EXPECT_EQ(Struct->GetPropertiesSize(), static_cast<int32>(sizeof(FTestRecord)));
	EXPECT_EQ(Names(Struct->GetProperties()), (TArray<FString>{"name", "weight", "links", "shade"}));

	const FProperty* Weight = Struct->FindPropertyByName(FName("WEIGHT"));
	ASSERT_NE(Weight, nullptr);
	EXPECT_EQ(Weight->GetOffset_ForInternal(), static_cast<int32>(offsetof(FTestRecord, weight)));
	EXPECT_NE(CastField<FFloatProperty>(Weight), nullptr);

	const FArrayProperty* Links = CastField<FArrayProperty>(Struct->FindPropertyByName(FName("links")));
	ASSERT_NE(Links, nullptr);
	EXPECT_EQ(Links->GetCPPType(), "TArray<FTestLink>");
	const FStructProperty* Inner = CastField<FStructProperty>(Links->Inner);
	ASSERT_NE(Inner, nullptr);
	EXPECT_EQ(Inner->Struct, FTestLink::StaticStruct());

	const FEnumProperty* Shade = CastField<FEnumProperty>(Struct->FindPropertyByName(FName("shade")));
	ASSERT_NE(Shade, nullptr);
	EXPECT_EQ(Shade->GetEnum(), StaticEnum<ETestShade>());
	EXPECT_EQ(Shade->GetCPPType(), "ETestShade");
}

TEST(ReflectionTest, SpecifiersAndMetadataAreKeptVerbatim)
{
	TArray<FString> Listing;
	for (const FProperty* Property : FTestRecord::StaticStruct()->GetProperties())
	{
		Listing.Add(Property->GetName() + " [" + FString::Join(Property->GetSpecifiers(), TEXT("; ")) + "] " + Property->GetMetaData(FName("Category")));
	}
	EXPECT_EQ(Listing, (TArray<FString>{
		"name [VisibleAnywhere; BlueprintReadOnly; Category = \"Halcor\"] Halcor",
		"weight [EditAnywhere; BlueprintReadWrite; Category = \"Halcor\"; meta = (ClampMin = \"0\", ClampMax = \"1\")] Halcor",
		"links [VisibleAnywhere; Category = \"Halcor\"] Halcor",
		"shade [VisibleAnywhere; Category = \"Halcor\"] Halcor",
	}));

	const FProperty* Weight = FTestRecord::StaticStruct()->FindPropertyByName(FName("weight"));
	EXPECT_EQ(Weight->GetMetaData(FName("ClampMax")), "1");
	EXPECT_TRUE(Weight->HasAllPropertyFlags(CPF_Edit | CPF_BlueprintVisible));
	EXPECT_FALSE(Weight->HasAnyPropertyFlags(CPF_BlueprintReadOnly | CPF_EditConst));
	const FProperty* Name = FTestRecord::StaticStruct()->FindPropertyByName(FName("name"));
	EXPECT_TRUE(Name->HasAllPropertyFlags(CPF_Edit | CPF_EditConst | CPF_BlueprintVisible | CPF_BlueprintReadOnly));
	EXPECT_TRUE(UTestObject::StaticClass()->FindPropertyByName(FName("Other"))->HasAnyPropertyFlags(CPF_Transient));
	EXPECT_TRUE(UTestObject::StaticClass()->GetReflectionData().HasSpecifier("BlueprintType"));
}

TEST(ReflectionTest, EnumNumbersNamesAndDisplayNames)
{
	UEnum* Enum = StaticEnum<ETestShade>();
	ASSERT_NE(Enum, nullptr);
	ASSERT_EQ(Enum->NumEnums(), 4); // three entries and the generated _MAX
	EXPECT_EQ(Enum->GetValueByIndex(0), 0);
	EXPECT_EQ(Enum->GetValueByIndex(1), 4);
	EXPECT_EQ(Enum->GetValueByIndex(2), 5);
	EXPECT_EQ(Enum->GetNameByIndex(3).ToString(), "ETestShade::ETestShade_MAX");
	EXPECT_EQ(Enum->GetValueByIndex(3), 6);
	EXPECT_EQ(Enum->GetNameByValue(4).ToString(), "ETestShade::TS_Medium");
	EXPECT_EQ(Enum->GetNameStringByValue(5), "TS_Dark");
	EXPECT_EQ(Enum->GetValueByName(FName("ts_dark")), 5);
	EXPECT_EQ(Enum->GetValueByName(FName("ETestShade::TS_Medium")), 4);
	EXPECT_EQ(Enum->GetValueByName(FName("Missing")), INDEX_NONE);
	EXPECT_EQ(Enum->GetDisplayNameTextByValue(0).ToString(), "Very Light");
	EXPECT_EQ(Enum->GetDisplayNameTextByValue(4).ToString(), "TS_Medium");
	EXPECT_FALSE(Enum->IsValidEnumValue(1));
}

TEST(ReflectionTest, ClassHierarchyAndEveryPropertyKind)
{
	UClass* Class = UTestObject::StaticClass();
	EXPECT_EQ(Class->GetName(), "TestObject");
	EXPECT_EQ(Class->GetSuperClass(), UObject::StaticClass());
	EXPECT_TRUE(UTestDerived::StaticClass()->IsChildOf(Class));
	EXPECT_FALSE(Class->IsChildOf(UTestDerived::StaticClass()));
	EXPECT_EQ(Class->GetClass(), UClass::StaticClass());
	EXPECT_TRUE(UTestAbstract::StaticClass()->HasAnyClassFlags(CLASS_Abstract));

	TArray<FString> Types;
	for (const FProperty* Property : Class->GetProperties())
	{
		Types.Add(Property->GetCPPType());
	}
	EXPECT_EQ(Types, (TArray<FString>{"int32", "TObjectPtr<UTestObject>", "TArray<TObjectPtr<UObject>>", "TMap<FString, FTestRecord>",
						 "TSet<UObject*>", "TWeakObjectPtr<UObject>", "TSoftObjectPtr<UTestObject>", "TSubclassOf<UTestObject>",
						 "TEnumAsByte<ETestShade>"}));

	// A derived class lists its base's properties first; private fields are reflected too.
	const TArray<FProperty*> Derived = UTestDerived::StaticClass()->GetProperties();
	EXPECT_EQ(Derived.Last()->GetName(), "Hidden");
	EXPECT_EQ(Derived.Num(), Class->GetProperties().Num() + 1);
}

TEST(ReflectionTest, FunctionsCarryFlagsAndParameters)
{
	UFunction* Fill = UTestObject::StaticClass()->FindFunctionByName(FName("fill"));
	ASSERT_NE(Fill, nullptr);
	EXPECT_TRUE(Fill->HasAllFunctionFlags(FUNC_BlueprintCallable | FUNC_Native | FUNC_HasOutParms));
	EXPECT_EQ(Names(Fill->GetParameters()), (TArray<FString>{"Prefix", "OutItems", "Count", "ReturnValue"}));
	EXPECT_TRUE(Fill->GetParameters()[0]->HasAllPropertyFlags(CPF_Parm | CPF_ConstParm | CPF_ReferenceParm));
	EXPECT_TRUE(Fill->GetParameters()[1]->HasAllPropertyFlags(CPF_Parm | CPF_OutParm | CPF_ReferenceParm));
	EXPECT_EQ(Fill->GetReturnProperty(), Fill->GetParameters()[3]);
	// FTestLink's field "count" put that spelling in the name table first; the parameter keeps its own.
	EXPECT_TRUE(Fill->GetParameters()[2]->GetName().Equals("Count", ESearchCase::CaseSensitive));
	EXPECT_EQ(Fill->GetParameters()[2]->GetFName(), FName("count"));

	UFunction* Half = UTestObject::StaticClass()->FindFunctionByName(FName("Half"));
	ASSERT_NE(Half, nullptr);
	EXPECT_TRUE(Half->HasAllFunctionFlags(FUNC_Static | FUNC_BlueprintPure | FUNC_BlueprintCallable));

	UFunction* Picked = UTestObject::StaticClass()->FindFunctionByName(FName("OnPicked"));
	ASSERT_NE(Picked, nullptr);
	EXPECT_TRUE(Picked->HasAllFunctionFlags(FUNC_Event | FUNC_BlueprintEvent));
	EXPECT_FALSE(Picked->HasAnyFunctionFlags(FUNC_Native));
	EXPECT_EQ(Picked->GetMetaData(FName("Category")), "Halcor");
}

TEST(ReflectionTest, FunctionsRunByNameWithInOutAndReturnValues)
{
	UTestObject* Object = NewObject<UTestObject>();
	Object->Number = 10;
	UFunction* Fill = Object->FindFunctionChecked(FName("Fill"));

	TArray<uint8> Block(nullptr, 0);
	Block.SetNumZeroed(Fill->ParmsSize());
	void* Parms = Block.GetData();
	Fill->InitializeParms(Parms);
	Fill->GetParameters()[0]->ContainerPtrToValuePtr<FString>(Parms)->Append(TEXT("item"));
	*Fill->GetParameters()[2]->ContainerPtrToValuePtr<int32>(Parms) = 3;
	Object->ProcessEvent(Fill, Parms);
	EXPECT_EQ(*Fill->GetParameters()[1]->ContainerPtrToValuePtr<TArray<FString>>(Parms), (TArray<FString>{"item0", "item1", "item2"}));
	EXPECT_TRUE(*Fill->GetReturnProperty()->ContainerPtrToValuePtr<bool>(Parms));

	// A failed check inside the function comes out of the call.
	*Fill->GetParameters()[2]->ContainerPtrToValuePtr<int32>(Parms) = -1;
	EXPECT_THROW(Object->ProcessEvent(Fill, Parms), FCheckFailure);
	Fill->DestroyParms(Parms);
}

TEST(ReflectionTest, EventsDispatchToTheMostDerivedImplementation)
{
	UTestObject* Base = NewObject<UTestObject>();
	EXPECT_NO_THROW(Base->OnPicked(3)); // no blueprint implements it: nothing happens
	EXPECT_EQ(Base->Describe(1), "object 1");

	UTestDerived* Derived = NewObject<UTestDerived>();
	UTestObject* AsBase = Derived;
	AsBase->OnPicked(5);
	EXPECT_EQ(Derived->LastPicked, 5);
	EXPECT_EQ(AsBase->Describe(2), "derived 2");
}
