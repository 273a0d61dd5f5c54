#pragma once

// FModuleDescriptor: one entry of a plug-in descriptor's "Modules" list, naming a module,
// the kind of program it belongs in and when it is loaded.

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "UObject/NameTypes.h"

class FJsonObject;
class FText;

/** The kinds of program a module is built for. */
namespace EHostType
{
	enum Type
	{
		Runtime,
		RuntimeNoCommandlet,
		RuntimeAndProgram,
		CookedOnly,
		UncookedOnly,
		Developer,
		DeveloperTool,
		Editor,
		EditorNoCommandlet,
		EditorAndProgram,
		Program,
		ServerOnly,
		ClientOnly,
		ClientOnlyNoCommandlet,
		Max,
	};

	/** The value spelled Text (letter case ignored), or Max when none is. */
	PROJECTS_API Type FromString(const TCHAR* Text);
}

/** When in the program's start a module is loaded. */
namespace ELoadingPhase
{
	enum Type
	{
		EarliestPossible,
		PostConfigInit,
		PostSplashScreen,
		PreEarlyLoadingScreen,
		PreLoadingScreen,
		PreDefault,
		Default,
		PostDefault,
		PostEngineInit,
		None,
		Max,
	};

	/** The value spelled Text (letter case ignored), or Max when none is. */
	PROJECTS_API Type FromString(const TCHAR* Text);
}

struct PROJECTS_API FModuleDescriptor
{
	FName Name;
	EHostType::Type Type = EHostType::Runtime;
	/** "Default" when the descriptor does not say. */
	ELoadingPhase::Type LoadingPhase = ELoadingPhase::Default;

	/**
	 * Reads one entry: "Name" and "Type" are required strings, "LoadingPhase" an optional
	 * string; other fields are ignored. On failure OutFailReason says why and the descriptor
	 * is left as it was.
	 */
	bool Read(const FJsonObject& Object, FText* OutFailReason = nullptr);
	/**
	 * Reads the array field Name of Object (absent: no modules). On failure OutFailReason
	 * says which entry is wrong and OutModules is left as it was.
	 */
	static bool ReadArray(const FJsonObject& Object, const TCHAR* Name, TArray<FModuleDescriptor>& OutModules,
		FText* OutFailReason = nullptr);
};
