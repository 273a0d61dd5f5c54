// Finding a program's data from its folder: the plug-in and the sample beside it, folders that
// are no plug-in, and the environment variable that names the plug-in folder instead.

#include "Misc/Paths.h"
#include "ProgramLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>

namespace
{
	namespace fs = std::filesystem;

	/** A program folder bin/ in a fresh temporary folder, with the variable unset while a test runs. */
	class ProgramLayoutTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Root = fs::temp_directory_path() / ("VorpexLayoutTest-" + std::to_string(std::random_device{}()));
			fs::create_directories(Root / "bin");
			if (const char* Value = std::getenv(FProgramLayout::PluginDirVariable))
			{
				SavedVariable = Value;
			}
			unsetenv(FProgramLayout::PluginDirVariable);
		}

		void TearDown() override
		{
			if (SavedVariable)
			{
				setenv(FProgramLayout::PluginDirVariable, SavedVariable->c_str(), 1);
			}
			else
			{
				unsetenv(FProgramLayout::PluginDirVariable);
			}
			fs::remove_all(Root);
		}

		/** A plug-in folder at Path below Root: the descriptor and, when asked, a Shaders folder. */
		std::string MakePlugin(const std::string& Path, bool bWithShaders = true) const
		{
			fs::create_directories(Root / Path);
			std::ofstream(Root / Path / "Vorpex.uplugin") << "{\"FileVersion\": 3}";
			if (bWithShaders)
			{
				fs::create_directories(Root / Path / "Shaders");
			}
			return (Root / Path).string();
		}

		FProgramLayout Layout() const { return FProgramLayout(FString((Root / "bin").string())); }

		/** The plug-in folder found, or the error. */
		std::string Find() const
		{
			FString Dir = TEXT("unchanged");
			FString Error;
			const bool bFound = Layout().FindPluginDir(Dir, Error);
			EXPECT_EQ(bFound, Error.IsEmpty());
			EXPECT_EQ(bFound, Dir != TEXT("unchanged"));
			return bFound ? Dir.ToStdString() : Error.ToStdString();
		}

		fs::path Root;
		std::optional<std::string> SavedVariable;
	};
}

TEST_F(ProgramLayoutTest, ThePluginAndTheSampleLieInTheDataFolderBesideTheProgram)
{
	EXPECT_EQ(Layout().GetProgramDir().ToStdString(), (Root / "bin").string());
	EXPECT_EQ(Layout().GetDataDir().ToStdString(), (Root / "share/vorpex").string());
	EXPECT_EQ(Layout().GetBundledProjectDir().ToStdString(), (Root / "share/vorpex/Samples/Human").string());
	EXPECT_EQ(Layout().GetEditorLayoutsDir().ToStdString(), (Root / "share/vorpex/Layouts").string());
	EXPECT_EQ(Find(), MakePlugin("share/vorpex/Plugins/Vorpex"));

	// A program folder given relative to the working folder is made full.
	const fs::path Working = fs::current_path();
	fs::current_path(Root);
	const FProgramLayout Relative(TEXT("bin"));
	fs::current_path(Working);
	EXPECT_EQ(Relative.GetDataDir().ToStdString(), (Root / "share/vorpex").string());
}

TEST_F(ProgramLayoutTest, AFolderWithoutDescriptorOrShadersIsNoPlugin)
{
	const std::string Dir = (Root / "share/vorpex/Plugins/Vorpex").string();
	const std::string Where = " (the plug-in folder beside the program in " + (Root / "bin").string() + ")";
	EXPECT_EQ(Find(), "no Vorpex plug-in in " + Dir + Where + ": it holds no Vorpex.uplugin");
	MakePlugin("share/vorpex/Plugins/Vorpex", false);
	EXPECT_EQ(Find(), "no Vorpex plug-in in " + Dir + Where + ": it has no Shaders folder");
}

TEST_F(ProgramLayoutTest, TheVariableNamesThePluginFolderInstead)
{
	MakePlugin("share/vorpex/Plugins/Vorpex");
	const std::string Elsewhere = MakePlugin("Elsewhere/Vorpex");
	setenv(FProgramLayout::PluginDirVariable, Elsewhere.c_str(), 1);
	EXPECT_EQ(Find(), Elsewhere);

	// A named folder that is no plug-in is an error, not a reason to look beside the program.
	const std::string Empty = (Root / "Empty").string();
	setenv(FProgramLayout::PluginDirVariable, Empty.c_str(), 1);
	EXPECT_EQ(Find(), "no Vorpex plug-in in " + Empty + " (the plug-in folder named by VORPEX_PLUGIN_DIR): it holds no Vorpex.uplugin");

	// Set but empty counts as not set.
	setenv(FProgramLayout::PluginDirVariable, "", 1);
	EXPECT_EQ(Find(), (Root / "share/vorpex/Plugins/Vorpex").string());
}

TEST_F(ProgramLayoutTest, TheRunningProgramIsThisTestProgram)
{
	EXPECT_EQ(FProgramLayout::OfRunningProgram().GetProgramDir(), FString(VORPEX_HOST_TEST_PROGRAM_DIR));
}
