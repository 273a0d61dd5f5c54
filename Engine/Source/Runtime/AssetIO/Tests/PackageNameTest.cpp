#include "AssetIOTestFolder.h"
#include "Misc/PackageName.h"

using PackageNameTest = AssetIOTestFolder;

TEST_F(PackageNameTest, PackageNamesAndFilenamesConvertBothWays)
{
	FString Filename;
	ASSERT_TRUE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/Game/Skin/T_Body"), Filename, TEXT(".png")));
	EXPECT_EQ(Filename.ToStdString(), (ContentDir() + TEXT("Skin/T_Body.png")).ToStdString());
	ASSERT_TRUE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/Game/T_Top"), Filename));
	EXPECT_EQ(Filename.ToStdString(), (ContentDir() + TEXT("T_Top")).ToStdString());
	// The root matches without letter case; the rest keeps its spelling, as file names need.
	ASSERT_TRUE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/game/Skin/T_Body"), Filename, TEXT(".png")));
	EXPECT_EQ(Filename.ToStdString(), (ContentDir() + TEXT("Skin/T_Body.png")).ToStdString());

	FString PackageName;
	ASSERT_TRUE(FPackageName::TryConvertFilenameToLongPackageName(ContentDir() + TEXT("Skin/T_Body.png"), PackageName));
	EXPECT_EQ(PackageName.ToStdString(), "/Game/Skin/T_Body");
	ASSERT_TRUE(FPackageName::TryConvertFilenameToLongPackageName(ContentDir() + TEXT("Skin/../T_Top"), PackageName));
	EXPECT_EQ(PackageName.ToStdString(), "/Game/T_Top");
}

TEST_F(PackageNameTest, LongestMountWins)
{
	const FString Extra = RootDir() + TEXT("/Content/Extra");
	FPackageName::RegisterMountPoint(TEXT("/Game/Extra/"), RootDir() + TEXT("/Elsewhere"));
	FPackageName::RegisterMountPoint(TEXT("/Extra/"), Extra);

	FString Filename;
	ASSERT_TRUE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/Game/Extra/A"), Filename));
	EXPECT_EQ(Filename.ToStdString(), (RootDir() + TEXT("/Elsewhere/A")).ToStdString());
	// A root ends at an element boundary: "/Game/ExtraLarge" is not under "/Game/Extra/".
	ASSERT_TRUE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/Game/ExtraLarge/A"), Filename));
	EXPECT_EQ(Filename.ToStdString(), (ContentDir() + TEXT("ExtraLarge/A")).ToStdString());

	// A file in a folder mounted inside another mount belongs to the inner one.
	FString PackageName;
	ASSERT_TRUE(FPackageName::TryConvertFilenameToLongPackageName(Extra + TEXT("/Sub/B.png"), PackageName));
	EXPECT_EQ(PackageName.ToStdString(), "/Extra/Sub/B");

	FPackageName::UnRegisterMountPoint(TEXT("/Game/Extra/"), RootDir() + TEXT("/Elsewhere"));
	FPackageName::UnRegisterMountPoint(TEXT("/Extra/"), Extra);
	ASSERT_TRUE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/Game/Extra/A"), Filename));
	EXPECT_EQ(Filename.ToStdString(), (ContentDir() + TEXT("Extra/A")).ToStdString());
}

TEST_F(PackageNameTest, BadOrEscapingPackageNamesAreRefused)
{
	for (const TCHAR* Name : {TEXT("/Game/../Secret"), TEXT("/Game/Skin/.."), TEXT("/Game/./A"), TEXT("Game/A"), TEXT("/Game/A/"),
			 TEXT("/Game//A"), TEXT("/Game/A B"), TEXT("/Game/A\\B"), TEXT("/Game/A:B"), TEXT("/Game/A\nB"), TEXT(""), TEXT("/Game/"),
			 TEXT("/Engine/A")})
	{
		FString Filename = TEXT("unchanged");
		EXPECT_FALSE(FPackageName::TryConvertLongPackageNameToFilename(Name, Filename, TEXT(".png"))) << Name;
		EXPECT_EQ(Filename.ToStdString(), "unchanged") << Name;
		EXPECT_FALSE(FPackageName::IsValidLongPackageName(Name)) << Name;
	}
	EXPECT_TRUE(FPackageName::IsValidLongPackageName(TEXT("/Game/Skin/T_Body")));

	FText Reason;
	EXPECT_FALSE(FPackageName::IsValidLongPackageName(TEXT("/Game/../Secret"), false, &Reason));
	EXPECT_EQ(Reason.ToString().ToStdString(), "'/Game/../Secret' is not a valid package name: it holds the character '.'");
	EXPECT_FALSE(FPackageName::IsValidLongPackageName(TEXT("/Engine/A"), false, &Reason));
	EXPECT_EQ(Reason.ToString().ToStdString(), "'/Engine/A' is not a valid package name: no content folder is mounted at its root");
	EXPECT_FALSE(FPackageName::IsValidLongPackageName(TEXT("/Game/A/"), false, &Reason));
	EXPECT_EQ(Reason.ToString().ToStdString(), "'/Game/A/' is not a valid package name: it ends with '/'");
}

TEST_F(PackageNameTest, FilesOutsideTheMountOrWithBadNamesAreRefused)
{
	FString PackageName = TEXT("unchanged");
	FString Reason;
	const FString Outside = ContentDir() + TEXT("../Secret.png");
	EXPECT_FALSE(FPackageName::TryConvertFilenameToLongPackageName(Outside, PackageName, &Reason));
	EXPECT_EQ(Reason.ToStdString(), ("'" + Outside + "' has no package name: it lies in no mounted content folder").ToStdString());
	// A sibling folder whose name starts like the content folder is not inside it.
	EXPECT_FALSE(FPackageName::TryConvertFilenameToLongPackageName(RootDir() + TEXT("/ContentOther/A.png"), PackageName));
	EXPECT_FALSE(FPackageName::TryConvertFilenameToLongPackageName(ContentDir(), PackageName));
	EXPECT_FALSE(FPackageName::TryConvertFilenameToLongPackageName(TEXT(""), PackageName));

	const FString Dotted = ContentDir() + TEXT("Skin/T_Body.v2.png");
	EXPECT_FALSE(FPackageName::TryConvertFilenameToLongPackageName(Dotted, PackageName, &Reason));
	EXPECT_EQ(Reason.ToStdString(),
		("'" + Dotted + "' has no package name: '/Game/Skin/T_Body.v2' is not a valid package name: it holds the character '.'").ToStdString());
	EXPECT_EQ(PackageName.ToStdString(), "unchanged");
}

TEST_F(PackageNameTest, MountTableChanges)
{
	EXPECT_TRUE(FPackageName::MountPointExists(TEXT("/Game/")));
	EXPECT_FALSE(FPackageName::MountPointExists(TEXT("/Other/")));

	FLogCapture Capture;
	FPackageName::RegisterMountPoint(TEXT("/Other"), ContentDir());
	FPackageName::RegisterMountPoint(TEXT("/Bad.Root/"), ContentDir());
	EXPECT_FALSE(FPackageName::MountPointExists(TEXT("/Other")));
	EXPECT_FALSE(FPackageName::MountPointExists(TEXT("/Bad.Root/")));
	const TArray<FString> Messages = AssetIOMessages(Capture);
	ASSERT_EQ(Messages.Num(), 2);
	EXPECT_EQ(Messages[0].ToStdString(), "Cannot mount '/Other': a root must end with '/'");
	EXPECT_EQ(Messages[1].ToStdString(), "Cannot mount '/Bad.Root/': it holds the character '.'");

	// Mounting a root again moves it; unmounting needs the folder it maps to.
	const FString Moved = RootDir() + TEXT("/Moved");
	FPackageName::RegisterMountPoint(TEXT("/Game/"), Moved);
	FString Filename;
	ASSERT_TRUE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/Game/A"), Filename));
	EXPECT_EQ(Filename.ToStdString(), (Moved + TEXT("/A")).ToStdString());
	FPackageName::UnRegisterMountPoint(TEXT("/Game/"), ContentDir());
	EXPECT_TRUE(FPackageName::MountPointExists(TEXT("/Game/")));
	FPackageName::UnRegisterMountPoint(TEXT("/Game/"), Moved);
	EXPECT_FALSE(FPackageName::MountPointExists(TEXT("/Game/")));
	EXPECT_FALSE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/Game/A"), Filename));
}

TEST(PackageNamePathTest, ObjectPathsAndShortNames)
{
	EXPECT_EQ(FPackageName::ObjectPathToPackageName(TEXT("/Game/A/B.B")).ToStdString(), "/Game/A/B");
	EXPECT_EQ(FPackageName::ObjectPathToPackageName(TEXT("/Game/A/B.B:Sub")).ToStdString(), "/Game/A/B");
	EXPECT_EQ(FPackageName::ObjectPathToPackageName(TEXT("/Game/A/B")).ToStdString(), "/Game/A/B");
	EXPECT_EQ(FPackageName::GetShortName(TEXT("/Game/A/B")).ToStdString(), "B");
	EXPECT_EQ(FPackageName::GetShortName(TEXT("/Game/A/B.B")).ToStdString(), "B.B");
	EXPECT_EQ(FPackageName::GetShortName(TEXT("B")).ToStdString(), "B");
}
