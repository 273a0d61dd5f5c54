#include "JsonObjectConverter.h"

#include "JsonGlobals.h"
#include "JsonValueReader.h"
#include "JsonValueWriter.h"
#include "Misc/CString.h"
#include "Policies/CondensedJsonPrintPolicy.h"
#include "Policies/PrettyJsonPrintPolicy.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"
#include "UObject/UnrealType.h"

using UE::JsonUtilities::Private::FJsonPathSegment;
using UE::JsonUtilities::Private::FJsonValueReader;
using UE::JsonUtilities::Private::FJsonValueWriter;

namespace
{
	/** Every failure is reported the same way: one error on LogJson and the same text for the caller. */
	bool ReportFailure(const FString& Message, FText* OutFailReason)
	{
		UE_LOG(LogJson, Error, TEXT("%s"), *Message);
		if (OutFailReason)
		{
			*OutFailReason = FText::FromString(Message);
		}
		return false;
	}

	template <class PrintPolicy>
	bool WriteJsonText(const TSharedRef<FJsonObject>& JsonObject, FString& OutJsonString, int32 Indent)
	{
		return FJsonSerializer::Serialize(JsonObject, TJsonWriterFactory<TCHAR, PrintPolicy>::Create(&OutJsonString, Indent));
	}
}

FString FJsonObjectConverter::StandardizeCase(const FString& StringIn)
{
	FString FixedString = StringIn;
	if (FixedString.IsEmpty())
	{
		return FixedString;
	}
	// JSON keys start in lower case; "ID" reads "Id", as the engine writes identifiers.
	FixedString[0] = FChar::ToLower(FixedString[0]);
	FixedString.ReplaceInline(TEXT("ID"), TEXT("Id"), ESearchCase::CaseSensitive);
	return FixedString;
}

bool FJsonObjectConverter::JsonObjectToUStruct(const TSharedRef<FJsonObject>& JsonObject, const UStruct* StructDefinition, void* OutStruct,
	int64 CheckFlags, int64 SkipFlags, const bool bStrictMode, FText* OutFailReason)
{
	return JsonAttributesToUStruct(JsonObject->Values, StructDefinition, OutStruct, CheckFlags, SkipFlags, bStrictMode, OutFailReason);
}

bool FJsonObjectConverter::JsonAttributesToUStruct(const TMap<FString, TSharedPtr<FJsonValue>>& JsonAttributes, const UStruct* StructDefinition,
	void* OutStruct, int64 CheckFlags, int64 SkipFlags, const bool bStrictMode, FText* OutFailReason)
{
	if (!StructDefinition || !OutStruct)
	{
		return ReportFailure(FString(TEXT("Unable to convert a JSON object: no type or no value to fill")), OutFailReason);
	}
	FJsonValueReader Reader(CheckFlags, SkipFlags, bStrictMode);
	if (!Reader.ReadStruct(JsonAttributes, StructDefinition, OutStruct, nullptr))
	{
		return ReportFailure(Reader.GetError(), OutFailReason);
	}
	return true;
}

bool FJsonObjectConverter::JsonValueToUProperty(const TSharedPtr<FJsonValue>& JsonValue, FProperty* Property, void* OutValue, int64 CheckFlags,
	int64 SkipFlags, const bool bStrictMode, FText* OutFailReason)
{
	if (!JsonValue.IsValid() || !Property || !OutValue)
	{
		return ReportFailure(FString(TEXT("Unable to convert a JSON value: no value, property or output")), OutFailReason);
	}
	FJsonValueReader Reader(CheckFlags, SkipFlags, bStrictMode);
	const FString Name = Property->GetAuthoredName();
	if (!Reader.ReadProperty(*JsonValue, Property, OutValue, FJsonPathSegment::Member(nullptr, Name)))
	{
		return ReportFailure(Reader.GetError(), OutFailReason);
	}
	return true;
}

bool FJsonObjectConverter::ParseJsonObject(const FString& JsonString, TSharedPtr<FJsonObject>& OutJsonObject, FText* OutFailReason)
{
	const TSharedRef<TJsonReader<>> Reader = TJsonReaderFactory<>::Create(JsonString);
	if (!FJsonSerializer::Deserialize(Reader, OutJsonObject) || !OutJsonObject.IsValid())
	{
		return ReportFailure(FString::Printf(TEXT("Unable to parse JSON: %s"), *Reader->GetErrorMessage()), OutFailReason);
	}
	return true;
}

bool FJsonObjectConverter::UStructToJsonObject(const UStruct* StructDefinition, const void* Struct, TSharedRef<FJsonObject> OutJsonObject,
	int64 CheckFlags, int64 SkipFlags, const CustomExportCallback* ExportCb, EJsonObjectConversionFlags ConversionFlags)
{
	return UStructToJsonAttributes(StructDefinition, Struct, OutJsonObject->Values, CheckFlags, SkipFlags, ExportCb, ConversionFlags);
}

bool FJsonObjectConverter::UStructToJsonAttributes(const UStruct* StructDefinition, const void* Struct,
	TMap<FString, TSharedPtr<FJsonValue>>& OutJsonAttributes, int64 CheckFlags, int64 SkipFlags, const CustomExportCallback* ExportCb,
	EJsonObjectConversionFlags ConversionFlags)
{
	if (!StructDefinition || !Struct)
	{
		return ReportFailure(FString(TEXT("Unable to write a JSON object: no type or no value to write")), nullptr);
	}
	FJsonValueWriter Writer(CheckFlags, SkipFlags, ExportCb, ConversionFlags);
	if (!Writer.WriteStruct(StructDefinition, Struct, OutJsonAttributes))
	{
		return ReportFailure(Writer.GetError(), nullptr);
	}
	return true;
}

bool FJsonObjectConverter::UStructToJsonObjectString(const UStruct* StructDefinition, const void* Struct, FString& OutJsonString,
	int64 CheckFlags, int64 SkipFlags, int32 Indent, const CustomExportCallback* ExportCb, bool bPrettyPrint,
	EJsonObjectConversionFlags ConversionFlags)
{
	const TSharedRef<FJsonObject> JsonObject = MakeShared<FJsonObject>();
	if (!UStructToJsonObject(StructDefinition, Struct, JsonObject, CheckFlags, SkipFlags, ExportCb, ConversionFlags))
	{
		return false;
	}
	OutJsonString.Empty();
	return bPrettyPrint ? WriteJsonText<TPrettyJsonPrintPolicy<TCHAR>>(JsonObject, OutJsonString, Indent)
						: WriteJsonText<TCondensedJsonPrintPolicy<TCHAR>>(JsonObject, OutJsonString, Indent);
}

TSharedPtr<FJsonValue> FJsonObjectConverter::UPropertyToJsonValue(FProperty* Property, const void* Value, int64 CheckFlags, int64 SkipFlags,
	const CustomExportCallback* ExportCb, FProperty* OuterProperty, EJsonObjectConversionFlags ConversionFlags)
{
	if (!Property || !Value)
	{
		ReportFailure(FString(TEXT("Unable to write a JSON value: no property or no value")), nullptr);
		return TSharedPtr<FJsonValue>();
	}
	FJsonValueWriter Writer(CheckFlags, SkipFlags, ExportCb, ConversionFlags);
	TSharedPtr<FJsonValue> JsonValue = Writer.WriteProperty(Property, Value);
	if (!JsonValue.IsValid())
	{
		ReportFailure(Writer.GetError(), nullptr);
	}
	return JsonValue;
}
