// project.json: the sample reads in full; missing folders and files, syntax errors and every
// bad key are refused with one message naming the file, the key and the reason; and object
// paths are checked against the mounted content.

#include "ContentMount.h"
#include "ProjectDescription.h"
#include "TestProject.h"

#include <functional>

namespace
{
	using FJson = nlohmann::json;

	struct FBadProject
	{
		std::function<void(FJson&)> Change;
		/** What follows "<project.json>: " in the error. */
		std::string Error;
	};

	/** Reads the project in Project's folder and gives the error, or "read" when it reads. */
	std::string ReadError(const FTestProject& Project, FProjectDescription& OutDescription)
	{
		FString Error;
		return FProjectDescription::Read(Project.Dir(), OutDescription, Error) ? std::string("read") : Error.ToStdString();
	}
}

TEST(ProjectDescriptionTest, TheSampleReadsInFull)
{
	FProjectDescription Project;
	FString Error;
	ASSERT_TRUE(FProjectDescription::Read(FString(VORPEX_SAMPLE_PROJECT), Project, Error)) << *Error;
	EXPECT_EQ(Project.ProjectDir, FString(VORPEX_SAMPLE_PROJECT));
	EXPECT_EQ(Project.ContentDir, FString(VORPEX_SAMPLE_PROJECT) + TEXT("/Content"));
	EXPECT_EQ(Project.File, FString(VORPEX_SAMPLE_PROJECT) + TEXT("/project.json"));
	EXPECT_EQ(Project.Name, TEXT("Human"));
	EXPECT_EQ(Project.SkinComposition, TEXT("/Game/Editor/DA_SkinComposition.DA_SkinComposition"));
	EXPECT_EQ(Project.Body, TEXT("/Game/Characters/Human/SK_Body.SK_Body"));
	EXPECT_EQ(Project.Animation, TEXT("/Game/Characters/Human/A_ShapeRig.A_ShapeRig"));
	ASSERT_EQ(Project.Attachments.Num(), 2);
	EXPECT_EQ(Project.Attachments[1].Component, TEXT("Skirt"));
	EXPECT_EQ(Project.Attachments[1].Mesh, TEXT("/Game/Characters/Human/SK_Skirt.SK_Skirt"));
	EXPECT_EQ(Project.Attachments[1].CullMasks, TEXT("/Game/Culling/DA_CullMasks_Skirt.DA_CullMasks_Skirt"));
	EXPECT_EQ(Project.Attachments[1].Points, TEXT("Culling/PT_Skirt.bin"));

	const FScopedContentMount Mount(Project.ContentDir);
	EXPECT_TRUE(Project.CheckContent(Error)) << *Error;
}

TEST(ProjectDescriptionTest, OptionalKeysMayBeLeftOut)
{
	FTestProject Folder;
	Folder.LinkSampleContent();
	FJson Json = FTestProject::SampleJson();
	for (const char* Key : {"description", "animation", "attachments"})
	{
		Json.erase(Key);
	}
	Json["attachments"] = FJson::array({{{"component", "Tights"}, {"mesh", "/Game/Characters/Human/SK_Tights"}}});
	Folder.WriteProject(Json);
	FProjectDescription Project;
	ASSERT_EQ(ReadError(Folder, Project), "read");
	EXPECT_EQ(Project.Description, TEXT(""));
	EXPECT_EQ(Project.Animation, TEXT(""));
	ASSERT_EQ(Project.Attachments.Num(), 1);
	EXPECT_EQ(Project.Attachments[0].CullMasks, TEXT(""));
	EXPECT_EQ(Project.Attachments[0].Points, TEXT(""));

	const FScopedContentMount Mount(Project.ContentDir);
	FString Error;
	EXPECT_TRUE(Project.CheckContent(Error)) << *Error;
}

TEST(ProjectDescriptionTest, AFolderWithoutProjectFileOrContentIsNoProject)
{
	FTestProject Folder;
	FProjectDescription Project;
	Project.Name = TEXT("unchanged");
	const std::string Dir = Folder.Root.string();

	FString Error;
	EXPECT_FALSE(FProjectDescription::Read(FString(Dir + "/Nothing"), Project, Error));
	EXPECT_EQ(Error, FString(Dir + "/Nothing: no such project folder"));

	EXPECT_EQ(ReadError(Folder, Project), Dir + ": not a project folder: it has no readable project.json");
	Folder.WriteText("project.json/inside", "a folder named like the file");
	EXPECT_EQ(ReadError(Folder, Project), Dir + ": not a project folder: it has no readable project.json");

	std::filesystem::remove_all(Folder.Root / "project.json");
	Folder.WriteProject(FTestProject::SampleJson());
	EXPECT_EQ(ReadError(Folder, Project), Dir + ": the project has no Content folder");
	EXPECT_EQ(Project.Name, TEXT("unchanged"));
}

TEST(ProjectDescriptionTest, TextThatIsNoJsonObjectNamesTheLineOrTheTopLevel)
{
	FTestProject Folder;
	Folder.LinkSampleContent();
	FProjectDescription Project;
	const std::string File = Folder.File().ToStdString();

	Folder.WriteText("project.json", "{\n  \"name\": \"Human\",\n  catalog: 1\n}\n");
	const std::string Syntax = ReadError(Folder, Project);
	EXPECT_EQ(Syntax.rfind(File + ": parse error at line 3, column 3: syntax error while parsing object key", 0), 0u) << Syntax;

	Folder.WriteText("project.json", "[\"Human\"]");
	EXPECT_EQ(ReadError(Folder, Project), File + ": the top level: expected an object, found a list");
}

TEST(ProjectDescriptionTest, EveryBadKeyIsNamed)
{
	const std::string TopKeys = "name, description, catalog, descriptor, editorConfig, skinComposition, body, animation, attachments";
	std::vector<FBadProject> Cases = {
		{[](FJson& J) { J["name"] = 3; }, "name: expected a string, found a number"},
		{[](FJson& J) { J["name"] = ""; }, "name: required, but empty"},
		{[](FJson& J) { J["description"] = true; }, "description: expected a string, found true or false"},
		{[](FJson& J) { J["catalog"] = "Data/DA_AssetCatalog"; }, "catalog: 'Data/DA_AssetCatalog' is not an object path under /Game/"},
		{[](FJson& J) { J["descriptor"] = FJson::array(); }, "descriptor: expected a string, found a list"},
		{[](FJson& J) { J["animation"] = nullptr; }, "animation: expected a string, found null"},
		{[](FJson& J) { J["body"] = "/game/Characters/Human/SK_Body"; }, "body: '/game/Characters/Human/SK_Body' is not an object path under /Game/"},
		{[](FJson& J) { J["Catalog"] = J["catalog"]; }, "Catalog: unknown key (the keys here are " + TopKeys + ")"},
		{[](FJson& J) { J["attachments"] = FJson::object(); }, "attachments: expected a list, found an object"},
		{[](FJson& J) { J["attachments"][1] = "Skirt"; }, "attachments[1]: expected an object, found a string"},
		{[](FJson& J) { J["attachments"][1]["colour"] = 1; },
			"attachments[1].colour: unknown key (the keys here are component, mesh, cullMasks, vertexCache, points)"},
		{[](FJson& J) { J["attachments"][1].erase("component"); }, "attachments[1].component: required, but missing"},
		{[](FJson& J) { J["attachments"][1]["component"] = ""; }, "attachments[1].component: required, but empty"},
		{[](FJson& J) { J["attachments"][1]["component"] = "tights"; }, "attachments[1].component: 'tights' is taken by attachments[0]"},
		{[](FJson& J) { J["attachments"][0]["component"] = "BODY"; }, "attachments[0].component: 'BODY' is the body's component name"},
		{[](FJson& J) { J["attachments"][0]["component"] = "Left.Sock"; },
			"attachments[0].component: 'Left.Sock' holds '.', which component names cannot hold"},
		{[](FJson& J) { J["attachments"][1].erase("mesh"); }, "attachments[1].mesh: required, but missing"},
		{[](FJson& J) { J["attachments"][1]["cullMasks"] = "Culling/DA_CullMasks_Skirt"; },
			"attachments[1].cullMasks: 'Culling/DA_CullMasks_Skirt' is not an object path under /Game/"},
		{[](FJson& J) { J["attachments"][0]["points"] = 5; }, "attachments[0].points: expected a string, found a number"},
		{[](FJson& J) { J["attachments"][0]["points"] = "../project.json"; },
			"attachments[0].points: '../project.json' is not a path inside the content folder, relative to it"},
		{[](FJson& J) { J["attachments"][0]["points"] = "/etc/hostname"; },
			"attachments[0].points: '/etc/hostname' is not a path inside the content folder, relative to it"},
	};
	for (const char* Key : {"name", "catalog", "descriptor", "editorConfig", "skinComposition", "body"})
	{
		Cases.push_back({[Key](FJson& J) { J.erase(Key); }, std::string(Key) + ": required, but missing"});
	}

	FTestProject Folder;
	Folder.LinkSampleContent();
	const std::string File = Folder.File().ToStdString();
	for (const FBadProject& Case : Cases)
	{
		FJson Json = FTestProject::SampleJson();
		Case.Change(Json);
		Folder.WriteProject(Json);
		FProjectDescription Project;
		EXPECT_EQ(ReadError(Folder, Project), File + ": " + Case.Error);
	}

	FJson Json = FTestProject::SampleJson();
	Json["attachments"][0]["points"] = "Culling/PT_Nothing.bin";
	Folder.WriteProject(Json);
	FProjectDescription Project;
	EXPECT_EQ(ReadError(Folder, Project), File + ": attachments[0].points: no such file " + Folder.Root.string() + "/Content/Culling/PT_Nothing.bin");
}

TEST(ProjectDescriptionTest, ObjectPathsMustNameAFileOfTheirKindInTheMountedContent)
{
	FTestProject Folder;
	Folder.LinkSampleContent();
	const std::string File = Folder.File().ToStdString();
	const std::string Content = Folder.Root.string() + "/Content";
	const std::vector<FBadProject> Cases = {
		{[](FJson& J) { J["catalog"] = "/Game/Data/DA_Nothing"; }, "catalog: '/Game/Data/DA_Nothing' names no file (no " + Content + "/Data/DA_Nothing.json)"},
		// A data file is no mesh, however it is named.
		{[](FJson& J) { J["body"] = "/Game/Data/DA_AssetCatalog.DA_AssetCatalog"; },
			"body: '/Game/Data/DA_AssetCatalog.DA_AssetCatalog' names no file (no " + Content + "/Data/DA_AssetCatalog.glb or " + Content +
				"/Data/DA_AssetCatalog.gltf)"},
		{[](FJson& J) { J["animation"] = "/Game/Characters/Human/A_Walk"; },
			"animation: '/Game/Characters/Human/A_Walk' names no file (no " + Content + "/Characters/Human/A_Walk.glb or " + Content +
				"/Characters/Human/A_Walk.gltf)"},
		{[](FJson& J) { J["editorConfig"] = "/Game/Editor/DA_CharacterEditorConfig.Other"; },
			"editorConfig: '/Game/Editor/DA_CharacterEditorConfig.Other' names an asset other than DA_CharacterEditorConfig, the only one its package holds"},
		{[](FJson& J) { J["attachments"][1]["mesh"] = "/Game/Characters/Human/SK_Dress"; },
			"attachments[1].mesh: '/Game/Characters/Human/SK_Dress' names no file (no " + Content + "/Characters/Human/SK_Dress.glb or " + Content +
				"/Characters/Human/SK_Dress.gltf)"},
		{[](FJson& J) { J["attachments"][0]["cullMasks"] = "/Game/Culling/DA_CullMasks_Nothing"; },
			"attachments[0].cullMasks: '/Game/Culling/DA_CullMasks_Nothing' names no file (no " + Content + "/Culling/DA_CullMasks_Nothing.json)"},
		{[](FJson& J) { J["attachments"][1]["vertexCache"] = "/Game/Culling/DA_VertexCache_Nothing"; },
			"attachments[1].vertexCache: '/Game/Culling/DA_VertexCache_Nothing' names no file (no " + Content + "/Culling/DA_VertexCache_Nothing.json)"},
	};
	for (const FBadProject& Case : Cases)
	{
		FJson Json = FTestProject::SampleJson();
		Case.Change(Json);
		Folder.WriteProject(Json);
		FProjectDescription Project;
		ASSERT_EQ(ReadError(Folder, Project), "read") << Case.Error;
		const FScopedContentMount Mount(Project.ContentDir);
		FString Error;
		EXPECT_FALSE(Project.CheckContent(Error));
		EXPECT_EQ(Error.ToStdString(), File + ": " + Case.Error);
	}

	// What makes no package name is refused with the package rules' reason.
	FJson Json = FTestProject::SampleJson();
	Json["descriptor"] = "/Game/Data/DA Character Descriptor";
	Folder.WriteProject(Json);
	FProjectDescription Project;
	ASSERT_EQ(ReadError(Folder, Project), "read");
	const FScopedContentMount Mount(Project.ContentDir);
	FString Error;
	EXPECT_FALSE(Project.CheckContent(Error));
	EXPECT_EQ(Error.ToStdString().rfind(File + ": descriptor: '/Game/Data/DA Character Descriptor' is not a valid object path: ", 0), 0u) << *Error;
}
