// The studio over real HTTP on loopback, on the sample: what the page asks for, what it is
// refused, and that the server keeps serving whatever it is sent.

#include "GltfValidation.h"
#include "StudioTestServer.h"
#include "UObject/UObjectGlobals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace
{
	class StudioServerTest : public ::testing::Test
	{
	protected:
		static void SetUpTestSuite() { Studio = new FStudioTestServer(); }
		static void TearDownTestSuite()
		{
			delete Studio;
			Studio = nullptr;
		}

		void SetUp() override { ASSERT_TRUE(Studio->Server) << "the studio did not start"; }

		static FStudioTestServer* Studio;
	};

	FStudioTestServer* StudioServerTest::Studio = nullptr;

	/** The first widget of the tree of the given kind, or null. */
	nlohmann::json FindKind(const nlohmann::json& Tree, const std::string& Kind, int32 Skip = 0)
	{
		std::vector<nlohmann::json> Widgets;
		Flatten(Tree, Widgets);
		for (const nlohmann::json& Widget : Widgets)
		{
			if (Widget.value("kind", "") == Kind && Skip-- == 0)
			{
				return Widget;
			}
		}
		return nullptr;
	}

	/** The error message of a refused request, checking its status. */
	std::string Refusal(const httplib::Result& Result, int32 Status)
	{
		if (!Result)
		{
			ADD_FAILURE() << "no answer";
			return {};
		}
		EXPECT_EQ(Result->status, Status) << Result->body;
		const nlohmann::json Body = nlohmann::json::parse(Result->body, nullptr, false);
		return Body.is_object() ? Body.value("error", "") : "not JSON: " + Result->body;
	}
}

TEST_F(StudioServerTest, ListsTheCharactersAndServesThePage)
{
	const nlohmann::json Characters = Studio->Json(Studio->Get("/api/characters"));
	ASSERT_EQ(Characters["characters"].size(), 6u);
	EXPECT_EQ(Characters["characters"][0]["name"], "Ava");
	EXPECT_EQ(Characters["characters"][0]["garments"], nlohmann::json::array({"Tights", "Skirt"}));
	EXPECT_EQ(Characters["characters"][1]["garments"], nlohmann::json::array({"Tights"}));

	const httplib::Result Page = Studio->Get("/");
	ASSERT_TRUE(Page);
	EXPECT_EQ(Page->status, 200);
	EXPECT_NE(Page->get_header_value("Content-Type").find("text/html"), std::string::npos);
	const httplib::Result Three = Studio->Get("/vendor/three/build/three.module.js");
	ASSERT_TRUE(Three);
	EXPECT_EQ(Three->status, 200);
	// Nothing outside the page's folder is reachable, however the path is written.
	for (const std::string Path : {"/../CMakeLists.txt", "/%2e%2e/CMakeLists.txt", "/vendor/three/../../../../CMakeLists.txt"})
	{
		const httplib::Result Outside = Studio->Get(Path);
		ASSERT_TRUE(Outside) << Path;
		EXPECT_GE(Outside->status, 400) << Path;
	}
	EXPECT_EQ(Refusal(Studio->Get("/api/nothing"), 404), "there is nothing at /api/nothing");
}

TEST_F(StudioServerTest, RefusesOtherSitesAndBadRequests)
{
	const auto WithHeaders = [&](const httplib::Headers& Headers)
	{ return Studio->Send([&](httplib::Client& Client) { return Client.Get("/api/characters", Headers); }); };
	EXPECT_EQ(Refusal(WithHeaders({{"Origin", "http://evil.example"}}), 403), "requests from pages of http://evil.example are refused");
	const std::string Port = std::to_string(Studio->Server->GetPort());
	EXPECT_EQ(Refusal(WithHeaders({{"Origin", "http://127.0.0.1:1" + Port}}), 403), "requests from pages of http://127.0.0.1:1" + Port + " are refused");
	EXPECT_EQ(Refusal(WithHeaders({{"Host", "rebound.example:" + Port}}), 403),
		"requests must be addressed to 127.0.0.1:" + Port + ", not to 'rebound.example:" + Port + "'");
	const httplib::Result Own = WithHeaders({{"Origin", "http://localhost:" + Port}, {"Host", "localhost:" + Port}});
	ASSERT_TRUE(Own);
	EXPECT_EQ(Own->status, 200);

	EXPECT_EQ(Refusal(Studio->Post("/api/edit", "{not json"), 400), "the request body is not a JSON object");
	EXPECT_EQ(Refusal(Studio->Post("/api/edit", "[0, 0]"), 400), "the request body is not a JSON object");
	EXPECT_EQ(Refusal(Studio->Post("/api/edit", R"({"groupIndex": 0.5, "characterIndex": 0})"), 400),
		"a character is chosen by \"groupIndex\" and \"characterIndex\", whole numbers");
	EXPECT_EQ(Refusal(Studio->Post("/api/edit", R"({"groupIndex": 3, "characterIndex": 0})"), 404), "the project has no character 0 in group 3");
	EXPECT_EQ(Refusal(Studio->Post("/api/edit", std::string(70 * 1024, ' ')), 413), "request bodies are at most 65536 bytes");
	EXPECT_EQ(Refusal(Studio->Get("/api/state?after=soon"), 400), "after is a state version, a whole number");
	EXPECT_EQ(Refusal(Studio->Get("/api/compose.glb?groupIndex=0&characterIndex=x"), 400),
		"a character is chosen by groupIndex and characterIndex, whole numbers");
	EXPECT_EQ(Refusal(Studio->Get("/api/texture?path=/Engine/Transient.Nothing"), 404),
		"no texture of the project is loaded as '/Engine/Transient.Nothing'");
}

TEST_F(StudioServerTest, RemoteCallsReachOnlyBlueprintCallableFunctionsOfTheEditedWorld)
{
	const nlohmann::json Edit = Studio->EditFirstCharacter();
	ASSERT_FALSE(Edit.is_null());
	const nlohmann::json Tree = Studio->Json(Studio->Get("/api/editor"));
	const nlohmann::json Polygon = FindKind(Tree, "polygon");
	ASSERT_FALSE(Polygon.is_null());
	const std::string Path = Polygon["path"];
	const auto Call = [&](const std::string& Body) { return Studio->Post("/api/call", Body); };

	// A pure function answers through its return value.
	const nlohmann::json Adjusted = Studio->Json(Call(CallBody(Path, "AdjustValue", {{"v", {{"x", 0.25}, {"y", -0.5}}}})));
	EXPECT_EQ(Adjusted["results"]["ReturnValue"], (nlohmann::json{{"X", 0.25}, {"Y", -0.5}}));

	EXPECT_EQ(Refusal(Call(R"({"function": "OnChanged"})"), 400), "a call names its \"object\" (an object path) and its \"function\", both strings");
	EXPECT_EQ(Refusal(Call(R"({"object": ")" + Path + R"(", "function": "OnChanged", "arguments": [1]})"), 400),
		"a call's \"arguments\" is an object of parameter names and values");
	EXPECT_EQ(Refusal(Call(CallBody("/Engine/Transient.NoSuchWidget", "OnChanged", nlohmann::json::object())), 404),
		"there is no object /Engine/Transient.NoSuchWidget");
	const std::string Config = "/Game/Editor/DA_CharacterEditorConfig.DA_CharacterEditorConfig";
	EXPECT_EQ(Refusal(Call(CallBody(Config, "OnChanged", nlohmann::json::object())), 403), Config + " is not part of the edited world");
	EXPECT_EQ(Refusal(Call(CallBody(Path, "Explode", nlohmann::json::object())), 404), "HCCharacterEditorPolygonSlider has no function named Explode");
	EXPECT_EQ(Refusal(Call(CallBody(Path, "SetPickerPosition", {{"x", 1}, {"y", 2}})), 403),
		"HCCharacterEditorPolygonSlider.SetPickerPosition is not BlueprintCallable");
	EXPECT_EQ(Refusal(Call(CallBody(Path, "OnChanged", {{"v", "middle"}})), 400), "Unable to convert 'v': expected an object, found the string \"middle\"");
	EXPECT_EQ(Refusal(Call(CallBody(Path, "OnChanged", {{"w", 1}})), 400), "OnChanged has no parameter named 'w'");

	// A failed check inside the call is a 500 with its text, and the server goes on serving.
	const std::string Failed = Refusal(Call(CallBody(Edit["body"], "BeginEditing", nlohmann::json::object())), 500);
	EXPECT_NE(Failed.find("BeginEditing failed"), std::string::npos) << Failed;
	EXPECT_NE(Failed.find("ESMCS_Initial"), std::string::npos) << Failed;
	EXPECT_EQ(Studio->Json(Studio->Get("/api/characters"))["characters"].size(), 6u);
}

TEST_F(StudioServerTest, SliderMovesShowInTheLiveStateAndTheEditor)
{
	ASSERT_FALSE(Studio->EditFirstCharacter().is_null());
	const nlohmann::json Tree = Studio->Json(Studio->Get("/api/editor"));
	const nlohmann::json Slider = FindKind(Tree, "oneShape");
	ASSERT_FALSE(Slider.is_null());
	const std::string Shape = Slider["bound"]["shapes"][0];
	ASSERT_TRUE(Studio->Json(Studio->Post("/api/call", CallBody(Slider["path"], "OnChanged", {{"v", 0.625}}))).is_object());

	const nlohmann::json State = Studio->WaitForState([&](const nlohmann::json& Live) { return Live["morphWeights"].value(Shape, 0.0) == 0.625; });
	EXPECT_EQ(State["morphWeights"][Shape], 0.625);
	const nlohmann::json After = Studio->Json(Studio->Get("/api/editor"));
	EXPECT_EQ(FindKind(After, "oneShape")["value"], 0.625);

	// A colour pick is GPU work: the state is busy, then the albedo's version goes up and its texels change.
	const nlohmann::json Before = Studio->WaitForState([](const nlohmann::json& Live) { return !Live["busy"].get<bool>(); });
	ASSERT_FALSE(Before["albedos"].empty());
	const int64 OldVersion = Before["albedos"][0]["version"];
	const httplib::Result OldTexels = Studio->Get("/api/albedo/0");
	ASSERT_TRUE(OldTexels);
	ASSERT_EQ(OldTexels->status, 200);
	const nlohmann::json Picker = FindKind(Tree, "colourPicker");
	ASSERT_FALSE(Picker.is_null());
	ASSERT_TRUE(Studio->Json(Studio->Post("/api/call", CallBody(Picker["path"], "OnChanged", {{"v", {{"x", 0.9}, {"y", 0.9}}}}))).is_object());
	const nlohmann::json Changed =
		Studio->WaitForState([&](const nlohmann::json& Live) { return !Live["busy"].get<bool>() && Live["albedos"][0]["version"] > OldVersion; });
	EXPECT_GT(Changed["albedos"][0]["version"], OldVersion);
	const httplib::Result NewTexels = Studio->Get("/api/albedo/0");
	ASSERT_TRUE(NewTexels);
	EXPECT_EQ(NewTexels->get_header_value("X-Version"), std::to_string(Changed["albedos"][0]["version"].get<int64>()));
	const int32 Width = std::stoi(NewTexels->get_header_value("X-Width"));
	const int32 Height = std::stoi(NewTexels->get_header_value("X-Height"));
	EXPECT_LE(std::max(Width, Height), 1024);
	EXPECT_EQ(NewTexels->body.size(), size_t(Width) * Height * 4);
	EXPECT_NE(NewTexels->body, OldTexels->body);
	EXPECT_EQ(FindKind(Studio->Json(Studio->Get("/api/editor")), "colourPicker")["position"], nlohmann::json::array({0.9, 0.9}));
	EXPECT_EQ(Refusal(Studio->Get("/api/albedo/99"), 404), "there is no albedo 99 to show yet");
}

TEST_F(StudioServerTest, EditStatesSaveAndLoadInTheProjectsSavedFolderOnly)
{
	ASSERT_FALSE(Studio->EditFirstCharacter().is_null());
	const nlohmann::json Slider = FindKind(Studio->Json(Studio->Get("/api/editor")), "twoShapes");
	ASSERT_FALSE(Slider.is_null());
	const std::string Second = Slider["bound"]["shapes"][1];
	const auto Move = [&](double Value)
	{ return Studio->Json(Studio->Post("/api/call", CallBody(Slider["path"], "OnChanged", {{"v", Value}}))).is_object(); };
	ASSERT_TRUE(Move(0.5));
	EXPECT_EQ(Studio->Json(Studio->Post("/api/save", R"({"name": "Half way"})"))["saved"], "Half way");
	EXPECT_TRUE(std::filesystem::exists(Studio->Project.Root / "Saved" / "Half way.bin"));
	EXPECT_EQ(Studio->Json(Studio->Get("/api/states"))["states"], nlohmann::json::array({"Half way"}));

	ASSERT_TRUE(Move(-0.75));
	EXPECT_EQ(Studio->Json(Studio->Post("/api/load", R"({"name": "Half way"})"))["loaded"], "Half way");
	const nlohmann::json State = Studio->WaitForState([&](const nlohmann::json& Live) { return Live["morphWeights"].value(Second, 0.0) == 0.5; });
	EXPECT_EQ(State["morphWeights"][Second], 0.5);
	EXPECT_EQ(FindKind(Studio->Json(Studio->Get("/api/editor")), "twoShapes")["value"], 0.5);

	for (const std::string& Name : std::vector<std::string>{"", "../escape", "a/b", ".hidden", std::string(65, 'x'), "tab\there"})
	{
		const httplib::Result Saved = Studio->Post("/api/save", nlohmann::json{{"name", Name}}.dump());
		ASSERT_TRUE(Saved) << Name;
		EXPECT_EQ(Saved->status, 400) << Name;
	}
	EXPECT_EQ(Refusal(Studio->Post("/api/save", R"({"name": 7})"), 400), "a state is named by \"name\", a string");
	EXPECT_FALSE(std::filesystem::exists(Studio->Project.Root / "escape.bin"));
	EXPECT_EQ(Refusal(Studio->Post("/api/load", R"({"name": "Never saved"})"), 404), "there is no saved state Never saved");

	// A damaged file is refused and leaves the character as it was.
	ASSERT_TRUE(Move(0.25));
	std::ofstream(Studio->Project.Root / "Saved" / "Damaged.bin", std::ios::binary) << "HCSTATE?";
	const std::string Damaged = Refusal(Studio->Post("/api/load", R"({"name": "Damaged"})"), 422);
	EXPECT_NE(Damaged.find("Damaged.bin cannot be loaded"), std::string::npos) << Damaged;
	const nlohmann::json Kept = Studio->WaitForState([&](const nlohmann::json& Live) { return Live["morphWeights"].value(Second, 0.0) == 0.25; });
	EXPECT_EQ(Kept["morphWeights"][Second], 0.25);
}

TEST_F(StudioServerTest, ExportsTheEditedCharacterAndComposesOthersAsValidGltf)
{
	ASSERT_FALSE(Studio->EditFirstCharacter().is_null());
	const httplib::Result Edited = Studio->Get("/api/character.glb");
	ASSERT_TRUE(Edited);
	ASSERT_EQ(Edited->status, 200);
	EXPECT_EQ(Edited->get_header_value("Content-Disposition"), "attachment; filename=\"Ava.glb\"");
	const httplib::Result Composed = Studio->Get("/api/compose.glb?groupIndex=0&characterIndex=1");
	ASSERT_TRUE(Composed);
	ASSERT_EQ(Composed->status, 200);
	for (const httplib::Result* Glb : {&Edited, &Composed})
	{
		const std::filesystem::path File = Studio->Project.Root / "check.glb";
		std::ofstream(File, std::ios::binary) << (*Glb)->body;
		const nlohmann::json Report = GltfValidation::Validate(File.string());
		EXPECT_EQ(Report.value("errors", -1), 0) << Report.dump();
	}
	// Composing for viewing leaves the world as it was: the edited character goes on.
	EXPECT_EQ(Studio->Json(Studio->Get("/api/characters"))["editing"]["name"], "Ava");
	const nlohmann::json Picker = FindKind(Studio->Json(Studio->Get("/api/editor")), "colourPicker");
	const httplib::Result Palette = Studio->Get("/api/texture?path=" + Picker["pickerImage"].get<std::string>());
	ASSERT_TRUE(Palette);
	EXPECT_EQ(Palette->status, 200);
	EXPECT_EQ(Palette->body.substr(1, 3), "PNG");
}

TEST_F(StudioServerTest, ConcurrentClientsEachSeeTheirOwnLastMove)
{
	ASSERT_FALSE(Studio->EditFirstCharacter().is_null());
	// Four sliders, each moved from 0 to 1 by a client of its own: at 1 a slider of one shape or
	// of two drives its last shape fully.
	const std::vector<nlohmann::json> Sliders = ShapeSliders(Studio->Json(Studio->Get("/api/editor")), 4);
	ASSERT_EQ(Sliders.size(), 4u);
	const auto Driven = [](const nlohmann::json& Slider) { return Slider["bound"]["shapes"].back().get<std::string>(); };
	std::atomic<int32> Failures{0};
	Studio->Send(
		[&](httplib::Client& Waiter)
		{
			std::vector<std::thread> Clients;
			for (const nlohmann::json& Slider : Sliders)
			{
				Clients.emplace_back(
					[&, Path = Slider["path"].get<std::string>()]
					{
						httplib::Client Client("127.0.0.1", Studio->Server->GetPort());
						for (int32 Move = 1; Move <= 25; ++Move)
						{
							const httplib::Result Answer = Client.Post("/api/call", CallBody(Path, "OnChanged", {{"v", Move / 25.0}}), "application/json");
							Failures += !Answer || Answer->status != 200;
						}
					});
			}
			for (std::thread& Client : Clients)
			{
				Client.join();
			}
			return Waiter.Get("/api/characters");
		});
	EXPECT_EQ(Failures, 0);
	const nlohmann::json State = Studio->WaitForState(
		[&](const nlohmann::json& Live)
		{
			for (const nlohmann::json& Slider : Sliders)
			{
				if (Live["morphWeights"].value(Driven(Slider), 0.0) != 1.0)
				{
					return false;
				}
			}
			return true;
		});
	for (const nlohmann::json& Slider : Sliders)
	{
		EXPECT_EQ(State["morphWeights"][Driven(Slider)], 1.0) << Slider["path"];
	}
}

TEST_F(StudioServerTest, RepeatedEditingSessionsLeaveNoObjectsBehind)
{
	// Two characters edited in turn: once each has been edited and its assets are loaded, every
	// later session of it holds as many objects as the one before, with garbage collected between.
	std::vector<int32> LiveObjects;
	for (int32 Session = 0; Session < 6; ++Session)
	{
		const nlohmann::json Edit = Studio->Json(Studio->Post("/api/edit", nlohmann::json{{"groupIndex", 0}, {"characterIndex", Session % 2}}.dump()));
		ASSERT_FALSE(Edit.is_null());
		Studio->WaitForState([&](const nlohmann::json& Live) { return Live["session"] == Edit["session"] && !Live["busy"].get<bool>(); });
		CollectGarbage();
		LiveObjects.push_back(GetNumLiveObjects());
	}
	EXPECT_EQ(LiveObjects[2], LiveObjects[4]) << "objects left behind by editing the first character again";
	EXPECT_EQ(LiveObjects[3], LiveObjects[5]) << "objects left behind by editing the second character again";
}

TEST_F(StudioServerTest, EditorNeedsACharacterBeingEdited)
{
	// Its own server, so that no other test has begun editing.
	delete Studio;
	Studio = new FStudioTestServer();
	ASSERT_TRUE(Studio->Server);
	EXPECT_EQ(Refusal(Studio->Get("/api/editor"), 409), "no character is being edited; choose one first");
	EXPECT_EQ(Refusal(Studio->Post("/api/save", R"({"name": "x"})"), 409), "no character is being edited; choose one first");
	EXPECT_EQ(Refusal(Studio->Get("/api/character.glb"), 409), "no character is being edited; choose one first");
	EXPECT_TRUE(Studio->Json(Studio->Get("/api/characters"))["editing"].is_null());
	EXPECT_EQ(Studio->StateAfter(-1)["session"], 0);
}
