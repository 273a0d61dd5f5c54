#pragma once

// A log destination that appends every line to a file, beside standard error.

#include "Containers/UnrealString.h"
#include "Misc/OutputDevice.h"
#include "Templates/UniquePtr.h"

#include <atomic>
#include <cstdio>

class CORE_API FOutputDeviceFile final : public FOutputDevice
{
public:
	/**
	 * Opens Path for appending (creating the file, not its folder) and attaches the device to
	 * GLog. Lines more verbose than Threshold are left out of the file. Null, with the file and
	 * the system's reason in OutError, when the file cannot be opened.
	 */
	static TUniquePtr<FOutputDeviceFile> Open(const FString& Path, ELogVerbosity::Type Threshold, FString& OutError);

	/** Detaches from GLog and closes the file. */
	~FOutputDeviceFile() override;
	FOutputDeviceFile(const FOutputDeviceFile&) = delete;
	FOutputDeviceFile& operator=(const FOutputDeviceFile&) = delete;

	void SetThreshold(ELogVerbosity::Type Threshold) { MaxVerbosity.store(Threshold, std::memory_order_relaxed); }
	ELogVerbosity::Type GetThreshold() const { return MaxVerbosity.load(std::memory_order_relaxed); }

	/** Writes the line and flushes it, so the file is whole even if the program dies next. */
	void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;

private:
	FOutputDeviceFile(std::FILE* InFile, ELogVerbosity::Type Threshold);

	std::FILE* File;
	std::atomic<ELogVerbosity::Type> MaxVerbosity;
};
