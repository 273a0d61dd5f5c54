// The model serializer's files (saved whole or not at all, loaded whole) and the operations
// visual scripting can call.

#include "HCModelSerializer.h"
#include "Logging/LogCapture.h"
#include "Misc/FileHelper.h"
#include "UObject/Class.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace
{
	namespace fs = std::filesystem;

	class HCModelSerializerFileTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Folder = fs::temp_directory_path() / ("VorpexSerializerFileTest-" + std::to_string(std::random_device{}()));
			fs::create_directories(Folder);
		}

		void TearDown() override
		{
			fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add);
			fs::remove_all(Folder);
		}

		FString PathOf(const char* Name) const { return FString((Folder / Name).string()); }

		/** The names in the folder, to show that nothing was left beside a file. */
		std::vector<std::string> Entries() const
		{
			std::vector<std::string> Names;
			for (const fs::directory_entry& Entry : fs::directory_iterator(Folder))
			{
				Names.push_back(Entry.path().filename().string());
			}
			std::sort(Names.begin(), Names.end());
			return Names;
		}

		static TArray<uint8> Read(const FString& Path)
		{
			TArray<uint8> Bytes;
			EXPECT_TRUE(FFileHelper::LoadFileToArray(Bytes, *Path));
			return Bytes;
		}

		fs::path Folder;
	};
}

TEST_F(HCModelSerializerFileTest, SavedBytesLoadBackWhole)
{
	const TArray<uint8> Bytes = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xff};
	const FString Path = PathOf("Edit.sav");
	{
		FLogCapture Capture;
		EXPECT_TRUE(UHCModelSerializer::SaveToFile(Path, Bytes));
		EXPECT_EQ(Capture.GetLines(), TArray<FString>{TEXT("LogTemp: SaveToFile: Successfully saved file to ") + Path});
	}
	EXPECT_EQ(Read(Path), Bytes);
	EXPECT_EQ(Entries(), std::vector<std::string>{"Edit.sav"});

	// Saving again replaces the file, a shorter content included.
	const TArray<uint8> Shorter = {9, 8, 7};
	EXPECT_TRUE(UHCModelSerializer::SaveToFile(Path, Shorter));
	EXPECT_EQ(Read(Path), Shorter);

	// Loading replaces what the array held.
	TArray<uint8> Loaded = {1, 2, 3, 4, 5, 6};
	FLogCapture Capture;
	EXPECT_TRUE(UHCModelSerializer::LoadFromFile(Path, Loaded));
	EXPECT_EQ(Loaded, Shorter);
	EXPECT_EQ(Capture.GetLines(), TArray<FString>{TEXT("LogTemp: Successfully loaded file from ") + Path});
}

TEST_F(HCModelSerializerFileTest, NothingToSaveOrNothingToLoadChangesNothing)
{
	const FString Path = PathOf("Empty.sav");
	FLogCapture Capture;
	EXPECT_FALSE(UHCModelSerializer::SaveToFile(Path, TArray<uint8>()));
	EXPECT_TRUE(Entries().empty());

	TArray<uint8> Kept = {4, 5};
	EXPECT_FALSE(UHCModelSerializer::LoadFromFile(Path, Kept));
	// A folder is no file either.
	EXPECT_FALSE(UHCModelSerializer::LoadFromFile(FString(Folder.string()), Kept));
	EXPECT_EQ(Kept, (TArray<uint8>{4, 5}));
	EXPECT_EQ(Capture.GetLines(), (TArray<FString>{TEXT("LogTemp: Warning: SaveToFile: Cannot save an empty byte array to file."),
									  TEXT("LogTemp: Warning: File not found: ") + Path,
									  TEXT("LogTemp: Warning: File not found: ") + FString(Folder.string())}));
}

TEST_F(HCModelSerializerFileTest, AFailedSaveLeavesTheOldFileAndNothingBesideIt)
{
	// A read-only file is not replaced.
	const FString Path = PathOf("Kept.sav");
	const TArray<uint8> Old = {1, 2, 3, 4};
	ASSERT_TRUE(FFileHelper::SaveArrayToFile(Old, *Path));
	fs::permissions(Path.ToStdString(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
	{
		FLogCapture Capture;
		EXPECT_FALSE(UHCModelSerializer::SaveToFile(Path, TArray<uint8>{9, 9}));
		EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error), TArray<FString>{TEXT("SaveToFile: Failed to save file to ") + Path});
	}
	EXPECT_EQ(Read(Path), Old);
	EXPECT_EQ(Entries(), std::vector<std::string>{"Kept.sav"});

	// Nor is a folder of that name.
	fs::create_directories(Folder / "Taken.sav" / "Inside");
	const FString FolderPath = PathOf("Taken.sav");
	FLogCapture Capture;
	EXPECT_FALSE(UHCModelSerializer::SaveToFile(FolderPath, TArray<uint8>{9, 9}));
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error), TArray<FString>{TEXT("SaveToFile: Failed to save file to ") + FolderPath});
	EXPECT_TRUE(fs::is_directory(Folder / "Taken.sav" / "Inside"));
	EXPECT_EQ(Entries(), (std::vector<std::string>{"Kept.sav", "Taken.sav"}));
}

TEST(HCModelSerializerReflectionTest, EveryOperationIsCallableFromVisualScripting)
{
	const UClass* Class = UHCModelSerializer::StaticClass();
	for (const TCHAR* Name : {TEXT("SetMorphShapingModel"), TEXT("SetTextureEditingModel"), TEXT("SerializeToBytes"), TEXT("DeserializeFromBytes"),
			 TEXT("SaveToFile"), TEXT("LoadFromFile")})
	{
		const UFunction* Function = Class->FindFunctionByName(FName(Name));
		ASSERT_NE(Function, nullptr) << Name;
		EXPECT_TRUE(Function->FunctionFlags & FUNC_BlueprintCallable) << Name;
		EXPECT_EQ(Function->GetMetaData(FName(TEXT("Category"))), FString(TEXT("Halcor"))) << Name;
		const bool bStatic = FString(Name).EndsWith(TEXT("File"));
		EXPECT_EQ((Function->FunctionFlags & FUNC_Static) != 0, bStatic) << Name;
	}
}
