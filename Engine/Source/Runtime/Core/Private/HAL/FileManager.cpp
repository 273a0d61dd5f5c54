#include "HAL/FileManager.h"

#include "HAL/PlatformFileManager.h"
#include "Logging/LogMacros.h"
#include "Misc/Paths.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace
{
	namespace fs = std::filesystem;

	IPlatformFile& PlatformFile()
	{
		return FPlatformFileManager::Get().GetPlatformFile();
	}

	char FoldCase(char Character)
	{
		return (Character >= 'A' && Character <= 'Z') ? static_cast<char>(Character - 'A' + 'a') : Character;
	}

	/** '*' matches any run of characters, '?' any one; letters match without case. */
	bool MatchesWildcard(std::string_view Name, std::string_view Pattern)
	{
		SIZE_T NameIndex = 0;
		SIZE_T PatternIndex = 0;
		// Where the last '*' was and how much of the name it had taken, to widen it on a mismatch.
		SIZE_T StarIndex = std::string_view::npos;
		SIZE_T StarNameIndex = 0;
		while (NameIndex < Name.size())
		{
			if (PatternIndex < Pattern.size() && Pattern[PatternIndex] == '*')
			{
				StarIndex = PatternIndex++;
				StarNameIndex = NameIndex;
			}
			else if (PatternIndex < Pattern.size()
				&& (Pattern[PatternIndex] == '?' || FoldCase(Pattern[PatternIndex]) == FoldCase(Name[NameIndex])))
			{
				++PatternIndex;
				++NameIndex;
			}
			else if (StarIndex != std::string_view::npos)
			{
				PatternIndex = StarIndex + 1;
				NameIndex = ++StarNameIndex;
			}
			else
			{
				return false;
			}
		}
		while (PatternIndex < Pattern.size() && Pattern[PatternIndex] == '*')
		{
			++PatternIndex;
		}
		return PatternIndex == Pattern.size();
	}

	/** The wildcard FindFiles matches names against: "json" and ".json" mean "*.json". */
	FString ExtensionToWildcard(const TCHAR* FileExtension)
	{
		const FString Extension(FileExtension);
		if (Extension.IsEmpty())
		{
			return "*";
		}
		if (Extension.Contains("*") || Extension.Contains("?"))
		{
			return Extension;
		}
		return Extension[0] == '.' ? "*" + Extension : "*." + Extension;
	}

	fs::path ToNativeDirectory(const TCHAR* Directory)
	{
		FString Normalized(Directory);
		FPaths::NormalizeDirectoryName(Normalized);
		return fs::path(Normalized.ToStdString());
	}

	/** Sorts without letter case, with case breaking ties, so the order is total and stable. */
	void SortNames(TArray<FString>& Names)
	{
		Names.Sort([](const FString& A, const FString& B)
		{
			const int32 Order = A.Compare(B, ESearchCase::IgnoreCase);
			return Order != 0 ? Order < 0 : A.Compare(B, ESearchCase::CaseSensitive) < 0;
		});
	}

	/** Checks that Src can go to Dest under the Move and Copy rules; logs why not. */
	bool CanReplaceDestination(const TCHAR* Operation, const TCHAR* Dest, const TCHAR* Src, bool bReplace, bool bEvenIfReadOnly)
	{
		IPlatformFile& Platform = PlatformFile();
		const FString DestFolder = FPaths::GetPath(FString(Dest));
		const TCHAR* Reason = nullptr;
		if (!Platform.FileExists(Src))
		{
			Reason = "the source is not a file";
		}
		else if (Platform.DirectoryExists(Dest))
		{
			Reason = "the destination is a folder";
		}
		else if (Platform.FileExists(Dest) && !bReplace)
		{
			Reason = "the destination exists";
		}
		else if (Platform.IsReadOnly(Dest) && !bEvenIfReadOnly)
		{
			Reason = "the destination is read-only";
		}
		else if (!DestFolder.IsEmpty() && !Platform.CreateDirectoryTree(*DestFolder))
		{
			Reason = "the destination folder cannot be made";
		}
		if (Reason)
		{
			UE_LOG(LogCore, Warning, "Could not %s '%s' to '%s': %s", Operation, Src, Dest, Reason);
			return false;
		}
		return true;
	}
}

IFileManager& IFileManager::Get()
{
	static IFileManager Manager;
	return Manager;
}

bool IFileManager::FileExists(const TCHAR* Filename)
{
	return PlatformFile().FileExists(Filename);
}

bool IFileManager::DirectoryExists(const TCHAR* Directory)
{
	return PlatformFile().DirectoryExists(Directory);
}

int64 IFileManager::FileSize(const TCHAR* Filename)
{
	const int64 Size = PlatformFile().FileSize(Filename);
	return Size < 0 ? INDEX_NONE : Size;
}

bool IFileManager::Delete(const TCHAR* Filename, bool bRequireExists, bool bEvenReadOnly, bool bQuiet)
{
	IPlatformFile& Platform = PlatformFile();
	const TCHAR* Reason = nullptr;
	if (!Platform.FileExists(Filename))
	{
		if (Platform.DirectoryExists(Filename))
		{
			Reason = "it is a folder";
		}
		else if (bRequireExists)
		{
			Reason = "there is no such file";
		}
		else
		{
			return true;
		}
	}
	else if (!bEvenReadOnly && Platform.IsReadOnly(Filename))
	{
		Reason = "the file is read-only";
	}
	else if (!Platform.DeleteFile(Filename))
	{
		Reason = "the file system refused";
	}
	if (Reason)
	{
		if (!bQuiet)
		{
			UE_LOG(LogCore, Warning, "Could not delete '%s': %s", Filename, Reason);
		}
		return false;
	}
	return true;
}

bool IFileManager::Move(const TCHAR* Dest, const TCHAR* Src, bool bReplace, bool bEvenIfReadOnly)
{
	if (!CanReplaceDestination("move", Dest, Src, bReplace, bEvenIfReadOnly))
	{
		return false;
	}
	if (!PlatformFile().MoveFile(Dest, Src))
	{
		UE_LOG(LogCore, Warning, "Could not move '%s' to '%s': the file system refused", Src, Dest);
		return false;
	}
	return true;
}

uint32 IFileManager::Copy(const TCHAR* Dest, const TCHAR* Src, bool bReplace, bool bEvenIfReadOnly)
{
	if (!CanReplaceDestination("copy", Dest, Src, bReplace, bEvenIfReadOnly))
	{
		return COPY_Fail;
	}
	if (!PlatformFile().CopyFile(Dest, Src))
	{
		UE_LOG(LogCore, Warning, "Could not copy '%s' to '%s': the file system refused", Src, Dest);
		return COPY_Fail;
	}
	return COPY_OK;
}

bool IFileManager::MakeDirectory(const TCHAR* Path, bool bTree)
{
	return bTree ? PlatformFile().CreateDirectoryTree(Path) : PlatformFile().CreateDirectory(Path);
}

bool IFileManager::DeleteDirectory(const TCHAR* Path, bool bRequireExists, bool bTree)
{
	IPlatformFile& Platform = PlatformFile();
	if (!Platform.DirectoryExists(Path))
	{
		return !bRequireExists && !Platform.FileExists(Path);
	}
	return bTree ? Platform.DeleteDirectoryRecursively(Path) : Platform.DeleteDirectory(Path);
}

void IFileManager::FindFiles(TArray<FString>& FoundFiles, const TCHAR* Directory, const TCHAR* FileExtension)
{
	if (!Directory || !*Directory)
	{
		return;
	}
	const FString Wildcard = ExtensionToWildcard(FileExtension);
	TArray<FString> Found;
	std::error_code Error;
	for (fs::directory_iterator It(ToNativeDirectory(Directory), Error), End; !Error && It != End; It.increment(Error))
	{
		std::error_code TypeError;
		const std::string Name = It->path().filename().string();
		if (It->is_regular_file(TypeError) && MatchesWildcard(Name, Wildcard.ToView()))
		{
			Found.Add(FString(Name));
		}
	}
	SortNames(Found);
	FoundFiles.Append(std::move(Found));
}

void IFileManager::FindFilesRecursive(TArray<FString>& FileNames, const TCHAR* StartDirectory, const TCHAR* Filename, bool bFiles,
	bool bDirectories, bool bClearFileNames)
{
	if (bClearFileNames)
	{
		FileNames.Empty();
	}
	if (!StartDirectory || !*StartDirectory)
	{
		return;
	}
	const std::string_view Wildcard = Filename && *Filename ? std::string_view(Filename) : std::string_view("*");
	TArray<FString> Found;
	std::error_code Error;
	for (fs::recursive_directory_iterator It(ToNativeDirectory(StartDirectory), fs::directory_options::skip_permission_denied, Error), End;
		!Error && It != End; It.increment(Error))
	{
		std::error_code TypeError;
		const bool bIsDirectory = It->is_directory(TypeError);
		const bool bWanted = bIsDirectory ? bDirectories : (bFiles && It->is_regular_file(TypeError));
		if (bWanted && MatchesWildcard(It->path().filename().string(), Wildcard))
		{
			Found.Add(FString(It->path().string()));
		}
	}
	SortNames(Found);
	FileNames.Append(std::move(Found));
}
