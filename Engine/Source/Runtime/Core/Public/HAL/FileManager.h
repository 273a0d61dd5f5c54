#pragma once

// IFileManager: the engine's everyday file operations, over the platform file layer. Unlike
// the platform layer it creates missing destination folders and honours read-only files, and
// Delete, Move and Copy log why they failed as warnings on LogCore.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

/** What IFileManager::Copy returns. */
enum ECopyResult
{
	COPY_OK = 0x00,
	COPY_Fail = 0x01,
};

class CORE_API IFileManager
{
public:
	static IFileManager& Get();

	/** True for an existing regular file (false for a folder). */
	bool FileExists(const TCHAR* Filename);
	bool DirectoryExists(const TCHAR* Directory);
	/** The size in bytes, or INDEX_NONE when the file is missing or a folder. */
	int64 FileSize(const TCHAR* Filename);

	/**
	 * Deletes a file. A missing file counts as success unless bRequireExists; a read-only
	 * file is deleted only when bEvenReadOnly; a folder is never deleted. Failures are logged
	 * as warnings unless bQuiet.
	 */
	bool Delete(const TCHAR* Filename, bool bRequireExists = false, bool bEvenReadOnly = false, bool bQuiet = false);
	/**
	 * Moves Src to Dest, creating Dest's folder. An existing Dest is replaced only when
	 * bReplace, and a read-only one only when bEvenIfReadOnly; the replacement is a single
	 * rename, so Dest is never lost when the move fails.
	 */
	bool Move(const TCHAR* Dest, const TCHAR* Src, bool bReplace = true, bool bEvenIfReadOnly = false);
	/** Copies Src to Dest with Move's rules for the destination; returns an ECopyResult. */
	uint32 Copy(const TCHAR* Dest, const TCHAR* Src, bool bReplace = true, bool bEvenIfReadOnly = false);

	/** Creates the folder (and its missing parents when bTree); true when it exists afterwards. */
	bool MakeDirectory(const TCHAR* Path, bool bTree = false);
	/**
	 * Deletes the folder, with everything in it when bTree (else it must be empty). A missing
	 * folder counts as success unless bRequireExists; a path that is a file fails.
	 */
	bool DeleteDirectory(const TCHAR* Path, bool bRequireExists = false, bool bTree = false);

	/**
	 * Appends the clean names (no folder) of the regular files directly in Directory whose
	 * extension matches FileExtension, given with or without the dot ("json", ".json") or as a
	 * wildcard ('*' and '?': "*.json"); a null or empty FileExtension matches every file. Matching ignores
	 * letter case. The names are sorted, so the result does not depend on the file system.
	 */
	void FindFiles(TArray<FString>& FoundFiles, const TCHAR* Directory, const TCHAR* FileExtension);
	/**
	 * Collects the paths (StartDirectory joined with the path below it) of the files and/or
	 * folders under StartDirectory, at any depth, whose names match the wildcard Filename
	 * ('*' and '?', ignoring letter case). Linked folders are not entered. Sorted; appended
	 * to FileNames unless bClearFileNames empties it first.
	 */
	void FindFilesRecursive(TArray<FString>& FileNames, const TCHAR* StartDirectory, const TCHAR* Filename, bool bFiles,
		bool bDirectories, bool bClearFileNames = true);

private:
	IFileManager() = default;
};
