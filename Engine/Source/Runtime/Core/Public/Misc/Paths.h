#pragma once

// FPaths: path string operations with the engine's semantics. Both '/' and '\' count as
// separators on input; paths this class builds use '/'. The string operations never touch
// the file system; FileExists, DirectoryExists and the full-path conversions do.

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <initializer_list>

class CORE_API FPaths
{
public:
	/** The folder part: "a/b/c.txt" gives "a/b"; a path without a separator gives "". */
	static FString GetPath(const FString& InPath);
	/** The last element, ignoring trailing separators: "a/b/c/" gives "c". */
	static FString GetPathLeaf(const FString& InPath);
	/** The file name with its extension: "a/b/c.txt" gives "c.txt"; "a/b/" gives "". */
	static FString GetCleanFilename(const FString& InPath);
	/** The name without its extension (from the last '.' after the last separator on); the folder part is dropped when bRemovePath. */
	static FString GetBaseFilename(const FString& InPath, bool bRemovePath = true);
	/** The text after the file name's last '.' ("" when the name has none, even if a folder name does). */
	static FString GetExtension(const FString& InPath, bool bIncludeDot = false);
	/** Replaces an existing extension (with or without the dot); a path without one is returned unchanged. An empty extension removes it. */
	static FString ChangeExtension(const FString& InPath, const FString& InNewExtension);
	/** As ChangeExtension, but a path without an extension gets the new one appended. */
	static FString SetExtension(const FString& InPath, const FString& InNewExtension);

	/** Joins the parts with exactly one '/' between neighbours; empty parts, and later parts made only of separators, are skipped. */
	template <typename... PathTypes>
		requires(sizeof...(PathTypes) > 0)
	static FString Combine(const PathTypes&... InPaths)
	{
		return CombineParts({FString(InPaths)...});
	}

	/** True unless the path starts with '/' or '\' or a drive letter ("C:"). An empty path is relative. */
	static bool IsRelative(const FString& InPath);
	/** Backslashes become '/'. */
	static void NormalizeFilename(FString& InPath);
	/** As NormalizeFilename, and trailing separators are dropped, except the one of a root ("/", "C:/"). */
	static void NormalizeDirectoryName(FString& InPath);
	/**
	 * Removes "." elements and each "name/.." pair. Returns false, leaving InPath unchanged,
	 * when a ".." would climb above the start of the path ("../a", "/..", "a/../..").
	 */
	static bool CollapseRelativeDirectories(FString& InPath);

	/**
	 * An absolute, normalized and collapsed form of InPath. A relative path is taken against
	 * the process's current working directory (the engine uses its base directory).
	 */
	static FString ConvertRelativePathToFull(const FString& InPath);
	/** As above, with a relative InPath taken against BasePath (itself made full first). */
	static FString ConvertRelativePathToFull(const FString& BasePath, const FString& InPath);
	/**
	 * Rewrites InPath relative to InRelativeTo, which names a file: give a folder a trailing
	 * '/' ("/a/d/" makes "/a/b/c.txt" into "../b/c.txt"). Elements compare with letter case, as
	 * this platform's file names do. False, leaving InPath unchanged, for paths on different
	 * drives or paths that climb above their root.
	 */
	static bool MakePathRelativeTo(FString& InPath, const TCHAR* InRelativeTo);
	/** True when both name the same place once made full; letter case counts, a trailing separator does not. */
	static bool IsSamePath(const FString& PathA, const FString& PathB);

	/** True for an existing regular file (false for a folder). */
	static bool FileExists(const FString& InPath);
	static bool DirectoryExists(const FString& InPath);

private:
	static FString CombineParts(std::initializer_list<FString> Parts);
};
