// The program on the bundled sample project: its data files pass the checks, and its skin
// composition builds the graphs the editor binds, with the skin tone picker shared by the body
// and the head.

#include "VorpexCliTestFolder.h"

#include <nlohmann/json.hpp>

#include <set>

namespace
{
	const std::string Content = std::string(VORPEX_SAMPLE_PROJECT) + "/Content/";

	class SampleProjectCommandsTest : public VorpexCliTestFolder
	{
	};

	TEST_F(SampleProjectCommandsTest, EveryDataFilePassesTheChecks)
	{
		const std::pair<const char*, const char*> Files[] = {{"catalog", "Data/DA_AssetCatalog.json"}, {"config", "Editor/DA_CharacterEditorConfig.json"},
			{"skin", "Editor/DA_SkinComposition.json"}};
		for (const auto& [Kind, File] : Files)
		{
			const FVorpexRun Result = Run({"inspect", Kind, Content + File, "--check"});
			EXPECT_EQ(Result.ExitCode, 0) << File << ": " << Result.Err;
			EXPECT_TRUE(nlohmann::json::accept(Result.Out)) << File;
		}
		const FVorpexRun Descriptor =
			Run({"inspect", "descriptor", Content + "Data/DA_CharacterDescriptor.json", "--check", "--catalog", Content + "Data/DA_AssetCatalog.json"});
		EXPECT_EQ(Descriptor.ExitCode, 0) << Descriptor.Err;
	}

	TEST_F(SampleProjectCommandsTest, TheSkinCompositionBindsBothSkinMaterialsAndSharesTheSkinTonePicker)
	{
		const FVorpexRun Result =
			Run({"graph", Content + "Editor/DA_SkinComposition.json", "--config", Content + "Editor/DA_CharacterEditorConfig.json"});
		ASSERT_EQ(Result.ExitCode, 0) << Result.Err;
		const nlohmann::json Graph = nlohmann::json::parse(Result.Out);

		// The body's slots M_Body and M_Head are edited as the meshes Body and Head.
		std::set<std::string> BoundMeshes;
		for (const nlohmann::json& Binding : Graph["bindings"])
		{
			EXPECT_EQ(Binding["materialKey"], "MK_Albedo");
			BoundMeshes.insert(Binding["mesh"].get<std::string>());
		}
		EXPECT_EQ(BoundMeshes, (std::set<std::string>{"Body", "Head"}));

		// Five pickers; the skin tone one has a target in the body and one in the head.
		ASSERT_EQ(Graph["pickers"].size(), 5u);
		size_t SharedPickers = 0;
		for (const nlohmann::json& Picker : Graph["pickers"])
		{
			std::set<int> Components;
			for (const nlohmann::json& Target : Picker["bindings"])
			{
				Components.insert(Target["component"].get<int>());
			}
			if (Components.size() == 2)
			{
				++SharedPickers;
				EXPECT_NE(Picker["texture"].get<std::string>().find("T_Palette_SkinTone"), std::string::npos);
			}
		}
		EXPECT_EQ(SharedPickers, 1u);
	}
}
