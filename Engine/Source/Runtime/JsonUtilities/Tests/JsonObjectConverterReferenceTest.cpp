#include "JsonObjectConverter.h"
#include "JsonUtilitiesTestHelpers.h"
#include "JsonUtilitiesTestTypes.h"
#include "UObject/Package.h"
#include "UObject/SoftObjectPath.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

namespace
{
	/** The asset Name in package PackageName, made on first use; tests share the process's objects. */
	template <typename AssetType = UJsonTestAsset>
	AssetType* GetOrMakeAsset(const TCHAR* PackageName, const TCHAR* Name)
	{
		UPackage* Package = CreatePackage(PackageName);
		if (AssetType* Existing = FindObject<AssetType>(Package, Name))
		{
			return Existing;
		}
		AssetType* Asset = NewObject<AssetType>(Package, FName(Name));
		Asset->AddToRoot();
		return Asset;
	}

	/** Installs a loader that makes the assets under "/Game/JsonTests/Disk" on request and notes what it is asked for. */
	class JsonObjectConverterReferences : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Rock = GetOrMakeAsset(TEXT("/Game/JsonTests/Rock"), TEXT("Rock"));
			SetObjectLoader([this](const UClass* Class, const FString& Path) -> UObject* {
				Requests.Add(Path);
				RequestedClasses.Add(Class);
				if (!Path.StartsWith(FString(TEXT("/Game/JsonTests/Disk"))))
				{
					return nullptr;
				}
				const FSoftObjectPath ObjectPath(Path);
				return GetOrMakeAsset(*ObjectPath.GetLongPackageName(), *ObjectPath.GetAssetName());
			});
		}

		/** A path the loader has not been asked for yet in this process. */
		static FString FreshDiskPath()
		{
			static int32 Counter = 0;
			++Counter;
			return FString::Printf(TEXT("/Game/JsonTests/Disk%d.Disk%d"), Counter, Counter);
		}

		void TearDown() override { SetObjectLoader(FObjectLoadFunction()); }

		FString Convert(const FString& Json, FJsonTestReferences& Out)
		{
			FLogCapture Capture;
			FText Reason;
			const bool bConverted = FJsonObjectConverter::JsonObjectToUStruct(ParseJsonObject(Json), &Out, 0, 0, false, &Reason);
			const TArray<FString> Errors = JsonErrors(Capture);
			EXPECT_EQ(Errors.Num(), bConverted ? 0 : 1);
			return bConverted ? FString() : Reason.ToString();
		}

		UJsonTestAsset* Rock = nullptr;
		TArray<FString> Requests;
		TArray<const UClass*> RequestedClasses;
	};
}

TEST_F(JsonObjectConverterReferences, PathsResolveToObjectsInMemoryOrLoaded)
{
	FJsonTestReferences References;
	const FString DiskPath = FreshDiskPath();
	EXPECT_STREQ(*Convert(FString::Printf(TEXT(R"({
		"asset": "/Game/JsonTests/Rock.Rock",
		"watched": "/Game/JsonTests/Rock.Rock",
		"assets": ["%s", "/Game/JsonTests/Rock.Rock", null]
	})"), *DiskPath), References), "");
	EXPECT_EQ(References.asset.Get(), Rock);
	EXPECT_EQ(References.watched.Get(), Rock);
	ASSERT_EQ(References.assets.Num(), 3);
	ASSERT_NE(References.assets[0].Get(), nullptr);
	EXPECT_STREQ(*References.assets[0]->GetPathName(), *DiskPath);
	EXPECT_EQ(References.assets[1].Get(), Rock);
	EXPECT_EQ(References.assets[2].Get(), nullptr);
	// Only what is not in memory is loaded, as the property's class.
	ASSERT_EQ(Requests.Num(), 1);
	EXPECT_STREQ(*Requests[0], *DiskPath);
	EXPECT_EQ(RequestedClasses[0], UJsonTestAsset::StaticClass());
}

TEST_F(JsonObjectConverterReferences, EmptyNoneAndNullClearReferences)
{
	for (const TCHAR* Json : {R"({"asset": "", "watched": ""})", R"({"asset": "None", "watched": "none"})", R"({"asset": null, "watched": null})"})
	{
		FJsonTestReferences References;
		References.asset = Rock;
		References.watched = Rock;
		EXPECT_STREQ(*Convert(FString(Json), References), "") << Json;
		EXPECT_EQ(References.asset.Get(), nullptr) << Json;
		EXPECT_EQ(References.watched.Get(), nullptr) << Json;
	}
}

TEST_F(JsonObjectConverterReferences, UnresolvablePathsFail)
{
	FJsonTestReferences References;
	References.asset = Rock;
	EXPECT_STREQ(*Convert(R"({"asset": "/Game/JsonTests/Missing.Missing"})", References),
		"Unable to convert 'asset': cannot find or load a JsonTestAsset at \"/Game/JsonTests/Missing.Missing\"");
	EXPECT_EQ(References.asset.Get(), Rock);
	EXPECT_STREQ(*Convert(R"({"assets": ["/Game/JsonTests/Rock.Rock", "/Game/JsonTests/Gone.Gone"]})", References),
		"Unable to convert 'assets[1]': cannot find or load a JsonTestAsset at \"/Game/JsonTests/Gone.Gone\"");

	// An object of another class at the path does not count.
	UJsonTestCallee* Callee = GetOrMakeAsset<UJsonTestCallee>(TEXT("/Game/JsonTests/Callee"), TEXT("Callee"));
	EXPECT_STREQ(*Convert(FString::Printf(TEXT(R"({"asset": "%s"})"), *Callee->GetPathName()), References),
		"Unable to convert 'asset': cannot find or load a JsonTestAsset at \"/Game/JsonTests/Callee.Callee\"");
	EXPECT_STREQ(*Convert(R"({"asset": 5})", References), "Unable to convert 'asset': expected the path of a JsonTestAsset, found the number 5");
}

TEST_F(JsonObjectConverterReferences, ClassesByPathOrNameMustDeriveFromTheBase)
{
	FJsonTestReferences References;
	EXPECT_STREQ(*Convert(R"({"kind": "JsonTestSpecialAsset"})", References), "");
	EXPECT_EQ(References.kind.Get(), UJsonTestSpecialAsset::StaticClass());
	EXPECT_STREQ(*Convert(FString::Printf(TEXT(R"({"kind": "%s"})"), *UJsonTestAsset::StaticClass()->GetPathName()), References), "");
	EXPECT_EQ(References.kind.Get(), UJsonTestAsset::StaticClass());

	EXPECT_STREQ(*Convert(R"({"kind": "JsonTestCallee"})", References),
		"Unable to convert 'kind': expected the path or name of a class derived from JsonTestAsset, found the string \"JsonTestCallee\"");
	EXPECT_STREQ(*Convert(R"({"kind": "/Script/Nowhere.Nothing"})", References),
		"Unable to convert 'kind': expected the path or name of a class derived from JsonTestAsset, found the string \"/Script/Nowhere.Nothing\"");
	EXPECT_EQ(References.kind.Get(), UJsonTestAsset::StaticClass());
	EXPECT_STREQ(*Convert(R"({"kind": "None"})", References), "");
	EXPECT_EQ(References.kind.Get(), nullptr);
}

TEST_F(JsonObjectConverterReferences, SoftReferencesKeepTheirPathWithoutLoading)
{
	FJsonTestReferences References;
	const FString DiskPath = FreshDiskPath();
	EXPECT_STREQ(*Convert(FString::Printf(TEXT(R"({"later": "%s"})"), *DiskPath), References), "");
	EXPECT_STREQ(*References.later.ToString(), *DiskPath);
	EXPECT_TRUE(References.later.IsPending());
	EXPECT_TRUE(Requests.IsEmpty());

	EXPECT_STREQ(*Convert(R"({"later": "/Game/JsonTests/Rock.Rock"})", References), "");
	EXPECT_EQ(References.later.Get(), Rock);

	EXPECT_STREQ(*Convert(R"({"later": "None"})", References), "");
	EXPECT_TRUE(References.later.IsNull());
	EXPECT_STREQ(*Convert(R"({"later": ["x"]})", References), "Unable to convert 'later': expected the path of a JsonTestAsset, found an array");
	EXPECT_TRUE(Requests.IsEmpty());
}
