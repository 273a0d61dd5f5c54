#pragma once

// Small helpers shared by the JSON conversion tests.

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "JsonGlobals.h"
#include "Logging/LogCapture.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

/** Parses text the test knows to be a JSON object; anything else is a failed check, which fails the test. */
inline TSharedRef<FJsonObject> ParseJsonObject(const FString& Text)
{
	TSharedPtr<FJsonObject> Object;
	const bool bParsed = FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(Text), Object);
	checkf(bParsed && Object.IsValid(), TEXT("Test JSON does not parse: %s"), *Text);
	return Object.ToSharedRef();
}

/** The errors logged on LogJson while Capture was attached, in order. */
inline TArray<FString> JsonErrors(const FLogCapture& Capture)
{
	TArray<FString> Errors;
	for (const FLogCapture::FEntry& Entry : Capture.GetEntries())
	{
		if (Entry.Category == LogJson.GetCategoryName() && Entry.Verbosity == ELogVerbosity::Error)
		{
			Errors.Add(Entry.Message);
		}
	}
	return Errors;
}
