#include "ContentMount.h"

#include "Misc/PackageName.h"
#include "Misc/Paths.h"

namespace
{
	const TCHAR* const GameRoot = TEXT("/Game/");
}

FString FindEnclosingContent(const FString& File)
{
	FString Folder = FPaths::GetPath(FPaths::ConvertRelativePathToFull(File));
	while (!Folder.IsEmpty())
	{
		if (FPaths::GetCleanFilename(Folder).Equals(TEXT("Content"), ESearchCase::CaseSensitive) && FPaths::DirectoryExists(Folder))
		{
			return Folder;
		}
		const FString Parent = FPaths::GetPath(Folder);
		if (Parent == Folder)
		{
			break;
		}
		Folder = Parent;
	}
	return FString();
}

FScopedContentMount::FScopedContentMount(const FString& InContentDir)
	: ContentDir(InContentDir)
{
	if (!ContentDir.IsEmpty())
	{
		FPackageName::RegisterMountPoint(GameRoot, ContentDir);
	}
}

FScopedContentMount::~FScopedContentMount()
{
	if (!ContentDir.IsEmpty())
	{
		FPackageName::UnRegisterMountPoint(GameRoot, ContentDir);
	}
}
