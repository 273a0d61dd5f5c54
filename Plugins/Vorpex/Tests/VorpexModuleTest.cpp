#include "Interfaces/IPluginManager.h"
#include "Logging/LogCapture.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "ShaderCore.h"
#include "Vorpex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace
{
	namespace fs = std::filesystem;

	/** A plug-in folder of its own (descriptor and Shaders folder) somewhere other than the repository. */
	class FInstalledPlugin
	{
	public:
		explicit FInstalledPlugin(bool bWithShaders)
			: Root(fs::temp_directory_path() / ("VorpexModuleTest_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
												 ::testing::UnitTest::GetInstance()->current_test_info()->name()))
		{
			fs::remove_all(Root);
			fs::create_directories(Root / "Elsewhere" / "Vorpex");
			fs::copy_file(fs::path(VORPEX_PLUGINS_DIR) / "Vorpex" / "Vorpex.uplugin", Root / "Elsewhere" / "Vorpex" / "Vorpex.uplugin");
			if (bWithShaders)
			{
				fs::create_directories(Root / "Elsewhere" / "Vorpex" / "Shaders");
				std::ofstream(Root / "Elsewhere" / "Vorpex" / "Shaders" / "HCBlendTexture.usf") << "// test\n";
			}
		}
		~FInstalledPlugin() { fs::remove_all(Root); }

		FString SearchPath() const { return FString((Root / "Elsewhere").string()); }
		FString ShaderFolder() const { return FString((Root / "Elsewhere" / "Vorpex" / "Shaders").string()); }

	private:
		fs::path Root;
	};

	/** Each test starts with no plug-in search paths, no mappings and the module unloaded. */
	class VorpexModuleTest : public ::testing::Test
	{
	protected:
		void SetUp() override { Reset(); }
		void TearDown() override { Reset(); }

		static void Reset()
		{
			FModuleManager::Get().UnloadModule(FName("Vorpex"));
			for (const FString& Path : IPluginManager::Get().GetAdditionalPluginSearchPaths())
			{
				IPluginManager::Get().RemovePluginSearchPath(Path);
			}
			ResetAllShaderSourceDirectoryMappings();
		}
	};
}

TEST_F(VorpexModuleTest, StartupMapsTheShaderFolderOfAPluginInstalledElsewhere)
{
	const FInstalledPlugin Plugin(true);
	ASSERT_TRUE(IPluginManager::Get().AddPluginSearchPath(Plugin.SearchPath()));
	IModuleInterface* Module = FModuleManager::Get().LoadModule(FName("Vorpex"));
	ASSERT_NE(dynamic_cast<FVorpexModule*>(Module), nullptr);

	const FString Resolved = GetShaderSourceFilePath(TEXT("/Plugin/Vorpex/HCBlendTexture.usf"));
	EXPECT_EQ(Resolved, Plugin.ShaderFolder() / TEXT("HCBlendTexture.usf"));
	EXPECT_TRUE(FPaths::FileExists(Resolved));

	// Shutting the module down leaves the mapping in place.
	FModuleManager::Get().UnloadModule(FName("Vorpex"));
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName("Vorpex")));
	EXPECT_EQ(GetShaderSourceFilePath(TEXT("/Plugin/Vorpex/HCBlendTexture.usf")), Resolved);
}

TEST_F(VorpexModuleTest, TheModuleStartsAgainAfterAShutDownInOneProcess)
{
	const FInstalledPlugin Plugin(true);
	ASSERT_TRUE(IPluginManager::Get().AddPluginSearchPath(Plugin.SearchPath()));
	ASSERT_NE(FModuleManager::Get().LoadModule(FName("Vorpex")), nullptr);
	FModuleManager::Get().UnloadModule(FName("Vorpex"));

	// The mapping the first start made is still there; the second start maps the same folder.
	FLogCapture Capture;
	IModuleInterface* Module = nullptr;
	EXPECT_NO_THROW(Module = FModuleManager::Get().LoadModule(FName("Vorpex")));
	EXPECT_NE(dynamic_cast<FVorpexModule*>(Module), nullptr);
	EXPECT_TRUE(FModuleManager::Get().IsModuleLoaded(FName("Vorpex")));
	EXPECT_TRUE(Capture.GetMessages(ELogVerbosity::Error).IsEmpty()) << *FString::Join(Capture.GetLines(), TEXT("\n"));
	EXPECT_EQ(AllShaderSourceDirectoryMappings().Num(), 1);
	EXPECT_EQ(GetShaderSourceFilePath(TEXT("/Plugin/Vorpex/HCBlendTexture.usf")), Plugin.ShaderFolder() / TEXT("HCBlendTexture.usf"));
}

TEST_F(VorpexModuleTest, MissingPluginOrShaderFolderLogsAnErrorAndMapsNothing)
{
	{
		FLogCapture Capture;
		ASSERT_NE(FModuleManager::Get().LoadModule(FName("Vorpex")), nullptr);
		EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Error),
			(TArray<FString>{"Vorpex: the plug-in 'Vorpex' was not found; shaders under /Plugin/Vorpex will not resolve"}));
		EXPECT_TRUE(AllShaderSourceDirectoryMappings().IsEmpty());
	}
	FModuleManager::Get().UnloadModule(FName("Vorpex"));

	const FInstalledPlugin Plugin(false);
	IPluginManager::Get().AddPluginSearchPath(Plugin.SearchPath());
	FLogCapture Capture;
	FModuleManager::Get().LoadModule(FName("Vorpex"));
	const TArray<FString> Errors = Capture.GetMessages(ELogVerbosity::Error);
	ASSERT_EQ(Errors.Num(), 1);
	EXPECT_TRUE(Errors[0].StartsWith("Vorpex: the plug-in has no shader folder "));
	EXPECT_TRUE(AllShaderSourceDirectoryMappings().IsEmpty());
}

TEST_F(VorpexModuleTest, TheRepositoryPluginIsDiscoveredWithItsDescriptor)
{
	ASSERT_TRUE(IPluginManager::Get().AddPluginSearchPath(FString(VORPEX_PLUGINS_DIR)));
	const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(TEXT("vorpex"));
	ASSERT_TRUE(Plugin.IsValid());
	EXPECT_EQ(Plugin->GetName(), "Vorpex");
	EXPECT_TRUE(FPaths::GetCleanFilename(Plugin->GetBaseDir()).Equals("Vorpex"));
}

TEST(VorpexLogTest, CategoryLogsAtLogByDefaultAndCompilesEverythingIn)
{
	EXPECT_EQ(LogVorpex.GetVerbosity(), ELogVerbosity::Log);
	EXPECT_EQ(LogVorpex.GetCategoryName(), FName("LogVorpex"));
	FLogCapture Capture;
	UE_LOG(LogVorpex, Verbose, TEXT("hidden"));
	UE_LOG(LogVorpex, Error, TEXT("%s - shown"), TEXT("Fn"));
	EXPECT_EQ(Capture.GetLines(), (TArray<FString>{"LogVorpex: Error: Fn - shown"}));
}
