#pragma once

// Helpers for the texture-editing tests: a content folder of its own per test mounted at
// /Game/Case<N>/, PNG images and JSON data assets written into it and loaded as content, the
// inputs of a processor by slot, and the LogTemp errors of a capture.

#include "AssetLoader.h"
#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "CoreMinimal.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCEnumerations.h"
#include "HCImageProcessorTestSupport.h"
#include "Logging/LogCapture.h"
#include "Misc/FileHelper.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "PngWriter.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

class HCTextureEditingTest : public HCImageProcessorTest
{
protected:
	void SetUp() override
	{
		HCImageProcessorTest::SetUp();
		FAssetLoader::Install();
		// Loaded assets stay cached by object path while they live, so every test gets
		// package paths of its own.
		static int32 Counter = 0;
		CaseName = FString::Printf(TEXT("Case%d"), Counter++);
		Root = std::filesystem::temp_directory_path() / ("VorpexTextureEditingTest-" + std::to_string(getpid()));
		std::filesystem::create_directories(Root / "Content");
		MountPoint = FString::Printf(TEXT("/Game/%s/"), *CaseName);
		FPackageName::RegisterMountPoint(MountPoint, ContentDir());
	}

	void TearDown() override
	{
		Kept.Empty();
		FlushRenderingCommands();
		CollectGarbage();
		FPackageName::UnRegisterMountPoint(MountPoint, ContentDir());
		std::error_code Ignored;
		std::filesystem::remove_all(Root / "Content" / std::string(*CaseName), Ignored);
		// Only removed once empty: the folders are shared by the tests of one run.
		std::filesystem::remove(Root / "Content", Ignored);
		std::filesystem::remove(Root, Ignored);
		HCImageProcessorTest::TearDown();
	}

	/** The folder mounted at MountPoint, with the trailing '/' the mount table keeps. */
	FString ContentDir() const { return FString((Root / "Content" / std::string(*CaseName)).string()) + TEXT("/"); }

	/** Writes Width × Height texels from Texel(X, Y) as the PNG RelativePath under the mount. */
	void WritePng(const FString& RelativePath, int32 Width, int32 Height, const std::function<FColor(int32 X, int32 Y)>& Texel) const
	{
		TArray<uint8> Bytes;
		for (int32 Y = 0; Y < Height; ++Y)
		{
			for (int32 X = 0; X < Width; ++X)
			{
				const FColor Color = Texel(X, Y);
				Bytes.Append({Color.B, Color.G, Color.R, Color.A});
			}
		}
		const std::filesystem::path Path = std::filesystem::path(std::string(*ContentDir())) / std::string(*RelativePath);
		std::filesystem::create_directories(Path.parent_path());
		ASSERT_TRUE(FPngWriter::WriteBGRA(Bytes, Width, Height, FString(Path.string())));
	}

	void WriteUniformPng(const FString& RelativePath, FColor Color) const
	{
		WritePng(RelativePath, 4, 4, [Color](int32, int32) { return Color; });
	}

	/** Writes Json as RelativePath (".json") under the mount and loads it as a data asset of AssetType. */
	template <typename AssetType>
	AssetType* LoadJsonAsset(const FString& RelativePath, const FString& Json)
	{
		const std::filesystem::path Path = std::filesystem::path(std::string(*ContentDir())) / std::string(*RelativePath);
		std::filesystem::create_directories(Path.parent_path());
		EXPECT_TRUE(FFileHelper::SaveStringToFile(Json, *FString(Path.string())));
		const FString PackagePath = MountPoint + FPaths::GetPath(RelativePath) + TEXT("/") + FPaths::GetBaseFilename(RelativePath);
		const FString ObjectPath = PackagePath + TEXT(".") + FPaths::GetBaseFilename(RelativePath);
		AssetType* Asset = LoadObject<AssetType>(nullptr, *ObjectPath);
		EXPECT_NE(Asset, nullptr) << *ObjectPath;
		Kept.Add(TStrongObjectPtr<UObject>(Asset));
		return Asset;
	}

	/** An object path of a PNG written under the mount, as handlers name their textures. */
	FString ObjectPathOf(const FString& RelativePath) const
	{
		const FString Base = FPaths::GetBaseFilename(RelativePath);
		return MountPoint + FPaths::GetPath(RelativePath) + TEXT("/") + Base + TEXT(".") + Base;
	}

	/** The input of Processor in Slot (null when the slot is empty), read through reflection as the collector does. */
	static UHCImageProcessor* InputOf(UHCImageProcessor* Processor, int32 Slot)
	{
		const FProperty* Property = UHCDependantImageProcessor::StaticClass()->FindPropertyByName(TEXT("SlotToDependency"));
		const auto* Inputs = Property->ContainerPtrToValuePtr<TMap<int32, TObjectPtr<UHCImageProcessor>>>(Processor);
		const TObjectPtr<UHCImageProcessor>* Input = Inputs->Find(Slot);
		return Input ? Input->Get() : nullptr;
	}

	static UHCImageProcessor* InputOf(UHCImageProcessor* Processor, EHCBlendTextureDependencySlot Slot)
	{
		return InputOf(Processor, static_cast<int32>(Slot));
	}

	/** How many input slots Processor has set. */
	static int32 InputCount(UHCImageProcessor* Processor)
	{
		const FProperty* Property = UHCDependantImageProcessor::StaticClass()->FindPropertyByName(TEXT("SlotToDependency"));
		return Property->ContainerPtrToValuePtr<TMap<int32, TObjectPtr<UHCImageProcessor>>>(Processor)->Num();
	}

	/** The texture an image-texture processor reads. */
	static UTexture2D* InputTextureOf(UHCImageProcessor* Processor)
	{
		const FProperty* Property = Processor->GetClass()->FindPropertyByName(TEXT("InputTexture"));
		return Property->ContainerPtrToValuePtr<TObjectPtr<UTexture2D>>(Processor)->Get();
	}

	/** The messages logged on LogTemp at Error while Capture was attached. */
	static TArray<FString> TempErrors(const FLogCapture& Capture)
	{
		TArray<FString> Messages;
		for (const FLogCapture::FEntry& Entry : Capture.GetEntries())
		{
			if (Entry.Category == FName(TEXT("LogTemp")) && Entry.Verbosity == ELogVerbosity::Error)
			{
				Messages.Add(Entry.Message);
			}
		}
		return Messages;
	}

	FString CaseName;
	FString MountPoint;
	std::filesystem::path Root;
};
