#pragma once

// FPluginDescriptor: what a plug-in's .uplugin file says about it. Only the fields this
// runtime uses are read; any others are ignored.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "ModuleDescriptor.h"

class FText;

struct PROJECTS_API FPluginDescriptor
{
	/** The name shown to people; empty when the file gives none. */
	FString FriendlyName;
	FString VersionName;
	FString Description;
	TArray<FModuleDescriptor> Modules;

	/** Reads the descriptor file FileName; on failure OutFailReason says why and nothing changes. */
	bool Load(const FString& FileName, FText* OutFailReason = nullptr);
	/**
	 * Reads descriptor text: a JSON object whose "FriendlyName", "VersionName" and
	 * "Description" are strings when present and whose "Modules" is an array of module
	 * entries (FModuleDescriptor::Read). On failure OutFailReason says why and nothing changes.
	 */
	bool Read(const FString& Text, FText* OutFailReason = nullptr);
};
