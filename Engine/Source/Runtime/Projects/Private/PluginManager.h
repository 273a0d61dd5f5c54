#pragma once

// FPluginManager: the IPluginManager of this runtime. Searching reads the file system
// without holding the lock; the new list replaces the old one in one step, so readers on
// other threads see either the old plug-ins or the new ones.

#include "Containers/Map.h"
#include "HAL/CriticalSection.h"
#include "Interfaces/IPluginManager.h"

class FPluginManager final : public IPluginManager
{
public:
	void RefreshPluginsList() override;
	bool AddPluginSearchPath(const FString& ExtraDiscoveryPath, bool bRefresh = true) override;
	bool RemovePluginSearchPath(const FString& ExtraDiscoveryPath, bool bRefresh = true) override;
	TArray<FString> GetAdditionalPluginSearchPaths() const override;
	TSharedPtr<IPlugin> FindPlugin(const FString& Name) override;
	TArray<TSharedRef<IPlugin>> GetDiscoveredPlugins() override;

private:
	/** The index of the search folder that names the same place as Folder, or INDEX_NONE. */
	int32 FindSearchPath(const FString& Folder) const;

	mutable FCriticalSection Lock;
	TArray<FString> SearchPaths;
	TArray<TSharedRef<IPlugin>> Plugins;
	TMap<FString, TSharedPtr<IPlugin>> PluginsByName;
};
