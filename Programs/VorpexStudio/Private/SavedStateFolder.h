#pragma once

#include "CoreMinimal.h"

/**
 * The edit states of a project, kept as <name>.bin in its Saved/ folder. Names come from the
 * page, so they are checked before they become file names: letters, digits, '_', '-', '.' and
 * spaces, 1 to 64 of them, not starting with '.' or a space; no name leads out of the folder.
 */
class FSavedStateFolder
{
public:
	static constexpr int32 MaxNameLength = 64;

	explicit FSavedStateFolder(const FString& ProjectDir);

	/** Why Name cannot name a state, or empty when it can. */
	static FString CheckName(const FString& Name);

	/** The file of a state whose name passed CheckName. */
	FString FileOf(const FString& Name) const;

	/** The names of the states saved, sorted; none when the folder is missing. */
	TArray<FString> List() const;

	const FString& GetDir() const { return Dir; }

private:
	FString Dir;
};
