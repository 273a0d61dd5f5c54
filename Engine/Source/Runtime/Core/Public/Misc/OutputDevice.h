#pragma once

// Output devices receive every log line; GLog fans each line out to the devices attached to it.

#include "Logging/LogVerbosity.h"
#include "UObject/NameTypes.h"

class CORE_API FOutputDevice
{
public:
	virtual ~FOutputDevice() = default;
	/** Receives one message; called from whichever thread logged it. */
	virtual void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) = 0;

	/** The engine's line layout: "Category: Verbosity: message", the verbosity left out at Log. */
	static FString FormatLogLine(ELogVerbosity::Type Verbosity, const FName& Category, const TCHAR* Message);
};

/** The global log: passes each message to every attached device. Thread-safe. */
class CORE_API FOutputDeviceRedirector : public FOutputDevice
{
public:
	static FOutputDeviceRedirector* Get();

	void AddOutputDevice(FOutputDevice* Device);
	void RemoveOutputDevice(FOutputDevice* Device);
	void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;
};

/** The process's log; at start-up it writes to standard error. */
#define GLog (::FOutputDeviceRedirector::Get())
