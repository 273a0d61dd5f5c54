#include "Dom/JsonValue.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonEmptyValues.h"
#include "JsonGlobals.h"
#include "Policies/JsonPrintPolicy.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

namespace
{
	template <typename IntegerType>
	bool DoubleToInteger(double Value, IntegerType& OutValue)
	{
		// Both bounds are powers of two and so exact doubles; the upper one is exclusive
		// because the type's maximum itself may not be a double. NaN fails both tests.
		constexpr double Lowest = static_cast<double>(std::numeric_limits<IntegerType>::min());
		constexpr double UpperBound = 2.0 * static_cast<double>(std::numeric_limits<IntegerType>::max() / 2 + 1);
		if (!(Value >= Lowest && Value < UpperBound) || std::trunc(Value) != Value)
		{
			return false;
		}
		OutValue = static_cast<IntegerType>(Value);
		return true;
	}

	/** Parses all of Text as a NumberType; errc::result_out_of_range when it is one but too large. */
	template <typename NumberType>
	std::errc ParseWhole(std::string_view Text, NumberType& OutValue)
	{
		NumberType Value{};
		const std::from_chars_result Result = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
		if (Result.ec != std::errc())
		{
			return Result.ec;
		}
		if (Result.ptr != Text.data() + Text.size())
		{
			return std::errc::invalid_argument;
		}
		OutValue = Value;
		return std::errc();
	}

	/** Integer text exactly; other number forms ("12.0", "1e3") through the double. */
	template <typename IntegerType>
	bool StringToInteger(const FJsonValue& Value, std::string_view Text, IntegerType& OutValue)
	{
		const std::errc Error = ParseWhole(Text, OutValue);
		if (Error == std::errc())
		{
			return true;
		}
		double Number = 0.0;
		return Error != std::errc::result_out_of_range && Value.TryGetNumber(Number) && DoubleToInteger(Number, OutValue);
	}
}

FString FJsonValue::AsString() const
{
	FString String;
	if (!TryGetString(String))
	{
		ErrorMessage(TEXT("a String"));
		return FString();
	}
	return String;
}

double FJsonValue::AsNumber() const
{
	double Number = 0.0;
	if (!TryGetNumber(Number))
	{
		ErrorMessage(TEXT("a Number"));
		return 0.0;
	}
	return Number;
}

bool FJsonValue::AsBool() const
{
	bool bValue = false;
	if (!TryGetBool(bValue))
	{
		ErrorMessage(TEXT("a Boolean"));
		return false;
	}
	return bValue;
}

const TArray<TSharedPtr<FJsonValue>>& FJsonValue::AsArray() const
{
	const TArray<TSharedPtr<FJsonValue>>* Array = nullptr;
	if (!TryGetArray(Array))
	{
		ErrorMessage(TEXT("an Array"));
		return UE::Json::Private::GetEmptyArray();
	}
	return *Array;
}

const TSharedPtr<FJsonObject>& FJsonValue::AsObject() const
{
	const TSharedPtr<FJsonObject>* Object = nullptr;
	if (!TryGetObject(Object))
	{
		if (Type == EJson::Object)
		{
			UE_LOG(LogJson, Error, TEXT("Json value of type 'Object' holds no object"));
			return UE::Json::Private::GetNullObject();
		}
		ErrorMessage(TEXT("an Object"));
		return UE::Json::Private::GetNullObject();
	}
	return *Object;
}

bool FJsonValue::TryGetString(FString&) const
{
	return false;
}

bool FJsonValue::TryGetNumber(double&) const
{
	return false;
}

bool FJsonValue::TryGetNumber(float& OutNumber) const
{
	double Number = 0.0;
	if (!TryGetNumber(Number) || (std::isfinite(Number) && std::fabs(Number) > std::numeric_limits<float>::max()))
	{
		return false;
	}
	OutNumber = static_cast<float>(Number);
	return true;
}

bool FJsonValue::TryGetNumber(int32& OutNumber) const
{
	double Number = 0.0;
	return TryGetNumber(Number) && DoubleToInteger(Number, OutNumber);
}

bool FJsonValue::TryGetNumber(int64& OutNumber) const
{
	double Number = 0.0;
	return TryGetNumber(Number) && DoubleToInteger(Number, OutNumber);
}

bool FJsonValue::TryGetNumber(uint32& OutNumber) const
{
	double Number = 0.0;
	return TryGetNumber(Number) && DoubleToInteger(Number, OutNumber);
}

bool FJsonValue::TryGetBool(bool&) const
{
	return false;
}

bool FJsonValue::TryGetArray(const TArray<TSharedPtr<FJsonValue>>*&) const
{
	return false;
}

bool FJsonValue::TryGetObject(const TSharedPtr<FJsonObject>*&) const
{
	return false;
}

bool FJsonValue::CompareEqual(const FJsonValue& Lhs, const FJsonValue& Rhs)
{
	if (Lhs.Type != Rhs.Type)
	{
		return false;
	}
	switch (Lhs.Type)
	{
	case EJson::None:
	case EJson::Null:
		return true;
	case EJson::String:
		return Lhs.AsString().Equals(Rhs.AsString(), ESearchCase::CaseSensitive);
	case EJson::Number:
		return Lhs.AsNumber() == Rhs.AsNumber();
	case EJson::Boolean:
		return Lhs.AsBool() == Rhs.AsBool();
	case EJson::Array:
	{
		const TArray<TSharedPtr<FJsonValue>>& LhsArray = Lhs.AsArray();
		const TArray<TSharedPtr<FJsonValue>>& RhsArray = Rhs.AsArray();
		if (LhsArray.Num() != RhsArray.Num())
		{
			return false;
		}
		for (int32 Index = 0; Index < LhsArray.Num(); ++Index)
		{
			const TSharedPtr<FJsonValue>& LhsElement = LhsArray[Index];
			const TSharedPtr<FJsonValue>& RhsElement = RhsArray[Index];
			if (LhsElement.IsValid() != RhsElement.IsValid() || (LhsElement.IsValid() && !CompareEqual(*LhsElement, *RhsElement)))
			{
				return false;
			}
		}
		return true;
	}
	case EJson::Object:
	{
		const FJsonObject* LhsObject = nullptr;
		const FJsonObject* RhsObject = nullptr;
		const TSharedPtr<FJsonObject>* Found = nullptr;
		if (Lhs.TryGetObject(Found))
		{
			LhsObject = Found->Get();
		}
		if (Rhs.TryGetObject(Found))
		{
			RhsObject = Found->Get();
		}
		if (!LhsObject || !RhsObject)
		{
			return LhsObject == RhsObject;
		}
		if (LhsObject->Values.Num() != RhsObject->Values.Num())
		{
			return false;
		}
		for (const auto& Pair : LhsObject->Values)
		{
			const TSharedPtr<FJsonValue>* RhsValue = RhsObject->Values.Find(Pair.Key);
			if (!RhsValue || Pair.Value.IsValid() != RhsValue->IsValid()
				|| (Pair.Value.IsValid() && !CompareEqual(*Pair.Value, **RhsValue)))
			{
				return false;
			}
		}
		return true;
	}
	}
	return false;
}

void FJsonValue::ErrorMessage(const TCHAR* RequestedType) const
{
	UE_LOG(LogJson, Error, TEXT("Json value of type '%s' cannot be used as %s"), LexToString(Type), RequestedType);
}

bool FJsonValueBoolean::TryGetString(FString& OutString) const
{
	OutString = Value ? TEXT("true") : TEXT("false");
	return true;
}

bool FJsonValueBoolean::TryGetNumber(double& OutNumber) const
{
	OutNumber = Value ? 1.0 : 0.0;
	return true;
}

bool FJsonValueBoolean::TryGetBool(bool& OutBool) const
{
	OutBool = Value;
	return true;
}

bool FJsonValueNumber::TryGetString(FString& OutString) const
{
	// NaN and the infinities have no JSON text.
	if (!std::isfinite(Value))
	{
		return false;
	}
	FString Text;
	UE::Json::Private::AppendNumber(Text, Value);
	OutString = std::move(Text);
	return true;
}

bool FJsonValueNumber::TryGetNumber(double& OutNumber) const
{
	OutNumber = Value;
	return true;
}

bool FJsonValueNumber::TryGetBool(bool& OutBool) const
{
	OutBool = Value != 0.0;
	return true;
}

bool FJsonValueString::TryGetString(FString& OutString) const
{
	OutString = Value;
	return true;
}

bool FJsonValueString::TryGetNumber(double& OutNumber) const
{
	double Number = 0.0;
	if (ParseWhole(Value.ToView(), Number) != std::errc() || !std::isfinite(Number))
	{
		return false;
	}
	OutNumber = Number;
	return true;
}

bool FJsonValueString::TryGetNumber(int32& OutNumber) const
{
	return StringToInteger(*this, Value.ToView(), OutNumber);
}

bool FJsonValueString::TryGetNumber(int64& OutNumber) const
{
	return StringToInteger(*this, Value.ToView(), OutNumber);
}

bool FJsonValueString::TryGetNumber(uint32& OutNumber) const
{
	return StringToInteger(*this, Value.ToView(), OutNumber);
}

bool FJsonValueString::TryGetBool(bool& OutBool) const
{
	if (Value.Equals(TEXT("true"), ESearchCase::IgnoreCase))
	{
		OutBool = true;
		return true;
	}
	if (Value.Equals(TEXT("false"), ESearchCase::IgnoreCase))
	{
		OutBool = false;
		return true;
	}
	return false;
}

bool FJsonValueArray::TryGetArray(const TArray<TSharedPtr<FJsonValue>>*& OutArray) const
{
	OutArray = &Value;
	return true;
}

bool FJsonValueObject::TryGetObject(const TSharedPtr<FJsonObject>*& OutObject) const
{
	if (!Value.IsValid())
	{
		return false;
	}
	OutObject = &Value;
	return true;
}
