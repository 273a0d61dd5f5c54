#pragma once

// TJsonWriter: writes JSON text into an FString token by token.
//
// Inside an object every value needs an identifier (its key); inside an array and at the
// top level values have none. Writing in a place where the token is not allowed (a value
// without a key inside an object, a key inside an array, closing an array with the object
// end, a second top-level value) is a failed check and writes nothing. Close() says whether
// the text written so far is one complete JSON value.
//
// With the pretty policy the layout is the engine's: every member and element on its own
// line, indented by one tab per level; "key": value with a space after the colon; an object
// that is a member's value opens on the line after its key, at the key's indentation; empty
// objects and arrays stay "{}" and "[]".

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Misc/AssertionMacros.h"
#include "Policies/PrettyJsonPrintPolicy.h"
#include "Serialization/JsonTypes.h"
#include "Templates/SharedPointer.h"

#include <memory>

template <class CharType, class PrintPolicy>
class TJsonWriterFactory;

template <class CharType = TCHAR, class PrintPolicy = TPrettyJsonPrintPolicy<CharType>>
class TJsonWriter
{
public:
	virtual ~TJsonWriter() = default;

	/** The indentation of the next line: the initial level plus one per open object or array. */
	int32 GetIndentLevel() const { return InitialIndentLevel + Stack.Num(); }
	/** The structure being written into: Object, Array, or None at the top level. */
	EJson GetCurrentElementType() const { return Stack.IsEmpty() ? EJson::None : Stack.Top().Kind; }

	void WriteObjectStart() { BeginStructure(EJson::Object); }
	void WriteObjectStart(const FString& Identifier)
	{
		WriteIdentifierPrefix(Identifier);
		WriteObjectStart();
	}
	void WriteObjectEnd() { EndStructure(EJson::Object); }

	void WriteArrayStart() { BeginStructure(EJson::Array); }
	void WriteArrayStart(const FString& Identifier)
	{
		WriteIdentifierPrefix(Identifier);
		WriteArrayStart();
	}
	void WriteArrayEnd() { EndStructure(EJson::Array); }

	/** Writes the key of the next member of the current object; the next value written is its value. */
	void WriteIdentifierPrefix(const FString& Identifier)
	{
		checkf(GetCurrentElementType() == EJson::Object && !bPendingIdentifier,
			TEXT("A JSON key can only be written inside an object, once per member"));
		FFrame& Frame = Stack.Top();
		if (Frame.bHasMembers)
		{
			PrintPolicy::WriteChar(Stream, CharType(','));
		}
		Frame.bHasMembers = true;
		PrintPolicy::WriteLineTerminator(Stream);
		PrintPolicy::WriteTabs(Stream, GetIndentLevel());
		PrintPolicy::WriteQuotedString(Stream, Identifier);
		PrintPolicy::WriteChar(Stream, CharType(':'));
		bPendingIdentifier = true;
	}

	void WriteValue(const FString& Value)
	{
		BeginValue(false);
		PrintPolicy::WriteQuotedString(Stream, Value);
	}
	void WriteValue(const TCHAR* Value) { WriteValue(FString(Value)); }
	void WriteValue(bool Value)
	{
		BeginValue(false);
		PrintPolicy::WriteRaw(Stream, Value ? "true" : "false");
	}
	void WriteValue(int32 Value) { WriteValue(static_cast<int64>(Value)); }
	void WriteValue(int64 Value)
	{
		BeginValue(false);
		PrintPolicy::WriteInteger(Stream, Value);
	}
	void WriteValue(uint32 Value) { WriteValue(static_cast<uint64>(Value)); }
	void WriteValue(uint64 Value)
	{
		BeginValue(false);
		PrintPolicy::WriteInteger(Stream, Value);
	}
	void WriteValue(float Value)
	{
		BeginValue(false);
		PrintPolicy::WriteFloat(Stream, Value);
	}
	void WriteValue(double Value)
	{
		BeginValue(false);
		PrintPolicy::WriteDouble(Stream, Value);
	}
	/** A member of the current object: its key, then the value. */
	template <typename ValueType>
	void WriteValue(const FString& Identifier, const ValueType& Value)
	{
		WriteIdentifierPrefix(Identifier);
		WriteValue(Value);
	}

	void WriteNull()
	{
		BeginValue(false);
		PrintPolicy::WriteRaw(Stream, "null");
	}
	void WriteNull(const FString& Identifier)
	{
		WriteIdentifierPrefix(Identifier);
		WriteNull();
	}

	/** Writes Value as it is, trusting it to be one JSON value. */
	void WriteRawJSONValue(const FString& Value)
	{
		BeginValue(false);
		PrintPolicy::WriteRaw(Stream, Value.ToView());
	}
	void WriteRawJSONValue(const FString& Identifier, const FString& Value)
	{
		WriteIdentifierPrefix(Identifier);
		WriteRawJSONValue(Value);
	}

	/** True when exactly one complete top-level value has been written: every object and array closed. */
	bool Close() const { return bRootStarted && Stack.IsEmpty() && !bPendingIdentifier; }

protected:
	TJsonWriter(FString* InStream, int32 InInitialIndentLevel)
		: Stream(InStream)
		, InitialIndentLevel(InInitialIndentLevel)
	{
		check(Stream != nullptr);
	}

private:
	friend class TJsonWriterFactory<CharType, PrintPolicy>;

	struct FFrame
	{
		EJson Kind;
		bool bHasMembers;
	};

	/** Checks that a value may go here, then writes what separates it from the previous token. */
	void BeginValue(bool bIsObjectStart)
	{
		if (bPendingIdentifier)
		{
			bPendingIdentifier = false;
			if (bIsObjectStart)
			{
				PrintPolicy::WriteLineTerminator(Stream);
				PrintPolicy::WriteTabs(Stream, GetIndentLevel());
			}
			else
			{
				PrintPolicy::WriteSpace(Stream);
			}
			return;
		}
		if (Stack.IsEmpty())
		{
			checkf(!bRootStarted, TEXT("A JSON document holds a single top-level value"));
			bRootStarted = true;
			return;
		}
		FFrame& Frame = Stack.Top();
		checkf(Frame.Kind == EJson::Array, TEXT("A member of a JSON object needs an identifier"));
		if (Frame.bHasMembers)
		{
			PrintPolicy::WriteChar(Stream, CharType(','));
		}
		Frame.bHasMembers = true;
		PrintPolicy::WriteLineTerminator(Stream);
		PrintPolicy::WriteTabs(Stream, GetIndentLevel());
	}

	void BeginStructure(EJson Kind)
	{
		BeginValue(Kind == EJson::Object);
		PrintPolicy::WriteChar(Stream, CharType(Kind == EJson::Object ? '{' : '['));
		Stack.Add(FFrame{Kind, false});
	}

	void EndStructure(EJson Kind)
	{
		checkf(GetCurrentElementType() == Kind && !bPendingIdentifier,
			TEXT("The JSON %s being closed is not the innermost open structure, or its last key has no value"),
			Kind == EJson::Object ? TEXT("object") : TEXT("array"));
		const bool bHadMembers = Stack.Pop().bHasMembers;
		if (bHadMembers)
		{
			PrintPolicy::WriteLineTerminator(Stream);
			PrintPolicy::WriteTabs(Stream, GetIndentLevel());
		}
		PrintPolicy::WriteChar(Stream, CharType(Kind == EJson::Object ? '}' : ']'));
	}

	FString* Stream;
	int32 InitialIndentLevel;
	TArray<FFrame> Stack;
	bool bPendingIdentifier = false;
	bool bRootStarted = false;
};

template <class CharType = TCHAR, class PrintPolicy = TPrettyJsonPrintPolicy<CharType>>
class TJsonWriterFactory
{
public:
	/** A writer appending to *Stream, which must outlive it; lines start InitialIndentLevel tabs in. */
	static TSharedRef<TJsonWriter<CharType, PrintPolicy>> Create(FString* const Stream, int32 InitialIndentLevel = 0)
	{
		return TSharedRef<TJsonWriter<CharType, PrintPolicy>>(
			std::shared_ptr<TJsonWriter<CharType, PrintPolicy>>(new TJsonWriter<CharType, PrintPolicy>(Stream, InitialIndentLevel)));
	}
};
