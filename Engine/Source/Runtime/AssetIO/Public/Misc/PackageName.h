#pragma once

// FPackageName: the content mount table and the conversions between long package names
// ("/Game/Skin/T_Body"), object paths ("/Game/Skin/T_Body.T_Body") and the files on disk
// that hold them. A mount point maps a root ("/Game/") to a content folder; the part of a
// package name below its root names a file below that folder, letter case kept.
//
// A long package name starts with '/', has no empty element and no trailing '/', and holds
// none of the characters \ : * ? " < > | ' , . & ! ~ @ # nor spaces or control characters.
// As '.' is refused, no package name can climb out of its mount with "..". Roots match
// without regard to letter case; when several roots match, the longest wins. The table is
// shared by all threads.

#include "CoreMinimal.h"

class ASSETIO_API FPackageName
{
public:
	/**
	 * Mounts ContentPath (a folder, relative paths taken against the working directory) at
	 * RootPath, which must start and end with '/' ("/Game/"); mounting a root again replaces
	 * its folder. An invalid root is refused with a warning.
	 */
	static void RegisterMountPoint(const FString& RootPath, const FString& ContentPath);
	/** Removes the mount of RootPath when it maps to ContentPath; anything else is left alone. */
	static void UnRegisterMountPoint(const FString& RootPath, const FString& ContentPath);
	/** True when RootPath ("/Game/") is mounted. */
	static bool MountPointExists(const FString& RootPath);

	/**
	 * The file of a package: "/Game/Skin/T_Body" with ".png" gives "<content>/Skin/T_Body.png".
	 * False, leaving OutFilename alone, for an invalid name or one under no mounted root.
	 */
	static bool TryConvertLongPackageNameToFilename(const FString& LongPackageName, FString& OutFilename, const FString& InExtension = TEXT(""));
	/**
	 * The package of a file below a mounted folder, its extension dropped: "<content>/Skin/T_Body.png"
	 * gives "/Game/Skin/T_Body". Relative names are taken against the working directory and
	 * ".." is resolved first, so a path that leaves the folder is refused. False, with the
	 * reason in OutFailureReason when given, for a file under no mount or whose name does not
	 * make a valid package name.
	 */
	static bool TryConvertFilenameToLongPackageName(const FString& InFilename, FString& OutPackageName, FString* OutFailureReason = nullptr);

	/**
	 * True for a well-formed long package name under a mounted root; OutReason says why not.
	 * This runtime mounts no read-only roots, so bIncludeReadOnlyRoots changes nothing.
	 */
	static bool IsValidLongPackageName(const FString& LongPackageName, bool bIncludeReadOnlyRoots = false, FText* OutReason = nullptr);

	/** The package part of an object path: "/Game/A/B.B" gives "/Game/A/B"; a path without '.' is returned whole. */
	static FString ObjectPathToPackageName(const FString& InObjectPath);
	/** The last element of a long name: "/Game/A/B" gives "B", "/Game/A/B.B" gives "B.B". */
	static FString GetShortName(const FString& LongName);
};
