#include "Dom/JsonObject.h"

#include "Dom/JsonEmptyValues.h"
#include "JsonGlobals.h"

namespace
{
	template <typename NumberType>
	bool TryGetNumberOf(const FJsonObject& Object, const FString& FieldName, NumberType& OutNumber)
	{
		const TSharedPtr<FJsonValue> Field = Object.TryGetField(FieldName);
		return Field.IsValid() && Field->TryGetNumber(OutNumber);
	}
}

TSharedPtr<FJsonValue> FJsonObject::TryGetField(const FString& FieldName) const
{
	return Values.FindRef(FieldName);
}

bool FJsonObject::HasField(const FString& FieldName) const
{
	return TryGetField(FieldName).IsValid();
}

void FJsonObject::SetField(const FString& FieldName, const TSharedPtr<FJsonValue>& Value)
{
	Values.Add(FieldName, Value);
}

void FJsonObject::RemoveField(const FString& FieldName)
{
	Values.Remove(FieldName);
}

double FJsonObject::GetNumberField(const FString& FieldName) const
{
	const FJsonValue* Field = FindFieldOrLog(FieldName);
	return Field ? Field->AsNumber() : 0.0;
}

int32 FJsonObject::GetIntegerField(const FString& FieldName) const
{
	const FJsonValue* Field = FindFieldOrLog(FieldName);
	if (!Field)
	{
		return 0;
	}
	int32 Number = 0;
	if (!Field->TryGetNumber(Number))
	{
		UE_LOG(LogJson, Error, TEXT("Field '%s' of type '%s' cannot be read as an int32"), *FieldName, LexToString(Field->Type));
		return 0;
	}
	return Number;
}

bool FJsonObject::TryGetNumberField(const FString& FieldName, double& OutNumber) const
{
	return TryGetNumberOf(*this, FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(const FString& FieldName, float& OutNumber) const
{
	return TryGetNumberOf(*this, FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(const FString& FieldName, int32& OutNumber) const
{
	return TryGetNumberOf(*this, FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(const FString& FieldName, int64& OutNumber) const
{
	return TryGetNumberOf(*this, FieldName, OutNumber);
}

bool FJsonObject::TryGetNumberField(const FString& FieldName, uint32& OutNumber) const
{
	return TryGetNumberOf(*this, FieldName, OutNumber);
}

void FJsonObject::SetNumberField(const FString& FieldName, double Number)
{
	Values.Add(FieldName, TSharedPtr<FJsonValue>(MakeShared<FJsonValueNumber>(Number)));
}

FString FJsonObject::GetStringField(const FString& FieldName) const
{
	const FJsonValue* Field = FindFieldOrLog(FieldName);
	return Field ? Field->AsString() : FString();
}

bool FJsonObject::TryGetStringField(const FString& FieldName, FString& OutString) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->TryGetString(OutString);
}

void FJsonObject::SetStringField(const FString& FieldName, const FString& StringValue)
{
	Values.Add(FieldName, TSharedPtr<FJsonValue>(MakeShared<FJsonValueString>(StringValue)));
}

bool FJsonObject::GetBoolField(const FString& FieldName) const
{
	const FJsonValue* Field = FindFieldOrLog(FieldName);
	return Field ? Field->AsBool() : false;
}

bool FJsonObject::TryGetBoolField(const FString& FieldName, bool& OutBool) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->TryGetBool(OutBool);
}

void FJsonObject::SetBoolField(const FString& FieldName, bool InValue)
{
	Values.Add(FieldName, TSharedPtr<FJsonValue>(MakeShared<FJsonValueBoolean>(InValue)));
}

const TArray<TSharedPtr<FJsonValue>>& FJsonObject::GetArrayField(const FString& FieldName) const
{
	// The reference points into the value the map holds, so the value must not be a copy.
	const FJsonValue* Field = FindFieldOrLog(FieldName);
	return Field ? Field->AsArray() : UE::Json::Private::GetEmptyArray();
}

bool FJsonObject::TryGetArrayField(const FString& FieldName, const TArray<TSharedPtr<FJsonValue>>*& OutArray) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->TryGetArray(OutArray);
}

void FJsonObject::SetArrayField(const FString& FieldName, const TArray<TSharedPtr<FJsonValue>>& Array)
{
	Values.Add(FieldName, TSharedPtr<FJsonValue>(MakeShared<FJsonValueArray>(Array)));
}

const TSharedPtr<FJsonObject>& FJsonObject::GetObjectField(const FString& FieldName) const
{
	const FJsonValue* Field = FindFieldOrLog(FieldName);
	return Field ? Field->AsObject() : UE::Json::Private::GetNullObject();
}

bool FJsonObject::TryGetObjectField(const FString& FieldName, const TSharedPtr<FJsonObject>*& OutObject) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->TryGetObject(OutObject);
}

void FJsonObject::SetObjectField(const FString& FieldName, const TSharedPtr<FJsonObject>& JsonObject)
{
	Values.Add(FieldName, TSharedPtr<FJsonValue>(MakeShared<FJsonValueObject>(JsonObject)));
}

TSharedPtr<FJsonValue> FJsonObject::GetFieldOfType(const FString& FieldName, EJson JsonType) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	if (!Field.IsValid())
	{
		UE_LOG(LogJson, Error, TEXT("Field '%s' was not found"), *FieldName);
		return MakeShared<FJsonValueNull>();
	}
	if (JsonType != EJson::None && Field->Type != JsonType)
	{
		UE_LOG(LogJson, Error, TEXT("Field '%s' is of type '%s', not '%s'"), *FieldName, LexToString(Field->Type), LexToString(JsonType));
		return MakeShared<FJsonValueNull>();
	}
	return Field;
}

bool FJsonObject::HasFieldOfType(const FString& FieldName, EJson JsonType) const
{
	const TSharedPtr<FJsonValue> Field = TryGetField(FieldName);
	return Field.IsValid() && Field->Type == JsonType;
}

const FJsonValue* FJsonObject::FindFieldOrLog(const FString& FieldName) const
{
	const TSharedPtr<FJsonValue>* Field = Values.Find(FieldName);
	if (!Field || !Field->IsValid())
	{
		UE_LOG(LogJson, Error, TEXT("Field '%s' was not found"), *FieldName);
		return nullptr;
	}
	return Field->Get();
}
