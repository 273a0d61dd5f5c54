#pragma once

// The log's terminal destination: GLog starts with it attached.

#include "Misc/OutputDevice.h"

#include <atomic>

/** Writes each log line to standard error, keeping standard output free for program results. */
class CORE_API FOutputDeviceStdError final : public FOutputDevice
{
public:
	/** The process's device, the one GLog writes to. */
	static FOutputDeviceStdError& Get();

	/**
	 * Lines more verbose than Threshold are left out here, whatever the other destinations take:
	 * a program may keep the terminal to errors and still write everything to a file.
	 */
	void SetThreshold(ELogVerbosity::Type Threshold) { MaxVerbosity.store(Threshold, std::memory_order_relaxed); }
	ELogVerbosity::Type GetThreshold() const { return MaxVerbosity.load(std::memory_order_relaxed); }

	void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;

private:
	FOutputDeviceStdError() = default;

	std::atomic<ELogVerbosity::Type> MaxVerbosity{ELogVerbosity::All};
};
