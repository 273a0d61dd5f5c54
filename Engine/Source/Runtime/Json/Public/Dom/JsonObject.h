#pragma once

// FJsonObject: a JSON object, its members in a map keyed by name. As in the engine, keys are
// FStrings and so compare without letter case ("Name" finds "name"), and members keep the
// order they were added in, which is the order the writer writes them.
//
// A field holding a null pointer counts as absent. The Get*Field accessors log an error to
// LogJson and give the empty value when the field is absent or cannot be read as asked; the
// TryGet*Field forms report the same as false and leave their output alone.

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "Dom/JsonValue.h"
#include "Serialization/JsonTypes.h"
#include "Templates/SharedPointer.h"

class JSON_API FJsonObject
{
public:
	TMap<FString, TSharedPtr<FJsonValue>> Values;

	/** The field's value if it is of JsonType (any type for EJson::None); else logs and gives a null value. */
	template <EJson JsonType>
	TSharedPtr<FJsonValue> GetField(const FString& FieldName) const
	{
		return GetFieldOfType(FieldName, JsonType);
	}
	/** The field's value, or a null pointer when absent. Logs nothing. */
	TSharedPtr<FJsonValue> TryGetField(const FString& FieldName) const;
	bool HasField(const FString& FieldName) const;
	template <EJson JsonType>
	bool HasTypedField(const FString& FieldName) const
	{
		return HasFieldOfType(FieldName, JsonType);
	}

	/** Adds the field, or replaces the value of the field with that name (keeping its place). */
	void SetField(const FString& FieldName, const TSharedPtr<FJsonValue>& Value);
	void RemoveField(const FString& FieldName);

	double GetNumberField(const FString& FieldName) const;
	/** The field as an int32; a fraction or a value beyond int32 is logged and gives 0. */
	int32 GetIntegerField(const FString& FieldName) const;
	bool TryGetNumberField(const FString& FieldName, double& OutNumber) const;
	bool TryGetNumberField(const FString& FieldName, float& OutNumber) const;
	bool TryGetNumberField(const FString& FieldName, int32& OutNumber) const;
	bool TryGetNumberField(const FString& FieldName, int64& OutNumber) const;
	bool TryGetNumberField(const FString& FieldName, uint32& OutNumber) const;
	void SetNumberField(const FString& FieldName, double Number);

	FString GetStringField(const FString& FieldName) const;
	bool TryGetStringField(const FString& FieldName, FString& OutString) const;
	void SetStringField(const FString& FieldName, const FString& StringValue);

	bool GetBoolField(const FString& FieldName) const;
	bool TryGetBoolField(const FString& FieldName, bool& OutBool) const;
	void SetBoolField(const FString& FieldName, bool InValue);

	/** The field's elements; an empty array when absent or not an array. */
	const TArray<TSharedPtr<FJsonValue>>& GetArrayField(const FString& FieldName) const;
	bool TryGetArrayField(const FString& FieldName, const TArray<TSharedPtr<FJsonValue>>*& OutArray) const;
	void SetArrayField(const FString& FieldName, const TArray<TSharedPtr<FJsonValue>>& Array);

	/** The field's object; a null pointer when absent or not an object. */
	const TSharedPtr<FJsonObject>& GetObjectField(const FString& FieldName) const;
	bool TryGetObjectField(const FString& FieldName, const TSharedPtr<FJsonObject>*& OutObject) const;
	void SetObjectField(const FString& FieldName, const TSharedPtr<FJsonObject>& JsonObject);

private:
	TSharedPtr<FJsonValue> GetFieldOfType(const FString& FieldName, EJson JsonType) const;
	bool HasFieldOfType(const FString& FieldName, EJson JsonType) const;
	/** The field's value, or null after logging that it is absent. */
	const FJsonValue* FindFieldOrLog(const FString& FieldName) const;
};
