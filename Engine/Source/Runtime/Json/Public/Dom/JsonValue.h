#pragma once

// FJsonValue: one node of a JSON document tree, and its concrete kinds.
//
// The AsX accessors never fail loudly: a value that cannot be read as the requested kind
// logs an error to LogJson and gives the empty value ("", 0, false, an empty array, a null
// object). The TryGetX forms report the same failure as false. Some kinds convert, as the
// engine's do: a number or a boolean reads as a string ("2.5", "true"), a string holding a
// number reads as that number, a number reads as a boolean (non-zero is true), a boolean as
// 1 or 0, and a string "true" or "false" (in any letter case) as a boolean.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Serialization/JsonTypes.h"
#include "Templates/SharedPointer.h"

class FJsonObject;

class JSON_API FJsonValue
{
public:
	virtual ~FJsonValue() = default;

	FString AsString() const;
	double AsNumber() const;
	bool AsBool() const;
	/** The elements, or an empty array when this value is not an array. */
	const TArray<TSharedPtr<FJsonValue>>& AsArray() const;
	/** The object, or a null pointer when this value is not an object. */
	const TSharedPtr<FJsonObject>& AsObject() const;

	virtual bool TryGetString(FString& OutString) const;
	virtual bool TryGetNumber(double& OutNumber) const;
	/** False when the number lies beyond float's range. */
	virtual bool TryGetNumber(float& OutNumber) const;
	/** The integer forms are false unless the number is integral and within the type's range. */
	virtual bool TryGetNumber(int32& OutNumber) const;
	virtual bool TryGetNumber(int64& OutNumber) const;
	virtual bool TryGetNumber(uint32& OutNumber) const;
	virtual bool TryGetBool(bool& OutBool) const;
	virtual bool TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const;
	virtual bool TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const;

	/** True for an explicit null and for no value (EJson::None). */
	bool IsNull() const { return Type == EJson::Null || Type == EJson::None; }

	/**
	 * Deep comparison: same kind and same content. Strings compare with letter case (they
	 * are data), object members are matched by key as the object looks them up (without
	 * letter case) and in any order, array elements in order.
	 */
	static bool CompareEqual(const FJsonValue& Lhs, const FJsonValue& Rhs);

	EJson Type;

protected:
	explicit FJsonValue(EJson InType) : Type(InType) {}

	/** Logs that this value was asked for as something it cannot give. */
	void ErrorMessage(const TCHAR* RequestedType) const;
};

class JSON_API FJsonValueNull : public FJsonValue
{
public:
	FJsonValueNull() : FJsonValue(EJson::Null) {}
};

class JSON_API FJsonValueBoolean : public FJsonValue
{
public:
	explicit FJsonValueBoolean(bool InValue) : FJsonValue(EJson::Boolean), Value(InValue) {}

	using FJsonValue::TryGetNumber;
	bool TryGetString(FString& OutString) const override;
	bool TryGetNumber(double& OutNumber) const override;
	bool TryGetBool(bool& OutBool) const override;

private:
	bool Value;
};

class JSON_API FJsonValueNumber : public FJsonValue
{
public:
	explicit FJsonValueNumber(double InValue) : FJsonValue(EJson::Number), Value(InValue) {}

	using FJsonValue::TryGetNumber;
	/** The number as the writer writes it: "3", "-0.25", "1e+300". */
	bool TryGetString(FString& OutString) const override;
	bool TryGetNumber(double& OutNumber) const override;
	bool TryGetBool(bool& OutBool) const override;

private:
	double Value;
};

class JSON_API FJsonValueString : public FJsonValue
{
public:
	explicit FJsonValueString(const FString& InValue) : FJsonValue(EJson::String), Value(InValue) {}
	explicit FJsonValueString(FString&& InValue) : FJsonValue(EJson::String), Value(std::move(InValue)) {}

	bool TryGetString(FString& OutString) const override;
	using FJsonValue::TryGetNumber;
	/** Succeeds only when the whole string is a finite number ("12", "-0.5", "1e3"). */
	bool TryGetNumber(double& OutNumber) const override;
	/** Integer text is read exactly, so "9007199254740993" keeps its last digit. */
	bool TryGetNumber(int32& OutNumber) const override;
	bool TryGetNumber(int64& OutNumber) const override;
	bool TryGetNumber(uint32& OutNumber) const override;
	bool TryGetBool(bool& OutBool) const override;

private:
	FString Value;
};

class JSON_API FJsonValueArray : public FJsonValue
{
public:
	explicit FJsonValueArray(const TArray<TSharedPtr<FJsonValue>>& InValue) : FJsonValue(EJson::Array), Value(InValue) {}
	explicit FJsonValueArray(TArray<TSharedPtr<FJsonValue>>&& InValue) : FJsonValue(EJson::Array), Value(std::move(InValue)) {}

	bool TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const override;

private:
	TArray<TSharedPtr<FJsonValue>> Value;
};

class JSON_API FJsonValueObject : public FJsonValue
{
public:
	explicit FJsonValueObject(TSharedPtr<FJsonObject> InValue) : FJsonValue(EJson::Object), Value(std::move(InValue)) {}

	/** False when the value holds a null object pointer. */
	bool TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const override;

private:
	TSharedPtr<FJsonObject> Value;
};
