#include "SavedStateFolder.h"

#include "HAL/FileManager.h"
#include "Misc/Paths.h"

namespace
{
	const TCHAR* const Extension = TEXT(".bin");

	bool IsNameCharacter(TCHAR Character)
	{
		return (Character >= 'a' && Character <= 'z') || (Character >= 'A' && Character <= 'Z') || (Character >= '0' && Character <= '9')
			|| Character == '_' || Character == '-' || Character == '.' || Character == ' ';
	}
}

FSavedStateFolder::FSavedStateFolder(const FString& ProjectDir)
	: Dir(FPaths::Combine(ProjectDir, TEXT("Saved")))
{
}

FString FSavedStateFolder::CheckName(const FString& Name)
{
	if (Name.IsEmpty() || Name.Len() > MaxNameLength)
	{
		return FString::Printf(TEXT("a state's name has 1 to %d characters"), MaxNameLength);
	}
	if (Name[0] == '.' || Name[0] == ' ')
	{
		return TEXT("a state's name does not start with '.' or a space");
	}
	for (int32 Index = 0; Index < Name.Len(); ++Index)
	{
		if (!IsNameCharacter(Name[Index]))
		{
			return TEXT("a state's name has only letters, digits, '_', '-', '.' and spaces");
		}
	}
	return FString();
}

FString FSavedStateFolder::FileOf(const FString& Name) const
{
	check(CheckName(Name).IsEmpty());
	return FPaths::Combine(Dir, Name + Extension);
}

TArray<FString> FSavedStateFolder::List() const
{
	TArray<FString> Files;
	IFileManager::Get().FindFiles(Files, *Dir, Extension);
	TArray<FString> Names;
	for (const FString& File : Files)
	{
		const FString Name = FPaths::GetBaseFilename(File);
		// Matching ignores case, so "x.BIN" is found, but only "x.bin" is the file the name stands for.
		if (File.EndsWith(Extension, ESearchCase::CaseSensitive) && CheckName(Name).IsEmpty())
		{
			Names.Add(Name);
		}
	}
	Names.Sort();
	return Names;
}
