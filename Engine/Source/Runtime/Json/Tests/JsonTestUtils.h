#pragma once

// Shared steps of the Json tests: text to a tree, and a tree back to text as std::string
// (FString's == ignores letter case, which would hide faults in written text).

#include "Json.h"

#include <gtest/gtest.h>

#include <string>

namespace JsonTest
{
	/** Any JSON value; records a test failure with the reader's message when the text is not JSON. */
	inline TSharedPtr<FJsonValue> Parse(const FString& Text)
	{
		const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(Text);
		TSharedPtr<FJsonValue> Value;
		if (!FJsonSerializer::Deserialize(Reader, Value))
		{
			ADD_FAILURE() << "Not JSON: " << *Reader->GetErrorMessage();
		}
		return Value;
	}

	inline TSharedPtr<FJsonObject> ParseObject(const FString& Text)
	{
		const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(Text);
		TSharedPtr<FJsonObject> Object;
		if (!FJsonSerializer::Deserialize(Reader, Object))
		{
			ADD_FAILURE() << "Not a JSON object: " << *Reader->GetErrorMessage();
		}
		return Object;
	}

	inline std::string WriteCondensed(const TSharedPtr<FJsonValue>& Value)
	{
		FString Text;
		const auto Writer = TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Text);
		EXPECT_TRUE(FJsonSerializer::Serialize(Value, FString(), Writer));
		return Text.ToStdString();
	}

	inline std::string WriteCondensed(const TSharedRef<FJsonObject>& Object)
	{
		FString Text;
		const auto Writer = TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Text);
		EXPECT_TRUE(FJsonSerializer::Serialize(Object, Writer));
		return Text.ToStdString();
	}

	/** Parses Text and writes it back condensed. */
	inline std::string RoundTrip(const FString& Text)
	{
		return WriteCondensed(Parse(Text));
	}
}
