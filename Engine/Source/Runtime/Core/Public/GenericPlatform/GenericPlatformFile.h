#pragma once

// IPlatformFile: the lowest file layer, one call per file system operation. Paths are UTF-8
// and may use '/' or '\'. Operations report failure by their result and never log; the
// layers above (IFileManager, FFileHelper) decide what to tell people.

#include "CoreTypes.h"

class CORE_API IPlatformFile
{
public:
	virtual ~IPlatformFile() = default;

	/** The layer that talks to the operating system's file system. */
	static IPlatformFile& GetPlatformPhysical();

	/** True for an existing regular file (false for a folder). */
	virtual bool FileExists(const TCHAR* Filename) = 0;
	/** The size in bytes of a regular file; -1 when it is missing or not a regular file. */
	virtual int64 FileSize(const TCHAR* Filename) = 0;
	/** Deletes a regular file; false when it is missing or not a regular file. */
	virtual bool DeleteFile(const TCHAR* Filename) = 0;
	/** True when the file exists and its owner may not write it. */
	virtual bool IsReadOnly(const TCHAR* Filename) = 0;
	/** Clears or sets the write permission bits; false when the file is missing. */
	virtual bool SetReadOnly(const TCHAR* Filename, bool bNewReadOnlyValue) = 0;
	/** Renames From to To, replacing an existing file at To; works across file systems. */
	virtual bool MoveFile(const TCHAR* To, const TCHAR* From) = 0;
	/**
	 * Copies the regular file From to To, replacing an existing file. The copy goes to a
	 * temporary file next to To first, so a failed copy leaves To as it was.
	 */
	virtual bool CopyFile(const TCHAR* To, const TCHAR* From) = 0;

	virtual bool DirectoryExists(const TCHAR* Directory) = 0;
	/** Creates one folder; true when it exists afterwards. Fails when the parent is missing. */
	virtual bool CreateDirectory(const TCHAR* Directory) = 0;
	/** Creates the folder and any missing parents; true when it exists afterwards. */
	virtual bool CreateDirectoryTree(const TCHAR* Directory) = 0;
	/** Deletes an empty folder; false when it is missing, not empty or not a folder. */
	virtual bool DeleteDirectory(const TCHAR* Directory) = 0;
	/**
	 * Deletes a folder and everything under it (links are removed, not followed). True when
	 * nothing is left there, a missing folder included; false for a path that is a file.
	 */
	virtual bool DeleteDirectoryRecursively(const TCHAR* Directory) = 0;
};
