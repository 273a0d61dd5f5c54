#include "Misc/OutputDeviceStdError.h"

#include "Containers/UnrealString.h"

#include <cstdio>

FOutputDeviceStdError& FOutputDeviceStdError::Get()
{
	// Never destroyed: messages may be logged while other static objects are torn down.
	static FOutputDeviceStdError* Device = new FOutputDeviceStdError();
	return *Device;
}

void FOutputDeviceStdError::Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
{
	if (Verbosity > GetThreshold())
	{
		return;
	}
	const FString Line = FormatLogLine(Verbosity, Category, Message);
	std::fprintf(stderr, "%s\n", *Line);
}
