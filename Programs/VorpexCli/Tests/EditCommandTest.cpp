// `vorpex edit` on the bundled sample: a script moves 1-D sliders of one and two shapes,
// polygon sliders of three and five corners and the eye shadow picker, applies vertex caches,
// saves, moves them again and loads the saved state back, and what it writes loads back (the
// state decodes, the glTF passes the validator with the weights, the edited albedos and the
// culling texture, the albedo shows the picked colour inside the picker's mask). Cull-mask steps
// show in the glTF's materials. A wrong step stops the script before anything runs or is
// written; a state that cannot be loaded or saved stops it where it stands.

#include "CliOutputFiles.h"
#include "VorpexCliTestFolder.h"

#include "GltfValidation.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>

namespace
{
	using FJson = nlohmann::json;

	const std::string SampleProject = VORPEX_SAMPLE_PROJECT;
	const std::string SampleContent = SampleProject + "/Content/";
	const std::string NothingRun = "; no step was run and nothing was written\n";
	const std::string TightsCache = "/Game/Culling/DA_VertexCache_Tights.DA_VertexCache_Tights";

	/** The palette colour a colour picker samples at (X, Y): the nearest column and row towards the first. */
	FColor PickedColour(const FImage& Palette, float X, float Y)
	{
		const int32 Column = int32(double((X + 1.0f) * 0.5f) * double(Palette.Width - 1));
		const int32 Row = int32(double((Y + 1.0f) * 0.5f) * double(Palette.Height - 1));
		return Palette.At(Column, Row);
	}

	bool IsNear(const FColor& A, const FColor& B, int32 Tolerance)
	{
		return std::abs(A.R - B.R) <= Tolerance && std::abs(A.G - B.G) <= Tolerance && std::abs(A.B - B.B) <= Tolerance && std::abs(A.A - B.A) <= Tolerance;
	}

	std::array<int32, 3> Channels(const FColor& Texel) { return {Texel.R, Texel.G, Texel.B}; }

	/** The morph weights of a decoded edit state that are not 0, by name. */
	std::map<std::string, float> NonZeroWeights(const FJson& State)
	{
		std::map<std::string, float> Weights;
		for (const FJson& Weight : State["morphWeights"])
		{
			if (Weight["weight"].get<float>() != 0.0f)
			{
				Weights[Weight["name"]] = Weight["weight"].get<float>();
			}
		}
		return Weights;
	}

	/** The colour a decoded edit state holds for a colorize, as [R, G, B, A]. */
	FJson ColourOf(const FJson& State, int Component, int Stack, int Processor)
	{
		for (const FJson& Colour : State["colorizeColors"])
		{
			if (Colour["component"] == Component && Colour["stack"] == Stack && Colour["processor"] == Processor)
			{
				return Colour["color"];
			}
		}
		return FJson();
	}
}

class EditCommandTest : public VorpexCliTestFolder
{
protected:
	/** Runs `vorpex edit` on the script Steps (written as Script/steps.json) into Out/, with the project words given first. */
	FVorpexRun Edit(const std::string& Steps, std::initializer_list<std::string> Project = {})
	{
		WriteText("Script/steps.json", Steps);
		std::vector<std::string> Words = {"edit"};
		Words.insert(Words.end(), Project.begin(), Project.end());
		Words.insert(Words.end(), {"--script", PathOf("Script/steps.json"), "--out", PathOf("Out")});
		return Run(Words);
	}

	/** The edit state in StateFile as `vorpex state decode` prints it. */
	FJson Decode(const std::string& StateFile)
	{
		const FVorpexRun Result = Run({"state", "decode", StateFile});
		EXPECT_EQ(Result.ExitCode, 0) << Result.Err;
		return FJson::parse(Result.Out, nullptr, false);
	}

	/** Expects Run to have failed with Code, printing nothing on standard output and Line among its messages. */
	static void ExpectFailure(const FVorpexRun& Result, int Code, const std::string& Line)
	{
		EXPECT_EQ(Result.ExitCode, Code) << Result.Err;
		EXPECT_EQ(Result.Out, "");
		EXPECT_NE(Result.Err.find(Line), std::string::npos) << "expected: " << Line << "\nin:\n" << Result.Err;
	}

	bool Exists(const std::string& Path) const { return std::filesystem::exists(Root / Path); }
};

TEST_F(EditCommandTest, AScriptMovesSlidersSavesAndReloadsAndItsOutputsLoadBack)
{
	const FVorpexRun Result = Edit(R"([
		{"save": "start.bin"},
		{"section": "Body", "slider": "Belly", "value": -0.4},
		{"section": "ancestry", "slider": "ANCESTRY", "position": [0, 0.5]},
		{"section": "Ancestry", "slider": "Ancestry", "position": [0, 0.25]},
		{"section": "Body", "slider": "Body Type", "position": [0, 0.5]},
		{"section": "Head", "slider": "Age", "value": 0.7},
		{"section": "Skin", "slider": "Eye Shadow", "position": [0.5, -0.5]},
		{"cullData": "/Game/Culling/DA_VertexCache_Skirt.DA_VertexCache_Skirt"},
		{"tick": 1},
		{"save": "States/moved.bin"},
		{"section": "Body", "slider": "Belly", "value": 0.8},
		{"section": "Skin", "slider": "Eye Shadow", "position": [-0.9, 0.9]},
		{"tick": 1},
		{"cullData": ")" + TightsCache + R"("},
		{"load": "States/moved.bin"}
	])");
	ASSERT_EQ(Result.ExitCode, 0) << Result.Err;
	EXPECT_EQ(Result.Out, PathOf("Out/EditState.bin") + "\n" + PathOf("Out/Albedo_Body.png") + "\n" + PathOf("Out/Albedo_Head.png") + "\n" +
							  PathOf("Out/Character.glb") + "\n");

	// Loading the state saved after the first moves took back the second ones. Belly's first
	// shape takes the size of a negative value. The three-cornered polygon, fitted to the box,
	// has its corners 1 and 2 at (1, 1) and (-1, 1) and its centre at (0, 0.25): (0, 0.5) lies a
	// sixth of the way to each; its centre lies in no triangle and leaves them so. The
	// five-cornered one has corners 2 and 3 at (±0.618, 1) and its centre at (0, 0.0955):
	// (0, 0.5) weighs them by (0.5 - 0.0955) / (2 × (1 - 0.0955)).
	EXPECT_EQ(ReadFile("Out/EditState.bin"), ReadFile("Script/States/moved.bin"));
	const FJson State = Decode(PathOf("Out/EditState.bin"));
	const std::map<std::string, float> Weights = NonZeroWeights(State);
	ASSERT_EQ(Weights.size(), 6u) << State.dump();
	EXPECT_FLOAT_EQ(Weights.at("stomach-pregnant-decr"), 0.4f);
	EXPECT_FLOAT_EQ(Weights.at("head-age-incr"), 0.7f);
	EXPECT_NEAR(Weights.at("asian-male-young"), 1.0 / 6.0, 1e-6);
	EXPECT_NEAR(Weights.at("caucasian-male-young"), 1.0 / 6.0, 1e-6);
	EXPECT_NEAR(Weights.at("bodyshapes-elvs-fem-rectangle"), std::sqrt(5.0) / 10.0, 1e-6);
	EXPECT_NEAR(Weights.at("bodyshapes-elvs-fem-triangle"), std::sqrt(5.0) / 10.0, 1e-6);
	const FJson Start = Decode(PathOf("Script/start.bin"));
	EXPECT_TRUE(NonZeroWeights(Start).empty());

	// The eye shadow is the only colour of its stack; it is the palette's colour at the position.
	const FColor Picked = PickedColour(FImage(SampleContent + "Editor/Textures/T_Palette_EyeShadow.png"), 0.5f, -0.5f);
	EXPECT_EQ(ColourOf(State, 1, 3, 1), FJson({Picked.R, Picked.G, Picked.B, Picked.A}));
	EXPECT_NE(ColourOf(Start, 1, 3, 1), ColourOf(State, 1, 3, 1));

	// The eye shadow is blended over the head's skin by the eyelid mask (at most 45 % there):
	// taking the picked colour back out of a texel under the mask by the mask's weight, both in
	// linear light as the shaders blend (the PNG holds the texels sRGB-encoded), leaves a
	// colour of the skin around it. Without the pick, or
	// with another colour, what is left lies far outside the skin's colours. The masks have an
	// eighth of the albedo's size; the lip and brow masks tint the skin in their own places.
	const FImage Head(PathOf("Out/Albedo_Head.png"));
	const FImage Eyelids(SampleContent + "Editor/Textures/T_Eyelids_Mask.png");
	const FImage Lips(SampleContent + "Editor/Textures/T_Lips_Mask.png");
	const FImage Brows(SampleContent + "Editor/Textures/T_Brows_Mask.png");
	ASSERT_EQ(Head.Width, 4096);
	ASSERT_EQ(Head.Height, 4096);
	const auto LinearAt = [&Head](int32 X, int32 Y) { return FLinearColor(Head.At(X, Y)).QuantizeRound(); };
	const FColor Shadow = FLinearColor(Picked).QuantizeRound();
	const auto Covering = [&](const FImage& Mask, int32 X, int32 Y) { return Mask.At(X * Mask.Width / Head.Width, Y * Mask.Height / Head.Height).R; };
	std::array<int32, 3> Lowest = {255, 255, 255};
	std::array<int32, 3> Highest = {0, 0, 0};
	int64 Bare = 0;
	int64 BareLikeShadow = 0;
	for (int32 Y = 0; Y < Head.Height; ++Y)
	{
		for (int32 X = 0; X < Head.Width; ++X)
		{
			if (Covering(Eyelids, X, Y) == 0 && Covering(Lips, X, Y) == 0 && Covering(Brows, X, Y) == 0)
			{
				const std::array<int32, 3> Texel = Channels(LinearAt(X, Y));
				for (int32 Channel = 0; Channel < 3; ++Channel)
				{
					Lowest[Channel] = std::min(Lowest[Channel], Texel[Channel]);
					Highest[Channel] = std::max(Highest[Channel], Texel[Channel]);
				}
				++Bare;
				BareLikeShadow += IsNear(LinearAt(X, Y), Shadow, 8) ? 1 : 0;
			}
		}
	}
	EXPECT_LT(BareLikeShadow, Bare / 1000);
	int64 Shaded = 0;
	int64 NotSkinUnderneath = 0;
	for (int32 Y = 0; Y < Head.Height; ++Y)
	{
		for (int32 X = 0; X < Head.Width; ++X)
		{
			const float Weight = Covering(Eyelids, X, Y) / 255.0f;
			if (Weight < 0.25f || Covering(Lips, X, Y) != 0 || Covering(Brows, X, Y) != 0)
			{
				continue;
			}
			++Shaded;
			const std::array<int32, 3> Texel = Channels(LinearAt(X, Y));
			const std::array<int32, 3> ShadowChannels = Channels(Shadow);
			for (int32 Channel = 0; Channel < 3; ++Channel)
			{
				// Rounding to bytes moves what is left by up to 1 / (1 - Weight).
				const float Underneath = (Texel[Channel] - ShadowChannels[Channel] * Weight) / (1.0f - Weight);
				NotSkinUnderneath += Underneath < Lowest[Channel] - 3 || Underneath > Highest[Channel] + 3 ? 1 : 0;
			}
		}
	}
	EXPECT_GT(Shaded, 1000);
	EXPECT_EQ(NotSkinUnderneath, 0) << "skin between " << ::testing::PrintToString(Lowest) << " and " << ::testing::PrintToString(Highest);

	// The character as glTF: valid, with the weights on the body and the edited albedos as the skin's base colour.
	const FJson Report = GltfValidation::Validate(PathOf("Out/Character.glb"));
	EXPECT_EQ(Report.value("errors", -1), 0) << Report.dump(1);
	const FGlb Glb(ReadFile("Out/Character.glb"));
	std::map<std::string, float> GlbWeights;
	const FJson& Body = Glb.Json["meshes"][0];
	for (size_t Target = 0; Target < Body["weights"].size(); ++Target)
	{
		if (Body["weights"][Target].get<float>() != 0.0f)
		{
			GlbWeights[Body["extras"]["targetNames"][Target]] = Body["weights"][Target].get<float>();
		}
	}
	EXPECT_EQ(GlbWeights, Weights);
	EXPECT_EQ(Glb.BaseColourImage("M_Head"), ReadFile("Out/Albedo_Head.png"));
	EXPECT_EQ(Glb.BaseColourImage("M_Body"), ReadFile("Out/Albedo_Body.png"));

	// Both materials show the one culling texture, holding the last cache applied (the tights',
	// loaded when the script was checked and kept through the ticks' garbage collections): a
	// grey level per vertex, 255 × its opacity, then white past the last vertex.
	EXPECT_EQ(Glb.TextureOf("M_Head", "CM_Texture"), Glb.TextureOf("M_Body", "CM_Texture"));
	const FImage Culling = Glb.ParameterImage("M_Body", "CM_Texture");
	const FJson Opacities = FJson::parse(ReadAll(SampleContent + "Culling/DA_VertexCache_Tights.json"))["VertexOpacity"];
	ASSERT_EQ(Culling.Width, Culling.Height);
	ASSERT_GE(int64(Culling.Width) * Culling.Height, int64(Opacities.size()));
	int64 Hidden = 0;
	int64 Wrong = 0;
	for (int64 Texel = 0; Texel < int64(Culling.Width) * Culling.Height; ++Texel)
	{
		const uint8 Level = Texel < int64(Opacities.size()) ? uint8(255.0f * Opacities[Texel].get<float>()) : 255;
		Hidden += Level == 0 ? 1 : 0;
		Wrong += Culling.At(int32(Texel % Culling.Width), int32(Texel / Culling.Width)) == FColor(Level, Level, Level, 255) ? 0 : 1;
	}
	EXPECT_EQ(Wrong, 0);
	EXPECT_GT(Hidden, 0);
}

TEST_F(EditCommandTest, CullMaskStepsShowInTheBodyMaterialsAndCullingStepsTakeNull)
{
	// Every step runs; the last mask step decides what the materials show, and its reset of all
	// materials also replaces the culling texture that vertex caches are written into, so
	// only the masks can be seen in the outputs (the other test sees a cache).
	const FVorpexRun Result = Edit(R"([
		{"cullData": "/Game/Culling/DA_VertexCache_Skirt.DA_VertexCache_Skirt"},
		{"cullMasks": "/Game/Culling/DA_CullMasks_Skirt.DA_CullMasks_Skirt"},
		{"tick": 1},
		{"cullMasks": null},
		{"cullData": null},
		{"tick": 1},
		{"cullMasks": "/Game/Culling/DA_CullMasks_Tights.DA_CullMasks_Tights"},
		{"cullData": ")" + TightsCache + R"("}
	])");
	ASSERT_EQ(Result.ExitCode, 0) << Result.Err;
	EXPECT_EQ(Result.Out, PathOf("Out/EditState.bin") + "\n" + PathOf("Out/Albedo_Body.png") + "\n" + PathOf("Out/Albedo_Head.png") + "\n" +
							  PathOf("Out/Character.glb") + "\n");

	// The tights' masks name the body's material only: it shows their mask, the head the
	// 16 × 16 white one.
	const FGlb Glb(ReadFile("Out/Character.glb"));
	const FImage BodyMask = Glb.ParameterImage("M_Body", "CM_Texture");
	const FImage TightsMask(SampleContent + "Culling/T_Body_UnderTights_Mask.png");
	EXPECT_EQ(BodyMask.Width, TightsMask.Width);
	EXPECT_EQ(BodyMask.Height, TightsMask.Height);
	EXPECT_TRUE(BodyMask.Texels == TightsMask.Texels);
	EXPECT_FALSE(BodyMask.Texels == FImage(SampleContent + "Culling/T_Body_UnderSkirt_Mask.png").Texels);
	const FImage HeadMask = Glb.ParameterImage("M_Head", "CM_Texture");
	ASSERT_EQ(HeadMask.Width, 16);
	ASSERT_EQ(HeadMask.Height, 16);
	TArray<uint8> White;
	White.Init(255, 16 * 16 * 4);
	EXPECT_TRUE(HeadMask.Texels == White);
}

TEST_F(EditCommandTest, AWrongStepStopsTheScriptBeforeAnyStepRuns)
{
	// Each script saves first, so a step that ran would leave Script/early.bin behind.
	const std::pair<const char*, const char*> Cases[] = {
		{R"({"section": "Torso", "slider": "Belly", "value": 0.5})", "step 1: there is no section 'Torso' (the sections are 'Body', 'Head', 'Ancestry', 'Skin')"},
		{R"({"section": "body", "slider": "Bely", "value": 0.5})",
			"step 1: section 'Body' has no slider 'Bely' (its sliders are 'Body Type', 'Belly', 'Shoulders', 'Hips', 'Buttocks')"},
		{R"({"section": "Body", "slider": "Belly", "position": [0, 0]})",
			"step 1: slider 'Belly' of section 'Body' is a 1-D slider: it takes a \"value\", not a \"position\""},
		{R"({"section": "Skin", "slider": "Eye Shadow", "value": 0.5})",
			"step 1: slider 'Eye Shadow' of section 'Skin' is a colour picker: it takes a \"position\", not a \"value\""},
		{R"({"section": "Body", "slider": "Body Type"})", "step 1: slider 'Body Type' of section 'Body' is a polygon slider: it needs a \"position\""},
		{R"({"section": "Head", "slider": "Age", "value": -0.5})", "step 1: \"value\" -0.5 is outside the range of slider 'Age' of section 'Head', 0 to 1"},
		{R"({"section": "Body", "slider": "Belly", "value": 1.01})", "step 1: \"value\" 1.01 is outside the range of slider 'Belly' of section 'Body', -1 to 1"},
		{R"({"section": "Body", "slider": "Belly", "value": "0.5"})", "step 1: \"value\" must be a number, found a string"},
		{R"({"section": "Skin", "slider": "Skin Tone", "position": [1.5, 0]})", "step 1: \"position\" [1.5, 0] is outside the slider, which spans -1 to 1 in x and in y"},
		{R"({"section": "Skin", "slider": "Skin Tone", "position": [0.5]})", "step 1: \"position\" must be a list of two numbers [x, y], found [0.5]"},
		{R"({"slider": "Belly", "value": 0.5})", "step 1: a slider step needs a \"section\""},
		{R"({"tick": 0})", "step 1: \"tick\" must be a whole number from 1 to 2147483647, found 0"},
		{R"({"tick": 1.5})", "step 1: \"tick\" must be a whole number from 1 to 2147483647, found 1.5"},
		{R"({"tick": 1, "save": "x.bin"})", "step 1: \"tick\" and \"save\" cannot share a step"},
		{R"({"tick": 1, "times": 2})", "step 1: unknown key \"times\" (a tick step has \"tick\" alone)"},
		{R"({})", "step 1: a step needs one of \"slider\", \"tick\", \"save\", \"load\", \"cullMasks\" or \"cullData\""},
		{R"({"cullMasks": 7})", "step 1: \"cullMasks\" must be an object path or null, found 7"},
		{R"({"cullData": ""})", "step 1: \"cullData\" must be an object path or null, found \"\""},
		{R"({"cullData": ["/Game/Culling/DA_VertexCache_Tights.DA_VertexCache_Tights"]})", "step 1: \"cullData\" must be an object path or null, found a list"},
		{R"({"cullData": null, "cullMasks": null})", "step 1: \"cullMasks\" and \"cullData\" cannot share a step"},
		{R"({"cullMasks": null, "value": 1})", "step 1: unknown key \"value\" (a cullMasks step has \"cullMasks\" alone)"},
		// The content loader makes a data asset of the class asked for from any JSON file: the
		// file of the other culling asset loads without what the step needs.
		{R"({"cullData": "/Game/Culling/DA_CullMasks_Tights.DA_CullMasks_Tights"})",
			"step 1: the vertex cache /Game/Culling/DA_CullMasks_Tights.DA_CullMasks_Tights is built for no mesh, not for the body mesh "
			"/Game/Characters/Human/SK_Body.SK_Body"},
		{R"({"cullMasks": "/Game/Culling/DA_VertexCache_Tights.DA_VertexCache_Tights"})",
			"step 1: the cull masks /Game/Culling/DA_VertexCache_Tights.DA_VertexCache_Tights name no material's mask (a step that shows none takes null)"},
		{R"({"load": ""})", "step 1: \"load\" must name a file, found \"\""},
		{R"(7)", "step 1: expected an object, found a number"},
	};
	for (const auto& [Step, Message] : Cases)
	{
		const FVorpexRun Result = Edit(std::string(R"([{"save": "early.bin"}, )") + Step + "]", {SampleProject});
		ExpectFailure(Result, 1, "vorpex: " + PathOf("Script/steps.json") + ": " + Message + NothingRun);
		EXPECT_FALSE(Exists("Script/early.bin")) << Step;
		EXPECT_FALSE(Exists("Out")) << Step;
	}

	// Culling assets that do not load as the step's class: the loader's warning says why.
	const std::string StepOne = "vorpex: " + PathOf("Script/steps.json") + ": step 1: ";
	const std::pair<std::string, std::string> Unloadable[] = {
		{R"({"cullMasks": "/Game/Culling/DA_Nothing.DA_Nothing"})",
			"LogAssetIO: Warning: Cannot load '/Game/Culling/DA_Nothing.DA_Nothing': no file " + SampleContent +
				"Culling/DA_Nothing.* (known kinds: .png, .json, .glb, .gltf)\n"
				"LogUObjectGlobals: Warning: Failed to find object 'HCAttachmentCullMaskData /Game/Culling/DA_Nothing.DA_Nothing'\n" +
				StepOne + "\"cullMasks\" /Game/Culling/DA_Nothing.DA_Nothing does not load as a HCAttachmentCullMaskData (the warning above says why)"},
		{R"({"cullMasks": "/Game/Characters/Human/SK_Body.SK_Body"})",
			"LogUObjectGlobals: Warning: Object 'SkeletalMesh /Game/Characters/Human/SK_Body.SK_Body' is not a HCAttachmentCullMaskData\n" + StepOne +
				"\"cullMasks\" /Game/Characters/Human/SK_Body.SK_Body does not load as a HCAttachmentCullMaskData (the warning above says why)"},
		{R"({"cullData": "/Game/Culling/T_Body_UnderTights_Mask.T_Body_UnderTights_Mask"})",
			"LogAssetIO: Warning: Cannot load '/Game/Culling/T_Body_UnderTights_Mask.T_Body_UnderTights_Mask': " + SampleContent +
				"Culling/T_Body_UnderTights_Mask.png holds a Texture2D, not a HCAttachmentVertexCacheData\n"
				"LogUObjectGlobals: Warning: Failed to find object 'HCAttachmentVertexCacheData /Game/Culling/T_Body_UnderTights_Mask.T_Body_UnderTights_Mask'\n" +
				StepOne +
				"\"cullData\" /Game/Culling/T_Body_UnderTights_Mask.T_Body_UnderTights_Mask does not load as a HCAttachmentVertexCacheData (the warning above says "
				"why)"},
	};
	for (const auto& [Step, Message] : Unloadable)
	{
		ExpectFailure(Edit(R"([{"save": "early.bin"}, )" + Step + "]", {SampleProject}), 1, Message + NothingRun);
		EXPECT_FALSE(Exists("Script/early.bin")) << Step;
		EXPECT_FALSE(Exists("Out")) << Step;
	}

	// A step 0 that is wrong, and scripts that are no list of steps.
	ExpectFailure(Edit(R"([{"section": "Skin", "slider": "Freckles", "position": [0, 0]}])"), 1,
		"vorpex: " + PathOf("Script/steps.json") +
			": step 0: section 'Skin' has no slider 'Freckles' (its sliders are 'Skin Tone', 'Nail Colour', 'Lip Colour', 'Brow Colour', 'Eye Shadow')" + NothingRun);
	ExpectFailure(Edit(R"({"tick": 1})"), 1, "vorpex: " + PathOf("Script/steps.json") + ": expected a list of steps, found an object" + NothingRun);
	ExpectFailure(Edit("[{\"tick\": 1},"), 1, "vorpex: " + PathOf("Script/steps.json") + ": parse error at line 1, column 14: ");

	// A project that does not open, and a script that is not there.
	ExpectFailure(Edit("[]", {PathOf("Nowhere")}), 1, "vorpex: " + PathOf("Nowhere") + ": no such project folder\n");
	std::filesystem::remove(Root / "Script/steps.json");
	ExpectFailure(Run({"edit", "--script", PathOf("Script/steps.json"), "--out", PathOf("Out")}), 1,
		"vorpex: cannot read " + PathOf("Script/steps.json") + ": no such file" + NothingRun);
	EXPECT_FALSE(Exists("Out"));
}

TEST_F(EditCommandTest, AStateThatCannotBeLoadedOrSavedStopsTheScriptWhereItStands)
{
	const std::string Script = "vorpex: " + PathOf("Script/steps.json") + ": ";
	const std::string NoOutputs = "; the steps before it ran, and nothing was written to " + PathOf("Out") + "\n";

	// The save before the failed load ran; the results were not written.
	ExpectFailure(Edit(R"([{"save": "early.bin"}, {"load": "missing.bin"}])"), 1,
		"LogTemp: Warning: File not found: " + PathOf("Script/missing.bin") + "\n" + Script + "step 1: cannot read the edit state " +
			PathOf("Script/missing.bin") + " (the warning above says why)" + NoOutputs);
	EXPECT_TRUE(Decode(PathOf("Script/early.bin")).is_object());
	EXPECT_FALSE(Exists("Out"));

	WriteText("Script/cut.bin", ReadFile("Script/early.bin").substr(0, 20));
	ExpectFailure(Edit(R"([{"load": "cut.bin"}])"), 1,
		Script + "step 0: " + PathOf("Script/cut.bin") + " is not an edit state of this character (the error above says why)" + NoOutputs);

	// A save into a folder that is a file fails, and the file stays.
	const std::string Early = ReadFile("Script/early.bin");
	ExpectFailure(Edit(R"([{"save": "early.bin/state.bin"}])"), 2,
		Script + "step 0: cannot save the edit state to " + PathOf("Script/early.bin/state.bin") + " (the error above says why)" + NoOutputs);
	EXPECT_EQ(ReadFile("Script/early.bin"), Early);
	EXPECT_FALSE(Exists("Out"));

	// Results that could not be written are refused before anything runs.
	WriteText("Out", "not a folder");
	ExpectFailure(Edit(R"([{"save": "late.bin"}])"), 2, "vorpex: cannot write into " + PathOf("Out") + ": it is a file, not a folder" + NothingRun);
	EXPECT_FALSE(Exists("Script/late.bin"));
}

TEST_F(EditCommandTest, SlidersAScriptCannotTellApartOrThatDriveNoShapeOfTheBodyAreRefusedAndBadEditorDataStopsEditing)
{
	// The sample with an editor configuration of the test's own.
	LinkSampleProject({"Characters", "Culling", "Data", "Textures", "Editor/Textures", "Editor/DA_SkinComposition.json"});
	FJson Config = FJson::parse(ReadAll(SampleContent + "Editor/DA_CharacterEditorConfig.json"));
	Config["segmentations"].push_back({{"displayName", "head"}, {"name", "Extra"},
		{"shapeConstraints", {{{"displayName", "chin"}, {"shapes", {"chin-triangle"}}}, {{"displayName", "Fins"}, {"shapes", {"fins-out"}}}}}});
	const std::string ConfigFile = WriteText("Project/Content/Editor/DA_CharacterEditorConfig.json", Config.dump());
	const std::string Script = "vorpex: " + PathOf("Script/steps.json") + ": ";

	ExpectFailure(Edit(R"([{"section": "Head", "slider": "Chin", "value": 0.5}])", {PathOf("Project")}), 1,
		Script + "step 0: section 'Head' has 2 sliders labelled 'Chin', which a script cannot tell apart" + NothingRun);
	ExpectFailure(Edit(R"([{"section": "Head", "slider": "Fins", "value": 0.5}])", {PathOf("Project")}), 1,
		Script + "step 0: slider 'Fins' of section 'Head' drives the shape 'fins-out', which the body mesh /Game/Characters/Human/SK_Body.SK_Body has no "
				 "morph target for" +
			NothingRun);

	Config["segmentations"].back()["shapeConstraints"].push_back({{"displayName", "Nothing"}, {"shapes", FJson::array()}});
	WriteText("Project/Content/Editor/DA_CharacterEditorConfig.json", Config.dump());
	ExpectFailure(Edit(R"([{"tick": 1}])", {PathOf("Project")}), 1,
		"vorpex: " + ConfigFile + ": segmentations[5].shapeConstraints[2].shapes: shape constraint has no shapes\n" +
			"vorpex: the character cannot be edited with these configuration errors" + NothingRun);
	EXPECT_FALSE(Exists("Out"));
}

TEST_F(EditCommandTest, AVertexCacheOfAnotherMeshOrWithoutAnOpacityPerVertexIsRefused)
{
	// The sample with vertex caches of the test's own, made from the tights' cache of the body.
	const std::string Project = LinkSampleProject({"Characters", "Culling", "Data", "Textures", "Editor"});
	const FJson Cache = FJson::parse(ReadAll(SampleContent + "Culling/DA_VertexCache_Tights.json"));
	const size_t Vertices = Cache["VertexOpacity"].size();
	FJson OfTights = Cache;
	OfTights["TargetSkeletalMesh"] = "/Game/Characters/Human/SK_Tights.SK_Tights";
	WriteText("Project/Content/Caches/DA_OfTights.json", OfTights.dump());
	FJson Short = Cache;
	Short["VertexOpacity"].erase(Vertices - 1);
	WriteText("Project/Content/Caches/DA_Short.json", Short.dump());
	FJson Long = Cache;
	Long["VertexOpacity"].push_back(1.0);
	WriteText("Project/Content/Caches/DA_Long.json", Long.dump());

	const std::string StepOne = "vorpex: " + PathOf("Script/steps.json") + ": step 1: the vertex cache /Game/Caches/";
	const std::string Body = "/Game/Characters/Human/SK_Body.SK_Body";
	const std::pair<std::string, std::string> Cases[] = {
		{"DA_OfTights", "DA_OfTights.DA_OfTights is built for the mesh /Game/Characters/Human/SK_Tights.SK_Tights, not for the body mesh " + Body},
		{"DA_Short", "DA_Short.DA_Short has " + std::to_string(Vertices - 1) + " vertex opacities, but LOD 0 of the body mesh " + Body + " has " +
						 std::to_string(Vertices) + " vertices"},
		{"DA_Long", "DA_Long.DA_Long has " + std::to_string(Vertices + 1) + " vertex opacities, but LOD 0 of the body mesh " + Body + " has " +
						std::to_string(Vertices) + " vertices"},
	};
	for (const auto& [Asset, Message] : Cases)
	{
		const std::string Step = R"({"cullData": "/Game/Caches/)" + Asset + "." + Asset + R"("})";
		ExpectFailure(Edit(R"([{"save": "early.bin"}, )" + Step + "]", {Project}), 1, StepOne + Message + NothingRun);
		EXPECT_FALSE(Exists("Script/early.bin")) << Step;
		EXPECT_FALSE(Exists("Out")) << Step;
	}
}
