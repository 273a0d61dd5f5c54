#pragma once

// FJsonObjectConverter: reflected records and objects to JSON and back, through their
// reflected properties.
//
// Reading. A record is a JSON object whose keys name its fields, letter case ignored. Keys
// that name no field are ignored, a missing key leaves its field as it was, and null leaves
// the field as it was too, except that it clears an object reference. Values convert as
// follows; anything else fails the whole conversion:
// - FString: a string, or a number or boolean as its text ("2.5", "true"); FName and FText
//   take the same.
// - Integers: an integral number within the type's range, or a string holding one ("12",
//   "12.0"). A fraction or a number out of range fails rather than being truncated or
//   wrapped, so no value is silently changed. A JSON number is a double, so 64-bit values
//   beyond 2^53 keep every digit only when given as strings.
// - float and double: a number, or a string holding one; a number beyond float's range
//   fails for a float.
// - bool: true or false, a number (non-zero is true), or the string "true" or "false".
// - Enumerations (enum class fields and TEnumAsByte): an entry's name, short ("Red") or
//   qualified ("EColor::Red"), letter case ignored, or an entry's value as a number. A name
//   or number that is no entry fails.
// - Records: an object. TArray and TSet: an array whose items follow their element's rules.
//   TMap: an object whose keys are read as the key type (strings, names, integer text, enum
//   names, ...) and whose values follow the value's rules. A container is replaced by what
//   the JSON holds; a null item becomes a default-constructed element.
// - Object references (T*, TObjectPtr, TWeakObjectPtr): an object path, found in memory or
//   loaded through StaticLoadObject as the property's class. "" and "None" give null. A path
//   that gives no object of that class FAILS the conversion with an error: a missing asset
//   is reported, not turned into a null reference.
// - Class references (UClass*, TSubclassOf): a class path ("/Script/Module.Class") or a
//   bare class name (the first class of that name, FindFirstObject); the class must derive
//   from the required base.
// - Soft references (TSoftObjectPtr): the path is kept as it is; nothing is loaded.
//
// A failed conversion returns false, logs one error on LogJson that names the JSON path of
// the bad value ("Unable to convert 'groups[1].characters[0].blends': expected an array,
// found an object"), and gives the same text in OutFailReason. The output is then still a
// valid value but only partly converted: fields before the bad value hold what was read,
// an array being read has its new length with default elements from the bad one on, a set
// or map holds the entries read before it, and the fields after it keep what they held.
// Discard it.
//
// CheckFlags and SkipFlags select properties by their EPropertyFlags, on reading and
// writing alike: with CheckFlags set only properties having one of them are visited, and
// properties having any SkipFlags are not. In strict mode every visited property must have
// a non-null value in the JSON object.
//
// Writing. Every visited property in declared order, a base type's first. Names are
// standardized (first letter lowercased, "ID" written "Id") unless SkipStandardizeCase is
// given, which writes the declared names. Numbers are numbers (integers beyond 2^53, which
// a JSON number cannot hold exactly, are written as strings of their digits, which read
// back exactly); bools, strings, names and texts as themselves; enumerations by their short
// entry name; object and class references as path strings and null; soft references as
// their path (null when empty); records as objects; arrays and sets as arrays; maps as
// objects keyed by the key's text. When SkipFlags is 0, deprecated and transient properties
// are left out of what is written, as the engine does.

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Templates/Function.h"
#include "Templates/SharedPointer.h"
#include "UObject/Class.h"
#include "UObject/ObjectMacros.h"

#include <type_traits>

class FProperty;

enum class EJsonObjectConversionFlags : uint32
{
	None = 0,
	/** Writes property names exactly as declared instead of standardizing their case. */
	SkipStandardizeCase = 1 << 0,
};
ENUM_CLASS_FLAGS(EJsonObjectConversionFlags)

class JSONUTILITIES_API FJsonObjectConverter
{
public:
	/** Gives the JSON value to write for a property instead of the default one; a null pointer keeps the default. */
	using CustomExportCallback = TFunction<TSharedPtr<FJsonValue>(FProperty* Property, const void* Value)>;

	/** The name as written to JSON: first letter lowercased, "ID" as "Id". */
	static FString StandardizeCase(const FString& StringIn);

	/** Fills OutStruct, a value of StructDefinition (a record, or an object for a class), from JsonObject. */
	static bool JsonObjectToUStruct(const TSharedRef<FJsonObject>& JsonObject, const UStruct* StructDefinition, void* OutStruct,
		int64 CheckFlags = 0, int64 SkipFlags = 0, const bool bStrictMode = false, FText* OutFailReason = nullptr);

	/** As above for a reflected record type, or for an object, filled through its own class. */
	template <typename OutStructType>
	static bool JsonObjectToUStruct(const TSharedRef<FJsonObject>& JsonObject, OutStructType* OutStruct, int64 CheckFlags = 0,
		int64 SkipFlags = 0, const bool bStrictMode = false, FText* OutFailReason = nullptr)
	{
		return JsonObjectToUStruct(JsonObject, StructDefinitionOf(OutStruct), OutStruct, CheckFlags, SkipFlags, bStrictMode, OutFailReason);
	}

	/** Fills OutStruct from the members of a JSON object. */
	static bool JsonAttributesToUStruct(const TMap<FString, TSharedPtr<FJsonValue>>& JsonAttributes, const UStruct* StructDefinition,
		void* OutStruct, int64 CheckFlags = 0, int64 SkipFlags = 0, const bool bStrictMode = false, FText* OutFailReason = nullptr);

	/** Converts one value into the property's value at OutValue (the value itself, not its container). */
	static bool JsonValueToUProperty(const TSharedPtr<FJsonValue>& JsonValue, FProperty* Property, void* OutValue, int64 CheckFlags = 0,
		int64 SkipFlags = 0, const bool bStrictMode = false, FText* OutFailReason = nullptr);

	/** Parses JsonString, then converts it; text that is not a JSON object fails the same way a bad value does. */
	template <typename OutStructType>
	static bool JsonObjectStringToUStruct(const FString& JsonString, OutStructType* OutStruct, int64 CheckFlags = 0, int64 SkipFlags = 0,
		const bool bStrictMode = false, FText* OutFailReason = nullptr)
	{
		TSharedPtr<FJsonObject> JsonObject;
		if (!ParseJsonObject(JsonString, JsonObject, OutFailReason))
		{
			return false;
		}
		return JsonObjectToUStruct(JsonObject.ToSharedRef(), OutStruct, CheckFlags, SkipFlags, bStrictMode, OutFailReason);
	}

	/** Writes the visited properties of Struct into OutJsonObject, replacing members of the same name. */
	static bool UStructToJsonObject(const UStruct* StructDefinition, const void* Struct, TSharedRef<FJsonObject> OutJsonObject,
		int64 CheckFlags = 0, int64 SkipFlags = 0, const CustomExportCallback* ExportCb = nullptr,
		EJsonObjectConversionFlags ConversionFlags = EJsonObjectConversionFlags::None);

	/** InStruct as a new JSON object, or a null pointer when some property cannot be written. */
	template <typename InStructType>
	static TSharedPtr<FJsonObject> UStructToJsonObject(const InStructType& InStruct, int64 CheckFlags = 0, int64 SkipFlags = 0,
		const CustomExportCallback* ExportCb = nullptr, EJsonObjectConversionFlags ConversionFlags = EJsonObjectConversionFlags::None)
	{
		TSharedRef<FJsonObject> JsonObject = MakeShared<FJsonObject>();
		if (!UStructToJsonObject(StructDefinitionOf(&InStruct), &InStruct, JsonObject, CheckFlags, SkipFlags, ExportCb, ConversionFlags))
		{
			return TSharedPtr<FJsonObject>();
		}
		return JsonObject.ToSharedPtr();
	}

	/** Fills OutJsonAttributes with the visited properties of Struct. */
	static bool UStructToJsonAttributes(const UStruct* StructDefinition, const void* Struct,
		TMap<FString, TSharedPtr<FJsonValue>>& OutJsonAttributes, int64 CheckFlags = 0, int64 SkipFlags = 0,
		const CustomExportCallback* ExportCb = nullptr, EJsonObjectConversionFlags ConversionFlags = EJsonObjectConversionFlags::None);

	/**
	 * Writes Struct as JSON text into OutJsonString, replacing what it held (on failure it is
	 * left as it was), pretty or condensed, lines starting Indent tabs in.
	 */
	static bool UStructToJsonObjectString(const UStruct* StructDefinition, const void* Struct, FString& OutJsonString, int64 CheckFlags = 0,
		int64 SkipFlags = 0, int32 Indent = 0, const CustomExportCallback* ExportCb = nullptr, bool bPrettyPrint = true,
		EJsonObjectConversionFlags ConversionFlags = EJsonObjectConversionFlags::None);

	template <typename InStructType>
	static bool UStructToJsonObjectString(const InStructType& InStruct, FString& OutJsonString, int64 CheckFlags = 0, int64 SkipFlags = 0,
		int32 Indent = 0, const CustomExportCallback* ExportCb = nullptr, bool bPrettyPrint = true,
		EJsonObjectConversionFlags ConversionFlags = EJsonObjectConversionFlags::None)
	{
		return UStructToJsonObjectString(StructDefinitionOf(&InStruct), &InStruct, OutJsonString, CheckFlags, SkipFlags, Indent, ExportCb,
			bPrettyPrint, ConversionFlags);
	}

	/**
	 * The JSON value of the property's value at Value, or a null pointer when it cannot be
	 * written. OuterProperty is part of the engine's signature and not needed here.
	 */
	static TSharedPtr<FJsonValue> UPropertyToJsonValue(FProperty* Property, const void* Value, int64 CheckFlags = 0, int64 SkipFlags = 0,
		const CustomExportCallback* ExportCb = nullptr, FProperty* OuterProperty = nullptr,
		EJsonObjectConversionFlags ConversionFlags = EJsonObjectConversionFlags::None);

private:
	/** The reflected type of a record, or the object's own class, so derived fields are visited too. */
	template <typename StructType>
	static const UStruct* StructDefinitionOf(const StructType* Value)
	{
		if constexpr (std::is_base_of_v<UObject, StructType>)
		{
			return Value ? Value->GetClass() : StructType::StaticClass();
		}
		else
		{
			return StaticStruct<StructType>();
		}
	}

	/** Parses an object; on failure logs the reason and gives it in OutFailReason. */
	static bool ParseJsonObject(const FString& JsonString, TSharedPtr<FJsonObject>& OutJsonObject, FText* OutFailReason);
};
