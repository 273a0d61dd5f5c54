// `vorpex compose` on the bundled sample: every character becomes a valid glTF file, its composed
// albedos, a preview that shows a figure and a report of what was applied, bound and culled,
// while the terminal shows one line per character and the whole log goes to compose.log. A
// character is chosen by group and name or position; a character whose composition fails is
// reported and the others still compose.

#include "CliOutputFiles.h"
#include "VorpexCliTestFolder.h"

#include "GltfValidation.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <set>
#include <sstream>

namespace
{
	using FJson = nlohmann::json;

	const std::string SampleDescriptor = std::string(VORPEX_SAMPLE_PROJECT) + "/Content/Data/DA_CharacterDescriptor.json";

	/** The program's own lines of Text (a sanitizer build adds its report to standard error). */
	std::vector<std::string> ProgramLines(const std::string& Text)
	{
		std::vector<std::string> Result;
		std::istringstream Stream(Text);
		for (std::string Line; std::getline(Stream, Line);)
		{
			if (Line.rfind("vorpex: ", 0) == 0)
			{
				Result.push_back(Line);
			}
		}
		return Result;
	}

	bool Contains(const std::string& Text, const std::string& Part) { return Text.find(Part) != std::string::npos; }
}

class ComposeCommandTest : public VorpexCliTestFolder
{
protected:
	/** Checks one composed character's folder against the descriptor entry it came from. */
	void ExpectComposed(const std::string& Folder, const FJson& Character) const
	{
		SCOPED_TRACE(Folder);
		const FJson Report = FJson::parse(ReadFile(Folder + "/report.json"));
		EXPECT_EQ(Report["character"], Character["name"]);
		EXPECT_EQ(Report["group"], Character["group"]);
		EXPECT_TRUE(Report["succeeded"].get<bool>()) << Report["errors"].dump();
		const FJson& Blend = Character["blends"][0];

		// What was applied: the first blend's weights, every shape a morph target of the body.
		ASSERT_EQ(Report["shapeWeights"].size(), Blend["shapeWeights"].size());
		for (size_t Index = 0; Index < Blend["shapeWeights"].size(); ++Index)
		{
			EXPECT_EQ(Report["shapeWeights"][Index]["name"], Blend["shapeWeights"][Index]["name"]);
			EXPECT_TRUE(Report["shapeWeights"][Index]["morphTarget"].get<bool>());
		}
		float TextureSum = 0.0f;
		for (const FJson& Weight : Blend["textureWeights"])
		{
			TextureSum += Weight["weight"].get<float>();
		}
		EXPECT_NEAR(Report["templateWeight"].get<float>(), 1.0f - TextureSum, 1e-6f);

		// What was bound: the garments the blend lists, each material with a base colour.
		std::set<std::string> Listed;
		std::set<std::string> Bound;
		for (const FJson& Garment : Blend["deformableAssetsIndices"])
		{
			Listed.insert(Garment["name"].get<std::string>());
		}
		for (const FJson& Garment : Report["garments"])
		{
			Bound.insert(Garment["component"].get<std::string>());
			for (const FJson& Material : Garment["materials"])
			{
				EXPECT_TRUE(Material["textures"].contains("BC_Texture")) << Garment.dump();
			}
		}
		EXPECT_EQ(Bound, Listed);
		// Every sample garment hides some of the body.
		EXPECT_GT(Report["culling"]["culledVertices"].get<int>(), 0);
		EXPECT_LT(Report["culling"]["culledVertices"].get<int>(), Report["culling"]["vertices"].get<int>());
		EXPECT_EQ(Report["culling"]["vertexCaches"].size(), Listed.size());

		// The glTF is valid and carries the composed albedos as they were written.
		const std::string Glb = Report["files"]["gltf"].get<std::string>();
		const FJson Validation = GltfValidation::Validate(Glb);
		EXPECT_EQ(Validation.value("errors", -1), 0) << Validation.dump(1);
		const FGlb File(ReadAll(Glb));
		EXPECT_EQ(Report["albedos"].size(), Blend["textureWeights"].empty() ? 0u : 2u);
		for (const FJson& Albedo : Report["albedos"])
		{
			EXPECT_EQ(File.BaseColourImage("M_" + Albedo["mesh"].get<std::string>()), ReadAll(Albedo["file"].get<std::string>()));
		}

		// The preview shows a framed figure on the backdrop in both views: it covers a good part
		// of the view and reaches from near its top to near its bottom.
		const FImage Preview(ReadAll(Report["files"]["preview"].get<std::string>()), Folder + "/preview.png");
		EXPECT_GE(Preview.Height, 512);
		EXPECT_EQ(Preview.Width, Preview.Height);
		const int32 ViewWidth = Preview.Width / 2;
		for (int32 View = 0; View < 2; ++View)
		{
			const FColor Backdrop = Preview.At(View * ViewWidth + 2, 2);
			int64 Covered = 0;
			int32 Top = Preview.Height;
			int32 Bottom = -1;
			for (int32 Y = 0; Y < Preview.Height; ++Y)
			{
				for (int32 X = View * ViewWidth; X < (View + 1) * ViewWidth; ++X)
				{
					const bool bFigure = Preview.At(X, Y) != Backdrop;
					Covered += bFigure ? 1 : 0;
					Top = bFigure ? FMath::Min(Top, Y) : Top;
					Bottom = bFigure ? Y : Bottom;
				}
			}
			EXPECT_GT(Covered, int64(ViewWidth) * Preview.Height / 10) << "view " << View;
			EXPECT_GT(Bottom - Top, Preview.Height * 3 / 5) << "view " << View;
		}
		for (const char* Stage : {"compose", "gpu", "gltf", "albedos", "preview", "total"})
		{
			EXPECT_GE(Report["timingsMs"].value(Stage, -1.0), 0.0) << Stage;
		}
	}
};

TEST_F(ComposeCommandTest, AllCharactersOfTheSampleComposeIntoFilesAPersonCanOpen)
{
	const FVorpexRun Result = Run({"compose", "--all", "--out", PathOf("Out")});
	ASSERT_EQ(Result.ExitCode, 0) << Result.Err;

	const FJson Descriptor = FJson::parse(ReadAll(SampleDescriptor));
	std::vector<FJson> Characters;
	for (const FJson& Group : Descriptor["groups"])
	{
		Characters.insert(Characters.end(), Group["characters"].begin(), Group["characters"].end());
	}
	// The terminal: one line per character and a summary, none of the log's warnings.
	const std::vector<std::string> Messages = ProgramLines(Result.Err);
	ASSERT_EQ(Messages.size(), Characters.size() + 1) << Result.Err;
	for (size_t Index = 0; Index < Characters.size(); ++Index)
	{
		const std::string Name = Characters[Index]["name"];
		EXPECT_EQ(Messages[Index].rfind("vorpex: [" + std::to_string(Index + 1) + "/" + std::to_string(Characters.size()) + "] " + Name + " (", 0), 0u)
			<< Messages[Index];
		EXPECT_TRUE(Contains(Messages[Index], ": composed in ")) << Messages[Index];
		ExpectComposed("Out/" + Name, Characters[Index]);
	}
	EXPECT_TRUE(Contains(Messages.back(), "6 of 6 characters composed into " + PathOf("Out"))) << Messages.back();
	// The log file has everything, the rig fitting's warnings per bone and frame among it.
	const std::string Log = ReadFile("Out/compose.log");
	EXPECT_TRUE(Contains(Log, "LogTemp: Warning: Frame 0: Time 0.000000")) << Log.substr(0, 2000);
	EXPECT_TRUE(Contains(Log, "LogTemp: Warning: Bone 0: Transform ")) << Log.substr(0, 2000);
	EXPECT_FALSE(Contains(Result.Err, "Warning"));
	// Standard output names every file written.
	EXPECT_TRUE(Contains(Result.Out, PathOf("Out/Ben/report.json") + "\n")) << Result.Out;
	EXPECT_TRUE(Contains(Result.Out, PathOf("Out/Ben/Ben.glb") + "\n")) << Result.Out;
}

TEST_F(ComposeCommandTest, ACharacterIsChosenByGroupAndNameOrPositionAndBadChoicesAreRefused)
{
	const FVorpexRun ByName = Run({"compose", "--group", "elders", "--character", "eli", "--out", PathOf("ByName")});
	ASSERT_EQ(ByName.ExitCode, 0) << ByName.Err;
	EXPECT_TRUE(std::filesystem::exists(PathOf("ByName/Eli/Eli.glb")));
	EXPECT_EQ(std::distance(std::filesystem::directory_iterator(PathOf("ByName")), std::filesystem::directory_iterator()), 2) << "Eli/ and compose.log";
	EXPECT_TRUE(Contains(ByName.Err, "vorpex: [1/1] Eli (Elders): composed in ")) << ByName.Err;

	const FVorpexRun ByPosition = Run({"compose", "--group", "1", "--character", "1", "--out", PathOf("ByPosition")});
	ASSERT_EQ(ByPosition.ExitCode, 0) << ByPosition.Err;
	EXPECT_TRUE(std::filesystem::exists(PathOf("ByPosition/Eli/preview.png")));

	const FVorpexRun Unknown = Run({"compose", "--group", "Elders", "--character", "Ava", "--out", PathOf("Unknown")});
	EXPECT_EQ(Unknown.ExitCode, 1);
	EXPECT_TRUE(Contains(Unknown.Err, "vorpex: the character descriptor has no character 'Ava' in a group 'Elders'\n")) << Unknown.Err;

	const FVorpexRun Both = Run({"compose", "--all", "--character", "Ava", "--out", PathOf("Both")});
	EXPECT_EQ(Both.ExitCode, 64);
	EXPECT_TRUE(Contains(Both.Err, "composes every character")) << Both.Err;

	const FVorpexRun NoProject = Run({"compose", PathOf("Nowhere"), "--out", PathOf("NoProject")});
	EXPECT_EQ(NoProject.ExitCode, 1);
	EXPECT_TRUE(Contains(NoProject.Err, PathOf("Nowhere"))) << NoProject.Err;
}

TEST_F(ComposeCommandTest, ACharacterThatFailsIsReportedAndTheOthersStillCompose)
{
	// Two characters: the first asks for a template the catalog does not have.
	const std::string Project = LinkSampleProject({"Characters", "Culling", "Textures", "Editor", "Data/DA_AssetCatalog.json"});
	FJson Descriptor = FJson::parse(ReadAll(SampleDescriptor));
	FJson Broken = Descriptor["groups"][0]["characters"][1];
	Broken["name"] = "Broken";
	Broken["blends"][0]["templateAssetIndex"] = 7;
	Descriptor["groups"] = FJson::array({{{"characters", FJson::array({Broken, Descriptor["groups"][0]["characters"][2]})}}});
	WriteText("Project/Content/Data/DA_CharacterDescriptor.json", Descriptor.dump(1));

	const FVorpexRun Result = Run({"compose", Project, "--out", PathOf("Out")});
	EXPECT_EQ(Result.ExitCode, 2) << Result.Err;
	const std::vector<std::string> Messages = ProgramLines(Result.Err);
	ASSERT_EQ(Messages.size(), 3u) << Result.Err;
	// The error itself reaches the terminal, then the character's line, the other's and the summary.
	EXPECT_TRUE(Contains(Result.Err, "LogTemp: Error: ")) << Result.Err;
	EXPECT_TRUE(Contains(Result.Err, "vorpex: [1/2] Broken (Everyday): failed: LogTemp: ")) << Result.Err;
	EXPECT_TRUE(Contains(Result.Err, "vorpex: [2/2] Cleo (Everyday): composed in ")) << Result.Err;
	EXPECT_TRUE(Contains(Messages.back(), "1 of 2 characters composed")) << Result.Err;

	const FJson Report = FJson::parse(ReadFile("Out/Broken/report.json"));
	EXPECT_FALSE(Report["succeeded"].get<bool>());
	ASSERT_FALSE(Report["errors"].empty());
	EXPECT_TRUE(Contains(Report["errors"][0].get<std::string>(), "Broken")) << Report["errors"].dump();
	EXPECT_TRUE(Contains(Report["errors"][0].get<std::string>(), "7")) << Report["errors"].dump();
	EXPECT_FALSE(std::filesystem::exists(PathOf("Out/Broken/Broken.glb")));
	EXPECT_TRUE(std::filesystem::exists(PathOf("Out/Cleo/Cleo.glb")));
	EXPECT_TRUE(std::filesystem::exists(PathOf("Out/Cleo/preview.png")));
}
