#include "PluginManager.h"

#include "Internationalization/Text.h"
#include "Logging/LogMacros.h"
#include "Misc/Paths.h"
#include "Misc/ScopeLock.h"
#include "Plugin.h"

#include <filesystem>
#include <system_error>

DEFINE_LOG_CATEGORY_STATIC(LogPluginManager, Log, All);

namespace
{
	namespace fs = std::filesystem;

	/** Hidden entries and build output never hold plug-ins of their own, and can be large. */
	bool IsSkipped(const FString& Leaf, bool bIsFolder)
	{
		return Leaf.StartsWith(TEXT(".")) || (bIsFolder && (Leaf == TEXT("Intermediate") || Leaf == TEXT("Binaries")));
	}

	void FindDescriptors(const fs::path& Folder, TArray<FString>& OutFiles)
	{
		std::error_code Error;
		for (fs::directory_iterator It(Folder, fs::directory_options::skip_permission_denied, Error), End; !Error && It != End;
			It.increment(Error))
		{
			const FString Leaf(It->path().filename().string());
			std::error_code TypeError;
			if (It->is_directory(TypeError))
			{
				if (!It->is_symlink(TypeError) && !IsSkipped(Leaf, true))
				{
					FindDescriptors(It->path(), OutFiles);
				}
			}
			else if (It->is_regular_file(TypeError) && !IsSkipped(Leaf, false) && FPaths::GetExtension(Leaf) == TEXT("uplugin"))
			{
				OutFiles.Add(FString(It->path().string()));
			}
		}
	}

	/** Byte order, so the result does not depend on the file system's listing order or locale. */
	void SortPaths(TArray<FString>& Paths)
	{
		Paths.Sort([](const FString& A, const FString& B) { return A.Compare(B, ESearchCase::CaseSensitive) < 0; });
	}
}

IPluginManager& IPluginManager::Get()
{
	static FPluginManager Instance;
	return Instance;
}

void FPluginManager::RefreshPluginsList()
{
	TArray<TSharedRef<IPlugin>> Found;
	TMap<FString, TSharedPtr<IPlugin>> FoundByName;
	for (const FString& Folder : GetAdditionalPluginSearchPaths())
	{
		if (!FPaths::DirectoryExists(Folder))
		{
			UE_LOG(LogPluginManager, Warning, TEXT("PluginManager: Plug-in search folder '%s' does not exist"), *Folder);
			continue;
		}
		TArray<FString> Files;
		FindDescriptors(fs::path(Folder.ToStdString()), Files);
		SortPaths(Files);
		for (const FString& File : Files)
		{
			const FString Name = FPaths::GetBaseFilename(File);
			if (const TSharedPtr<IPlugin>* Earlier = FoundByName.Find(Name))
			{
				// Nested search folders find the same file twice; that is no clash.
				if ((*Earlier)->GetDescriptorFileName().Equals(File))
				{
					continue;
				}
				UE_LOG(LogPluginManager, Warning, TEXT("PluginManager: Plug-in '%s' is described by both '%s' and '%s'; using the first"),
					*Name, *(*Earlier)->GetDescriptorFileName(), *File);
				continue;
			}
			FPluginDescriptor Descriptor;
			FText FailReason;
			if (!Descriptor.Load(File, &FailReason))
			{
				UE_LOG(LogPluginManager, Warning, TEXT("PluginManager: Skipping plug-in descriptor '%s': %s"), *File, *FailReason.ToString());
				continue;
			}
			const TSharedRef<IPlugin> Plugin = MakeShared<FPlugin>(File, std::move(Descriptor));
			Found.Add(Plugin);
			FoundByName.Add(Name, TSharedPtr<IPlugin>(Plugin));
		}
	}

	FScopeLock Guard(&Lock);
	Plugins = std::move(Found);
	PluginsByName = std::move(FoundByName);
}

bool FPluginManager::AddPluginSearchPath(const FString& ExtraDiscoveryPath, bool bRefresh)
{
	if (ExtraDiscoveryPath.IsEmpty())
	{
		return false;
	}
	{
		FScopeLock Guard(&Lock);
		// Without a trailing '/', so the descriptor paths built from it have none doubled.
		FString Folder = FPaths::ConvertRelativePathToFull(ExtraDiscoveryPath);
		FPaths::NormalizeDirectoryName(Folder);
		if (FindSearchPath(Folder) != INDEX_NONE)
		{
			return false;
		}
		SearchPaths.Add(Folder);
	}
	if (bRefresh)
	{
		RefreshPluginsList();
	}
	return true;
}

bool FPluginManager::RemovePluginSearchPath(const FString& ExtraDiscoveryPath, bool bRefresh)
{
	{
		FScopeLock Guard(&Lock);
		const int32 Index = ExtraDiscoveryPath.IsEmpty() ? INDEX_NONE : FindSearchPath(ExtraDiscoveryPath);
		if (Index == INDEX_NONE)
		{
			return false;
		}
		SearchPaths.RemoveAt(Index);
	}
	if (bRefresh)
	{
		RefreshPluginsList();
	}
	return true;
}

TArray<FString> FPluginManager::GetAdditionalPluginSearchPaths() const
{
	FScopeLock Guard(&Lock);
	return SearchPaths;
}

TSharedPtr<IPlugin> FPluginManager::FindPlugin(const FString& Name)
{
	FScopeLock Guard(&Lock);
	return PluginsByName.FindRef(Name);
}

TArray<TSharedRef<IPlugin>> FPluginManager::GetDiscoveredPlugins()
{
	FScopeLock Guard(&Lock);
	return Plugins;
}

int32 FPluginManager::FindSearchPath(const FString& Folder) const
{
	return SearchPaths.IndexOfByPredicate([&Folder](const FString& Existing) { return FPaths::IsSamePath(Existing, Folder); });
}
