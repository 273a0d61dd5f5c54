#include "JsonPropertyKind.h"

#include "UObject/UnrealType.h"

namespace UE::JsonUtilities::Private
{
	EJsonPropertyKind ClassifyProperty(const FProperty* Property)
	{
		// Subclasses before their bases: a class reference is also an object reference, and an
		// enumeration stored in a byte is also a number.
		if (CastField<FBoolProperty>(Property))
		{
			return EJsonPropertyKind::Bool;
		}
		if (CastField<FEnumProperty>(Property))
		{
			return EJsonPropertyKind::Enum;
		}
		if (const FNumericProperty* Numeric = CastField<FNumericProperty>(Property))
		{
			if (Numeric->IsEnum())
			{
				return EJsonPropertyKind::Enum;
			}
			if (Numeric->IsFloatingPoint())
			{
				return EJsonPropertyKind::FloatingPoint;
			}
			return Numeric->IsSigned() ? EJsonPropertyKind::SignedInteger : EJsonPropertyKind::UnsignedInteger;
		}
		if (CastField<FStrProperty>(Property))
		{
			return EJsonPropertyKind::String;
		}
		if (CastField<FNameProperty>(Property))
		{
			return EJsonPropertyKind::Name;
		}
		if (CastField<FTextProperty>(Property))
		{
			return EJsonPropertyKind::Text;
		}
		if (CastField<FStructProperty>(Property))
		{
			return EJsonPropertyKind::Struct;
		}
		if (CastField<FArrayProperty>(Property))
		{
			return EJsonPropertyKind::Array;
		}
		if (CastField<FSetProperty>(Property))
		{
			return EJsonPropertyKind::Set;
		}
		if (CastField<FMapProperty>(Property))
		{
			return EJsonPropertyKind::Map;
		}
		if (CastField<FClassProperty>(Property))
		{
			return EJsonPropertyKind::Class;
		}
		if (CastField<FSoftObjectProperty>(Property))
		{
			return EJsonPropertyKind::SoftObject;
		}
		if (CastField<FObjectProperty>(Property) || CastField<FWeakObjectProperty>(Property))
		{
			return EJsonPropertyKind::Object;
		}
		return EJsonPropertyKind::Unsupported;
	}
}
