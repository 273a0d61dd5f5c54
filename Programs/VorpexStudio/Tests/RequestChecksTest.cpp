// What the studio checks of a request before anything happens: who sends it, and the names
// of the edit states it saves and loads.

#include "RequestOriginGuard.h"
#include "SavedStateFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

TEST(RequestOriginGuard, AcceptsOnlyThisServersOwnAddresses)
{
	const FRequestOriginGuard Guard(8080);
	EXPECT_TRUE(Guard.CheckHeaders("127.0.0.1:8080", "").IsEmpty());
	EXPECT_TRUE(Guard.CheckHeaders("LOCALHOST:8080", "http://localhost:8080").IsEmpty());
	EXPECT_TRUE(Guard.CheckHeaders("127.0.0.1:8080", "http://127.0.0.1:8080").IsEmpty());
	EXPECT_FALSE(Guard.CheckHeaders("", "").IsEmpty()) << "a request without Host";
	EXPECT_FALSE(Guard.CheckHeaders("127.0.0.1", "").IsEmpty()) << "another port";
	EXPECT_FALSE(Guard.CheckHeaders("127.0.0.1:80801", "").IsEmpty());
	EXPECT_FALSE(Guard.CheckHeaders("attacker.example:8080", "").IsEmpty()) << "a rebound name";
	EXPECT_FALSE(Guard.CheckHeaders("127.0.0.1:8080", "null").IsEmpty()) << "a sandboxed page";
	EXPECT_FALSE(Guard.CheckHeaders("127.0.0.1:8080", "https://127.0.0.1:8080").IsEmpty());
	EXPECT_FALSE(Guard.CheckHeaders("127.0.0.1:8080", "http://127.0.0.1:8080.attacker.example").IsEmpty());
	EXPECT_FALSE(Guard.CheckHeaders("127.0.0.1:8080", "http://127.0.0.1:9090").IsEmpty());
}

TEST(SavedStateFolder, NamesStayInsideTheFolder)
{
	EXPECT_TRUE(FSavedStateFolder::CheckName(TEXT("v1.2 final-cut_3")).IsEmpty());
	EXPECT_TRUE(FSavedStateFolder::CheckName(FString::ChrN(64, 'x')).IsEmpty());
	EXPECT_EQ(FSavedStateFolder::CheckName(FString::ChrN(65, 'x')), TEXT("a state's name has 1 to 64 characters"));
	EXPECT_EQ(FSavedStateFolder::CheckName(TEXT("")), TEXT("a state's name has 1 to 64 characters"));
	EXPECT_EQ(FSavedStateFolder::CheckName(TEXT("..")), TEXT("a state's name does not start with '.' or a space"));
	EXPECT_EQ(FSavedStateFolder::CheckName(TEXT(" x")), TEXT("a state's name does not start with '.' or a space"));
	for (const TCHAR* Bad : {TEXT("a/b"), TEXT("a\\b"), TEXT("x:y"), TEXT("caf\xc3\xa9"), TEXT("a\nb")})
	{
		EXPECT_EQ(FSavedStateFolder::CheckName(Bad), TEXT("a state's name has only letters, digits, '_', '-', '.' and spaces")) << Bad;
	}
}

TEST(SavedStateFolder, ListsOnlyTheStatesItCouldHaveSaved)
{
	const std::filesystem::path Root = std::filesystem::temp_directory_path() / ("VorpexSavedStates-" + std::to_string(getpid()));
	const FSavedStateFolder Folder{FString(Root.string())};
	EXPECT_TRUE(Folder.List().IsEmpty()) << "no Saved folder yet";
	std::filesystem::create_directories(Root / "Saved");
	for (const char* File : {"b.bin", "A.bin", "notes.txt", "upper.BIN", ".hidden.bin"})
	{
		std::ofstream(Root / "Saved" / File) << "x";
	}
	EXPECT_EQ(Folder.List(), (TArray<FString>{TEXT("A"), TEXT("b")}));
	EXPECT_EQ(Folder.FileOf(TEXT("A")), FString((Root / "Saved" / "A.bin").string()));
	std::filesystem::remove_all(Root);
}
