// The program as `cmake --install` lays it out in a folder of its own: it runs on the libraries
// installed with it, inspects the sample installed beside it, runs graphs with the installed
// plug-in's shaders, says where it looked when the plug-in is gone, and takes the plug-in
// folder VORPEX_PLUGIN_DIR names instead.

#include "PngWriter.h"
#include "VorpexCliTestFolder.h"

namespace
{
	const char* const SkinJson = R"({"components": [{"meshes": ["Body"], "processorStacks": [
  {"name": "Albedo", "materialKey": "_BaseColorMap", "processors": [{"type": "ImageTexture", "stringParams": ["../Textures/T_Skin.png"]}]}]}]})";
}

using InstalledProgramTest = VorpexCliTestFolder;

TEST_F(InstalledProgramTest, TheInstalledProgramRunsWithWhatWasInstalledBesideIt)
{
	const std::string Prefix = PathOf("Installed");
	const FVorpexRun Install = RunProgram(VORPEX_CMAKE, {"--install", VORPEX_BUILD_DIR, "--prefix", Prefix});
	ASSERT_EQ(Install.ExitCode, 0) << Install.Out << Install.Err;
	const std::string Program = Prefix + "/" + VORPEX_INSTALLED_PROGRAM;
	const std::string Data = Prefix + "/" + VORPEX_INSTALLED_DATA;

	const FVorpexRun Libraries = RunProgram("ldd", {Program});
	EXPECT_NE(Libraries.Out.find("libVorpexHost.so => " + Prefix + "/"), std::string::npos) << Libraries.Out;
	EXPECT_NE(Libraries.Out.find("libCore.so => " + Prefix + "/"), std::string::npos) << Libraries.Out;

	const FVorpexRun Help = RunProgram(Program, {"--help"});
	EXPECT_EQ(Help.ExitCode, 0) << Help.Err;
	EXPECT_NE(Help.Out.find("state"), std::string::npos) << Help.Out;

	// The installed sample is the bundled one.
	const FVorpexRun Inspect = RunProgram(Program, {"inspect", "catalog", Data + "/Samples/Human/Content/Data/DA_AssetCatalog.json", "--check"});
	EXPECT_EQ(Inspect.ExitCode, 0) << Inspect.Err;
	EXPECT_EQ(Inspect.Out, Run({"inspect", "catalog", std::string(VORPEX_SAMPLE_PROJECT) + "/Content/Data/DA_AssetCatalog.json"}).Out);

	// A graph runs on the GPU with the installed plug-in's shaders.
	ASSERT_TRUE(FPngWriter::WriteBGRA(TArray<uint8>{255, 255, 255, 255}, 1, 1, FString(PathOf("Content/Textures/T_Skin.png"))));
	const std::string Skin = WriteText("Content/Data/Skin.json", SkinJson);
	const FVorpexRun Graph = RunProgram(Program, {"graph", Skin, "--run", PathOf("Out")});
	EXPECT_EQ(Graph.ExitCode, 0) << Graph.Err;
	EXPECT_TRUE(std::filesystem::exists(PathOf("Out/0_0_Albedo.png")));

	// Without the plug-in the program says where it looked; the variable names another one.
	std::filesystem::remove_all(Data + "/Plugins/Vorpex/Shaders");
	const FVorpexRun Gone = RunProgram(Program, {"graph", Skin});
	EXPECT_EQ(Gone.ExitCode, 2);
	EXPECT_EQ(Gone.Out, "");
	EXPECT_EQ(Gone.Err, "vorpex: the Vorpex module cannot be started: no Vorpex plug-in in " + Data + "/Plugins/Vorpex (the plug-in folder beside the program in " +
							Prefix + "/bin): it has no Shaders folder\n");
	const FVorpexRun Named = RunProgram(Program, {"graph", Skin}, {std::string("VORPEX_PLUGIN_DIR=") + VORPEX_SOURCE_PLUGIN_DIR});
	EXPECT_EQ(Named.ExitCode, 0) << Named.Err;
	EXPECT_EQ(Named.Out, Graph.Out);
}
