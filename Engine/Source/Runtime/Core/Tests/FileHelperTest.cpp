#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Logging/LogCapture.h"
#include "Misc/FileHelper.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

namespace
{
	namespace fs = std::filesystem;

	std::vector<std::string> ToStd(const TArray<FString>& Strings)
	{
		std::vector<std::string> Result;
		for (const FString& String : Strings)
		{
			Result.push_back(String.ToStdString());
		}
		return Result;
	}

	TArray<uint8> Bytes(const std::string& Text)
	{
		return TArray<uint8>(reinterpret_cast<const uint8*>(Text.data()), static_cast<int32>(Text.size()));
	}

	std::string OsReason(int Error)
	{
		return std::generic_category().message(Error);
	}
}

/** Each test gets a fresh folder of its own under the system's temporary folder. */
class FileTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Root = fs::temp_directory_path() / ("VorpexFileTest-" + std::to_string(std::random_device{}()));
		fs::create_directories(Root);
	}

	void TearDown() override
	{
		fs::remove_all(Root);
	}

	/** The path of Relative under the test's folder, as the engine API takes it. */
	FString At(const std::string& Relative) const
	{
		return FString((Root / Relative).string());
	}

	void Write(const std::string& Relative, const std::string& Content) const
	{
		fs::create_directories((Root / Relative).parent_path());
		std::ofstream(Root / Relative, std::ios::binary) << Content;
	}

	std::string Read(const std::string& Relative) const
	{
		std::ifstream Stream(Root / Relative, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(Stream), {});
	}

	/** The names in a folder of the test, sorted: shows leftovers such as temporary files. */
	std::vector<std::string> List(const std::string& Relative = ".") const
	{
		std::vector<std::string> Names;
		for (const fs::directory_entry& Entry : fs::directory_iterator(Root / Relative))
		{
			Names.push_back(Entry.path().filename().string());
		}
		std::sort(Names.begin(), Names.end());
		return Names;
	}

	void MakeReadOnly(const std::string& Relative) const
	{
		fs::permissions(Root / Relative, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
	}

	fs::path Root;
};

using FileHelperLoad = FileTest;
using FileHelperSave = FileTest;
using FileManager = FileTest;
using PlatformFile = FileTest;

TEST_F(FileHelperLoad, ArrayHoldsTheExactBytes)
{
	const std::string Content("\x00\x01\xff\r\n text", 10);
	Write("data.bin", Content);
	Write("empty.bin", "");

	TArray<uint8> Result = Bytes("old");
	ASSERT_TRUE(FFileHelper::LoadFileToArray(Result, *At("data.bin")));
	EXPECT_EQ(std::string(reinterpret_cast<const char*>(Result.GetData()), Result.Num()), Content);

	ASSERT_TRUE(FFileHelper::LoadFileToArray(Result, *At("empty.bin")));
	EXPECT_EQ(Result.Num(), 0);
}

TEST_F(FileHelperLoad, MissingFilesAndFoldersFailAndLeaveTheResult)
{
	fs::create_directories(Root / "folder");
	for (const FString& Path : {At("missing.bin"), At("folder"), At("missing/deeper.txt"), FString()})
	{
		TArray<uint8> Array = Bytes("kept");
		EXPECT_FALSE(FFileHelper::LoadFileToArray(Array, *Path)) << *Path;
		EXPECT_EQ(Array, Bytes("kept"));

		FString Text("kept");
		EXPECT_FALSE(FFileHelper::LoadFileToString(Text, *Path)) << *Path;
		EXPECT_EQ(Text.ToStdString(), "kept");

		TArray<FString> Lines = {"kept"};
		EXPECT_FALSE(FFileHelper::LoadFileToStringArray(Lines, *Path)) << *Path;
		EXPECT_EQ(ToStd(Lines), std::vector<std::string>{"kept"});
	}
}

TEST_F(FileHelperLoad, StringHonoursByteOrderMarks)
{
	// "Aé€😀": one, two, three and four UTF-8 bytes; the last is a surrogate pair in UTF-16.
	const std::string Expected = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
	Write("plain.txt", Expected);
	Write("utf8bom.txt", "\xEF\xBB\xBF" + Expected);
	Write("utf16le.txt", std::string("\xFF\xFE" "A\0\xE9\0\xAC\x20\x3D\xD8\x00\xDE", 12));
	Write("utf16be.txt", std::string("\xFE\xFF" "\0A\0\xE9\x20\xAC\xD8\x3D\xDE\x00", 12));
	Write("bomonly.txt", "\xFF\xFE");

	for (const char* Name : {"plain.txt", "utf8bom.txt", "utf16le.txt", "utf16be.txt"})
	{
		FString Result;
		ASSERT_TRUE(FFileHelper::LoadFileToString(Result, *At(Name))) << Name;
		EXPECT_EQ(Result.ToStdString(), Expected) << Name;
	}
	FString Result("old");
	ASSERT_TRUE(FFileHelper::LoadFileToString(Result, *At("bomonly.txt")));
	EXPECT_EQ(Result.ToStdString(), "");
}

TEST_F(FileHelperLoad, StringArraySplitsLines)
{
	Write("mixed.txt", "one\r\ntwo\n\nthree\rfour");
	Write("trailing.txt", "one\ntwo\r\n");
	Write("empty.txt", "");
	Write("utf16.txt", std::string("\xFF\xFE" "a\0\r\0\n\0b\0", 10));

	TArray<FString> Lines;
	ASSERT_TRUE(FFileHelper::LoadFileToStringArray(Lines, *At("mixed.txt")));
	EXPECT_EQ(ToStd(Lines), (std::vector<std::string>{"one", "two", "", "three", "four"}));
	ASSERT_TRUE(FFileHelper::LoadFileToStringArray(Lines, *At("trailing.txt")));
	EXPECT_EQ(ToStd(Lines), (std::vector<std::string>{"one", "two"}));
	ASSERT_TRUE(FFileHelper::LoadFileToStringArray(Lines, *At("utf16.txt")));
	EXPECT_EQ(ToStd(Lines), (std::vector<std::string>{"a", "b"}));
	ASSERT_TRUE(FFileHelper::LoadFileToStringArray(Lines, *At("empty.txt")));
	EXPECT_TRUE(Lines.IsEmpty());
}

TEST_F(FileHelperSave, CreatesMissingFoldersAndWritesExactBytes)
{
	const std::string Content("bin\x00\xff", 5);
	ASSERT_TRUE(FFileHelper::SaveArrayToFile(Bytes(Content), *At("a/b/c/data.bin")));
	EXPECT_EQ(Read("a/b/c/data.bin"), Content);
	EXPECT_EQ(List("a/b/c"), std::vector<std::string>{"data.bin"});

	// Backslashes are separators, not parts of names.
	ASSERT_TRUE(FFileHelper::SaveStringToFile("x", *(FString(Root.string()) + "\\d\\e.txt")));
	EXPECT_EQ(Read("d/e.txt"), "x");
}

TEST_F(FileHelperSave, StringIsWrittenAsUtf8WithoutMark)
{
	const FString Text("caf\xC3\xA9 \xE2\x82\xAC\nline");
	ASSERT_TRUE(FFileHelper::SaveStringToFile(Text, *At("text.txt")));
	EXPECT_EQ(Read("text.txt"), Text.ToStdString());

	FString Loaded;
	ASSERT_TRUE(FFileHelper::LoadFileToString(Loaded, *At("text.txt")));
	EXPECT_EQ(Loaded.ToStdString(), Text.ToStdString());

	ASSERT_TRUE(FFileHelper::SaveStringToFile(FString(), *At("empty.txt")));
	EXPECT_TRUE(fs::exists(Root / "empty.txt"));
	EXPECT_EQ(fs::file_size(Root / "empty.txt"), 0u);
}

TEST_F(FileHelperSave, ReplacesAnExistingFileWhollyAndKeepsItsPermissions)
{
	Write("target.txt", "a long old content that is longer than the new one");
	fs::permissions(Root / "target.txt", fs::perms::owner_read | fs::perms::owner_write);

	ASSERT_TRUE(FFileHelper::SaveStringToFile("short", *At("target.txt")));
	EXPECT_EQ(Read("target.txt"), "short");
	EXPECT_EQ(fs::status(Root / "target.txt").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
	EXPECT_EQ(List(), std::vector<std::string>{"target.txt"});
}

TEST_F(FileHelperSave, SavingThroughALinkChangesTheLinkedFile)
{
	Write("real/data.txt", "old");
	fs::create_symlink(Root / "real/data.txt", Root / "link.txt");

	ASSERT_TRUE(FFileHelper::SaveStringToFile("new", *At("link.txt")));
	EXPECT_TRUE(fs::is_symlink(Root / "link.txt"));
	EXPECT_EQ(Read("real/data.txt"), "new");
	EXPECT_EQ(List("real"), std::vector<std::string>{"data.txt"});
}

TEST_F(FileHelperSave, ParentThatIsAFileFailsAndCreatesNothing)
{
	Write("blocker", "keep");
	const FString Target = At("blocker/sub/data.txt");
	FLogCapture Capture;

	EXPECT_FALSE(FFileHelper::SaveStringToFile("new", *Target));
	EXPECT_FALSE(FFileHelper::SaveArrayToFile(Bytes("new"), *Target));

	const std::string Expected = "Could not save '" + Target.ToStdString() + "': " + OsReason(ENOTDIR);
	EXPECT_EQ(ToStd(Capture.GetMessages(ELogVerbosity::Warning)), (std::vector<std::string>{Expected, Expected}));
	EXPECT_EQ(ToStd(Capture.GetLines()).front(), "LogCore: Warning: " + Expected);
	EXPECT_EQ(Read("blocker"), "keep");
	EXPECT_EQ(List(), std::vector<std::string>{"blocker"});
}

TEST_F(FileHelperSave, TargetThatIsAFolderFailsAndLeavesNoTemporary)
{
	Write("folder/inside.txt", "keep");
	FLogCapture Capture;

	EXPECT_FALSE(FFileHelper::SaveStringToFile("new", *At("folder")));

	EXPECT_EQ(ToStd(Capture.GetMessages(ELogVerbosity::Warning)),
		std::vector<std::string>{"Could not save '" + At("folder").ToStdString() + "': " + OsReason(EISDIR)});
	EXPECT_EQ(List(), std::vector<std::string>{"folder"});
	EXPECT_EQ(List("folder"), std::vector<std::string>{"inside.txt"});
	EXPECT_EQ(Read("folder/inside.txt"), "keep");
}

TEST_F(FileHelperSave, FailedWriteLeavesTheOldFileWhole)
{
	Write("target.txt", "old content");
	// A file size limit makes the write fail part way, as a full disk would.
	rlimit Saved;
	ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &Saved), 0);
	rlimit Limited = Saved;
	Limited.rlim_cur = 1000;
	const auto SavedHandler = std::signal(SIGXFSZ, SIG_IGN);
	ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Limited), 0);
	bool bSaved = true;
	{
		FLogCapture Capture;
		bSaved = FFileHelper::SaveStringToFile(FString(std::string(4000, 'n')), *At("target.txt"));
		EXPECT_EQ(ToStd(Capture.GetMessages(ELogVerbosity::Warning)),
			std::vector<std::string>{"Could not save '" + At("target.txt").ToStdString() + "': " + OsReason(EFBIG)});
	}
	setrlimit(RLIMIT_FSIZE, &Saved);
	std::signal(SIGXFSZ, SavedHandler);

	EXPECT_FALSE(bSaved);
	EXPECT_EQ(Read("target.txt"), "old content");
	EXPECT_EQ(List(), std::vector<std::string>{"target.txt"});
}

TEST_F(FileHelperSave, ReadOnlyTargetIsNotReplaced)
{
	Write("locked.txt", "old");
	MakeReadOnly("locked.txt");
	FLogCapture Capture;

	EXPECT_FALSE(FFileHelper::SaveStringToFile("new", *At("locked.txt")));

	EXPECT_EQ(ToStd(Capture.GetMessages(ELogVerbosity::Warning)),
		std::vector<std::string>{"Could not save '" + At("locked.txt").ToStdString() + "': the file is read-only"});
	EXPECT_EQ(Read("locked.txt"), "old");
	EXPECT_EQ(List(), std::vector<std::string>{"locked.txt"});
}

TEST_F(FileHelperSave, PathWithoutAFileNameFails)
{
	FLogCapture Capture;
	EXPECT_FALSE(FFileHelper::SaveStringToFile("x", *At("made/")));
	EXPECT_FALSE(FFileHelper::SaveStringToFile("x", nullptr));
	EXPECT_EQ(ToStd(Capture.GetMessages(ELogVerbosity::Warning)),
		(std::vector<std::string>{"Could not save '" + At("made/").ToStdString() + "': the path names a folder",
			"Could not save '': no file name"}));
	EXPECT_TRUE(List().empty());
}

TEST_F(FileManager, ExistenceAndSizeTellFilesFromFolders)
{
	Write("file.txt", "12345");
	fs::create_directories(Root / "folder");
	IFileManager& Manager = IFileManager::Get();

	EXPECT_TRUE(Manager.FileExists(*At("file.txt")));
	EXPECT_FALSE(Manager.FileExists(*At("folder")));
	EXPECT_FALSE(Manager.FileExists(*At("missing")));
	EXPECT_TRUE(Manager.DirectoryExists(*At("folder")));
	EXPECT_FALSE(Manager.DirectoryExists(*At("file.txt")));

	EXPECT_EQ(Manager.FileSize(*At("file.txt")), 5);
	EXPECT_EQ(Manager.FileSize(*At("missing")), INDEX_NONE);
	EXPECT_EQ(Manager.FileSize(*At("folder")), INDEX_NONE);
}

TEST_F(FileManager, DeleteHonoursItsFlags)
{
	Write("plain.txt", "x");
	Write("locked.txt", "x");
	MakeReadOnly("locked.txt");
	fs::create_directories(Root / "folder");
	IFileManager& Manager = IFileManager::Get();
	FLogCapture Capture;

	EXPECT_TRUE(Manager.Delete(*At("plain.txt")));
	EXPECT_FALSE(fs::exists(Root / "plain.txt"));

	EXPECT_TRUE(Manager.Delete(*At("missing.txt")));
	EXPECT_FALSE(Manager.Delete(*At("missing.txt"), true));

	EXPECT_FALSE(Manager.Delete(*At("locked.txt")));
	EXPECT_TRUE(fs::exists(Root / "locked.txt"));

	EXPECT_FALSE(Manager.Delete(*At("folder")));
	EXPECT_TRUE(fs::is_directory(Root / "folder"));

	EXPECT_EQ(ToStd(Capture.GetMessages(ELogVerbosity::Warning)),
		(std::vector<std::string>{"Could not delete '" + At("missing.txt").ToStdString() + "': there is no such file",
			"Could not delete '" + At("locked.txt").ToStdString() + "': the file is read-only",
			"Could not delete '" + At("folder").ToStdString() + "': it is a folder"}));

	Capture.Clear();
	EXPECT_FALSE(Manager.Delete(*At("locked.txt"), false, false, true));
	EXPECT_FALSE(Manager.Delete(*At("missing.txt"), true, false, true));
	EXPECT_TRUE(Capture.GetEntries().IsEmpty());

	EXPECT_TRUE(Manager.Delete(*At("locked.txt"), true, true));
	EXPECT_FALSE(fs::exists(Root / "locked.txt"));
}

TEST_F(FileManager, MoveCreatesTheDestinationFolderAndReplaces)
{
	Write("src.txt", "source");
	IFileManager& Manager = IFileManager::Get();

	ASSERT_TRUE(Manager.Move(*At("new/deeper/dest.txt"), *At("src.txt")));
	EXPECT_FALSE(fs::exists(Root / "src.txt"));
	EXPECT_EQ(Read("new/deeper/dest.txt"), "source");

	Write("other.txt", "other");
	ASSERT_TRUE(Manager.Move(*At("new/deeper/dest.txt"), *At("other.txt")));
	EXPECT_EQ(Read("new/deeper/dest.txt"), "other");
	EXPECT_EQ(List(), std::vector<std::string>{"new"});
}

TEST_F(FileManager, MoveRefusalsLeaveBothFiles)
{
	Write("src.txt", "source");
	Write("dest.txt", "dest");
	Write("locked.txt", "locked");
	MakeReadOnly("locked.txt");
	fs::create_directories(Root / "folder");
	IFileManager& Manager = IFileManager::Get();
	FLogCapture Capture;

	EXPECT_FALSE(Manager.Move(*At("dest.txt"), *At("src.txt"), false));
	EXPECT_FALSE(Manager.Move(*At("locked.txt"), *At("src.txt")));
	EXPECT_FALSE(Manager.Move(*At("folder"), *At("src.txt")));
	EXPECT_FALSE(Manager.Move(*At("dest.txt"), *At("missing.txt")));
	EXPECT_FALSE(Manager.Move(*At("dest.txt/x.txt"), *At("src.txt")));

	EXPECT_EQ(Read("src.txt"), "source");
	EXPECT_EQ(Read("dest.txt"), "dest");
	EXPECT_EQ(Read("locked.txt"), "locked");
	EXPECT_TRUE(fs::is_empty(Root / "folder"));
	const std::string Src = At("src.txt").ToStdString();
	EXPECT_EQ(ToStd(Capture.GetMessages(ELogVerbosity::Warning)),
		(std::vector<std::string>{"Could not move '" + Src + "' to '" + At("dest.txt").ToStdString() + "': the destination exists",
			"Could not move '" + Src + "' to '" + At("locked.txt").ToStdString() + "': the destination is read-only",
			"Could not move '" + Src + "' to '" + At("folder").ToStdString() + "': the destination is a folder",
			"Could not move '" + At("missing.txt").ToStdString() + "' to '" + At("dest.txt").ToStdString() + "': the source is not a file",
			"Could not move '" + Src + "' to '" + At("dest.txt/x.txt").ToStdString() + "': the destination folder cannot be made"}));

	EXPECT_TRUE(Manager.Move(*At("locked.txt"), *At("src.txt"), true, true));
	EXPECT_EQ(Read("locked.txt"), "source");
}

TEST_F(FileManager, MoveAcrossFileSystems)
{
	const fs::path Other = fs::path("/dev/shm") / Root.filename();
	struct stat RootStatus;
	struct stat OtherStatus;
	if (stat("/dev/shm", &OtherStatus) != 0 || stat(Root.c_str(), &RootStatus) != 0 || RootStatus.st_dev == OtherStatus.st_dev)
	{
		GTEST_SKIP() << "needs /dev/shm on a file system other than " << Root;
	}
	Write("src.txt", "source");
	ASSERT_TRUE(IFileManager::Get().Move(*FString((Other / "sub/dest.txt").string()), *At("src.txt")));
	std::ifstream Stream(Other / "sub/dest.txt");
	const std::string Moved((std::istreambuf_iterator<char>(Stream)), {});
	fs::remove_all(Other);
	EXPECT_EQ(Moved, "source");
	EXPECT_FALSE(fs::exists(Root / "src.txt"));
}

TEST_F(FileManager, CopyReplacesWhollyAndKeepsTheSource)
{
	Write("src.txt", "short");
	Write("dest.txt", "a much longer old content");
	IFileManager& Manager = IFileManager::Get();

	EXPECT_EQ(Manager.Copy(*At("dest.txt"), *At("src.txt")), COPY_OK);
	EXPECT_EQ(Read("dest.txt"), "short");
	EXPECT_EQ(Read("src.txt"), "short");

	EXPECT_EQ(Manager.Copy(*At("made/copy.txt"), *At("src.txt")), COPY_OK);
	EXPECT_EQ(Read("made/copy.txt"), "short");

	// Copying a file onto itself must not truncate it.
	EXPECT_EQ(Manager.Copy(*At("src.txt"), *At("src.txt")), COPY_OK);
	EXPECT_EQ(Read("src.txt"), "short");
	EXPECT_EQ(List(), (std::vector<std::string>{"dest.txt", "made", "src.txt"}));
}

TEST_F(FileManager, CopyRefusalsLeaveTheDestination)
{
	Write("src.txt", "source");
	Write("dest.txt", "dest");
	Write("locked.txt", "locked");
	MakeReadOnly("locked.txt");
	IFileManager& Manager = IFileManager::Get();
	FLogCapture Capture;

	EXPECT_EQ(Manager.Copy(*At("dest.txt"), *At("src.txt"), false), COPY_Fail);
	EXPECT_EQ(Manager.Copy(*At("locked.txt"), *At("src.txt")), COPY_Fail);
	EXPECT_EQ(Manager.Copy(*At("dest.txt"), *At("missing.txt")), COPY_Fail);
	EXPECT_EQ(Read("dest.txt"), "dest");
	EXPECT_EQ(Read("locked.txt"), "locked");
	EXPECT_EQ(Capture.GetMessages(ELogVerbosity::Warning).Num(), 3);

	EXPECT_EQ(Manager.Copy(*At("locked.txt"), *At("src.txt"), true, true), COPY_OK);
	EXPECT_EQ(Read("locked.txt"), "source");
	EXPECT_EQ(List(), (std::vector<std::string>{"dest.txt", "locked.txt", "src.txt"}));
}

TEST_F(FileManager, MakeAndDeleteDirectory)
{
	Write("file.txt", "x");
	IFileManager& Manager = IFileManager::Get();

	EXPECT_FALSE(Manager.MakeDirectory(*At("a/b/c")));
	EXPECT_FALSE(fs::exists(Root / "a"));
	EXPECT_TRUE(Manager.MakeDirectory(*At("a/b/c"), true));
	EXPECT_TRUE(fs::is_directory(Root / "a/b/c"));
	EXPECT_TRUE(Manager.MakeDirectory(*At("a")));
	EXPECT_FALSE(Manager.MakeDirectory(*At("file.txt")));
	EXPECT_FALSE(Manager.MakeDirectory(*At("file.txt/sub"), true));

	EXPECT_FALSE(Manager.DeleteDirectory(*At("a")));
	EXPECT_TRUE(fs::is_directory(Root / "a/b/c"));
	EXPECT_TRUE(Manager.DeleteDirectory(*At("a/b/c")));
	EXPECT_FALSE(fs::exists(Root / "a/b/c"));
	Write("a/b/inner.txt", "x");
	EXPECT_TRUE(Manager.DeleteDirectory(*At("a"), true, true));
	EXPECT_FALSE(fs::exists(Root / "a"));

	EXPECT_TRUE(Manager.DeleteDirectory(*At("missing")));
	EXPECT_FALSE(Manager.DeleteDirectory(*At("missing"), true));
	EXPECT_FALSE(Manager.DeleteDirectory(*At("missing"), true, true));
	EXPECT_FALSE(Manager.DeleteDirectory(*At("file.txt"), false, true));
	EXPECT_EQ(Read("file.txt"), "x");
}

TEST_F(FileManager, FindFilesFiltersByExtensionAndSorts)
{
	for (const char* Name : {"b.json", "a.JSON", "c.txt", "noext", "x.json.bak", ".json"})
	{
		Write(Name, "x");
	}
	fs::create_directories(Root / "folder.json");
	Write("folder.json/inner.json", "x");
	IFileManager& Manager = IFileManager::Get();

	const auto Find = [&Manager](const FString& Directory, const TCHAR* Extension)
	{
		TArray<FString> Found;
		Manager.FindFiles(Found, *Directory, Extension);
		return ToStd(Found);
	};
	const std::vector<std::string> Json{".json", "a.JSON", "b.json"};
	EXPECT_EQ(Find(At(""), "json"), Json);
	EXPECT_EQ(Find(At(""), ".json"), Json);
	EXPECT_EQ(Find(At(""), "*.json"), Json);
	EXPECT_EQ(Find(At("") + "\\", "JSON"), Json);
	EXPECT_EQ(Find(At(""), "*.js?n.*"), std::vector<std::string>{"x.json.bak"});
	EXPECT_EQ(Find(At(""), "txt"), std::vector<std::string>{"c.txt"});
	const std::vector<std::string> All{".json", "a.JSON", "b.json", "c.txt", "noext", "x.json.bak"};
	EXPECT_EQ(Find(At(""), nullptr), All);
	EXPECT_EQ(Find(At(""), ""), All);
	EXPECT_TRUE(Find(At("missing"), nullptr).empty());

	TArray<FString> Found = {"kept"};
	Manager.FindFiles(Found, *At("folder.json"), "json");
	EXPECT_EQ(ToStd(Found), (std::vector<std::string>{"kept", "inner.json"}));
}

TEST_F(FileManager, FindFilesRecursiveGivesSortedPaths)
{
	for (const char* Name : {"tree/b.json", "tree/A.json", "tree/sub/c.json", "tree/sub/deeper/d.JSON", "tree/sub/x.txt"})
	{
		Write(Name, "x");
	}
	fs::create_directories(Root / "tree/dir.json");
	IFileManager& Manager = IFileManager::Get();
	const std::string Tree = At("tree").ToStdString();

	TArray<FString> Found = {"stale"};
	Manager.FindFilesRecursive(Found, *At("tree/"), "*.json", true, false);
	EXPECT_EQ(ToStd(Found),
		(std::vector<std::string>{Tree + "/A.json", Tree + "/b.json", Tree + "/sub/c.json", Tree + "/sub/deeper/d.JSON"}));

	Manager.FindFilesRecursive(Found, *At("tree"), "*", false, true);
	EXPECT_EQ(ToStd(Found), (std::vector<std::string>{Tree + "/dir.json", Tree + "/sub", Tree + "/sub/deeper"}));

	Manager.FindFilesRecursive(Found, *At("tree"), "*.txt", true, false, false);
	EXPECT_EQ(ToStd(Found), (std::vector<std::string>{Tree + "/dir.json", Tree + "/sub", Tree + "/sub/deeper", Tree + "/sub/x.txt"}));

	Manager.FindFilesRecursive(Found, *At("missing"), "*", true, true);
	EXPECT_TRUE(Found.IsEmpty());
}

TEST_F(PlatformFile, LowLevelOperations)
{
	IPlatformFile& Platform = FPlatformFileManager::Get().GetPlatformFile();
	Write("file.txt", "abc");
	fs::create_directories(Root / "folder");

	EXPECT_TRUE(Platform.FileExists(*At("file.txt")));
	EXPECT_FALSE(Platform.FileExists(*At("folder")));
	EXPECT_EQ(Platform.FileSize(*At("file.txt")), 3);
	EXPECT_EQ(Platform.FileSize(*At("missing")), -1);
	EXPECT_EQ(Platform.FileSize(*At("folder")), -1);
	EXPECT_FALSE(Platform.DeleteFile(*At("folder")));
	EXPECT_TRUE(fs::is_directory(Root / "folder"));

	EXPECT_FALSE(Platform.IsReadOnly(*At("file.txt")));
	EXPECT_TRUE(Platform.SetReadOnly(*At("file.txt"), true));
	EXPECT_TRUE(Platform.IsReadOnly(*At("file.txt")));
	EXPECT_TRUE(Platform.SetReadOnly(*At("file.txt"), false));
	EXPECT_FALSE(Platform.IsReadOnly(*At("file.txt")));
	EXPECT_FALSE(Platform.SetReadOnly(*At("missing"), true));

	EXPECT_FALSE(Platform.CreateDirectory(*At("x/y")));
	EXPECT_TRUE(Platform.CreateDirectoryTree(*At("x/y")));
	EXPECT_TRUE(Platform.CreateDirectory(*At("x/y")));
	EXPECT_FALSE(Platform.DeleteDirectory(*At("x")));
	EXPECT_TRUE(Platform.DeleteDirectory(*At("x/y")));
	EXPECT_FALSE(Platform.DeleteDirectory(*At("x/y")));

	Write("other.txt", "other");
	EXPECT_TRUE(Platform.MoveFile(*At("file.txt"), *At("other.txt")));
	EXPECT_EQ(Read("file.txt"), "other");
	EXPECT_FALSE(Platform.MoveFile(*At("file.txt"), *At("other.txt")));
	EXPECT_TRUE(Platform.DeleteFile(*At("file.txt")));
	EXPECT_FALSE(Platform.DeleteFile(*At("file.txt")));
}

TEST_F(PlatformFile, DeleteDirectoryRecursivelyRemovesLinksNotTheirTargets)
{
	IPlatformFile& Platform = FPlatformFileManager::Get().GetPlatformFile();
	Write("outside/precious.txt", "keep");
	Write("tree/a/b/file.txt", "x");
	fs::create_directory_symlink(Root / "outside", Root / "tree/a/link");
	Write("file.txt", "x");

	EXPECT_TRUE(Platform.DeleteDirectoryRecursively(*At("tree")));
	EXPECT_FALSE(fs::exists(Root / "tree"));
	EXPECT_EQ(Read("outside/precious.txt"), "keep");

	EXPECT_TRUE(Platform.DeleteDirectoryRecursively(*At("tree")));
	EXPECT_FALSE(Platform.DeleteDirectoryRecursively(*At("file.txt")));
	EXPECT_EQ(Read("file.txt"), "x");
}
