#include "Logging/LogCapture.h"
#include "ReflectionTestTypes.h"
#include "Templates/Casts.h"
#include "UObject/Package.h"
#include "UObject/SoftObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

TEST(ObjectTest, NewObjectsGetUniqueEngineStyleNamesAndPaths)
{
	UPackage* Package = CreatePackage(TEXT("/Game/ObjectTest/Naming"));
	UTestObject* First = NewObject<UTestObject>(Package);
	UTestObject* Second = NewObject<UTestObject>(Package);
	EXPECT_TRUE(First->GetName().StartsWith("TestObject_"));
	EXPECT_NE(First->GetFName(), Second->GetFName());
	EXPECT_EQ(First->GetOuter(), Package);
	EXPECT_EQ(First->GetPackage(), Package);

	UTestObject* Named = NewObject<UTestObject>(Package, FName("Body"));
	UTestObject* Sub = NewObject<UTestObject>(Named, FName("Part"));
	UTestObject* SubSub = NewObject<UTestObject>(Sub, FName("Piece"));
	EXPECT_EQ(Named->GetPathName(), "/Game/ObjectTest/Naming.Body");
	EXPECT_EQ(Sub->GetPathName(), "/Game/ObjectTest/Naming.Body:Part");
	EXPECT_EQ(SubSub->GetPathName(), "/Game/ObjectTest/Naming.Body:Part.Piece");
	EXPECT_EQ(Named->GetFullName(), "TestObject /Game/ObjectTest/Naming.Body");
	EXPECT_EQ(NewObject<UTestObject>()->GetOuter(), GetTransientPackage());
	EXPECT_EQ(GetTransientPackage()->GetName(), "/Engine/Transient");

	EXPECT_THROW(NewObject<UTestObject>(Package, FName("body")), FCheckFailure); // names ignore case
	EXPECT_THROW(NewObject<UTestAbstract>(), FCheckFailure);
	EXPECT_THROW(NewObject<UTestDerived>(Package, UTestObject::StaticClass()), FCheckFailure);
}

TEST(ObjectTest, FindingRenamingAndLoading)
{
	UPackage* Package = CreatePackage(TEXT("/Game/ObjectTest/Find"));
	UTestObject* Asset = NewObject<UTestObject>(Package, FName("Find"));
	EXPECT_EQ(CreatePackage(TEXT("/Game/ObjectTest/Find")), Package);
	EXPECT_EQ(FindObject<UTestObject>(nullptr, TEXT("/Game/ObjectTest/Find.Find")), Asset);
	EXPECT_EQ(FindObject<UTestObject>(Package, TEXT("FIND")), Asset);
	EXPECT_EQ(FindObject<UTestDerived>(nullptr, TEXT("/Game/ObjectTest/Find.Find")), nullptr);
	EXPECT_EQ(FindObject<UObject>(nullptr, TEXT("/Game/ObjectTest/Find.Missing")), nullptr);
	EXPECT_EQ(FindObject<UObject>(nullptr, TEXT("")), nullptr);
	EXPECT_EQ(FindObject<UClass>(nullptr, TEXT("/Script/CoreUObjectTests.TestObject")), UTestObject::StaticClass());

	EXPECT_TRUE(Asset->Rename(TEXT("Renamed")));
	EXPECT_EQ(FindObject<UTestObject>(Package, TEXT("Renamed")), Asset);
	EXPECT_EQ(FindObject<UTestObject>(Package, TEXT("Find")), nullptr);
	UTestObject* Blocker = NewObject<UTestObject>(Package, FName("Taken"));
	EXPECT_FALSE(Asset->Rename(TEXT("Taken")));
	EXPECT_EQ(Asset->GetName(), "Renamed");
	EXPECT_EQ(Blocker->GetName(), "Taken");

	int32 LoaderCalls = 0;
	SetObjectLoader([&](const UClass* Class, const FString& Path) -> UObject* {
		++LoaderCalls;
		return Path == "/Game/ObjectTest/Loaded.Loaded" ? NewObject<UTestObject>(CreatePackage(TEXT("/Game/ObjectTest/Loaded")), FName("Loaded")) : nullptr;
	});
	UTestObject* Loaded = LoadObject<UTestObject>(nullptr, TEXT("/Game/ObjectTest/Loaded.Loaded"));
	ASSERT_NE(Loaded, nullptr);
	EXPECT_EQ(LoadObject<UTestObject>(nullptr, TEXT("/Game/ObjectTest/Loaded.Loaded")), Loaded); // the second load finds it
	EXPECT_EQ(LoaderCalls, 1);
	// A bare package path names the asset called like its package, on every load.
	EXPECT_EQ(LoadObject<UTestObject>(nullptr, TEXT("/Game/ObjectTest/Loaded")), Loaded);
	EXPECT_EQ(LoadObject<UTestObject>(nullptr, TEXT("/Game/ObjectTest/Loaded")), Loaded);
	EXPECT_EQ(LoadObject<UPackage>(nullptr, TEXT("/Game/ObjectTest/Loaded")), Loaded->GetOuter());
	EXPECT_EQ(LoaderCalls, 1);
	{
		FLogCapture Capture;
		EXPECT_EQ(LoadObject<UTestObject>(nullptr, TEXT("/Game/ObjectTest/Nowhere.Nowhere")), nullptr);
		EXPECT_TRUE(Capture.Contains("Failed to find object 'TestObject /Game/ObjectTest/Nowhere.Nowhere'"));
		EXPECT_EQ(LoadObject<UTestDerived>(nullptr, TEXT("/Game/ObjectTest/Loaded.Loaded"), nullptr, LOAD_NoWarn), nullptr);
		EXPECT_EQ(Capture.GetEntries().Num(), 1);
	}
	SetObjectLoader(nullptr);

	const TSoftObjectPtr<UTestObject> Soft(FSoftObjectPath(TEXT("/Game/ObjectTest/Loaded.Loaded")));
	EXPECT_EQ(Soft.GetAssetName(), "Loaded");
	EXPECT_EQ(Soft.GetLongPackageName(), "/Game/ObjectTest/Loaded");
	EXPECT_EQ(Soft.Get(), Loaded);
	EXPECT_TRUE(TSoftObjectPtr<UTestObject>(FSoftObjectPath(TEXT("/Game/ObjectTest/Other.Other"))).IsPending());
	EXPECT_TRUE(TSoftObjectPtr<UTestObject>().IsNull());
}

TEST(ObjectTest, CastsFollowTheClassHierarchy)
{
	UTestDerived* Derived = NewObject<UTestDerived>();
	UObject* AsObject = Derived;
	EXPECT_EQ(Cast<UTestObject>(AsObject), Derived);
	EXPECT_EQ(Cast<UTestDerived>(AsObject), Derived);
	EXPECT_EQ(Cast<UPackage>(AsObject), nullptr);
	EXPECT_EQ(Cast<UTestObject>(static_cast<UObject*>(nullptr)), nullptr);
	EXPECT_EQ(ExactCast<UTestObject>(AsObject), nullptr);
	EXPECT_TRUE(AsObject->IsA<UTestObject>());
	EXPECT_EQ(CastChecked<UTestObject>(AsObject), Derived);
	EXPECT_THROW(CastChecked<UPackage>(AsObject), FCheckFailure);
	EXPECT_THROW(CastChecked<UPackage>(static_cast<UObject*>(nullptr)), FCheckFailure);

	TSubclassOf<UTestObject> Sub(UTestDerived::StaticClass());
	EXPECT_EQ(Sub.Get(), UTestDerived::StaticClass());
	EXPECT_EQ(TSubclassOf<UTestObject>(UPackage::StaticClass()).Get(), nullptr);
	ASSERT_NE(Sub.GetDefaultObject(), nullptr);
	EXPECT_TRUE(Sub.GetDefaultObject()->HasAnyFlags(RF_ClassDefaultObject));
	EXPECT_EQ(GetDefault<UTestDerived>(), Sub.GetDefaultObject());
}

TEST(ObjectTest, ObjectsAreMadeOnlyThroughNewObject)
{
	EXPECT_THROW(UTestObject Direct, FCheckFailure);
}

TEST(ObjectTest, FindFirstObjectSearchesEveryOuter)
{
	UPackage* Package = CreatePackage(TEXT("/Game/ObjectTest/First"));
	UTestObject* Nested = NewObject<UTestObject>(NewObject<UTestObject>(Package, FName("Holder")), FName("UniqueFirstName"));
	EXPECT_EQ(FindFirstObject<UTestObject>(TEXT("uniquefirstname")), Nested);
	EXPECT_EQ(FindFirstObject<UTestDerived>(TEXT("UniqueFirstName")), nullptr);
	EXPECT_EQ(FindFirstObject<UClass>(TEXT("TestDerived")), UTestDerived::StaticClass());
	EXPECT_EQ(FindFirstObject<UObject>(TEXT("/Game/ObjectTest/First.Holder:UniqueFirstName")), Nested);
	EXPECT_EQ(FindFirstObject<UObject>(TEXT("")), nullptr);
}
