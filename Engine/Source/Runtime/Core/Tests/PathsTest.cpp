#include "Misc/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace
{
	namespace fs = std::filesystem;

	std::string S(const FString& Text)
	{
		return Text.ToStdString();
	}

	std::string CurrentDirectory()
	{
		return fs::current_path().string();
	}

	/** Collapses a copy; returns the result, or "<false>" when collapsing refused. */
	std::string Collapsed(const char* Path)
	{
		FString Work(Path);
		return FPaths::CollapseRelativeDirectories(Work) ? S(Work) : "<false>";
	}

	std::string NormalizedDirectory(const char* Path)
	{
		FString Work(Path);
		FPaths::NormalizeDirectoryName(Work);
		return S(Work);
	}

	/** The relative path, or "<false>" when none could be made. */
	std::string RelativeTo(const char* Path, const char* RelativeTo)
	{
		FString Work(Path);
		return FPaths::MakePathRelativeTo(Work, RelativeTo) ? S(Work) : "<false>";
	}
}

TEST(Paths, SplitsFolderFromFileName)
{
	EXPECT_EQ(S(FPaths::GetPath("a/b/c.txt")), "a/b");
	EXPECT_EQ(S(FPaths::GetPath("a\\b\\c.txt")), "a\\b");
	EXPECT_EQ(S(FPaths::GetPath("a/b\\c.txt")), "a/b");
	EXPECT_EQ(S(FPaths::GetPath("a/b/")), "a/b");
	EXPECT_EQ(S(FPaths::GetPath("c.txt")), "");
	EXPECT_EQ(S(FPaths::GetPath("/c.txt")), "");

	EXPECT_EQ(S(FPaths::GetCleanFilename("a/b/c.txt")), "c.txt");
	EXPECT_EQ(S(FPaths::GetCleanFilename("a/b\\c.txt")), "c.txt");
	EXPECT_EQ(S(FPaths::GetCleanFilename("c.txt")), "c.txt");
	EXPECT_EQ(S(FPaths::GetCleanFilename("a/b/")), "");

	EXPECT_EQ(S(FPaths::GetPathLeaf("a/b/c")), "c");
	EXPECT_EQ(S(FPaths::GetPathLeaf("a/b/c/")), "c");
	EXPECT_EQ(S(FPaths::GetPathLeaf("a\\b\\c\\\\")), "c");
	EXPECT_EQ(S(FPaths::GetPathLeaf("c")), "c");
	EXPECT_EQ(S(FPaths::GetPathLeaf("/")), "");
}

TEST(Paths, BaseFilenameDropsOnlyTheFileExtension)
{
	EXPECT_EQ(S(FPaths::GetBaseFilename("a/b/c.txt")), "c");
	EXPECT_EQ(S(FPaths::GetBaseFilename("a/b/c.tar.gz")), "c.tar");
	EXPECT_EQ(S(FPaths::GetBaseFilename("a/b.d/c")), "c");
	EXPECT_EQ(S(FPaths::GetBaseFilename("a\\b\\c.txt")), "c");
	EXPECT_EQ(S(FPaths::GetBaseFilename(".gitignore")), "");

	EXPECT_EQ(S(FPaths::GetBaseFilename("a/b/c.txt", false)), "a/b/c");
	EXPECT_EQ(S(FPaths::GetBaseFilename("a/b.d/c", false)), "a/b.d/c");
	EXPECT_EQ(S(FPaths::GetBaseFilename("a\\b.d\\c", false)), "a\\b.d\\c");
}

TEST(Paths, ExtensionComesFromTheFileNameOnly)
{
	EXPECT_EQ(S(FPaths::GetExtension("a/b/c.txt")), "txt");
	EXPECT_EQ(S(FPaths::GetExtension("a/b/c.txt", true)), ".txt");
	EXPECT_EQ(S(FPaths::GetExtension("c.tar.gz")), "gz");
	EXPECT_EQ(S(FPaths::GetExtension("c")), "");
	EXPECT_EQ(S(FPaths::GetExtension("c", true)), "");
	EXPECT_EQ(S(FPaths::GetExtension("c.", true)), ".");
	EXPECT_EQ(S(FPaths::GetExtension("a.d/c")), "");
	EXPECT_EQ(S(FPaths::GetExtension("a.d\\c")), "");
	EXPECT_EQ(S(FPaths::GetExtension("a/")), "");
}

TEST(Paths, ChangeAndSetExtension)
{
	EXPECT_EQ(S(FPaths::ChangeExtension("a/b.txt", "json")), "a/b.json");
	EXPECT_EQ(S(FPaths::ChangeExtension("a/b.txt", ".json")), "a/b.json");
	EXPECT_EQ(S(FPaths::ChangeExtension("a/b.tar.gz", "zip")), "a/b.tar.zip");
	EXPECT_EQ(S(FPaths::ChangeExtension("a/b.txt", "")), "a/b");
	// Without an extension there is nothing to change, even when a folder name has a dot.
	EXPECT_EQ(S(FPaths::ChangeExtension("a/b", "json")), "a/b");
	EXPECT_EQ(S(FPaths::ChangeExtension("a.d/b", "json")), "a.d/b");
	EXPECT_EQ(S(FPaths::ChangeExtension("a.d\\b", "json")), "a.d\\b");

	EXPECT_EQ(S(FPaths::SetExtension("a/b", "json")), "a/b.json");
	EXPECT_EQ(S(FPaths::SetExtension("a.d/b", ".json")), "a.d/b.json");
	EXPECT_EQ(S(FPaths::SetExtension("a/b.txt", "json")), "a/b.json");
	EXPECT_EQ(S(FPaths::SetExtension("a/b.txt", "")), "a/b");
}

TEST(Paths, CombineJoinsWithExactlyOneSlash)
{
	EXPECT_EQ(S(FPaths::Combine("a", "b", "c.txt")), "a/b/c.txt");
	EXPECT_EQ(S(FPaths::Combine("a/", "/b")), "a/b");
	EXPECT_EQ(S(FPaths::Combine("a//", "//b")), "a/b");
	EXPECT_EQ(S(FPaths::Combine("a\\", "\\b")), "a/b");
	EXPECT_EQ(S(FPaths::Combine("", "a", "", "b")), "a/b");
	EXPECT_EQ(S(FPaths::Combine("a", "/")), "a");
	EXPECT_EQ(S(FPaths::Combine("/", "x")), "/x");
	EXPECT_EQ(S(FPaths::Combine("C:/", "x")), "C:/x");
	EXPECT_EQ(S(FPaths::Combine("/root/", FString("sub"), std::string_view("f.txt"))), "/root/sub/f.txt");
	// A lone part is kept as given, leading and trailing separators included.
	EXPECT_EQ(S(FPaths::Combine("/a/")), "/a/");
	EXPECT_EQ(S(FPaths::Combine("", "")), "");
}

TEST(Paths, RelativeUnlessRootedOrOnADrive)
{
	EXPECT_TRUE(FPaths::IsRelative("a/b"));
	EXPECT_TRUE(FPaths::IsRelative("./a"));
	EXPECT_TRUE(FPaths::IsRelative("../a"));
	EXPECT_TRUE(FPaths::IsRelative(""));
	EXPECT_TRUE(FPaths::IsRelative("1:/a"));
	EXPECT_FALSE(FPaths::IsRelative("/a"));
	EXPECT_FALSE(FPaths::IsRelative("\\a"));
	EXPECT_FALSE(FPaths::IsRelative("C:/a"));
	EXPECT_FALSE(FPaths::IsRelative("c:"));
}

TEST(Paths, NormalizeFilenameAndDirectoryName)
{
	FString Filename("a\\b\\c.txt");
	FPaths::NormalizeFilename(Filename);
	EXPECT_EQ(S(Filename), "a/b/c.txt");

	EXPECT_EQ(NormalizedDirectory("a/b/"), "a/b");
	EXPECT_EQ(NormalizedDirectory("a\\b\\"), "a/b");
	EXPECT_EQ(NormalizedDirectory("a//"), "a");
	EXPECT_EQ(NormalizedDirectory("a/b"), "a/b");
	EXPECT_EQ(NormalizedDirectory(""), "");
	// A root keeps its separator, or it would stop being one.
	EXPECT_EQ(NormalizedDirectory("/"), "/");
	EXPECT_EQ(NormalizedDirectory("\\"), "/");
	EXPECT_EQ(NormalizedDirectory("C:/"), "C:/");
	EXPECT_EQ(NormalizedDirectory("C:\\"), "C:/");
	EXPECT_EQ(NormalizedDirectory("/a/"), "/a");
}

TEST(Paths, CollapseRemovesDotsAndParentPairs)
{
	EXPECT_EQ(Collapsed("a/./b"), "a/b");
	EXPECT_EQ(Collapsed("./a"), "a");
	EXPECT_EQ(Collapsed("a/."), "a");
	EXPECT_EQ(Collapsed("a/b/../c"), "a/c");
	EXPECT_EQ(Collapsed("a/b/c/../../d"), "a/d");
	EXPECT_EQ(Collapsed("a/b/.."), "a");
	EXPECT_EQ(Collapsed("a/b/../"), "a/");
	EXPECT_EQ(Collapsed("a/.."), "");
	EXPECT_EQ(Collapsed("a/../"), "");
	EXPECT_EQ(Collapsed("a//b/../c"), "a/c");
	EXPECT_EQ(Collapsed("/a/../b"), "/b");
	EXPECT_EQ(Collapsed("/a/.."), "/");
	EXPECT_EQ(Collapsed("C:/a/../b"), "C:/b");
	EXPECT_EQ(Collapsed("a\\b\\..\\c"), "a\\c");
	// Names that merely start with dots are ordinary names.
	EXPECT_EQ(Collapsed("a/..b/c"), "a/..b/c");
	EXPECT_EQ(Collapsed("a/.../c"), "a/.../c");
	EXPECT_EQ(Collapsed("a./b"), "a./b");
	EXPECT_EQ(Collapsed(""), "");
}

TEST(Paths, CollapseThatClimbsAboveTheStartFailsAndChangesNothing)
{
	for (const char* Path : {"..", "../a", "a/../../b", "a/b/../../..", "/..", "/a/../..", "C:/..", "./../a", "a\\..\\.."})
	{
		FString Work(Path);
		EXPECT_FALSE(FPaths::CollapseRelativeDirectories(Work)) << Path;
		EXPECT_EQ(S(Work), Path);
	}
}

TEST(Paths, ConvertRelativePathToFullUsesTheWorkingDirectory)
{
	const std::string Current = CurrentDirectory();
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("x/./y/../z.txt")), Current + "/x/z.txt");
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("x\\z.txt")), Current + "/x/z.txt");
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("")), Current);
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("/a/b/../c")), "/a/c");
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("\\a\\b")), "/a/b");
	// What cannot be collapsed is left as it is rather than made into a different place.
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("/a/../..")), "/a/../..");
}

TEST(Paths, ConvertRelativePathToFullAgainstABase)
{
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("/base/dir", "../x.txt")), "/base/x.txt");
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("/base/dir/", "x.txt")), "/base/dir/x.txt");
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("/base", "/abs/x.txt")), "/abs/x.txt");
	EXPECT_EQ(S(FPaths::ConvertRelativePathToFull("rel", "x.txt")), CurrentDirectory() + "/rel/x.txt");
}

TEST(Paths, MakePathRelativeTo)
{
	EXPECT_EQ(RelativeTo("/a/b/c.txt", "/a/d/"), "../b/c.txt");
	// Without a trailing separator the base names a file, so its folder is the base.
	EXPECT_EQ(RelativeTo("/a/b/c.txt", "/a/d"), "b/c.txt");
	EXPECT_EQ(RelativeTo("/a/b/c.txt", "/a/b/"), "c.txt");
	EXPECT_EQ(RelativeTo("/a/b/c.txt", "/x/y/z/"), "../../../a/b/c.txt");
	EXPECT_EQ(RelativeTo("/a/b", "/a/b/"), "");
	EXPECT_EQ(RelativeTo("/a/./b/../c.txt", "\\a\\d\\"), "../c.txt");
	// File names differ by letter case on this platform.
	EXPECT_EQ(RelativeTo("/a/B/c.txt", "/a/b/"), "../B/c.txt");
	EXPECT_EQ(RelativeTo("C:/a/b", "c:/a/"), "b");
	EXPECT_EQ(RelativeTo(CurrentDirectory().append("/rel/f.txt").c_str(), "rel/"), "f.txt");

	for (const auto& [Path, Base] : {std::pair{"C:/a/b", "D:/a/"}, std::pair{"/a/b", "C:/a/"}, std::pair{"/a/b", "/../x/"}, std::pair{"/../b", "/a/"}})
	{
		FString Work(Path);
		EXPECT_FALSE(FPaths::MakePathRelativeTo(Work, Base)) << Path << " against " << Base;
		EXPECT_EQ(S(Work), Path);
	}
}

TEST(Paths, IsSamePathComparesFullForms)
{
	EXPECT_TRUE(FPaths::IsSamePath("a/b", "a/./b/"));
	EXPECT_TRUE(FPaths::IsSamePath("a/b", "a\\c\\..\\b"));
	EXPECT_TRUE(FPaths::IsSamePath("a/b", FString(CurrentDirectory() + "/a/b")));
	EXPECT_TRUE(FPaths::IsSamePath("/", "/x/.."));
	EXPECT_FALSE(FPaths::IsSamePath("/x/y", "/x/Y"));
	EXPECT_FALSE(FPaths::IsSamePath("/x/y", "/x/y/z"));
}

class PathsOnDisk : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Root = fs::temp_directory_path() / ("VorpexPathsTest-" + std::to_string(std::random_device{}()));
		fs::create_directories(Root / "folder.d");
		std::ofstream(Root / "file.txt") << "x";
	}

	void TearDown() override
	{
		fs::remove_all(Root);
	}

	FString At(const char* Relative) const
	{
		return FString((Root / Relative).string());
	}

	fs::path Root;
};

TEST_F(PathsOnDisk, FileAndDirectoryExistenceTellKindsApart)
{
	EXPECT_TRUE(FPaths::FileExists(At("file.txt")));
	EXPECT_FALSE(FPaths::DirectoryExists(At("file.txt")));
	EXPECT_TRUE(FPaths::DirectoryExists(At("folder.d")));
	EXPECT_TRUE(FPaths::DirectoryExists(At("folder.d/")));
	EXPECT_FALSE(FPaths::FileExists(At("folder.d")));
	EXPECT_FALSE(FPaths::FileExists(At("missing.txt")));
	EXPECT_FALSE(FPaths::DirectoryExists(At("missing")));
	EXPECT_FALSE(FPaths::FileExists(""));
	EXPECT_FALSE(FPaths::DirectoryExists(""));
	// Backslashes are separators here too.
	EXPECT_TRUE(FPaths::FileExists(FString(Root.string()) + "\\file.txt"));
}
