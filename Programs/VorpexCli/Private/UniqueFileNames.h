#pragma once

#include "CoreMinimal.h"

/**
 * File names made from names in the data (mesh and character names) for one folder: anything
 * but letters, digits, '-', '_' and '.' becomes '_', and a name already given out gets "_<n>"
 * appended, so two names never share a file. Letter case counts, as on Linux file systems.
 */
class FUniqueFileNames
{
public:
	/** Name as a file name (without extension) no earlier call returned. */
	FString Claim(const FString& Name);

private:
	static FString Sanitize(const FString& Name);

	TSet<FString> Taken;
};
