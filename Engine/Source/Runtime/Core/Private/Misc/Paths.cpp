#include "Misc/Paths.h"

#include "HAL/FileManager.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace
{
	bool IsSeparator(char Character)
	{
		return Character == '/' || Character == '\\';
	}

	bool IsAsciiLetter(char Character)
	{
		return (Character >= 'a' && Character <= 'z') || (Character >= 'A' && Character <= 'Z');
	}

	bool StartsWithDrive(std::string_view Path)
	{
		return Path.size() >= 2 && IsAsciiLetter(Path[0]) && Path[1] == ':';
	}

	/** Index of the last separator, or npos. */
	std::string_view::size_type FindLastSeparator(std::string_view Path)
	{
		return Path.find_last_of("/\\");
	}

	/** Index of the extension's dot, or npos when the last element has none. */
	std::string_view::size_type FindExtensionDot(std::string_view Path)
	{
		const std::string_view::size_type Dot = Path.rfind('.');
		const std::string_view::size_type Separator = FindLastSeparator(Path);
		if (Dot == std::string_view::npos || (Separator != std::string_view::npos && Separator > Dot))
		{
			return std::string_view::npos;
		}
		return Dot;
	}

	/** Appends the extension, adding the dot unless it already has one. */
	void AppendExtension(std::string& Path, const FString& Extension)
	{
		if (!Extension.IsEmpty() && Extension[0] != '.')
		{
			Path += '.';
		}
		Path += Extension.ToView();
	}

	/** Length of the part that ".." can never remove: a drive ("C:") and the leading separators after it. */
	std::string_view::size_type RootLength(std::string_view Path)
	{
		std::string_view::size_type Length = StartsWithDrive(Path) ? 2 : 0;
		while (Length < Path.size() && IsSeparator(Path[Length]))
		{
			++Length;
		}
		return Length;
	}

	/**
	 * Collapses Path into OutPath; false when a ".." has nothing left to remove. Each element
	 * keeps the separator that came before it, so the result spells separators as the input
	 * did. Empty elements ("a//b") are dropped, except a final one, which keeps a trailing
	 * separator ("a/b/" stays a folder path).
	 */
	bool Collapse(std::string_view Path, std::string& OutPath)
	{
		struct FElement
		{
			char Separator;
			std::string_view Name;
		};

		const std::string_view::size_type Root = RootLength(Path);
		std::vector<FElement> Kept;
		char Separator = 0;
		std::string_view::size_type Start = Root;
		for (;;)
		{
			const std::string_view::size_type End = Path.find_first_of("/\\", Start);
			const bool bLast = End == std::string_view::npos;
			const std::string_view Name = Path.substr(Start, bLast ? std::string_view::npos : End - Start);
			if (Name == "..")
			{
				if (Kept.empty())
				{
					return false;
				}
				Kept.pop_back();
			}
			else if (Name != "." && (!Name.empty() || bLast))
			{
				Kept.push_back(FElement{Separator, Name});
			}
			if (bLast)
			{
				break;
			}
			Separator = Path[End];
			Start = End + 1;
		}

		OutPath.assign(Path.substr(0, Root));
		for (SIZE_T Index = 0; Index < Kept.size(); ++Index)
		{
			if (Index > 0)
			{
				OutPath += Kept[Index].Separator;
			}
			OutPath += Kept[Index].Name;
		}
		return true;
	}

	/** The full form of InPath against BaseDirectory (itself full); false when collapsing failed and ".." remains. */
	bool MakeFull(const FString& BaseDirectory, const FString& InPath, FString& OutFull)
	{
		OutFull = FPaths::IsRelative(InPath) ? FPaths::Combine(BaseDirectory, InPath) : InPath;
		FPaths::NormalizeFilename(OutFull);
		return FPaths::CollapseRelativeDirectories(OutFull);
	}

	FString CurrentDirectory()
	{
		std::error_code Error;
		return FString(std::filesystem::current_path(Error).string());
	}

	TArray<FString> SplitElements(const FString& Path)
	{
		TArray<FString> Elements;
		Path.ParseIntoArray(Elements, "/", true);
		return Elements;
	}
}

FString FPaths::GetPath(const FString& InPath)
{
	const std::string_view::size_type Separator = FindLastSeparator(InPath.ToView());
	return Separator == std::string_view::npos ? FString() : InPath.Left(static_cast<int32>(Separator));
}

FString FPaths::GetPathLeaf(const FString& InPath)
{
	std::string_view Path = InPath.ToView();
	while (!Path.empty() && IsSeparator(Path.back()))
	{
		Path.remove_suffix(1);
	}
	return GetCleanFilename(FString(Path));
}

FString FPaths::GetCleanFilename(const FString& InPath)
{
	const std::string_view::size_type Separator = FindLastSeparator(InPath.ToView());
	return Separator == std::string_view::npos ? InPath : InPath.RightChop(static_cast<int32>(Separator) + 1);
}

FString FPaths::GetBaseFilename(const FString& InPath, bool bRemovePath)
{
	const FString Work = bRemovePath ? GetCleanFilename(InPath) : InPath;
	const std::string_view::size_type Dot = FindExtensionDot(Work.ToView());
	return Dot == std::string_view::npos ? Work : Work.Left(static_cast<int32>(Dot));
}

FString FPaths::GetExtension(const FString& InPath, bool bIncludeDot)
{
	const FString Name = GetCleanFilename(InPath);
	const std::string_view::size_type Dot = Name.ToView().rfind('.');
	if (Dot == std::string_view::npos)
	{
		return FString();
	}
	return Name.RightChop(static_cast<int32>(Dot) + (bIncludeDot ? 0 : 1));
}

FString FPaths::ChangeExtension(const FString& InPath, const FString& InNewExtension)
{
	const std::string_view::size_type Dot = FindExtensionDot(InPath.ToView());
	if (Dot == std::string_view::npos)
	{
		return InPath;
	}
	std::string Result(InPath.ToView().substr(0, Dot));
	AppendExtension(Result, InNewExtension);
	return FString(std::move(Result));
}

FString FPaths::SetExtension(const FString& InPath, const FString& InNewExtension)
{
	const std::string_view::size_type Dot = FindExtensionDot(InPath.ToView());
	std::string Result(InPath.ToView().substr(0, Dot));
	AppendExtension(Result, InNewExtension);
	return FString(std::move(Result));
}

FString FPaths::CombineParts(std::initializer_list<FString> Parts)
{
	std::string Result;
	for (const FString& Part : Parts)
	{
		const std::string_view View = Part.ToView();
		if (View.empty())
		{
			continue;
		}
		if (Result.empty())
		{
			Result = View;
			continue;
		}
		const std::string_view::size_type PartStart = View.find_first_not_of("/\\");
		if (PartStart == std::string_view::npos)
		{
			continue;
		}
		const std::string::size_type ResultEnd = Result.find_last_not_of("/\\");
		Result.resize(ResultEnd == std::string::npos ? 0 : ResultEnd + 1);
		Result += '/';
		Result += View.substr(PartStart);
	}
	return FString(std::move(Result));
}

bool FPaths::IsRelative(const FString& InPath)
{
	const std::string_view Path = InPath.ToView();
	const bool bRooted = (!Path.empty() && IsSeparator(Path[0])) || StartsWithDrive(Path);
	return !bRooted;
}

void FPaths::NormalizeFilename(FString& InPath)
{
	InPath.ReplaceInline("\\", "/", ESearchCase::CaseSensitive);
}

void FPaths::NormalizeDirectoryName(FString& InPath)
{
	NormalizeFilename(InPath);
	const int32 Root = static_cast<int32>(RootLength(InPath.ToView()));
	int32 End = InPath.Len();
	while (End > Root && InPath[End - 1] == '/')
	{
		--End;
	}
	InPath.LeftInline(End);
}

bool FPaths::CollapseRelativeDirectories(FString& InPath)
{
	std::string Collapsed;
	if (!Collapse(InPath.ToView(), Collapsed))
	{
		return false;
	}
	InPath = FString(std::move(Collapsed));
	return true;
}

FString FPaths::ConvertRelativePathToFull(const FString& InPath)
{
	FString Full;
	MakeFull(CurrentDirectory(), InPath, Full);
	return Full;
}

FString FPaths::ConvertRelativePathToFull(const FString& BasePath, const FString& InPath)
{
	FString Full;
	MakeFull(ConvertRelativePathToFull(BasePath), InPath, Full);
	return Full;
}

bool FPaths::MakePathRelativeTo(FString& InPath, const TCHAR* InRelativeTo)
{
	const FString Current = CurrentDirectory();
	FString Target;
	FString Source;
	if (!MakeFull(Current, InPath, Target) || !MakeFull(Current, FString(InRelativeTo), Source))
	{
		return false;
	}
	// InRelativeTo names a file, so its folder is the base; a trailing '/' makes it a folder.
	TArray<FString> TargetElements = SplitElements(Target);
	TArray<FString> SourceElements = SplitElements(GetPath(Source));

	const bool bTargetDrive = !TargetElements.IsEmpty() && StartsWithDrive(TargetElements[0].ToView());
	const bool bSourceDrive = !SourceElements.IsEmpty() && StartsWithDrive(SourceElements[0].ToView());
	if ((bTargetDrive || bSourceDrive)
		&& !(bTargetDrive && bSourceDrive && TargetElements[0].Equals(SourceElements[0], ESearchCase::IgnoreCase)))
	{
		return false;
	}

	// Drive letters ignore case; every other element is a file name, which does not here.
	int32 Common = bTargetDrive ? 1 : 0;
	while (Common < TargetElements.Num() && Common < SourceElements.Num()
		&& TargetElements[Common].Equals(SourceElements[Common], ESearchCase::CaseSensitive))
	{
		++Common;
	}
	FString Result;
	for (int32 Index = Common; Index < SourceElements.Num(); ++Index)
	{
		Result += "../";
	}
	for (int32 Index = Common; Index < TargetElements.Num(); ++Index)
	{
		if (Index > Common)
		{
			Result += '/';
		}
		Result += TargetElements[Index];
	}
	InPath = Result;
	return true;
}

bool FPaths::IsSamePath(const FString& PathA, const FString& PathB)
{
	FString FullA = ConvertRelativePathToFull(PathA);
	FString FullB = ConvertRelativePathToFull(PathB);
	NormalizeDirectoryName(FullA);
	NormalizeDirectoryName(FullB);
	return FullA.Equals(FullB, ESearchCase::CaseSensitive);
}

bool FPaths::FileExists(const FString& InPath)
{
	return IFileManager::Get().FileExists(*InPath);
}

bool FPaths::DirectoryExists(const FString& InPath)
{
	return IFileManager::Get().DirectoryExists(*InPath);
}
