// `vorpex ui` on the bundled sample: every section and slider of its editor, laid out over the
// viewport at its scale, and the command line it refuses.

#include "VorpexCliTestFolder.h"

#include <nlohmann/json.hpp>

#include <functional>

namespace
{
	using FJson = nlohmann::json;

	class UiCommandTest : public VorpexCliTestFolder
	{
	};

	/** Depth first, parents before children. */
	void Visit(const FJson& Widget, const std::function<void(const FJson&)>& Action)
	{
		Action(Widget);
		for (const FJson& Child : Widget["children"])
		{
			Visit(Child, Action);
		}
	}

	/** The sections as "[Title]" lines, each followed by its rows as "Label: kind". */
	std::vector<std::string> Describe(const FJson& Editor)
	{
		std::vector<std::string> Lines;
		const FJson& Sections = Editor["children"][0];
		EXPECT_EQ(Sections["name"], "SettingsList");
		for (const FJson& Section : Sections["children"])
		{
			Lines.push_back("[" + Section["children"][0]["text"].get<std::string>() + "]");
			for (const FJson& Row : Section["children"][1]["children"])
			{
				Lines.push_back(Row["children"][0]["text"].get<std::string>() + ": " + Row["children"][1]["kind"].get<std::string>());
			}
		}
		return Lines;
	}
}

TEST_F(UiCommandTest, TheSampleShowsEverySectionAndSliderOfItsEditorLaidOutAtTheViewportScale)
{
	const FVorpexRun Result = Run({"ui", "--viewport", "1280x720", "--scale", "1.25"});
	ASSERT_EQ(Result.ExitCode, 0) << Result.Err;
	const FJson Editor = FJson::parse(Result.Out);
	EXPECT_EQ(Editor["class"], "HCCharacterEditorWidget");
	EXPECT_EQ(Editor["geometry"]["size"], FJson::parse("[1280, 720]"));
	EXPECT_EQ(Editor["geometry"]["localSize"], FJson::parse("[1024, 576]"));
	EXPECT_EQ(Describe(Editor), (std::vector<std::string>{"[Body]", "Body Type: polygon", "Belly: twoShapes", "Shoulders: twoShapes", "Hips: twoShapes",
									"Buttocks: twoShapes", "[Head]", "Head Shape: polygon", "Age: oneShape", "Double Chin: oneShape", "Nose Width: twoShapes",
									"Chin: twoShapes", "Pointed Chin: oneShape", "Brow Height: twoShapes", "[Ancestry]", "Ancestry: polygon", "[Skin]",
									"Skin Tone: colourPicker", "Nail Colour: colourPicker", "Lip Colour: colourPicker", "Brow Colour: colourPicker",
									"Eye Shadow: colourPicker"}))
		<< "shape sections in configuration order, both Head segmentations in one section, the colour-only Skin section last";

	int Sliders = 0;
	Visit(Editor,
		[&Sliders](const FJson& Widget)
		{
			if (Widget["class"] == "HCCharacterEditorExpandableArea")
			{
				EXPECT_TRUE(Widget["expanded"].get<bool>());
				EXPECT_EQ(Widget["children"][0]["fontSize"], 25) << "20 at scale 1.25";
			}
			if (!Widget.contains("kind"))
			{
				return;
			}
			++Sliders;
			EXPECT_GT(Widget["geometry"]["size"][0].get<double>(), 0.0) << Widget["name"];
			const std::string Kind = Widget["kind"];
			if (Kind == "polygon")
			{
				const size_t Corners = Widget["bound"]["shapes"].size();
				EXPECT_EQ(Widget["lines"].size(), 1 + 2 * Corners) << "the outline and two spokes a corner";
				EXPECT_EQ(Widget["lines"][0]["points"].size(), Corners + 1);
			}
			else if (Kind == "colourPicker")
			{
				EXPECT_TRUE(Widget["marker"].is_array()) << "placed at the first tick: " << Widget["bound"]["handler"];
				EXPECT_TRUE(Widget["pickerImage"].get<std::string>().starts_with("/Game/Editor/Textures/T_Palette_"));
			}
			else
			{
				EXPECT_EQ(Widget["value"], 0);
				EXPECT_EQ(Widget["range"]["min"], Kind == "oneShape" ? 0 : -1);
				EXPECT_EQ(Widget["range"]["max"], 1);
			}
		});
	EXPECT_EQ(Sliders, 18);
}

TEST_F(UiCommandTest, ABadViewportOrScaleIsBadUsage)
{
	for (const std::vector<std::string>& Arguments : std::vector<std::vector<std::string>>{
			 {"ui", "--viewport", "1280"}, {"ui", "--viewport", "0x720"}, {"ui", "--viewport", "+12x7"}, {"ui", "--viewport", "99999x10"},
			 {"ui", "--scale", "0"}, {"ui", "--scale", "nan"}})
	{
		const FVorpexRun Result = Run(Arguments);
		EXPECT_EQ(Result.ExitCode, 64) << Arguments[2];
		EXPECT_EQ(Result.Out, "") << Arguments[2];
	}
	const FVorpexRun Result = Run({"ui", Root.string()});
	EXPECT_EQ(Result.ExitCode, 1) << "a folder that is no project";
	EXPECT_NE(Result.Err.find("project.json"), std::string::npos) << Result.Err;
}
