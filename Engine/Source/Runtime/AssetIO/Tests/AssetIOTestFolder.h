#pragma once

// A fresh folder per test with a Content/ folder mounted at /Game/, and helpers to put files
// into it and to read what LogAssetIO said.

#include "CoreMinimal.h"
#include "Logging/LogCapture.h"
#include "Misc/PackageName.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class AssetIOTestFolder : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Root = std::filesystem::temp_directory_path() / ("VorpexAssetIOTest-" + std::to_string(std::random_device{}()));
		std::filesystem::create_directories(Root / "Content");
		FPackageName::RegisterMountPoint(TEXT("/Game/"), ContentDir());
	}

	void TearDown() override
	{
		FPackageName::UnRegisterMountPoint(TEXT("/Game/"), ContentDir());
		std::filesystem::remove_all(Root);
	}

	/** The mounted folder, with the trailing '/' the mount table keeps. */
	FString ContentDir() const { return FString((Root / "Content").string()) + TEXT("/"); }
	FString RootDir() const { return FString(Root.string()); }

	/** Writes Bytes to Path below the test's folder, making its folders. */
	void WriteFile(const std::string& Path, const TArray<uint8>& Bytes) const
	{
		const std::filesystem::path Full = Root / Path;
		std::filesystem::create_directories(Full.parent_path());
		std::ofstream Stream(Full, std::ios::binary);
		Stream.write(reinterpret_cast<const char*>(Bytes.GetData()), Bytes.Num());
	}

	/** The messages LogAssetIO sent to Capture, in order. */
	static TArray<FString> AssetIOMessages(const FLogCapture& Capture)
	{
		TArray<FString> Messages;
		for (const FLogCapture::FEntry& Entry : Capture.GetEntries())
		{
			if (Entry.Category == FName(TEXT("LogAssetIO")))
			{
				Messages.Add(Entry.Message);
			}
		}
		return Messages;
	}

	std::filesystem::path Root;
};
