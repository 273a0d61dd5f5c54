#pragma once

#include "CoreTypes.h"
#include "Templates/TypeHash.h"

/** Stores an enumeration value in one byte, as old-style reflected enum fields do. */
template <typename TEnum>
class TEnumAsByte
{
public:
	using EnumType = TEnum;

	TEnumAsByte() = default;
	TEnumAsByte(TEnum InValue) : Value(static_cast<uint8>(InValue)) {}
	explicit TEnumAsByte(int32 InValue) : Value(static_cast<uint8>(InValue)) {}

	operator TEnum() const { return static_cast<TEnum>(Value); }
	TEnum GetValue() const { return static_cast<TEnum>(Value); }
	uint8 GetIntValue() const { return Value; }
	bool operator==(TEnum Other) const { return Value == static_cast<uint8>(Other); }
	bool operator==(const TEnumAsByte&) const = default;

	friend uint32 GetTypeHash(const TEnumAsByte& Enum) { return Enum.Value; }

private:
	uint8 Value = 0;
};
