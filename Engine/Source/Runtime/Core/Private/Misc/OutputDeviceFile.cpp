#include "Misc/OutputDeviceFile.h"

#include <cerrno>
#include <cstring>

TUniquePtr<FOutputDeviceFile> FOutputDeviceFile::Open(const FString& Path, ELogVerbosity::Type Threshold, FString& OutError)
{
	std::FILE* File = std::fopen(*Path, "a");
	if (!File)
	{
		OutError = FString::Printf("cannot open log file %s: %s", *Path, std::strerror(errno));
		return nullptr;
	}
	TUniquePtr<FOutputDeviceFile> Device(new FOutputDeviceFile(File, Threshold));
	GLog->AddOutputDevice(Device.get());
	return Device;
}

FOutputDeviceFile::FOutputDeviceFile(std::FILE* InFile, ELogVerbosity::Type Threshold)
	: File(InFile)
	, MaxVerbosity(Threshold)
{
}

FOutputDeviceFile::~FOutputDeviceFile()
{
	GLog->RemoveOutputDevice(this);
	std::fclose(File);
}

void FOutputDeviceFile::Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
{
	if (Verbosity > GetThreshold())
	{
		return;
	}
	const FString Line = FormatLogLine(Verbosity, Category, Message);
	// One stdio call per line: the stream's own lock keeps lines from different threads whole.
	std::fprintf(File, "%s\n", *Line);
	std::fflush(File);
}
