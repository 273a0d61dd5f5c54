#include "CoreGlobals.h"
#include "Logging/LogMacros.h"
#include "Misc/AssertionMacros.h"
#include "Misc/Paths.h"
#include "ShaderCore.h"

#include <mutex>

DEFINE_LOG_CATEGORY_STATIC(LogShaders, Log, All);

namespace
{
	struct FShaderSourceDirectories
	{
		// A plain mutex: glibc's reader-writer lock favours readers, and a render thread resolving
		// paths in a loop kept the game thread from adding a mapping for seconds.
		std::mutex Mutex;
		/** Virtual folder to full real folder. */
		TMap<FString, FString> Mappings;
	};

	FShaderSourceDirectories& Directories()
	{
		static FShaderSourceDirectories Instance;
		return Instance;
	}

	FString Fail(FString* OutErrorMessage, const FString& Message)
	{
		if (OutErrorMessage)
		{
			*OutErrorMessage = Message;
		}
		else
		{
			UE_LOG(LogShaders, Warning, TEXT("%s"), *Message);
		}
		return FString();
	}
}

void AddShaderSourceDirectoryMapping(const FString& VirtualShaderDirectory, const FString& RealShaderDirectory)
{
	checkf(IsInGameThread(), TEXT("AddShaderSourceDirectoryMapping: Shader source folders are mapped on the game thread only ('%s')"),
		*VirtualShaderDirectory);
	checkf(VirtualShaderDirectory.StartsWith(TEXT("/")),
		TEXT("AddShaderSourceDirectoryMapping: The virtual shader folder '%s' does not start with '/'"), *VirtualShaderDirectory);
	checkf(!VirtualShaderDirectory.EndsWith(TEXT("/")),
		TEXT("AddShaderSourceDirectoryMapping: The virtual shader folder '%s' ends with '/'"), *VirtualShaderDirectory);
	checkf(!VirtualShaderDirectory.Contains(TEXT("\\")),
		TEXT("AddShaderSourceDirectoryMapping: The virtual shader folder '%s' holds a backslash; use '/' between its parts"),
		*VirtualShaderDirectory);
	checkf(FPaths::DirectoryExists(RealShaderDirectory),
		TEXT("AddShaderSourceDirectoryMapping: The real shader folder '%s' for '%s' does not exist"), *RealShaderDirectory,
		*VirtualShaderDirectory);
	FString RealFolder = FPaths::ConvertRelativePathToFull(RealShaderDirectory);
	FPaths::NormalizeDirectoryName(RealFolder);

	FShaderSourceDirectories& Instance = Directories();
	std::lock_guard Guard(Instance.Mutex);
	const FString* Existing = Instance.Mappings.Find(VirtualShaderDirectory);
	if (Existing && Existing->Equals(RealFolder, ESearchCase::CaseSensitive))
	{
		// A module started again after its shut-down maps the folder its first start mapped.
		return;
	}
	checkf(Existing == nullptr, TEXT("AddShaderSourceDirectoryMapping: The virtual shader folder '%s' is mapped already, to '%s'"),
		*VirtualShaderDirectory, Existing ? **Existing : TEXT(""));
	Instance.Mappings.Add(VirtualShaderDirectory, RealFolder);
}

const TMap<FString, FString>& AllShaderSourceDirectoryMappings()
{
	return Directories().Mappings;
}

void ResetAllShaderSourceDirectoryMappings()
{
	checkf(IsInGameThread(), TEXT("ResetAllShaderSourceDirectoryMappings: Shader source folders are mapped on the game thread only"));
	FShaderSourceDirectories& Instance = Directories();
	std::lock_guard Guard(Instance.Mutex);
	Instance.Mappings.Empty();
}

FString GetShaderSourceFilePath(const FString& VirtualFilePath, FString* OutErrorMessage)
{
	const FString Path = VirtualFilePath.Replace(TEXT("\\"), TEXT("/"));
	if (!Path.StartsWith(TEXT("/")))
	{
		return Fail(OutErrorMessage, FString::Printf(TEXT("GetShaderSourceFilePath: The virtual shader path '%s' does not start with '/'"),
			*VirtualFilePath));
	}

	FString MappedFolder;
	FString RealFolder;
	{
		FShaderSourceDirectories& Instance = Directories();
		std::lock_guard Guard(Instance.Mutex);
		for (const auto& Mapping : Instance.Mappings)
		{
			const bool bInside = Path.Len() == Mapping.Key.Len() ? Path == Mapping.Key : Path.StartsWith(Mapping.Key + TEXT("/"));
			if (bInside && Mapping.Key.Len() > MappedFolder.Len())
			{
				MappedFolder = Mapping.Key;
				RealFolder = Mapping.Value;
			}
		}
	}
	if (MappedFolder.IsEmpty())
	{
		return Fail(OutErrorMessage, FString::Printf(TEXT("GetShaderSourceFilePath: No shader source folder is mapped for '%s'"),
			*VirtualFilePath));
	}

	TArray<FString> Parts;
	Path.RightChop(MappedFolder.Len()).ParseIntoArray(Parts, TEXT("/"));
	TArray<FString> Kept;
	for (const FString& Part : Parts)
	{
		if (Part == TEXT(".."))
		{
			if (Kept.IsEmpty())
			{
				return Fail(OutErrorMessage, FString::Printf(TEXT("GetShaderSourceFilePath: The virtual shader path '%s' climbs out of '%s'"),
					*VirtualFilePath, *MappedFolder));
			}
			Kept.Pop();
		}
		else if (Part != TEXT("."))
		{
			Kept.Add(Part);
		}
	}
	if (Kept.IsEmpty())
	{
		return Fail(OutErrorMessage, FString::Printf(TEXT("GetShaderSourceFilePath: The virtual shader path '%s' names a folder, not a file"),
			*VirtualFilePath));
	}
	return FPaths::Combine(RealFolder, FString::Join(Kept, TEXT("/")));
}
