#pragma once

// The content folder a program mounts at /Game/: a project's Content folder, one given on the
// command line, or else the nearest folder named "Content" that holds the file a command reads.

#include "CoreMinimal.h"

/** The nearest folder named "Content" among the folders that hold File; empty when there is none. */
VORPEXHOST_API FString FindEnclosingContent(const FString& File);

/** Mounts a content folder at /Game/ for as long as it lives; an empty folder mounts nothing. */
class VORPEXHOST_API FScopedContentMount
{
public:
	explicit FScopedContentMount(const FString& InContentDir);
	~FScopedContentMount();
	FScopedContentMount(const FScopedContentMount&) = delete;
	FScopedContentMount& operator=(const FScopedContentMount&) = delete;

private:
	FString ContentDir;
};
