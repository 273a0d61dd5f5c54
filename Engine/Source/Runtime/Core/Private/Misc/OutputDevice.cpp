#include "Misc/OutputDevice.h"

#include "Misc/OutputDeviceStdError.h"

#include <algorithm>
#include <mutex>
#include <vector>

FString FOutputDevice::FormatLogLine(ELogVerbosity::Type Verbosity, const FName& Category, const TCHAR* Message)
{
	if (Verbosity == ELogVerbosity::Log)
	{
		return FString::Printf("%s: %s", *Category.ToString(), Message);
	}
	return FString::Printf("%s: %s: %s", *Category.ToString(), ToString(Verbosity), Message);
}

namespace
{
	struct FRedirectorState
	{
		std::recursive_mutex Mutex;
		std::vector<FOutputDevice*> Devices{&FOutputDeviceStdError::Get()};
	};

	FRedirectorState& GetRedirectorState()
	{
		// Never destroyed: messages may be logged while other static objects are torn down.
		static FRedirectorState* State = new FRedirectorState();
		return *State;
	}
}

FOutputDeviceRedirector* FOutputDeviceRedirector::Get()
{
	static FOutputDeviceRedirector Redirector;
	return &Redirector;
}

void FOutputDeviceRedirector::AddOutputDevice(FOutputDevice* Device)
{
	FRedirectorState& State = GetRedirectorState();
	std::lock_guard Lock(State.Mutex);
	if (Device && std::find(State.Devices.begin(), State.Devices.end(), Device) == State.Devices.end())
	{
		State.Devices.push_back(Device);
	}
}

void FOutputDeviceRedirector::RemoveOutputDevice(FOutputDevice* Device)
{
	FRedirectorState& State = GetRedirectorState();
	std::lock_guard Lock(State.Mutex);
	std::erase(State.Devices, Device);
}

void FOutputDeviceRedirector::Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
{
	FRedirectorState& State = GetRedirectorState();
	// Held while serializing so a device cannot be removed (and destroyed) mid-message.
	std::lock_guard Lock(State.Mutex);
	for (FOutputDevice* Device : State.Devices)
	{
		Device->Serialize(Message, Verbosity, Category);
	}
}
