#include "AssetIOTestDataAsset.h"
#include "AssetIOTestFolder.h"
#include "AssetLoader.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

namespace
{
	TArray<uint8> Bytes(const std::string& Text)
	{
		return TArray<uint8>(reinterpret_cast<const uint8*>(Text.data()), int32(Text.size()));
	}
}

/** Objects outlive a test, so each test loads assets of its own names. */
class DataAssetLoadTest : public AssetIOTestFolder
{
protected:
	void SetUp() override
	{
		AssetIOTestFolder::SetUp();
		FAssetLoader::Install();
	}
};

TEST_F(DataAssetLoadTest, JsonLoadsIntoTheRequestedClassInItsPackage)
{
	WriteFile("Content/Data/D_First.json", Bytes(R"({"title": "Skin", "values": [3, 1, 2]})"));
	auto* Asset = LoadObject<UAssetIOTestDataAsset>(nullptr, TEXT("/Game/Data/D_First.D_First"));
	ASSERT_NE(Asset, nullptr);
	EXPECT_EQ(Asset->title, TEXT("Skin"));
	EXPECT_EQ(Asset->values, TArray<int32>({3, 1, 2}));
	EXPECT_EQ(Asset->GetPathName(), TEXT("/Game/Data/D_First.D_First"));
	EXPECT_TRUE(Asset->GetOuter()->IsA(UPackage::StaticClass()));
	EXPECT_EQ(LoadObject<UAssetIOTestDataAsset>(nullptr, TEXT("/Game/Data/D_First")), Asset) << "the bare package path names the same asset";
}

TEST_F(DataAssetLoadTest, AClassThatIsNoDataAssetOrAbstractIsRefused)
{
	WriteFile("Content/Data/D_Class.json", Bytes(R"({"title": "x"})"));
	FLogCapture Capture;
	EXPECT_EQ(LoadObject<UObject>(nullptr, TEXT("/Game/Data/D_Class.D_Class")), nullptr);
	EXPECT_EQ(LoadObject<UDataAsset>(nullptr, TEXT("/Game/Data/D_Class.D_Class")), nullptr);
	const TArray<FString> Messages = AssetIOMessages(Capture);
	ASSERT_EQ(Messages.Num(), 2);
	EXPECT_EQ(Messages[0], TEXT("Cannot load '/Game/Data/D_Class.D_Class': ") + ContentDir() +
							   TEXT("Data/D_Class.json holds a data asset, and Object is not a data asset class that can be made"));
	EXPECT_TRUE(Messages[1].EndsWith(TEXT("and DataAsset is not a data asset class that can be made")));
}

TEST_F(DataAssetLoadTest, FilesThatDoNotConvertLeaveNothingBehind)
{
	FLogCapture Capture;
	WriteFile("Content/Data/D_Broken.json", Bytes(R"({"title": "x", "values": [1, )"));
	EXPECT_EQ(LoadObject<UAssetIOTestDataAsset>(nullptr, TEXT("/Game/Data/D_Broken.D_Broken")), nullptr);
	WriteFile("Content/Data/D_Typed.json", Bytes(R"({"values": "not an array"})"));
	EXPECT_EQ(LoadObject<UAssetIOTestDataAsset>(nullptr, TEXT("/Game/Data/D_Typed.D_Typed")), nullptr);
	const TArray<FString> Messages = AssetIOMessages(Capture);
	ASSERT_EQ(Messages.Num(), 2);
	EXPECT_TRUE(Messages[0].StartsWith(TEXT("Cannot load '/Game/Data/D_Broken.D_Broken': ") + ContentDir() + TEXT("Data/D_Broken.json: ")));
	EXPECT_TRUE(Messages[1].StartsWith(TEXT("Cannot load '/Game/Data/D_Typed.D_Typed': ") + ContentDir() + TEXT("Data/D_Typed.json: ")));

	// Once the file is mended the same path loads: the failed attempt left no asset in its place.
	WriteFile("Content/Data/D_Typed.json", Bytes(R"({"values": [7]})"));
	auto* Mended = LoadObject<UAssetIOTestDataAsset>(nullptr, TEXT("/Game/Data/D_Typed.D_Typed"));
	ASSERT_NE(Mended, nullptr);
	EXPECT_EQ(Mended->values, TArray<int32>({7}));
}
