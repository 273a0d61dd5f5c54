#pragma once

// What a property's values are, as the JSON conversions see them: one classification, done
// once per property, instead of a chain of casts for every value converted.

#include "CoreMinimal.h"

class FProperty;

namespace UE::JsonUtilities::Private
{
	enum class EJsonPropertyKind : uint8
	{
		Bool,
		SignedInteger,
		UnsignedInteger,
		FloatingPoint,
		/** An enum class field (FEnumProperty) or an enumeration stored in a byte (FByteProperty with an Enum). */
		Enum,
		String,
		Name,
		Text,
		Struct,
		Array,
		Set,
		Map,
		/** A strong or weak object reference. */
		Object,
		Class,
		SoftObject,
		/** A property class the conversions do not know. */
		Unsupported,
	};

	EJsonPropertyKind ClassifyProperty(const FProperty* Property);
}
