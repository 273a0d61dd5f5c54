#include "HAL/PlatformFileManager.h"

FPlatformFileManager& FPlatformFileManager::Get()
{
	static FPlatformFileManager Manager;
	return Manager;
}

IPlatformFile& FPlatformFileManager::GetPlatformFile()
{
	return IPlatformFile::GetPlatformPhysical();
}
