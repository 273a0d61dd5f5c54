// `vorpex cull build`: on the sample project it builds the committed vertex caches byte for byte,
// the file it writes loads back through the content loader (inside Content and outside it), a
// points file culls exactly the body vertices at its points and the printed count is the file's,
// and each failure exits 1 with the file and the reason while the output stays as it was.

#include "VorpexCliTestFolder.h"

#include "AssetLoader.h"
#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "Misc/PackageName.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "RenderingThread.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace
{
	const std::string SampleProject = VORPEX_SAMPLE_PROJECT;
	const std::string SampleContent = SampleProject + "/Content";
	const std::string BodyMesh = "/Game/Characters/Human/SK_Body.SK_Body";
	const std::string TightsPoints = "Culling/PT_Tights.bin";
	const std::string TightsCache = SampleContent + "/Culling/DA_VertexCache_Tights.json";
	/** Where the tests mount their own output folder, beside the sample's content at /Game/. */
	const FString BuiltRoot = TEXT("/Built/");

	std::string ReadBytes(const std::filesystem::path& Path)
	{
		std::ifstream Stream(Path, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>());
	}

	std::vector<float> OpacitiesOf(const std::string& CacheJson)
	{
		return nlohmann::json::parse(CacheJson)["VertexOpacity"].get<std::vector<float>>();
	}

	/** The vertices an opacity list hides. */
	std::set<int> CulledIn(const std::vector<float>& Opacities)
	{
		std::set<int> Culled;
		for (size_t Vertex = 0; Vertex < Opacities.size(); ++Vertex)
		{
			if (Opacities[Vertex] == 0.0f)
			{
				Culled.insert(int(Vertex));
			}
		}
		return Culled;
	}

	/** The line the command prints on success. */
	std::string Summary(size_t Culled, size_t Vertices, const std::string& Out)
	{
		return "culled " + std::to_string(Culled) + " of " + std::to_string(Vertices) + " vertices of " + BodyMesh + "; wrote " + Out + "\n";
	}

	/** The files and folders directly inside Folder, but for the captured output of the program. */
	std::set<std::string> EntriesOf(const std::filesystem::path& Folder)
	{
		std::set<std::string> Entries;
		for (const auto& Entry : std::filesystem::directory_iterator(Folder))
		{
			Entries.insert(Entry.path().filename().string());
		}
		Entries.erase("stdout.txt");
		Entries.erase("stderr.txt");
		return Entries;
	}

	class CullCommandTest : public VorpexCliTestFolder
	{
	protected:
		static void SetUpTestSuite()
		{
			FAssetLoader::Install();
			FPackageName::RegisterMountPoint(TEXT("/Game/"), FString(SampleContent.c_str()));
		}

		static void TearDownTestSuite() { FPackageName::UnRegisterMountPoint(TEXT("/Game/"), FString(SampleContent.c_str())); }

		// The body's import queues GPU uploads; they finish before the test's folder goes.
		void TearDown() override
		{
			FlushRenderingCommands();
			VorpexCliTestFolder::TearDown();
		}

		/** The body mesh as the content loader gives it to the tests. */
		static USkeletalMesh* LoadBody()
		{
			USkeletalMesh* Body = LoadObject<USkeletalMesh>(nullptr, BodyMesh.c_str());
			EXPECT_NE(Body, nullptr);
			return Body;
		}

		/**
		 * Runs vorpex with Arguments, which must exit 1 with nothing on standard output, and
		 * checks that the test's folder holds what it held before: no output, no temporary file.
		 */
		FVorpexRun ExpectFailure(std::initializer_list<std::string> Arguments) const
		{
			const std::set<std::string> Before = EntriesOf(Root);
			const FVorpexRun Result = Run(Arguments);
			EXPECT_EQ(Result.ExitCode, 1) << Result.Err;
			EXPECT_EQ(Result.Out, "");
			EXPECT_EQ(EntriesOf(Root), Before);
			return Result;
		}
	};

	TEST_F(CullCommandTest, EveryCommittedVertexCacheOfTheBundledSampleIsBuiltAgainByteForByte)
	{
		for (const std::string Garment : {"Tights", "Skirt"})
		{
			SCOPED_TRACE(Garment);
			const std::string Out = PathOf("DA_" + Garment + ".json");
			const FVorpexRun Result = Run({"cull", "build", "--mesh", BodyMesh, "--points", "Culling/PT_" + Garment + ".bin", "--out", Out});
			ASSERT_EQ(Result.ExitCode, 0) << Result.Err;
			const std::string Committed = ReadBytes(SampleContent + "/Culling/DA_VertexCache_" + Garment + ".json");
			EXPECT_EQ(ReadFile("DA_" + Garment + ".json"), Committed);
			const std::vector<float> Opacities = OpacitiesOf(Committed);
			EXPECT_EQ(Result.Out, Summary(CulledIn(Opacities).size(), Opacities.size(), Out));
		}
	}

	TEST_F(CullCommandTest, APointsFileGivenInFullInsideContentIsNamedRelativeToContent)
	{
		const FVorpexRun Result =
			Run({"cull", "build", "--mesh", BodyMesh, "--points", SampleContent + "/" + TightsPoints, "--out", PathOf("DA_Tights.json"), SampleProject});
		ASSERT_EQ(Result.ExitCode, 0) << Result.Err;
		EXPECT_EQ(ReadFile("DA_Tights.json"), ReadBytes(TightsCache));
	}

	TEST_F(CullCommandTest, ACacheWrittenIntoAProjectsContentLoadsBackAsItsDataAsset)
	{
		// A copy of the sample at another place: its caches name the points file the same way.
		const std::filesystem::path Project = Root / "Human";
		std::filesystem::copy(SampleProject, Project, std::filesystem::copy_options::recursive);
		const std::string Out = (Project / "Content/Culling/DA_Built.json").string();
		const FVorpexRun Result = Run({"cull", "build", "--mesh", BodyMesh, "--points", TightsPoints, "--out", Out, Project.string()});
		ASSERT_EQ(Result.ExitCode, 0) << Result.Err;
		EXPECT_EQ(ReadBytes(Out), ReadBytes(TightsCache));

		const FString CopiedContent((Project / "Content").c_str());
		FPackageName::RegisterMountPoint(TEXT("/Game/"), CopiedContent);
		const TStrongObjectPtr<UHCAttachmentVertexCacheData> Cache(LoadObject<UHCAttachmentVertexCacheData>(nullptr, TEXT("/Game/Culling/DA_Built.DA_Built")));
		FPackageName::RegisterMountPoint(TEXT("/Game/"), FString(SampleContent.c_str()));
		ASSERT_TRUE(Cache.IsValid());
		EXPECT_EQ(Cache->TargetSkeletalMesh.Get(), LoadBody());
		EXPECT_EQ(Cache->BinFileDirectory, FString(TightsPoints.c_str()));
		const std::vector<float> Opacities(Cache->VertexOpacity.begin(), Cache->VertexOpacity.end());
		EXPECT_EQ(Result.Out, Summary(CulledIn(Opacities).size(), Opacities.size(), Out));
	}

	TEST_F(CullCommandTest, APointsFileOutsideContentCullsExactlyTheBodyVerticesAtItsPoint)
	{
		// The tights' first point, and two bytes of a float that is not whole, which are ignored.
		const std::string Point = ReadBytes(SampleContent + "/" + TightsPoints).substr(0, 12);
		const std::string Points = WriteText("points/one.bin", Point + std::string("\x12\x34", 2));
		const std::string Out = PathOf("DA_One.json");
		const FVorpexRun Result = Run({"cull", "build", "--mesh", BodyMesh, "--points", Points, "--out", Out});
		ASSERT_EQ(Result.ExitCode, 0) << Result.Err;

		// Read through the content loader from a folder of its own; the body still comes from /Game/.
		FPackageName::RegisterMountPoint(BuiltRoot, FString(Root.c_str()));
		const TStrongObjectPtr<UHCAttachmentVertexCacheData> Cache(LoadObject<UHCAttachmentVertexCacheData>(nullptr, TEXT("/Built/DA_One.DA_One")));
		FPackageName::UnRegisterMountPoint(BuiltRoot, FString(Root.c_str()));
		ASSERT_TRUE(Cache.IsValid());
		USkeletalMesh* Body = LoadBody();
		EXPECT_EQ(Cache->TargetSkeletalMesh.Get(), Body);
		EXPECT_EQ(Cache->BinFileDirectory, FString(Points.c_str()));

		// The file's (x, y, z) lies at (100 x, -100 z, 100 y) in the engine: the vertices there, seam duplicates too.
		float Xyz[3];
		std::memcpy(Xyz, Point.data(), sizeof(Xyz));
		const FVector3f Engine(100.0f * Xyz[0], -100.0f * Xyz[2], 100.0f * Xyz[1]);
		const FPositionVertexBuffer& Positions = Body->GetResourceForRendering()->LODRenderData[0].StaticVertexBuffers.PositionVertexBuffer;
		std::set<int> AtPoint;
		for (uint32 Vertex = 0; Vertex < Positions.GetNumVertices(); ++Vertex)
		{
			if (FVector3f::Dist(Positions.VertexPosition(Vertex), Engine) < 0.001f)
			{
				AtPoint.insert(int(Vertex));
			}
		}
		const std::vector<float> Opacities(Cache->VertexOpacity.begin(), Cache->VertexOpacity.end());
		ASSERT_EQ(Opacities.size(), Positions.GetNumVertices());
		EXPECT_FALSE(AtPoint.empty());
		EXPECT_EQ(CulledIn(Opacities), AtPoint);
		EXPECT_EQ(std::count(Opacities.begin(), Opacities.end(), 1.0f), std::ptrdiff_t(Opacities.size() - AtPoint.size()));
		EXPECT_EQ(Result.Out, Summary(AtPoint.size(), Opacities.size(), Out));
	}

	TEST_F(CullCommandTest, AnEmptyPointsFileLeavesEveryVertexVisible)
	{
		const std::string Out = PathOf("DA_None.json");
		const FVorpexRun Result = Run({"cull", "build", "--mesh", BodyMesh, "--points", WriteText("empty.bin", ""), "--out", Out});
		ASSERT_EQ(Result.ExitCode, 0) << Result.Err;
		const std::vector<float> Opacities = OpacitiesOf(ReadFile("DA_None.json"));
		EXPECT_EQ(Opacities.size(), OpacitiesOf(ReadBytes(TightsCache)).size());
		EXPECT_TRUE(CulledIn(Opacities).empty());
		EXPECT_EQ(Result.Out, Summary(0, Opacities.size(), Out));
	}

	TEST_F(CullCommandTest, AMissingPointsFileIsNamedAndTheOldOutputStays)
	{
		WriteText("DA_Tights.json", "the old cache");
		const std::string Missing = SampleContent + "/Culling/PT_Gloves.bin";
		const FVorpexRun Result =
			ExpectFailure({"cull", "build", "--mesh", BodyMesh, "--points", "Culling/PT_Gloves.bin", "--out", PathOf("DA_Tights.json"), SampleProject});
		EXPECT_NE(Result.Err.find("File does not exist: " + Missing + "\n"), std::string::npos) << Result.Err;
		EXPECT_NE(Result.Err.find("There are no culls on this file\n"), std::string::npos) << Result.Err;
		EXPECT_NE(Result.Err.find("vorpex: --points " + Missing + ": no such file; nothing was written\n"), std::string::npos) << Result.Err;
		EXPECT_EQ(ReadFile("DA_Tights.json"), "the old cache");
	}

	TEST_F(CullCommandTest, AnUnreadablePointsFileIsNamed)
	{
		// A regular file whose every read fails, for any user, root included.
		const std::string Unreadable = "/proc/self/mem";
		const FVorpexRun Result = ExpectFailure({"cull", "build", "--mesh", BodyMesh, "--points", Unreadable, "--out", PathOf("DA_Tights.json")});
		EXPECT_NE(Result.Err.find("Failed to load file: " + Unreadable + "\n"), std::string::npos) << Result.Err;
		EXPECT_NE(Result.Err.find("There are no culls on this file\n"), std::string::npos) << Result.Err;
		EXPECT_NE(Result.Err.find("vorpex: --points " + Unreadable + ": the file cannot be read; nothing was written\n"), std::string::npos) << Result.Err;
	}

	TEST_F(CullCommandTest, AnObjectPathThatLoadsNoSkeletalMeshIsRefusedWithTheLoadersReason)
	{
		const std::pair<std::string, std::string> Meshes[] = {
			{"/Game/Characters/Human/SK_Nobody.SK_Nobody", "no file " + SampleProject},
			{"/Game/Culling/DA_VertexCache_Tights", "holds a data asset, and SkeletalMesh is not a data asset class"},
		};
		for (const auto& [Mesh, Reason] : Meshes)
		{
			const FVorpexRun Result =
				ExpectFailure({"cull", "build", "--mesh", Mesh, "--points", TightsPoints, "--out", PathOf("DA_Tights.json"), SampleProject});
			EXPECT_NE(Result.Err.find(Reason), std::string::npos) << Result.Err;
			EXPECT_NE(Result.Err.find("vorpex: --mesh " + Mesh + ": no skeletal mesh loads from this object path"), std::string::npos) << Result.Err;
		}
	}

	TEST_F(CullCommandTest, AnOutputThatCannotBeWrittenThereIsRefusedBeforeAnythingIsBuilt)
	{
		const FVorpexRun NoFolder = ExpectFailure({"cull", "build", "--mesh", BodyMesh, "--points", TightsPoints, "--out", PathOf("missing/DA_Tights.json")});
		EXPECT_EQ(NoFolder.Err, "vorpex: cannot write " + PathOf("missing/DA_Tights.json") + ": the folder " + PathOf("missing") +
									" does not exist; nothing was written\n");

		std::filesystem::create_directory(Root / "DA_Folder.json");
		const FVorpexRun Folder = ExpectFailure({"cull", "build", "--mesh", BodyMesh, "--points", TightsPoints, "--out", PathOf("DA_Folder.json")});
		EXPECT_EQ(Folder.Err, "vorpex: cannot write " + PathOf("DA_Folder.json") + ": it is a folder; nothing was written\n");
	}

	TEST_F(CullCommandTest, AProjectThatDoesNotOpenIsNamed)
	{
		const FVorpexRun Result =
			ExpectFailure({"cull", "build", "--mesh", BodyMesh, "--points", TightsPoints, "--out", PathOf("DA_Tights.json"), PathOf("NoProject")});
		EXPECT_EQ(Result.Err, "vorpex: " + PathOf("NoProject") + ": no such project folder; nothing was written\n");
	}

	TEST_F(CullCommandTest, AnOutputThatIsNoJsonFileOrAMissingOptionIsBadUsage)
	{
		const FVorpexRun NotJson = Run({"cull", "build", "--mesh", BodyMesh, "--points", TightsPoints, "--out", PathOf("DA_Tights.txt")});
		EXPECT_EQ(NotJson.ExitCode, 64);
		EXPECT_NE(NotJson.Err.find("--out: the content loader reads a data asset only from a .json file"), std::string::npos) << NotJson.Err;
		EXPECT_FALSE(std::filesystem::exists(Root / "DA_Tights.txt"));

		const FVorpexRun NoMesh = Run({"cull", "build", "--points", TightsPoints, "--out", PathOf("DA_Tights.json")});
		EXPECT_EQ(NoMesh.ExitCode, 64);
		EXPECT_NE(NoMesh.Err.find("--mesh is required"), std::string::npos) << NoMesh.Err;
	}
}
