#include "Misc/PackageName.h"

#include "AssetIOLog.h"
#include "Misc/Paths.h"

#include <algorithm>
#include <string_view>

namespace
{
	struct FMountPoint
	{
		/** "/Game/", as registered. */
		FString RootPath;
		/** Full, normalized, with a trailing '/'. */
		FString ContentPath;
	};

	struct FMountTable
	{
		FCriticalSection Lock;
		/** Longest root first, so the most specific mount wins a lookup. */
		TArray<FMountPoint> Mounts;
	};

	FMountTable& GetMountTable()
	{
		static FMountTable Table;
		return Table;
	}

	/** The engine's set of characters that may not appear in a long package name. */
	constexpr std::string_view InvalidPackageCharacters = "\\:*?\"<>|' ,.&!~@#";

	/** Why Name is not a well-formed package name or root ("" when it is); roots end with '/'. */
	FString FindNameProblem(const FString& Name, bool bIsRoot)
	{
		if (Name.IsEmpty())
		{
			return TEXT("it is empty");
		}
		if (Name[0] != '/')
		{
			return TEXT("it does not start with '/'");
		}
		if (bIsRoot != (Name.Len() > 1 && Name[Name.Len() - 1] == '/'))
		{
			return bIsRoot ? TEXT("a root must end with '/'") : TEXT("it ends with '/'");
		}
		if (Name.Contains(TEXT("//")))
		{
			return TEXT("it has an empty element");
		}
		for (const TCHAR Character : Name.ToView())
		{
			if (static_cast<unsigned char>(Character) < 0x20 || Character == 0x7f)
			{
				return TEXT("it holds a control character");
			}
			if (InvalidPackageCharacters.find(Character) != std::string_view::npos)
			{
				return FString::Printf(TEXT("it holds the character '%c'"), Character);
			}
		}
		return FString();
	}

	/** The mount whose root starts LongPackageName, longest root first; copied so no lock is held afterwards. */
	TOptional<FMountPoint> FindMountForPackage(const FString& LongPackageName)
	{
		FMountTable& Table = GetMountTable();
		FScopeLock ScopeLock(&Table.Lock);
		for (const FMountPoint& Mount : Table.Mounts)
		{
			if (LongPackageName.StartsWith(Mount.RootPath, ESearchCase::IgnoreCase) && LongPackageName.Len() > Mount.RootPath.Len())
			{
				return Mount;
			}
		}
		return TOptional<FMountPoint>();
	}

	/** The mount whose folder holds FullFilename; folders compare with letter case, as this platform's file names do. */
	TOptional<FMountPoint> FindMountForFile(const FString& FullFilename)
	{
		FMountTable& Table = GetMountTable();
		FScopeLock ScopeLock(&Table.Lock);
		const FMountPoint* Best = nullptr;
		for (const FMountPoint& Mount : Table.Mounts)
		{
			if (FullFilename.StartsWith(Mount.ContentPath, ESearchCase::CaseSensitive) && FullFilename.Len() > Mount.ContentPath.Len()
				&& (!Best || Mount.ContentPath.Len() > Best->ContentPath.Len()))
			{
				Best = &Mount;
			}
		}
		return Best ? TOptional<FMountPoint>(*Best) : TOptional<FMountPoint>();
	}

	FString ToContentFolder(const FString& ContentPath)
	{
		FString Folder = FPaths::ConvertRelativePathToFull(ContentPath);
		if (!Folder.EndsWith(TEXT("/"), ESearchCase::CaseSensitive))
		{
			Folder += TEXT("/");
		}
		return Folder;
	}
}

void FPackageName::RegisterMountPoint(const FString& RootPath, const FString& ContentPath)
{
	const FString Problem = FindNameProblem(RootPath, true);
	if (!Problem.IsEmpty())
	{
		UE_LOG(LogAssetIO, Warning, TEXT("Cannot mount '%s': %s"), *RootPath, *Problem);
		return;
	}
	FMountPoint NewMount{RootPath, ToContentFolder(ContentPath)};
	FMountTable& Table = GetMountTable();
	FScopeLock ScopeLock(&Table.Lock);
	Table.Mounts.RemoveAll([&RootPath](const FMountPoint& Mount) { return Mount.RootPath.Equals(RootPath, ESearchCase::IgnoreCase); });
	int32 Index = 0;
	while (Index < Table.Mounts.Num() && Table.Mounts[Index].RootPath.Len() >= RootPath.Len())
	{
		++Index;
	}
	Table.Mounts.Insert(std::move(NewMount), Index);
}

void FPackageName::UnRegisterMountPoint(const FString& RootPath, const FString& ContentPath)
{
	const FString Folder = ToContentFolder(ContentPath);
	FMountTable& Table = GetMountTable();
	FScopeLock ScopeLock(&Table.Lock);
	Table.Mounts.RemoveAll([&](const FMountPoint& Mount)
		{ return Mount.RootPath.Equals(RootPath, ESearchCase::IgnoreCase) && Mount.ContentPath.Equals(Folder, ESearchCase::CaseSensitive); });
}

bool FPackageName::MountPointExists(const FString& RootPath)
{
	FMountTable& Table = GetMountTable();
	FScopeLock ScopeLock(&Table.Lock);
	return Table.Mounts.ContainsByPredicate([&RootPath](const FMountPoint& Mount) { return Mount.RootPath.Equals(RootPath, ESearchCase::IgnoreCase); });
}

bool FPackageName::IsValidLongPackageName(const FString& LongPackageName, bool bIncludeReadOnlyRoots, FText* OutReason)
{
	FString Problem = FindNameProblem(LongPackageName, false);
	if (Problem.IsEmpty() && !FindMountForPackage(LongPackageName).IsSet())
	{
		Problem = TEXT("no content folder is mounted at its root");
	}
	if (!Problem.IsEmpty() && OutReason)
	{
		*OutReason = FText::FromString(FString::Printf(TEXT("'%s' is not a valid package name: %s"), *LongPackageName, *Problem));
	}
	return Problem.IsEmpty();
}

bool FPackageName::TryConvertLongPackageNameToFilename(const FString& LongPackageName, FString& OutFilename, const FString& InExtension)
{
	if (!FindNameProblem(LongPackageName, false).IsEmpty())
	{
		return false;
	}
	const TOptional<FMountPoint> Mount = FindMountForPackage(LongPackageName);
	if (!Mount.IsSet())
	{
		return false;
	}
	OutFilename = Mount->ContentPath + LongPackageName.RightChop(Mount->RootPath.Len()) + InExtension;
	return true;
}

bool FPackageName::TryConvertFilenameToLongPackageName(const FString& InFilename, FString& OutPackageName, FString* OutFailureReason)
{
	auto Fail = [&](const FString& Reason)
	{
		if (OutFailureReason)
		{
			*OutFailureReason = FString::Printf(TEXT("'%s' has no package name: %s"), *InFilename, *Reason);
		}
		return false;
	};
	if (InFilename.IsEmpty())
	{
		return Fail(TEXT("the file name is empty"));
	}
	const FString FullFilename = FPaths::ConvertRelativePathToFull(InFilename);
	const TOptional<FMountPoint> Mount = FindMountForFile(FullFilename);
	if (!Mount.IsSet())
	{
		return Fail(TEXT("it lies in no mounted content folder"));
	}
	const FString Relative = FullFilename.RightChop(Mount->ContentPath.Len());
	const FString PackageName = Mount->RootPath + FPaths::Combine(FPaths::GetPath(Relative), FPaths::GetBaseFilename(Relative));
	const FString Problem = FindNameProblem(PackageName, false);
	if (!Problem.IsEmpty())
	{
		return Fail(FString::Printf(TEXT("'%s' is not a valid package name: %s"), *PackageName, *Problem));
	}
	OutPackageName = PackageName;
	return true;
}

FString FPackageName::ObjectPathToPackageName(const FString& InObjectPath)
{
	int32 DotIndex = INDEX_NONE;
	return InObjectPath.FindChar('.', DotIndex) ? InObjectPath.Left(DotIndex) : InObjectPath;
}

FString FPackageName::GetShortName(const FString& LongName)
{
	int32 SlashIndex = INDEX_NONE;
	return LongName.FindLastChar('/', SlashIndex) ? LongName.RightChop(SlashIndex + 1) : LongName;
}
