// The four JSON-backed data assets' Load: reading, failures and their messages, the objects
// it makes and how long they live.

#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "HCDataAssetTestFiles.h"
#include "UObject/WeakObjectPtrTemplates.h"

#include <vector>

namespace
{
	/** One JSON-backed class: its Load, its parse-failure message and a file with a value of the wrong type. */
	struct FLoader
	{
		const char* ClassName;
		TStrongObjectPtr<UDataAsset> (*Load)(const FString& Path);
		const char* ParseFailure;
		const char* WrongType;
	};

	template <typename T>
	TStrongObjectPtr<UDataAsset> LoadAs(const FString& Path)
	{
		return T::Load(Path);
	}

	const std::vector<FLoader>& Loaders()
	{
		static const std::vector<FLoader> Table = {
			{"UHCAssetCatalogData", &LoadAs<UHCAssetCatalogData>, "Failed to parse JSON into UHCAssetCatalogData", R"({"textures": 5})"},
			{"UHCCharacterDescriptorData", &LoadAs<UHCCharacterDescriptorData>, "Failed to parse JSON into UHCCharacterDescriptorData",
				R"({"groups": [{"characters": [{"blends": {"templateAssetIndex": 0}}]}]})"},
			{"UHCCharacterEditorConfigData", &LoadAs<UHCCharacterEditorConfigData>,
				"Failed to parse JSON into UHCCharacterEditorConfigData", R"({"version": "one"})"},
			{"UHCCharacterEditorSkinCompositionData", &LoadAs<UHCCharacterEditorSkinCompositionData>,
				"Failed to parse JSON into UHCCharacterEditorSkinCompositionData",
				R"({"components": [{"handlers": [{"floatParams": [0.5, "half"]}]}]})"},
		};
		return Table;
	}

	using HCDataAssetsLoad = HCDataAssetFileTest;
}

TEST_F(HCDataAssetsLoad, UnreadableFilesLogTheirPathAndGiveNothing)
{
	const FString Missing = PathOf("missing.json");
	const FString FolderPath = PathOf("");
	for (const FLoader& Loader : Loaders())
	{
		SCOPED_TRACE(Loader.ClassName);
		for (const FString& Path : {Missing, FString(), FolderPath})
		{
			FLogCapture Capture;
			EXPECT_FALSE(Loader.Load(Path).IsValid());
			EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Warning), (TArray<FString>{"Failed to load file: " + Path}));
			EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Error).Num(), 0);
		}
	}
}

TEST_F(HCDataAssetsLoad, TextThatIsNoJsonObjectIsAParseFailure)
{
	const std::vector<const char*> Texts = {"", "not json", "[{\"textures\": []}]", "42", "{\"textures\": [", "{} {}"};
	for (const FLoader& Loader : Loaders())
	{
		for (const char* Text : Texts)
		{
			SCOPED_TRACE(*(FString(Loader.ClassName) + " <- " + Text));
			const FString Path = WriteFile("data.json", FString(Text));
			FLogCapture Capture;
			EXPECT_FALSE(Loader.Load(Path).IsValid());
			EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Warning), (TArray<FString>{Loader.ParseFailure}));
		}
	}
}

TEST_F(HCDataAssetsLoad, AValueOfTheWrongTypeFailsTheWholeFile)
{
	for (const FLoader& Loader : Loaders())
	{
		SCOPED_TRACE(Loader.ClassName);
		const FString Path = WriteFile("wrong.json", FString(Loader.WrongType));
		// A first load may make objects that last (the transient package, the class default
		// object); a successful load beforehand keeps them out of the count.
		EXPECT_TRUE(Loader.Load(WriteFile("empty.json", "{}")).IsValid());
		CollectGarbage();
		const int32 LiveBefore = GetNumLiveObjects();
		{
			FLogCapture Capture;
			EXPECT_FALSE(Loader.Load(Path).IsValid());
			EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Warning), (TArray<FString>{Loader.ParseFailure}));
		}
		// The half-filled object is not kept anywhere: the next collection takes it.
		CollectGarbage();
		EXPECT_EQ(GetNumLiveObjects(), LiveBefore);
	}
}

TEST_F(HCDataAssetsLoad, ABadValueAfterGoodOnesStillFailsTheFile)
{
	// textures is read first and converts; characterEditors, the last field, does not.
	const FString Path = WriteFile("catalog.json", R"({
		"textures": [{"path": "T_Body.png", "isLinear": true}],
		"meshes": [{"name": "Body", "submeshCount": 2}],
		"characterEditors": {"templateAssetIndex": "0"}
	})");
	FLogCapture Capture;
	EXPECT_FALSE(UHCAssetCatalogData::Load(Path).IsValid());
	EXPECT_EQ(TempMessages(Capture, ELogVerbosity::Warning), (TArray<FString>{"Failed to parse JSON into UHCAssetCatalogData"}));
}

TEST_F(HCDataAssetsLoad, AnEmptyObjectGivesEmptyFields)
{
	const FString Path = WriteFile("empty.json", "{}");
	FLogCapture Capture;

	const TStrongObjectPtr<UHCAssetCatalogData> Catalog = UHCAssetCatalogData::Load(Path);
	ASSERT_TRUE(Catalog.IsValid());
	EXPECT_EQ(Catalog->textures.Num() + Catalog->meshes.Num() + Catalog->materials.Num() + Catalog->templateAssets.Num() +
				  Catalog->deformableAssets.Num() + Catalog->shapeAssets.Num() + Catalog->overlayAssets.Num() +
				  Catalog->characterEditors.Num(),
		0);

	const TStrongObjectPtr<UHCCharacterDescriptorData> Descriptor = UHCCharacterDescriptorData::Load(Path);
	ASSERT_TRUE(Descriptor.IsValid());
	EXPECT_EQ(Descriptor->groups.Num(), 0);

	const TStrongObjectPtr<UHCCharacterEditorConfigData> Config = UHCCharacterEditorConfigData::Load(Path);
	ASSERT_TRUE(Config.IsValid());
	EXPECT_EQ(Config->version, 0);
	EXPECT_TRUE(Config->rigShapePath.IsEmpty());
	EXPECT_TRUE(Config->animationPath.IsEmpty());
	EXPECT_EQ(Config->meshAlbedos.Num() + Config->segmentations.Num(), 0);

	const TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> Skin = UHCCharacterEditorSkinCompositionData::Load(Path);
	ASSERT_TRUE(Skin.IsValid());
	EXPECT_EQ(Skin->version, 0);
	EXPECT_EQ(Skin->components.Num(), 0);

	EXPECT_EQ(Capture.GetLines().Num(), 0);
}

TEST_F(HCDataAssetsLoad, EveryLoadMakesAFreshObjectInTheTransientPackage)
{
	const FString Path = WriteFile("descriptor.json", R"({"groups": [{"characters": [{"name": "Ada"}]}]})");
	const TStrongObjectPtr<UHCCharacterDescriptorData> First = UHCCharacterDescriptorData::Load(Path);
	const TStrongObjectPtr<UHCCharacterDescriptorData> Second = UHCCharacterDescriptorData::Load(Path);
	ASSERT_TRUE(First.IsValid());
	ASSERT_TRUE(Second.IsValid());
	EXPECT_NE(First.Get(), Second.Get());
	EXPECT_NE(First->GetName(), Second->GetName());
	for (const UHCCharacterDescriptorData* Descriptor : {First.Get(), Second.Get()})
	{
		EXPECT_EQ(Descriptor->GetOuter(), GetTransientPackage());
		EXPECT_EQ(Descriptor->GetClass(), UHCCharacterDescriptorData::StaticClass());
		ASSERT_EQ(Descriptor->groups.Num(), 1);
		EXPECT_EQ(Descriptor->groups[0].characters[0].name, "Ada");
	}
	// Editing one leaves the other as read.
	First->groups[0].characters[0].name = "Grace";
	EXPECT_EQ(Second->groups[0].characters[0].name, "Ada");
}

TEST_F(HCDataAssetsLoad, VersionIsCarriedWhateverItsValue)
{
	for (const int32 Version : {-7, 0, 3, 2147483647})
	{
		const FString Text = FString::Printf(TEXT(R"({"version": %d})"), Version);
		const TStrongObjectPtr<UHCCharacterEditorConfigData> Config = UHCCharacterEditorConfigData::Load(WriteFile("config.json", Text));
		ASSERT_TRUE(Config.IsValid());
		EXPECT_EQ(Config->version, Version);
		const TStrongObjectPtr<UHCCharacterEditorSkinCompositionData> Skin =
			UHCCharacterEditorSkinCompositionData::Load(WriteFile("skin.json", Text));
		ASSERT_TRUE(Skin.IsValid());
		EXPECT_EQ(Skin->version, Version);
	}
}

TEST_F(HCDataAssetsLoad, HandlesKeepTheObjectAndWhatItRefersToUntilTheLastGoes)
{
	UTexture2D* Texture = RegisterTexture(TEXT("/Game/VorpexTests/Lifetime/T_Loose"), TEXT("T_Loose"), false);
	const FString Path = WriteFile("catalog.json", R"({"textures": [{"texture": "/Game/VorpexTests/Lifetime/T_Loose.T_Loose"}]})");
	TStrongObjectPtr<UHCAssetCatalogData> Handle = UHCAssetCatalogData::Load(Path);
	ASSERT_TRUE(Handle.IsValid());
	ASSERT_EQ(Handle->textures[0].texture.Get(), Texture);
	const TWeakObjectPtr<UHCAssetCatalogData> WeakCatalog(Handle.Get());
	const TWeakObjectPtr<UTexture2D> WeakTexture(Texture);

	CollectGarbage();
	EXPECT_TRUE(WeakCatalog.IsValid());
	EXPECT_TRUE(WeakTexture.IsValid()) << "the catalog's record must keep its texture";

	TStrongObjectPtr<UHCAssetCatalogData> Copy = Handle;
	Handle.Reset();
	CollectGarbage();
	EXPECT_TRUE(WeakCatalog.IsValid());

	Copy.Reset();
	CollectGarbage();
	EXPECT_FALSE(WeakCatalog.IsValid());
	EXPECT_FALSE(WeakTexture.IsValid());
}
