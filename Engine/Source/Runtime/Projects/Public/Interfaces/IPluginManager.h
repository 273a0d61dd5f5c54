#pragma once

// IPlugin and IPluginManager: the plug-ins the program knows about.
//
// The engine finds plug-ins in its own and the project's Plugins folders. This runtime has
// neither, so the host names the folders to search (AddPluginSearchPath). Discovery finds
// every *.uplugin file (letter case ignored) below those folders, at any depth, except hidden
// files and folders (names starting with '.') and what lies in folders named Intermediate or
// Binaries; linked folders are not entered. Each readable descriptor makes a plug-in named after its file ("Vorpex.uplugin":
// "Vorpex"). A descriptor that cannot be read is skipped with a warning naming the file.
//
// Search folders are searched in the order they were added, and the descriptors within one
// folder in sorted path order, so when two descriptors give the same plug-in name (names
// ignore letter case) the same one wins every time: the first found, with a warning naming
// both files.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "PluginDescriptor.h"
#include "Templates/SharedPointer.h"

class PROJECTS_API IPlugin
{
public:
	virtual ~IPlugin() = default;

	/** The descriptor file's name without its extension. */
	virtual const FString& GetName() const = 0;
	/** The descriptor's FriendlyName, or the plug-in's name when it gives none. */
	virtual const FString& GetFriendlyName() const = 0;
	/** The descriptor file, as a full path. */
	virtual const FString& GetDescriptorFileName() const = 0;
	/** The folder holding the descriptor, as a full path without a trailing '/'. */
	virtual FString GetBaseDir() const = 0;
	/** BaseDir/Content. */
	virtual FString GetContentDir() const = 0;
	virtual const FPluginDescriptor& GetDescriptor() const = 0;
};

class PROJECTS_API IPluginManager
{
public:
	static IPluginManager& Get();

	virtual ~IPluginManager() = default;

	/** Searches the search folders again and replaces the list of plug-ins with what it finds. */
	virtual void RefreshPluginsList() = 0;
	/**
	 * Adds a folder to search (a relative path is taken against the current folder) and, when
	 * bRefresh, searches again. False, changing nothing, for an empty path or a folder already
	 * added. A folder that does not exist is kept, and each search warns about it.
	 */
	virtual bool AddPluginSearchPath(const FString& ExtraDiscoveryPath, bool bRefresh = true) = 0;
	/** Removes a search folder added before and, when bRefresh, searches again; false when it was not added. */
	virtual bool RemovePluginSearchPath(const FString& ExtraDiscoveryPath, bool bRefresh = true) = 0;
	/** The search folders, as full paths, in the order they were added. */
	virtual TArray<FString> GetAdditionalPluginSearchPaths() const = 0;

	/** The plug-in of that name (letter case ignored), or null. */
	virtual TSharedPtr<IPlugin> FindPlugin(const FString& Name) = 0;
	/** Every plug-in found by the last search, in the order found. */
	virtual TArray<TSharedRef<IPlugin>> GetDiscoveredPlugins() = 0;
};
