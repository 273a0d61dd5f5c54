#pragma once

// Helpers for the data-asset tests: a fresh folder per test for the JSON files they load,
// textures registered in memory under /Game paths, and the LogTemp messages of a capture.

#include "CoreMinimal.h"
#include "Engine/Texture2D.h"
#include "Logging/LogCapture.h"
#include "Misc/FileHelper.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <unistd.h>

/** Gives each test its own empty folder and removes it afterwards. */
class HCDataAssetFileTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		static std::atomic<int> Counter{0};
		const ::testing::TestInfo* Info = ::testing::UnitTest::GetInstance()->current_test_info();
		Folder = std::filesystem::temp_directory_path() /
				 ("VorpexTests-" + std::to_string(getpid()) + "-" + std::to_string(Counter++) + "-" + Info->name());
		std::filesystem::remove_all(Folder);
		std::filesystem::create_directories(Folder);
	}

	void TearDown() override
	{
		std::error_code Ignored;
		std::filesystem::remove_all(Folder, Ignored);
	}

	/** The path of FileName inside the test's folder. */
	FString PathOf(const char* FileName) const { return FString((Folder / FileName).string().c_str()); }

	/** Writes Text as the file FileName in the test's folder and gives its path. */
	FString WriteFile(const char* FileName, const FString& Text) const
	{
		const FString Path = PathOf(FileName);
		EXPECT_TRUE(FFileHelper::SaveStringToFile(Text, *Path));
		return Path;
	}

	std::filesystem::path Folder;
};

/**
 * The texture named AssetName in package PackageName ("/Game/..."), made on first use, so
 * that "PackageName.AssetName" resolves when a record names it. Rooted textures last the
 * whole run; unrooted ones go with the next collection unless something refers to them.
 */
inline UTexture2D* RegisterTexture(const TCHAR* PackageName, const TCHAR* AssetName, bool bRooted = true)
{
	UPackage* Package = CreatePackage(PackageName);
	if (UTexture2D* Existing = FindObject<UTexture2D>(Package, AssetName))
	{
		return Existing;
	}
	UTexture2D* Texture = UTexture2D::CreateTransient(2, 2);
	EXPECT_TRUE(Texture->Rename(AssetName, Package));
	if (bRooted)
	{
		Texture->AddToRoot();
	}
	return Texture;
}

/** The messages logged on LogTemp while Capture was attached, at Verbosity, in order. */
inline TArray<FString> TempMessages(const FLogCapture& Capture, ELogVerbosity::Type Verbosity)
{
	TArray<FString> Messages;
	for (const FLogCapture::FEntry& Entry : Capture.GetEntries())
	{
		if (Entry.Category == LogTemp.GetCategoryName() && Entry.Verbosity == Verbosity)
		{
			Messages.Add(Entry.Message);
		}
	}
	return Messages;
}
