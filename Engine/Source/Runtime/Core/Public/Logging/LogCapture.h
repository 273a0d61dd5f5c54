#pragma once

// A scoped output device that records every message logged while it lives, so tests and
// programs can look at exact messages. Thread-safe: the render thread logs too.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Misc/OutputDevice.h"

#include <mutex>

class CORE_API FLogCapture : public FOutputDevice
{
public:
	struct FEntry
	{
		FName Category;
		ELogVerbosity::Type Verbosity;
		FString Message;
	};

	/** Attaches to GLog. */
	FLogCapture();
	/** Detaches from GLog. */
	~FLogCapture() override;
	FLogCapture(const FLogCapture&) = delete;
	FLogCapture& operator=(const FLogCapture&) = delete;

	void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override;

	TArray<FEntry> GetEntries() const;
	/** Every captured message as its log line ("LogTemp: Warning: text"). */
	TArray<FString> GetLines() const;
	/** The text of every message at exactly this verbosity, in order. */
	TArray<FString> GetMessages(ELogVerbosity::Type Verbosity) const;
	/** True when some captured message's text equals Message exactly (letter case included). */
	bool Contains(const FString& Message) const;
	void Clear();

private:
	mutable std::mutex Mutex;
	TArray<FEntry> Entries;
};
