#include "Logging/LogCapture.h"

FLogCapture::FLogCapture()
{
	GLog->AddOutputDevice(this);
}

FLogCapture::~FLogCapture()
{
	GLog->RemoveOutputDevice(this);
}

void FLogCapture::Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category)
{
	std::lock_guard Lock(Mutex);
	Entries.Add(FEntry{Category, Verbosity, FString(Message)});
}

TArray<FLogCapture::FEntry> FLogCapture::GetEntries() const
{
	std::lock_guard Lock(Mutex);
	return Entries;
}

TArray<FString> FLogCapture::GetLines() const
{
	TArray<FString> Lines;
	for (const FEntry& Entry : GetEntries())
	{
		Lines.Add(FormatLogLine(Entry.Verbosity, Entry.Category, *Entry.Message));
	}
	return Lines;
}

TArray<FString> FLogCapture::GetMessages(ELogVerbosity::Type Verbosity) const
{
	TArray<FString> Messages;
	for (const FEntry& Entry : GetEntries())
	{
		if (Entry.Verbosity == Verbosity)
		{
			Messages.Add(Entry.Message);
		}
	}
	return Messages;
}

bool FLogCapture::Contains(const FString& Message) const
{
	std::lock_guard Lock(Mutex);
	return Entries.ContainsByPredicate([&Message](const FEntry& Entry) { return Entry.Message.Equals(Message); });
}

void FLogCapture::Clear()
{
	std::lock_guard Lock(Mutex);
	Entries.Reset();
}
