#include "AssetIOTestFolder.h"
#include "AssetLoader.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "PngWriter.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

namespace
{
	const TArray<uint8> BodyTexels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};

	TArray<uint8> Png(const TArray<uint8>& Texels, int32 Width, int32 Height)
	{
		TArray<uint8> Bytes;
		EXPECT_TRUE(FPngWriter::EncodeBGRA(Texels, Width, Height, Bytes));
		return Bytes;
	}

	TArray<uint8> MipTexels(UTexture2D* Texture)
	{
		FByteBulkData& Bulk = Texture->GetPlatformData()->Mips[0].BulkData;
		TArray<uint8> Texels(static_cast<const uint8*>(Bulk.LockReadOnly()), static_cast<int32>(Bulk.GetBulkDataSize()));
		Bulk.Unlock();
		return Texels;
	}
}

/** Objects outlive a test, so each test loads assets of its own names. */
class AssetLoaderTest : public AssetIOTestFolder
{
protected:
	void SetUp() override
	{
		AssetIOTestFolder::SetUp();
		FAssetLoader::Install();
	}

	/** The one LogAssetIO message of Capture. */
	static std::string OnlyMessage(const FLogCapture& Capture)
	{
		const TArray<FString> Messages = AssetIOMessages(Capture);
		EXPECT_EQ(Messages.Num(), 1);
		return Messages.IsEmpty() ? std::string() : Messages[0].ToStdString();
	}
};

TEST_F(AssetLoaderTest, PngLoadsAsTextureInItsPackage)
{
	WriteFile("Content/Skin/T_Body.png", Png(BodyTexels, 3, 2));
	UTexture2D* Texture = LoadObject<UTexture2D>(nullptr, TEXT("/Game/Skin/T_Body.T_Body"));
	ASSERT_NE(Texture, nullptr);
	EXPECT_EQ(Texture->GetName().ToStdString(), "T_Body");
	EXPECT_EQ(Texture->GetPathName().ToStdString(), "/Game/Skin/T_Body.T_Body");
	EXPECT_TRUE(Texture->GetOuter()->IsA(UPackage::StaticClass()));
	EXPECT_EQ(Texture->GetOuter()->GetName().ToStdString(), "/Game/Skin/T_Body");
	EXPECT_EQ(Texture->GetSizeX(), 3);
	EXPECT_EQ(Texture->GetSizeY(), 2);
	EXPECT_EQ(Texture->GetPixelFormat(), PF_B8G8R8A8);
	ASSERT_EQ(Texture->GetPlatformData()->Mips.Num(), 1);
	EXPECT_EQ(Texture->GetPlatformData()->Mips[0].SizeX, 3);
	EXPECT_EQ(MipTexels(Texture), BodyTexels);
}

TEST_F(AssetLoaderTest, LoadingAgainGivesTheSameObject)
{
	WriteFile("Content/Skin/T_Twice.png", Png(BodyTexels, 3, 2));
	UObject* First = StaticLoadObject(UTexture2D::StaticClass(), nullptr, TEXT("/Game/Skin/T_Twice.T_Twice"));
	ASSERT_NE(First, nullptr);
	// The file changing afterwards does not matter: the asset in memory is the answer.
	WriteFile("Content/Skin/T_Twice.png", Png({0, 0, 0, 0}, 1, 1));
	EXPECT_EQ(StaticLoadObject(UTexture2D::StaticClass(), nullptr, TEXT("/Game/Skin/T_Twice.T_Twice")), First);
	// A base class of the texture, a package-only path and other letter case in the name find it too.
	EXPECT_EQ(StaticLoadObject(UTexture::StaticClass(), nullptr, TEXT("/Game/Skin/T_Twice.T_Twice")), First);
	EXPECT_EQ(FAssetLoader::LoadAsset(UObject::StaticClass(), TEXT("/Game/Skin/T_Twice")), First);
	EXPECT_EQ(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/Skin/T_Twice.t_twice")), First);
}

TEST_F(AssetLoaderTest, PackagePathWithoutObjectNameLoadsTheAssetOfThatName)
{
	WriteFile("Content/T_Short.png", Png({9, 8, 7, 6}, 1, 1));
	UObject* Asset = FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/T_Short"));
	ASSERT_NE(Asset, nullptr);
	EXPECT_EQ(Asset->GetPathName().ToStdString(), "/Game/T_Short.T_Short");
	EXPECT_EQ(MipTexels(static_cast<UTexture2D*>(Asset)), (TArray<uint8>{9, 8, 7, 6}));
}

TEST_F(AssetLoaderTest, MissingAndUnknownFilesGiveNullWithTheReason)
{
	WriteFile("Content/Skin/T_Tga.tga", {1, 2, 3});
	// Only the exact base name counts: other letter case and longer names are other files.
	WriteFile("Content/Skin/t_missing.png", Png({1, 2, 3, 4}, 1, 1));
	WriteFile("Content/Skin/T_Missing.png.bak", Png({1, 2, 3, 4}, 1, 1));
	{
		FLogCapture Capture;
		EXPECT_EQ(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/Skin/T_Missing.T_Missing")), nullptr);
		EXPECT_EQ(OnlyMessage(Capture),
			("Cannot load '/Game/Skin/T_Missing.T_Missing': no file " + ContentDir() + "Skin/T_Missing.* (known kinds: .png, .json, .glb, .gltf)").ToStdString());
	}
	{
		FLogCapture Capture;
		EXPECT_EQ(LoadObject<UTexture2D>(nullptr, TEXT("/Game/Skin/T_Tga.T_Tga")), nullptr);
		EXPECT_EQ(OnlyMessage(Capture),
			("Cannot load '/Game/Skin/T_Tga.T_Tga': " + ContentDir() + "Skin/T_Tga.tga is of an unknown kind (known kinds: .png, .json, .glb, .gltf)").ToStdString());
	}
	{
		FLogCapture Capture;
		EXPECT_EQ(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Nowhere/T_Body.T_Body")), nullptr);
		EXPECT_EQ(OnlyMessage(Capture),
			"Cannot load '/Nowhere/T_Body.T_Body': '/Nowhere/T_Body' is not a valid package name: no content folder is mounted at its root");
	}
}

TEST_F(AssetLoaderTest, PathsThatLeaveTheMountAreNotRead)
{
	WriteFile("Outside.png", Png({1, 2, 3, 4}, 1, 1));
	FLogCapture Capture;
	EXPECT_EQ(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/../Outside")), nullptr);
	EXPECT_EQ(OnlyMessage(Capture), "Cannot load '/Game/../Outside': '/Game/../Outside' is not a valid package name: it holds the character '.'");
	Capture.Clear();
	EXPECT_EQ(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/Skin/../../Outside.Outside")), nullptr);
	EXPECT_EQ(OnlyMessage(Capture),
		"Cannot load '/Game/Skin/../../Outside.Outside': '/Game/Skin/../../Outside.Outside' is not a valid package name: it holds the character '.'");
}

TEST_F(AssetLoaderTest, DamagedFilesGiveNullAndLeaveNothingBehind)
{
	TArray<uint8> Truncated = Png(BodyTexels, 3, 2);
	Truncated.SetNum(Truncated.Num() - 10);
	WriteFile("Content/Skin/T_Cut.png", Truncated);
	WriteFile("Content/Skin/T_Jpeg.png", {0xff, 0xd8, 0xff, 0xe0, 0, 0x10, 'J', 'F', 'I', 'F', 0});
	{
		FLogCapture Capture;
		EXPECT_EQ(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/Skin/T_Cut.T_Cut")), nullptr);
		EXPECT_EQ(OnlyMessage(Capture),
			("Cannot load '/Game/Skin/T_Cut.T_Cut': " + ContentDir() + "Skin/T_Cut.png: corrupt PNG (file ends before its IEND chunk)").ToStdString());
	}
	{
		FLogCapture Capture;
		EXPECT_EQ(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/Skin/T_Jpeg.T_Jpeg")), nullptr);
		EXPECT_EQ(OnlyMessage(Capture), ("Cannot load '/Game/Skin/T_Jpeg.T_Jpeg': " + ContentDir() + "Skin/T_Jpeg.png: not a PNG file").ToStdString());
	}
	// No package was made for the failed load, so a repaired file loads on the next try.
	EXPECT_EQ(StaticFindObject(nullptr, nullptr, TEXT("/Game/Skin/T_Cut")), nullptr);
	WriteFile("Content/Skin/T_Cut.png", Png(BodyTexels, 3, 2));
	UObject* Repaired = FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/Skin/T_Cut.T_Cut"));
	ASSERT_NE(Repaired, nullptr);
	EXPECT_EQ(MipTexels(static_cast<UTexture2D*>(Repaired)), BodyTexels);
}

TEST_F(AssetLoaderTest, AssetsOfAnotherClassOrNameAreRefused)
{
	WriteFile("Content/Skin/T_Class.png", Png({1, 2, 3, 4}, 1, 1));
	{
		FLogCapture Capture;
		EXPECT_EQ(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), TEXT("/Game/Skin/T_Class.T_Class")), nullptr);
		EXPECT_EQ(OnlyMessage(Capture),
			("Cannot load '/Game/Skin/T_Class.T_Class': " + ContentDir() + "Skin/T_Class.png holds a Texture2D, not a SkeletalMesh").ToStdString());
	}
	{
		FLogCapture Capture;
		EXPECT_EQ(FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/Skin/T_Class.Other")), nullptr);
		EXPECT_EQ(OnlyMessage(Capture), "Cannot load '/Game/Skin/T_Class.Other': package '/Game/Skin/T_Class' holds only the asset 'T_Class'");
	}
	// Once loaded, the asset in memory is still refused as another class.
	UObject* Texture = FAssetLoader::LoadAsset(UTexture2D::StaticClass(), TEXT("/Game/Skin/T_Class.T_Class"));
	ASSERT_NE(Texture, nullptr);
	FLogCapture Capture;
	EXPECT_EQ(FAssetLoader::LoadAsset(USkeletalMesh::StaticClass(), TEXT("/Game/Skin/T_Class.T_Class")), nullptr);
	EXPECT_EQ(OnlyMessage(Capture),
		("Cannot load '/Game/Skin/T_Class.T_Class': " + Texture->GetFullName() + " is already in memory and is not a SkeletalMesh").ToStdString());
}
