#pragma once

// FJsonSerializer: JSON text to a tree of FJsonValue and FJsonObject, and back.
//
// Reading accepts strict JSON (RFC 8259) in UTF-8, with an optional byte order mark: no
// comments, no trailing commas, nothing but whitespace after the value. Numbers become
// doubles (integers beyond 2^53 the nearest one). When a key repeats, the later value wins.
// Nesting deeper than MaxNestingDepth objects and arrays is refused, so that no input can
// make the tree too deep to take apart. On failure the output is left as it was and the
// reader explains why (TJsonReader::GetErrorMessage).

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonWriter.h"
#include "Templates/SharedPointer.h"

class JSON_API FJsonSerializer
{
public:
	/** The most objects and arrays one may sit inside while reading. */
	static constexpr int32 MaxNestingDepth = 512;

	/** Reads a JSON object; anything else at the top level fails. */
	static bool Deserialize(const TSharedRef<TJsonReader<>>& Reader, TSharedPtr<FJsonObject>& OutObject);
	/** Reads a JSON array's elements; anything else at the top level fails. */
	static bool Deserialize(const TSharedRef<TJsonReader<>>& Reader, TArray<TSharedPtr<FJsonValue>>& OutArray);
	/** Reads any JSON value. */
	static bool Deserialize(const TSharedRef<TJsonReader<>>& Reader, TSharedPtr<FJsonValue>& OutValue);

	/** Writes the object, members in the map's order; closes the writer and gives Close()'s answer if asked. */
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TSharedRef<FJsonObject>& Object, const TSharedRef<TJsonWriter<CharType, PrintPolicy>>& Writer,
		bool bCloseWriter = true)
	{
		WriteObject(*Object, *Writer);
		return !bCloseWriter || Writer->Close();
	}

	template <class CharType, class PrintPolicy>
	static bool Serialize(const TArray<TSharedPtr<FJsonValue>>& Array, const TSharedRef<TJsonWriter<CharType, PrintPolicy>>& Writer,
		bool bCloseWriter = true)
	{
		WriteArray(Array, *Writer);
		return !bCloseWriter || Writer->Close();
	}

	/**
	 * Writes one value. Inside an object Identifier is its key; elsewhere the identifier is
	 * ignored. A null pointer is written as null.
	 */
	template <class CharType, class PrintPolicy>
	static bool Serialize(const TSharedPtr<FJsonValue>& Value, const FString& Identifier,
		const TSharedRef<TJsonWriter<CharType, PrintPolicy>>& Writer, bool bCloseWriter = true)
	{
		if (Writer->GetCurrentElementType() == EJson::Object)
		{
			Writer->WriteIdentifierPrefix(Identifier);
		}
		WriteValue(Value.Get(), *Writer);
		return !bCloseWriter || Writer->Close();
	}

private:
	static bool Read(TJsonReader<>& Reader, EJson RequiredType, TSharedPtr<FJsonValue>& OutValue);

	template <class CharType, class PrintPolicy>
	static void WriteObject(const FJsonObject& Object, TJsonWriter<CharType, PrintPolicy>& Writer)
	{
		Writer.WriteObjectStart();
		for (const auto& Pair : Object.Values)
		{
			Writer.WriteIdentifierPrefix(Pair.Key);
			WriteValue(Pair.Value.Get(), Writer);
		}
		Writer.WriteObjectEnd();
	}

	template <class CharType, class PrintPolicy>
	static void WriteArray(const TArray<TSharedPtr<FJsonValue>>& Array, TJsonWriter<CharType, PrintPolicy>& Writer)
	{
		Writer.WriteArrayStart();
		for (const TSharedPtr<FJsonValue>& Element : Array)
		{
			WriteValue(Element.Get(), Writer);
		}
		Writer.WriteArrayEnd();
	}

	template <class CharType, class PrintPolicy>
	static void WriteValue(const FJsonValue* Value, TJsonWriter<CharType, PrintPolicy>& Writer)
	{
		const TArray<TSharedPtr<FJsonValue>>* Array = nullptr;
		const TSharedPtr<FJsonObject>* Object = nullptr;
		FString String;
		double Number = 0.0;
		bool bBoolean = false;
		if (!Value)
		{
			Writer.WriteNull();
		}
		else if (Value->Type == EJson::String && Value->TryGetString(String))
		{
			Writer.WriteValue(String);
		}
		else if (Value->Type == EJson::Number && Value->TryGetNumber(Number))
		{
			Writer.WriteValue(Number);
		}
		else if (Value->Type == EJson::Boolean && Value->TryGetBool(bBoolean))
		{
			Writer.WriteValue(bBoolean);
		}
		else if (Value->TryGetArray(Array))
		{
			WriteArray(*Array, Writer);
		}
		else if (Value->TryGetObject(Object))
		{
			WriteObject(**Object, Writer);
		}
		else
		{
			// Null, None, and an object value holding no object.
			Writer.WriteNull();
		}
	}
};
