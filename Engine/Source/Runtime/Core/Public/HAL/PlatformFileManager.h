#pragma once

// FPlatformFileManager: hands out the platform file layer every file operation goes through.

#include "GenericPlatform/GenericPlatformFile.h"

class CORE_API FPlatformFileManager
{
public:
	static FPlatformFileManager& Get();

	/** The topmost platform file layer; here, the physical one. */
	IPlatformFile& GetPlatformFile();

private:
	FPlatformFileManager() = default;
};
