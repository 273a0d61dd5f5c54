#include "Logging/LogCapture.h"
#include "ShaderCore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{
	namespace fs = std::filesystem;
}

/** Each test maps folders of a fresh temporary folder and leaves no mapping behind. */
class ShaderSourceDirectoryMappingsTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		const fs::path Folder = fs::temp_directory_path() / ("VorpexShaderTest-" + std::to_string(std::random_device{}()));
		fs::create_directories(Folder / "Shaders");
		fs::create_directories(Folder / "PrivateShaders");
		// The canonical form, so expectations match the full paths the mappings store.
		Root = fs::canonical(Folder);
		ResetAllShaderSourceDirectoryMappings();
	}

	void TearDown() override
	{
		ResetAllShaderSourceDirectoryMappings();
		fs::remove_all(Root);
	}

	std::string At(const std::string& Relative) const { return (Root / Relative).string(); }

	/** The resolved path, or "error: <message>". */
	static std::string Resolve(const char* VirtualPath)
	{
		FString Error;
		const FString Result = GetShaderSourceFilePath(FString(VirtualPath), &Error);
		EXPECT_NE(Result.IsEmpty(), Error.IsEmpty()) << VirtualPath << ": a path or an error, never both or neither";
		return Result.IsEmpty() ? "error: " + Error.ToStdString() : Result.ToStdString();
	}

	/** The check message of a mapping that must be refused. */
	static std::string RefusedMapping(const FString& VirtualFolder, const FString& RealFolder)
	{
		try
		{
			AddShaderSourceDirectoryMapping(VirtualFolder, RealFolder);
		}
		catch (const FCheckFailure& Failure)
		{
			return Failure.GetMessage();
		}
		return "accepted";
	}

	fs::path Root;
};

TEST_F(ShaderSourceDirectoryMappingsTest, VirtualPathsResolveThroughTheLongestMappedFolder)
{
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(At("Shaders")));
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex/Private"), FString(At("PrivateShaders/")));

	EXPECT_EQ(Resolve("/Plugin/Vorpex/HCBlendTexture.usf"), At("Shaders/HCBlendTexture.usf"));
	EXPECT_EQ(Resolve("/Plugin/Vorpex/Sub/Deeper/X.usf"), At("Shaders/Sub/Deeper/X.usf"));
	EXPECT_EQ(Resolve("/Plugin/Vorpex/Private/Common.ush"), At("PrivateShaders/Common.ush"));
	EXPECT_EQ(Resolve("/Plugin/Vorpex/PrivateNot/Common.ush"), At("Shaders/PrivateNot/Common.ush"))
		<< "a folder matches whole names only";
	EXPECT_EQ(Resolve("/plugin/VORPEX/Missing.usf"), At("Shaders/Missing.usf"))
		<< "virtual folders ignore letter case; the file need not exist; its name keeps its case";
	EXPECT_EQ(Resolve("/Plugin/Vorpex/./Sub//../Blend.usf"), At("Shaders/Blend.usf"));
	EXPECT_EQ(Resolve("\\Plugin\\Vorpex\\Sub\\Blend.usf"), At("Shaders/Sub/Blend.usf"));

	const TMap<FString, FString>& Mappings = AllShaderSourceDirectoryMappings();
	ASSERT_EQ(Mappings.Num(), 2);
	EXPECT_EQ(Mappings.FindRef(TEXT("/plugin/vorpex")).ToStdString(), At("Shaders"));
	EXPECT_EQ(Mappings.FindRef(TEXT("/Plugin/Vorpex/Private")).ToStdString(), At("PrivateShaders")) << "stored without the trailing '/'";

	ResetAllShaderSourceDirectoryMappings();
	EXPECT_TRUE(AllShaderSourceDirectoryMappings().IsEmpty());
	EXPECT_EQ(Resolve("/Plugin/Vorpex/HCBlendTexture.usf"), "error: GetShaderSourceFilePath: No shader source folder is mapped for '/Plugin/Vorpex/HCBlendTexture.usf'");
}

TEST_F(ShaderSourceDirectoryMappingsTest, PathsOutsideAMappedFolderAreRefusedWithTheReason)
{
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(At("Shaders")));
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex/Private"), FString(At("PrivateShaders")));

	EXPECT_EQ(Resolve("/Plugin/VorpexExtra/A.usf"), "error: GetShaderSourceFilePath: No shader source folder is mapped for '/Plugin/VorpexExtra/A.usf'");
	EXPECT_EQ(Resolve("/Engine/Private/Common.ush"), "error: GetShaderSourceFilePath: No shader source folder is mapped for '/Engine/Private/Common.ush'");
	EXPECT_EQ(Resolve("Plugin/Vorpex/A.usf"), "error: GetShaderSourceFilePath: The virtual shader path 'Plugin/Vorpex/A.usf' does not start with '/'");
	EXPECT_EQ(Resolve(""), "error: GetShaderSourceFilePath: The virtual shader path '' does not start with '/'");
	EXPECT_EQ(Resolve("/Plugin/Vorpex"), "error: GetShaderSourceFilePath: The virtual shader path '/Plugin/Vorpex' names a folder, not a file");
	EXPECT_EQ(Resolve("/Plugin/Vorpex/Sub/.."), "error: GetShaderSourceFilePath: The virtual shader path '/Plugin/Vorpex/Sub/..' names a folder, not a file");

	// ".." may move within the mapped folder, never above it, however it is spelled.
	EXPECT_EQ(Resolve("/Plugin/Vorpex/../Secret.usf"), "error: GetShaderSourceFilePath: The virtual shader path '/Plugin/Vorpex/../Secret.usf' climbs out of '/Plugin/Vorpex'");
	EXPECT_EQ(Resolve("/Plugin/Vorpex/Sub/../../../../etc/passwd"),
		"error: GetShaderSourceFilePath: The virtual shader path '/Plugin/Vorpex/Sub/../../../../etc/passwd' climbs out of '/Plugin/Vorpex'");
	EXPECT_EQ(Resolve("/Plugin/Vorpex/Private/..\\X.usf"),
		"error: GetShaderSourceFilePath: The virtual shader path '/Plugin/Vorpex/Private/..\\X.usf' climbs out of '/Plugin/Vorpex/Private'");

	// Without a place for the message, it is logged.
	FLogCapture Capture;
	EXPECT_TRUE(GetShaderSourceFilePath(TEXT("/Nowhere/A.usf")).IsEmpty());
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning),
		(TArray<FString>{TEXT("GetShaderSourceFilePath: No shader source folder is mapped for '/Nowhere/A.usf'")}));
}

TEST_F(ShaderSourceDirectoryMappingsTest, BadMappingsFailACheckAndChangeNothing)
{
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(At("Shaders")));
	const std::string Missing = At("NotThere");

	EXPECT_EQ(RefusedMapping(TEXT("Plugin/Other"), FString(At("PrivateShaders"))),
		"AddShaderSourceDirectoryMapping: The virtual shader folder 'Plugin/Other' does not start with '/'");
	EXPECT_EQ(RefusedMapping(TEXT("/Plugin/Other/"), FString(At("PrivateShaders"))),
		"AddShaderSourceDirectoryMapping: The virtual shader folder '/Plugin/Other/' ends with '/'");
	EXPECT_EQ(RefusedMapping(TEXT("/"), FString(At("PrivateShaders"))),
		"AddShaderSourceDirectoryMapping: The virtual shader folder '/' ends with '/'");
	EXPECT_EQ(RefusedMapping(TEXT("/Plugin\\Other"), FString(At("PrivateShaders"))),
		"AddShaderSourceDirectoryMapping: The virtual shader folder '/Plugin\\Other' holds a backslash; use '/' between its parts");
	EXPECT_EQ(RefusedMapping(TEXT("/PLUGIN/vorpex"), FString(At("PrivateShaders"))),
		"AddShaderSourceDirectoryMapping: The virtual shader folder '/PLUGIN/vorpex' is mapped already, to '" + At("Shaders") + "'");
	EXPECT_EQ(RefusedMapping(TEXT("/Plugin/Other"), FString(Missing)),
		"AddShaderSourceDirectoryMapping: The real shader folder '" + Missing + "' for '/Plugin/Other' does not exist");
	EXPECT_EQ(RefusedMapping(TEXT("/Plugin/Other"), FString(At("Shaders/../NotThere"))),
		"AddShaderSourceDirectoryMapping: The real shader folder '" + At("Shaders/../NotThere") + "' for '/Plugin/Other' does not exist");

	std::string OffThread;
	std::thread([&OffThread, this] { OffThread = RefusedMapping(TEXT("/Plugin/Other"), FString(At("PrivateShaders"))); }).join();
	EXPECT_EQ(OffThread, "AddShaderSourceDirectoryMapping: Shader source folders are mapped on the game thread only ('/Plugin/Other')");

	const TMap<FString, FString>& Mappings = AllShaderSourceDirectoryMappings();
	ASSERT_EQ(Mappings.Num(), 1);
	EXPECT_EQ(Mappings.FindRef(TEXT("/Plugin/Vorpex")).ToStdString(), At("Shaders"));
}

TEST_F(ShaderSourceDirectoryMappingsTest, ARelativeRealFolderIsStoredAsAFullPath)
{
	const fs::path Relative = fs::relative(Root / "Shaders", fs::current_path());
	ASSERT_TRUE(Relative.is_relative());
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(Relative.string()));
	EXPECT_EQ(AllShaderSourceDirectoryMappings().FindRef(TEXT("/Plugin/Vorpex")).ToStdString(), At("Shaders"));
	EXPECT_EQ(Resolve("/Plugin/Vorpex/A.usf"), At("Shaders/A.usf"));
}

TEST_F(ShaderSourceDirectoryMappingsTest, MappingAFolderAgainToTheSameRealFolderChangesNothing)
{
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(At("Shaders")));
	// However the same real folder is spelled, and in any letter case of the virtual folder.
	const fs::path Relative = fs::relative(Root / "Shaders", fs::current_path());
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(At("Shaders")));
	AddShaderSourceDirectoryMapping(TEXT("/plugin/VORPEX"), FString(At("Shaders/")));
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(Relative.string()));
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(At("PrivateShaders/../Shaders")));

	const TMap<FString, FString>& Mappings = AllShaderSourceDirectoryMappings();
	ASSERT_EQ(Mappings.Num(), 1);
	EXPECT_EQ(Mappings.begin()->Key.ToStdString(), "/Plugin/Vorpex") << "the first spelling stays";
	EXPECT_EQ(Mappings.begin()->Value.ToStdString(), At("Shaders"));
	EXPECT_EQ(Resolve("/Plugin/Vorpex/A.usf"), At("Shaders/A.usf"));

	// A real folder that differs only in letter case is another folder on this file system.
	fs::create_directories(Root / "SHADERS");
	EXPECT_EQ(RefusedMapping(TEXT("/Plugin/Vorpex"), FString(At("SHADERS"))),
		"AddShaderSourceDirectoryMapping: The virtual shader folder '/Plugin/Vorpex' is mapped already, to '" + At("Shaders") + "'");
}

TEST_F(ShaderSourceDirectoryMappingsTest, OtherThreadsResolveWhileTheGameThreadAddsMappings)
{
	AddShaderSourceDirectoryMapping(TEXT("/Plugin/Vorpex"), FString(At("Shaders")));
	constexpr int NumExtra = 200;
	for (int Index = 0; Index < NumExtra; ++Index)
	{
		fs::create_directories(Root / ("Extra" + std::to_string(Index)));
	}

	std::atomic<bool> bDone = false;
	std::atomic<int> NumWrong = 0;
	std::vector<std::thread> Readers;
	for (int Reader = 0; Reader < 4; ++Reader)
	{
		Readers.emplace_back([&, Reader]
		{
			for (int Round = 0; !bDone || Round < 100; ++Round)
			{
				if (GetShaderSourceFilePath(TEXT("/Plugin/Vorpex/Blend.usf")).ToStdString() != At("Shaders/Blend.usf"))
				{
					++NumWrong;
				}
				// A mapping being added is either not there yet or complete.
				const int Index = (Round * 7 + Reader) % NumExtra;
				const std::string Virtual = "/Extra" + std::to_string(Index) + "/A.usf";
				FString Error;
				const FString Resolved = GetShaderSourceFilePath(FString(Virtual), &Error);
				if (Resolved.IsEmpty() ? Error.IsEmpty() : Resolved.ToStdString() != At("Extra" + std::to_string(Index) + "/A.usf"))
				{
					++NumWrong;
				}
			}
		});
	}
	for (int Index = 0; Index < NumExtra; ++Index)
	{
		AddShaderSourceDirectoryMapping(FString("/Extra" + std::to_string(Index)), FString(At("Extra" + std::to_string(Index))));
	}
	bDone = true;
	for (std::thread& Reader : Readers)
	{
		Reader.join();
	}
	EXPECT_EQ(NumWrong, 0);
	EXPECT_EQ(AllShaderSourceDirectoryMappings().Num(), NumExtra + 1);
}
