#pragma once

// The content folder a command mounts at /Game/: given with --content, or else the nearest
// folder named "Content" that holds the file the command reads.

#include "CoreMinimal.h"

/** The nearest folder named "Content" among the folders that hold File; empty when there is none. */
FString FindEnclosingContent(const FString& File);

/** Mounts a content folder at /Game/ for as long as it lives; an empty folder mounts nothing. */
class FScopedContentMount
{
public:
	explicit FScopedContentMount(const FString& InContentDir);
	~FScopedContentMount();
	FScopedContentMount(const FScopedContentMount&) = delete;
	FScopedContentMount& operator=(const FScopedContentMount&) = delete;

private:
	FString ContentDir;
};
