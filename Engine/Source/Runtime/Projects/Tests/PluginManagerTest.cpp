#include "Interfaces/IPluginManager.h"
#include "Logging/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace
{
	namespace fs = std::filesystem;

	fs::path MakeTemporaryFolder(const std::string& Prefix)
	{
		const fs::path Folder = fs::temp_directory_path() / (Prefix + std::to_string(std::random_device{}()));
		fs::create_directories(Folder);
		// The canonical form, so expectations match the full paths the manager builds.
		return fs::canonical(Folder);
	}

	void WriteFile(const fs::path& File, const std::string& Content)
	{
		fs::create_directories(File.parent_path());
		std::ofstream(File, std::ios::binary) << Content;
	}

	std::string Descriptor(const std::string& FriendlyName)
	{
		return R"({ "FileVersion": 3, "FriendlyName": ")" + FriendlyName + R"(", "Modules": [] })";
	}

	std::vector<std::string> ToStd(const TArray<FString>& Strings)
	{
		std::vector<std::string> Result;
		for (const FString& String : Strings)
		{
			Result.push_back(String.ToStdString());
		}
		return Result;
	}

	std::vector<std::string> DiscoveredNames()
	{
		std::vector<std::string> Names;
		for (const TSharedRef<IPlugin>& Plugin : IPluginManager::Get().GetDiscoveredPlugins())
		{
			Names.push_back(Plugin->GetName().ToStdString());
		}
		return Names;
	}
}

/** Each test searches a fresh folder of its own, and leaves the manager with no search folders. */
class PluginManagerTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Root = MakeTemporaryFolder("VorpexPluginTest-");
	}

	void TearDown() override
	{
		IPluginManager& Manager = IPluginManager::Get();
		for (const FString& Folder : Manager.GetAdditionalPluginSearchPaths())
		{
			Manager.RemovePluginSearchPath(Folder, false);
		}
		Manager.RefreshPluginsList();
		EXPECT_TRUE(Manager.GetDiscoveredPlugins().IsEmpty());
		for (const fs::path& Folder : Folders)
		{
			fs::remove_all(Folder);
		}
		fs::remove_all(Root);
	}

	/** Another temporary folder, removed after the test. */
	fs::path MakeFolder(const std::string& Prefix)
	{
		Folders.push_back(MakeTemporaryFolder(Prefix));
		return Folders.back();
	}

	static FString Str(const fs::path& Path) { return FString(Path.string()); }

	fs::path Root;
	std::vector<fs::path> Folders;
};

TEST_F(PluginManagerTest, FindsDescriptorsAtAnyDepthOutsideHiddenLinkedAndBuildFolders)
{
	WriteFile(Root / "Alpha/Alpha.uplugin", Descriptor("Alpha"));
	WriteFile(Root / "Group/Deep/Beta/Beta.uplugin", Descriptor("Beta"));
	WriteFile(Root / "G/Gamma.UPlugin", Descriptor("Gamma"));
	WriteFile(Root / "Alpha/Content/Nested.uplugin", Descriptor("Nested in another plug-in"));
	WriteFile(Root / ".git/Hidden/Hidden.uplugin", Descriptor("Hidden"));
	WriteFile(Root / "Alpha/.HiddenFile.uplugin", Descriptor("Hidden file"));
	WriteFile(Root / "Alpha/Intermediate/Built/Built.uplugin", Descriptor("Intermediate"));
	WriteFile(Root / "Binaries/Linux/Binary.uplugin", Descriptor("Binaries"));
	WriteFile(Root / "Alpha/Notes.uplugin.txt", "not a descriptor");
	const fs::path Elsewhere = MakeFolder("VorpexPluginLinked-");
	WriteFile(Elsewhere / "Linked/Linked.uplugin", Descriptor("Linked"));
	fs::create_directory_symlink(Elsewhere, Root / "Link");

	FLogCapture Capture;
	ASSERT_TRUE(IPluginManager::Get().AddPluginSearchPath(Str(Root)));
	// Sorted by path bytes: "Alpha/Alpha", "Alpha/Content", "G/", "Group/".
	EXPECT_EQ(DiscoveredNames(), (std::vector<std::string>{"Alpha", "Nested", "Gamma", "Beta"}));
	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Warning).IsEmpty());
}

TEST_F(PluginManagerTest, APluginDescribesItselfAndIsFoundByAnyLetterCase)
{
	WriteFile(Root / "Plugins/Vorpex/Vorpex.uplugin", R"({
		"FileVersion": 3,
		"VersionName": "0.1",
		"FriendlyName": "Vorpex Characters",
		"Description": "Assembles characters.",
		"Category": "Characters",
		"Modules": [
			{ "Name": "Vorpex", "Type": "Runtime", "LoadingPhase": "PostConfigInit" },
			{ "Name": "VorpexEditor", "Type": "editor", "WhitelistPlatforms": ["Linux"] }
		]
	})");
	WriteFile(Root / "Plugins/Plain/Plain.uplugin", "{}");
	ASSERT_TRUE(IPluginManager::Get().AddPluginSearchPath(Str(Root)));

	const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(TEXT("vORPEX"));
	ASSERT_TRUE(Plugin.IsValid());
	EXPECT_EQ(Plugin->GetName().ToStdString(), "Vorpex");
	EXPECT_EQ(Plugin->GetFriendlyName().ToStdString(), "Vorpex Characters");
	EXPECT_EQ(Plugin->GetDescriptorFileName().ToStdString(), (Root / "Plugins/Vorpex/Vorpex.uplugin").string());
	EXPECT_EQ(Plugin->GetBaseDir().ToStdString(), (Root / "Plugins/Vorpex").string());
	EXPECT_EQ(Plugin->GetContentDir().ToStdString(), (Root / "Plugins/Vorpex/Content").string());
	const FPluginDescriptor& Descriptor = Plugin->GetDescriptor();
	EXPECT_EQ(Descriptor.VersionName.ToStdString(), "0.1");
	EXPECT_EQ(Descriptor.Description.ToStdString(), "Assembles characters.");
	ASSERT_EQ(Descriptor.Modules.Num(), 2);
	EXPECT_EQ(Descriptor.Modules[0].Name.ToString().ToStdString(), "Vorpex");
	EXPECT_EQ(Descriptor.Modules[0].Type, EHostType::Runtime);
	EXPECT_EQ(Descriptor.Modules[0].LoadingPhase, ELoadingPhase::PostConfigInit);
	EXPECT_EQ(Descriptor.Modules[1].Type, EHostType::Editor);
	EXPECT_EQ(Descriptor.Modules[1].LoadingPhase, ELoadingPhase::Default);

	const TSharedPtr<IPlugin> Plain = IPluginManager::Get().FindPlugin(TEXT("Plain"));
	ASSERT_TRUE(Plain.IsValid());
	EXPECT_EQ(Plain->GetFriendlyName().ToStdString(), "Plain") << "without a FriendlyName the name is shown";
	EXPECT_TRUE(Plain->GetDescriptor().Modules.IsEmpty());

	EXPECT_FALSE(IPluginManager::Get().FindPlugin(TEXT("Vorpe")).IsValid());
	EXPECT_FALSE(IPluginManager::Get().FindPlugin(TEXT("")).IsValid());
}

TEST_F(PluginManagerTest, AMalformedDescriptorIsSkippedWithAWarningNamingTheFile)
{
	WriteFile(Root / "Broken/Broken.uplugin", "{ \"FriendlyName\": ");
	WriteFile(Root / "Typo/Typo.uplugin", R"({ "Modules": [ { "Name": "Typo", "Type": "Runtim" } ] })");
	WriteFile(Root / "Array/Array.uplugin", "[]");
	WriteFile(Root / "Good/Good.uplugin", Descriptor("Good"));

	FLogCapture Capture;
	ASSERT_TRUE(IPluginManager::Get().AddPluginSearchPath(Str(Root)));
	EXPECT_EQ(DiscoveredNames(), (std::vector<std::string>{"Good"}));
	EXPECT_FALSE(IPluginManager::Get().FindPlugin(TEXT("Typo")).IsValid());

	const TArray<FString> Warnings = Capture.GetMessages(ELogVerbosity::Warning);
	ASSERT_EQ(Warnings.Num(), 3);
	EXPECT_EQ(Warnings[0].ToStdString(),
		"PluginManager: Skipping plug-in descriptor '" + (Root / "Array/Array.uplugin").string()
			+ "': not a JSON object: Expected an object at the top level, found an array (line 1, character 1)");
	const std::string BrokenPrefix =
		"PluginManager: Skipping plug-in descriptor '" + (Root / "Broken/Broken.uplugin").string() + "': not a JSON object: ";
	EXPECT_EQ(Warnings[1].ToStdString().substr(0, BrokenPrefix.size()), BrokenPrefix);
	EXPECT_GT(Warnings[1].Len(), static_cast<int32>(BrokenPrefix.size())) << "the reader's reason follows";
	EXPECT_EQ(Warnings[2].ToStdString(), "PluginManager: Skipping plug-in descriptor '" + (Root / "Typo/Typo.uplugin").string()
		+ "': module 'Typo' has an unknown \"Type\" 'Runtim'");
}

TEST_F(PluginManagerTest, OfTwoDescriptorsWithOneNameTheFirstInSearchOrderWins)
{
	WriteFile(Root / "b/Dup.uplugin", Descriptor("Second in path order"));
	WriteFile(Root / "a/dup.uplugin", Descriptor("First in path order"));
	const fs::path Later = MakeFolder("VorpexPluginLater-");
	WriteFile(Later / "0/DUP.uplugin", Descriptor("In a later search folder"));

	FLogCapture Capture;
	IPluginManager& Manager = IPluginManager::Get();
	ASSERT_TRUE(Manager.AddPluginSearchPath(Str(Root), false));
	ASSERT_TRUE(Manager.AddPluginSearchPath(Str(Later)));
	Manager.RefreshPluginsList();

	EXPECT_EQ(DiscoveredNames(), (std::vector<std::string>{"dup"}));
	EXPECT_EQ(Manager.FindPlugin(TEXT("Dup"))->GetFriendlyName().ToStdString(), "First in path order");
	const std::string First = (Root / "a/dup.uplugin").string();
	const std::vector<std::string> Expected{
		"PluginManager: Plug-in 'Dup' is described by both '" + First + "' and '" + (Root / "b/Dup.uplugin").string() + "'; using the first",
		"PluginManager: Plug-in 'DUP' is described by both '" + First + "' and '" + (Later / "0/DUP.uplugin").string() + "'; using the first",
	};
	// Two searches, the same outcome each time.
	EXPECT_EQ(ToStd(Capture.GetMessages(ELogVerbosity::Warning)), (std::vector<std::string>{Expected[0], Expected[1], Expected[0], Expected[1]}));
}

TEST_F(PluginManagerTest, APluginInstalledElsewhereHasTheFullPathOfItsFolder)
{
	const fs::path Elsewhere = MakeFolder("VorpexPluginElsewhere-");
	WriteFile(Elsewhere / "Tools/Extra/Extra.uplugin", Descriptor("Extra"));
	// Given relative to the current folder, with a detour and a trailing separator.
	const fs::path Relative = fs::relative(Elsewhere / "Tools", fs::current_path()) / "../Tools/";
	ASSERT_TRUE(IPluginManager::Get().AddPluginSearchPath(Str(Relative)));

	const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(TEXT("Extra"));
	ASSERT_TRUE(Plugin.IsValid());
	EXPECT_EQ(Plugin->GetBaseDir().ToStdString(), (Elsewhere / "Tools/Extra").string());
	EXPECT_EQ(Plugin->GetContentDir().ToStdString(), (Elsewhere / "Tools/Extra/Content").string());
	EXPECT_EQ(ToStd(IPluginManager::Get().GetAdditionalPluginSearchPaths()), (std::vector<std::string>{(Elsewhere / "Tools").string()}));
}

TEST_F(PluginManagerTest, SearchFoldersAreKeptOnceAndEachSearchReflectsTheDisk)
{
	IPluginManager& Manager = IPluginManager::Get();
	WriteFile(Root / "Alpha/Alpha.uplugin", Descriptor("Alpha"));
	ASSERT_TRUE(Manager.AddPluginSearchPath(Str(Root)));
	EXPECT_FALSE(Manager.AddPluginSearchPath(Str(Root) + TEXT("/"))) << "the same folder spelled with a trailing '/'";
	EXPECT_FALSE(Manager.AddPluginSearchPath(TEXT("")));

	// A folder inside another finds the same descriptor again; that is no clash.
	FLogCapture Capture;
	ASSERT_TRUE(Manager.AddPluginSearchPath(Str(Root / "Alpha")));
	EXPECT_EQ(DiscoveredNames(), (std::vector<std::string>{"Alpha"}));
	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Warning).IsEmpty());

	const TSharedPtr<IPlugin> Held = Manager.FindPlugin(TEXT("Alpha"));
	WriteFile(Root / "Beta/Beta.uplugin", Descriptor("Beta"));
	fs::remove(Root / "Alpha/Alpha.uplugin");
	Manager.RefreshPluginsList();
	EXPECT_EQ(DiscoveredNames(), (std::vector<std::string>{"Beta"}));
	EXPECT_FALSE(Manager.FindPlugin(TEXT("Alpha")).IsValid());
	EXPECT_EQ(Held->GetFriendlyName().ToStdString(), "Alpha") << "a plug-in handed out stays valid after a search";

	const fs::path Missing = Root / "NotThere";
	ASSERT_TRUE(Manager.AddPluginSearchPath(Str(Missing)));
	EXPECT_TRUE(Capture.Contains(FString("PluginManager: Plug-in search folder '" + Missing.string() + "' does not exist")));
	EXPECT_EQ(DiscoveredNames(), (std::vector<std::string>{"Beta"}));

	EXPECT_TRUE(Manager.RemovePluginSearchPath(Str(Root)));
	EXPECT_TRUE(DiscoveredNames().empty()) << "Root/Alpha is still searched, but Alpha's descriptor is gone";
	EXPECT_FALSE(Manager.RemovePluginSearchPath(Str(Root)));
	EXPECT_EQ(ToStd(Manager.GetAdditionalPluginSearchPaths()), (std::vector<std::string>{(Root / "Alpha").string(), Missing.string()}));
}
