#pragma once

// FJsonValueWriter: reflected values into JSON values, by the rules documented in
// JsonObjectConverter.h. One writer serves one conversion and keeps its failure's message.

#include "CoreMinimal.h"
#include "Dom/JsonValue.h"
#include "JsonObjectConverter.h"

class FProperty;
class UStruct;

namespace UE::JsonUtilities::Private
{
	class FJsonValueWriter
	{
	public:
		FJsonValueWriter(int64 InCheckFlags, int64 InSkipFlags, const FJsonObjectConverter::CustomExportCallback* InExportCb,
			EJsonObjectConversionFlags InConversionFlags);

		/** Adds the visited properties of the Struct value at Data to OutMembers, in declared order. */
		bool WriteStruct(const UStruct* Struct, const void* Data, TMap<FString, TSharedPtr<FJsonValue>>& OutMembers);
		/** The JSON value of the Property value at Data, or a null pointer on failure. */
		TSharedPtr<FJsonValue> WriteProperty(const FProperty* Property, const void* Data);

		/** "Unable to write 'name': reason" for the failure that stopped the conversion. */
		const FString& GetError() const { return Error; }

	private:
		bool IsVisited(const FProperty* Property) const;
		TSharedPtr<FJsonValue> WriteValue(const FProperty* Property, const void* Data);
		TSharedPtr<FJsonValue> WriteContainer(const FProperty* Property, const void* Data);
		TSharedPtr<FJsonValue> Fail(const FProperty* Property, const FString& Reason);

		int64 CheckFlags;
		int64 SkipFlags;
		const FJsonObjectConverter::CustomExportCallback* ExportCb;
		EJsonObjectConversionFlags ConversionFlags;
		FString Error;
	};
}
