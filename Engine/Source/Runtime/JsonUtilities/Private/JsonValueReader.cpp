#include "JsonValueReader.h"

#include "Dom/JsonObject.h"
#include "UObject/Class.h"
#include "UObject/SoftObjectPath.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace UE::JsonUtilities::Private
{
	namespace
	{
		/** The longest string a message quotes whole; longer ones are cut, so one bad value cannot flood the log. */
		constexpr int32 MaxQuotedBytes = 80;

		/** Text, cut to MaxQuotedBytes at a character boundary with "..." added when longer. */
		FString QuoteForMessage(const FString& Text)
		{
			if (Text.Len() <= MaxQuotedBytes)
			{
				return Text;
			}
			int32 Cut = MaxQuotedBytes;
			// UTF-8 continuation bytes are 10xxxxxx; a cut before one would split a character.
			while (Cut > 0 && (static_cast<uint8>(Text[Cut]) & 0xC0) == 0x80)
			{
				--Cut;
			}
			return Text.Left(Cut) + TEXT("...");
		}

		/** What a JSON value is, for messages: "an object", "the number 2.5", "the string "Red"". */
		FString DescribeJsonValue(const FJsonValue& Value)
		{
			FString Text;
			switch (Value.Type)
			{
			case EJson::Object: return FString(TEXT("an object"));
			case EJson::Array: return FString(TEXT("an array"));
			case EJson::String:
				Value.TryGetString(Text);
				return FString::Printf(TEXT("the string \"%s\""), *QuoteForMessage(Text));
			case EJson::Number:
				Value.TryGetString(Text);
				return FString::Printf(TEXT("the number %s"), *Text);
			case EJson::Boolean:
				Value.TryGetString(Text);
				return FString::Printf(TEXT("the boolean %s"), *Text);
			default: return FString(TEXT("null"));
			}
		}

		/** "" and "None" mean no object, as the engine writes a null reference in text. */
		bool IsNullReferenceText(const FString& Text)
		{
			return Text.IsEmpty() || Text.Equals(FString(TEXT("None")), ESearchCase::IgnoreCase);
		}

		/** 2^Bits as a double: exact, as every power of two within range is. */
		double PowerOfTwo(int32 Bits)
		{
			return std::ldexp(1.0, Bits);
		}

		/** True when Number is integral and within the signed or unsigned integer of Bits bits. */
		bool IsIntegerInRange(double Number, bool bSigned, int32 Bits)
		{
			if (!(std::trunc(Number) == Number))
			{
				return false;
			}
			// The bounds are powers of two and so exact; the upper one is exclusive because the
			// type's maximum (2^Bits - 1 or 2^(Bits-1) - 1) need not be a double.
			return bSigned ? Number >= -PowerOfTwo(Bits - 1) && Number < PowerOfTwo(Bits - 1)
						   : Number >= 0.0 && Number < PowerOfTwo(Bits);
		}

		/** Parses all of Text as an integer of NumberType; false for anything else, overflow included. */
		template <typename NumberType>
		bool ParseWholeInteger(const FString& Text, NumberType& OutValue)
		{
			const std::string_view View = Text.ToView();
			const std::from_chars_result Result = std::from_chars(View.data(), View.data() + View.size(), OutValue);
			return Result.ec == std::errc() && Result.ptr == View.data() + View.size();
		}

		/** The enumeration of an enum field and the number property that stores its value. */
		const FNumericProperty* GetEnumStorage(const FProperty* Property, UEnum*& OutEnum)
		{
			if (const FEnumProperty* EnumProperty = CastField<FEnumProperty>(Property))
			{
				OutEnum = EnumProperty->GetEnum();
				return EnumProperty->GetUnderlyingProperty();
			}
			const FNumericProperty* Numeric = CastField<FNumericProperty>(Property);
			OutEnum = Numeric->GetIntPropertyEnum();
			return Numeric;
		}

		FString ClassDisplayName(const UClass* Class)
		{
			return Class ? Class->GetName() : FString(TEXT("Object"));
		}
	}

	FJsonValueReader::FJsonValueReader(int64 InCheckFlags, int64 InSkipFlags, bool bInStrictMode)
		: CheckFlags(InCheckFlags)
		, SkipFlags(InSkipFlags)
		, bStrictMode(bInStrictMode)
	{
	}

	bool FJsonValueReader::Fail(const FJsonPathSegment& Path, const FString& Reason)
	{
		Error = FString::Printf(TEXT("Unable to convert %s: %s"), *Path.Describe(), *Reason);
		return false;
	}

	bool FJsonValueReader::FailExpected(const FJsonPathSegment& Path, const FString& Expected, const FJsonValue& Value)
	{
		return Fail(Path, FString::Printf(TEXT("expected %s, found %s"), *Expected, *DescribeJsonValue(Value)));
	}

	bool FJsonValueReader::IsVisited(const FProperty* Property) const
	{
		const uint64 Flags = static_cast<uint64>(Property->GetPropertyFlags());
		return (CheckFlags == 0 || (Flags & static_cast<uint64>(CheckFlags)) != 0) && (Flags & static_cast<uint64>(SkipFlags)) == 0;
	}

	const FJsonValueReader::FPropertyPlan& FJsonValueReader::GetPropertyPlan(const FProperty* Property)
	{
		if (const FPropertyPlan* const* Found = PropertyPlanIndex.Find(Property))
		{
			return **Found;
		}
		FPropertyPlan& Plan = PropertyPlans.emplace_back();
		Plan.Property = Property;
		Plan.Kind = ClassifyProperty(Property);
		PropertyPlanIndex.Add(Property, &Plan);
		// Element properties belong to their container and are distinct objects, so this
		// recursion ends; records are planned lazily because they may contain themselves.
		if (const FArrayProperty* Array = CastField<FArrayProperty>(Property))
		{
			Plan.Element = &GetPropertyPlan(Array->Inner);
		}
		else if (const FSetProperty* Set = CastField<FSetProperty>(Property))
		{
			Plan.Element = &GetPropertyPlan(Set->ElementProp);
		}
		else if (const FMapProperty* Map = CastField<FMapProperty>(Property))
		{
			Plan.Key = &GetPropertyPlan(Map->KeyProp);
			Plan.Element = &GetPropertyPlan(Map->ValueProp);
		}
		return Plan;
	}

	void FJsonValueReader::AddFields(FStructPlan& Plan, const UStruct* Struct)
	{
		// Walking the base types first gives the declared order without the array that
		// UStruct::GetProperties builds on every call.
		if (const UStruct* Super = Struct->GetSuperStruct())
		{
			AddFields(Plan, Super);
		}
		for (const FProperty* Property : Struct->GetOwnProperties())
		{
			if (IsVisited(Property))
			{
				Plan.Fields.Add(FFieldPlan{Property->GetAuthoredName(), &GetPropertyPlan(Property)});
			}
		}
	}

	const FJsonValueReader::FStructPlan& FJsonValueReader::GetStructPlan(const UStruct* Struct)
	{
		if (const FStructPlan* const* Found = StructPlanIndex.Find(Struct))
		{
			return **Found;
		}
		FStructPlan& Plan = StructPlans.emplace_back();
		AddFields(Plan, Struct);
		StructPlanIndex.Add(Struct, &Plan);
		return Plan;
	}

	bool FJsonValueReader::ReadStruct(const TMap<FString, TSharedPtr<FJsonValue>>& Members, const UStruct* Struct, void* Data,
		const FJsonPathSegment* Path)
	{
		return ReadFields(Members, GetStructPlan(Struct), Data, Path);
	}

	bool FJsonValueReader::ReadFields(const TMap<FString, TSharedPtr<FJsonValue>>& Members, const FStructPlan& Plan, void* Data,
		const FJsonPathSegment* Path)
	{
		// Documents usually list the keys in the order the fields are declared, so the member
		// after the last one matched is tried first; comparing one key costs less than hashing
		// it for a lookup. Keys are unique, so a match there is the member Find would give.
		auto Next = Members.begin();
		const auto End = Members.end();
		for (const FFieldPlan& Field : Plan.Fields)
		{
			const TSharedPtr<FJsonValue>* Value = nullptr;
			if (Next != End && Next.Key().Equals(Field.Name, ESearchCase::IgnoreCase))
			{
				Value = &Next.Value();
				++Next;
			}
			else
			{
				Value = Members.Find(Field.Name);
			}
			const FJsonPathSegment FieldPath = FJsonPathSegment::Member(Path, Field.Name);
			if (!Value || !Value->IsValid())
			{
				if (bStrictMode)
				{
					return Fail(FieldPath, FString(TEXT("the field is missing")));
				}
				continue;
			}
			if (bStrictMode && (*Value)->IsNull())
			{
				return Fail(FieldPath, FString(TEXT("the field is null")));
			}
			if (!ReadValue(**Value, *Field.Plan, Field.Plan->Property->ContainerPtrToValuePtr<void>(Data), FieldPath))
			{
				return false;
			}
		}
		return true;
	}

	bool FJsonValueReader::ReadProperty(const FJsonValue& Value, const FProperty* Property, void* Data, const FJsonPathSegment& Path)
	{
		return ReadValue(Value, GetPropertyPlan(Property), Data, Path);
	}

	bool FJsonValueReader::ReadValue(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		// Null leaves a value as it is, except that it clears a reference: that is what a null
		// reference is written as.
		if (Value.IsNull())
		{
			switch (Plan.Kind)
			{
			case EJsonPropertyKind::Object:
			case EJsonPropertyKind::Class:
				static_cast<const FObjectPropertyBase*>(Plan.Property)->SetObjectPropertyValue(Data, nullptr);
				break;
			case EJsonPropertyKind::SoftObject:
				static_cast<const FSoftObjectProperty*>(Plan.Property)->SetSoftObjectPath(Data, FSoftObjectPath());
				break;
			default: break;
			}
			return true;
		}

		switch (Plan.Kind)
		{
		case EJsonPropertyKind::Bool:
		{
			bool bNewValue = false;
			if (!Value.TryGetBool(bNewValue))
			{
				return FailExpected(Path, FString(TEXT("a boolean")), Value);
			}
			static_cast<const FBoolProperty*>(Plan.Property)->SetPropertyValue(Data, bNewValue);
			return true;
		}
		case EJsonPropertyKind::SignedInteger:
		case EJsonPropertyKind::UnsignedInteger:
			return ReadInteger(Value, Plan, Data, Path);
		case EJsonPropertyKind::FloatingPoint:
			return ReadFloatingPoint(Value, Plan, Data, Path);
		case EJsonPropertyKind::Enum:
			return ReadEnum(Value, Plan, Data, Path);
		case EJsonPropertyKind::String:
			if (!Value.TryGetString(*static_cast<FString*>(Data)))
			{
				return FailExpected(Path, FString(TEXT("a string")), Value);
			}
			return true;
		case EJsonPropertyKind::Name:
		case EJsonPropertyKind::Text:
		{
			FString Text;
			if (!Value.TryGetString(Text))
			{
				return FailExpected(Path, FString(TEXT("a string")), Value);
			}
			if (Plan.Kind == EJsonPropertyKind::Name)
			{
				static_cast<const FNameProperty*>(Plan.Property)->SetPropertyValue(Data, FName(Text));
			}
			else
			{
				static_cast<const FTextProperty*>(Plan.Property)->SetPropertyValue(Data, FText::FromString(Text));
			}
			return true;
		}
		case EJsonPropertyKind::Struct:
		{
			const TSharedPtr<FJsonObject>* Object = nullptr;
			if (!Value.TryGetObject(Object))
			{
				return FailExpected(Path, FString(TEXT("an object")), Value);
			}
			if (!Plan.Struct)
			{
				Plan.Struct = &GetStructPlan(static_cast<const FStructProperty*>(Plan.Property)->Struct);
			}
			return ReadFields((*Object)->Values, *Plan.Struct, Data, &Path);
		}
		case EJsonPropertyKind::Array:
			return ReadArray(Value, Plan, Data, Path);
		case EJsonPropertyKind::Set:
			return ReadSet(Value, Plan, Data, Path);
		case EJsonPropertyKind::Map:
			return ReadMap(Value, Plan, Data, Path);
		case EJsonPropertyKind::Object:
			return ReadObject(Value, Plan, Data, Path);
		case EJsonPropertyKind::Class:
			return ReadClass(Value, Plan, Data, Path);
		case EJsonPropertyKind::SoftObject:
			return ReadSoftObject(Value, Plan, Data, Path);
		case EJsonPropertyKind::Unsupported:
			break;
		}
		return Fail(Path, FString::Printf(TEXT("properties of type %s cannot be read from JSON"), *Plan.Property->GetCPPType()));
	}

	bool FJsonValueReader::ReadInteger(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		const FNumericProperty* Property = static_cast<const FNumericProperty*>(Plan.Property);
		const bool bSigned = Plan.Kind == EJsonPropertyKind::SignedInteger;
		const int32 Bits = Property->GetSize() * 8;
		const auto FailRange = [&]() {
			return FailExpected(Path, FString::Printf(TEXT("an integer within the range of %s"), *Property->GetCPPType()), Value);
		};

		if (Value.Type == EJson::String)
		{
			// Integer text is read exactly, so 64-bit values keep every digit; other number
			// text ("12.0", "1e3") goes through the double below.
			FString Text;
			Value.TryGetString(Text);
			int64 Signed = 0;
			uint64 Unsigned = 0;
			if (bSigned && ParseWholeInteger(Text, Signed))
			{
				const bool bFits = Bits >= 64 || (Signed >= -(int64(1) << (Bits - 1)) && Signed < (int64(1) << (Bits - 1)));
				if (!bFits)
				{
					return FailRange();
				}
				Property->SetIntPropertyValue(Data, Signed);
				return true;
			}
			if (!bSigned && ParseWholeInteger(Text, Unsigned))
			{
				if (Bits < 64 && Unsigned >= (uint64(1) << Bits))
				{
					return FailRange();
				}
				Property->SetIntPropertyValue(Data, Unsigned);
				return true;
			}
		}

		double Number = 0.0;
		if ((Value.Type != EJson::Number && Value.Type != EJson::String) || !Value.TryGetNumber(Number))
		{
			return FailExpected(Path, FString(TEXT("an integer")), Value);
		}
		if (!IsIntegerInRange(Number, bSigned, Bits))
		{
			return FailRange();
		}
		if (bSigned)
		{
			Property->SetIntPropertyValue(Data, static_cast<int64>(Number));
		}
		else
		{
			Property->SetIntPropertyValue(Data, static_cast<uint64>(Number));
		}
		return true;
	}

	bool FJsonValueReader::ReadFloatingPoint(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		const FNumericProperty* Property = static_cast<const FNumericProperty*>(Plan.Property);
		double Number = 0.0;
		if ((Value.Type != EJson::Number && Value.Type != EJson::String) || !Value.TryGetNumber(Number))
		{
			return FailExpected(Path, FString(TEXT("a number")), Value);
		}
		// A float cannot hold a finite double beyond its range; storing one would make it infinite.
		if (Property->GetSize() == sizeof(float) && std::isfinite(Number) && std::fabs(Number) > std::numeric_limits<float>::max())
		{
			return FailExpected(Path, FString(TEXT("a number within the range of float")), Value);
		}
		Property->SetFloatingPointPropertyValue(Data, Number);
		return true;
	}

	bool FJsonValueReader::ReadEnum(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		UEnum* Enum = nullptr;
		const FNumericProperty* Storage = GetEnumStorage(Plan.Property, Enum);
		int32 Index = INDEX_NONE;
		if (Enum && Value.Type == EJson::String)
		{
			FString Name;
			Value.TryGetString(Name);
			Index = Enum->GetIndexByName(FName(Name));
		}
		else if (Enum && Value.Type == EJson::Number)
		{
			double Number = 0.0;
			Value.TryGetNumber(Number);
			if (IsIntegerInRange(Number, true, 64))
			{
				Index = Enum->GetIndexByValue(static_cast<int64>(Number));
			}
		}
		if (Index == INDEX_NONE)
		{
			return FailExpected(Path,
				FString::Printf(TEXT("the name or value of an entry of %s"), Enum ? *Enum->GetName() : *Plan.Property->GetCPPType()), Value);
		}
		Storage->SetIntPropertyValue(Data, Enum->GetValueByIndex(Index));
		return true;
	}

	bool FJsonValueReader::ReadArray(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		const TArray<TSharedPtr<FJsonValue>>* Items = nullptr;
		if (!Value.TryGetArray(Items))
		{
			return FailExpected(Path, FString(TEXT("an array")), Value);
		}
		const IScriptArrayOps& Ops = static_cast<const FArrayProperty*>(Plan.Property)->GetOps();
		// Emptying first gives every element its default value, so nothing of the previous
		// contents leaks into fields the JSON leaves out.
		Ops.Resize(Data, 0);
		Ops.Resize(Data, Items->Num());
		for (int32 Index = 0; Index < Items->Num(); ++Index)
		{
			const FJsonValue* Item = (*Items)[Index].Get();
			if (Item && !ReadValue(*Item, *Plan.Element, Ops.GetElement(Data, Index), FJsonPathSegment::Index(&Path, Index)))
			{
				return false;
			}
		}
		return true;
	}

	bool FJsonValueReader::ReadSet(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		const TArray<TSharedPtr<FJsonValue>>* Items = nullptr;
		if (!Value.TryGetArray(Items))
		{
			return FailExpected(Path, FString(TEXT("an array")), Value);
		}
		const IScriptSetOps& Ops = static_cast<const FSetProperty*>(Plan.Property)->GetOps();
		Ops.Empty(Data);
		for (int32 Index = 0; Index < Items->Num(); ++Index)
		{
			const FJsonValue* Item = (*Items)[Index].Get();
			const bool bRead = Ops.AddElement(Data, [&](void* Element) {
				return !Item || ReadValue(*Item, *Plan.Element, Element, FJsonPathSegment::Index(&Path, Index));
			});
			if (!bRead)
			{
				return false;
			}
		}
		return true;
	}

	bool FJsonValueReader::ReadMap(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		const TSharedPtr<FJsonObject>* Object = nullptr;
		if (!Value.TryGetObject(Object))
		{
			return FailExpected(Path, FString(TEXT("an object")), Value);
		}
		const IScriptMapOps& Ops = static_cast<const FMapProperty*>(Plan.Property)->GetOps();
		Ops.Empty(Data);
		for (const auto& Pair : (*Object)->Values)
		{
			const bool bRead = Ops.AddPair(Data, [&](void* Key, void* Item) {
				// A key is JSON text, so it converts as a string value would.
				const FJsonValueString KeyValue(Pair.Key);
				if (!ReadValue(KeyValue, *Plan.Key, Key, FJsonPathSegment::Key(&Path, Pair.Key)))
				{
					return false;
				}
				return !Pair.Value.IsValid() || ReadValue(*Pair.Value, *Plan.Element, Item, FJsonPathSegment::Member(&Path, Pair.Key));
			});
			if (!bRead)
			{
				return false;
			}
		}
		return true;
	}

	bool FJsonValueReader::ReadObject(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		const FObjectPropertyBase* Property = static_cast<const FObjectPropertyBase*>(Plan.Property);
		FString ObjectPath;
		if (Value.Type != EJson::String || !Value.TryGetString(ObjectPath))
		{
			return FailExpected(Path, FString::Printf(TEXT("the path of a %s"), *ClassDisplayName(Property->PropertyClass)), Value);
		}
		ObjectPath = ObjectPath.TrimStartAndEnd();
		if (IsNullReferenceText(ObjectPath))
		{
			Property->SetObjectPropertyValue(Data, nullptr);
			return true;
		}
		// The failure is reported here, with the JSON path, so the loader's own warning would
		// only repeat it.
		UObject* Object = StaticLoadObject(Property->PropertyClass, nullptr, *ObjectPath, nullptr, LOAD_NoWarn | LOAD_Quiet);
		if (!Object)
		{
			return Fail(Path, FString::Printf(TEXT("cannot find or load a %s at \"%s\""), *ClassDisplayName(Property->PropertyClass),
				*QuoteForMessage(ObjectPath)));
		}
		Property->SetObjectPropertyValue(Data, Object);
		return true;
	}

	bool FJsonValueReader::ReadClass(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		const FClassProperty* Property = static_cast<const FClassProperty*>(Plan.Property);
		const UClass* MetaClass = Property->MetaClass ? Property->MetaClass : UObject::StaticClass();
		const auto FailClass = [&]() {
			return FailExpected(Path, FString::Printf(TEXT("the path or name of a class derived from %s"), *MetaClass->GetName()), Value);
		};
		FString ClassPath;
		if (Value.Type != EJson::String || !Value.TryGetString(ClassPath))
		{
			return FailClass();
		}
		ClassPath = ClassPath.TrimStartAndEnd();
		if (IsNullReferenceText(ClassPath))
		{
			Property->SetObjectPropertyValue(Data, nullptr);
			return true;
		}
		UObject* Found = ClassPath.StartsWith(FString(TEXT("/")))
			? StaticLoadObject(UClass::StaticClass(), nullptr, *ClassPath, nullptr, LOAD_NoWarn | LOAD_Quiet)
			: StaticFindFirstObject(UClass::StaticClass(), *ClassPath);
		UClass* Class = static_cast<UClass*>(Found);
		if (!Class || !Class->IsChildOf(MetaClass))
		{
			return FailClass();
		}
		Property->SetObjectPropertyValue(Data, Class);
		return true;
	}

	bool FJsonValueReader::ReadSoftObject(const FJsonValue& Value, const FPropertyPlan& Plan, void* Data, const FJsonPathSegment& Path)
	{
		const FSoftObjectProperty* Property = static_cast<const FSoftObjectProperty*>(Plan.Property);
		FString ObjectPath;
		if (Value.Type != EJson::String || !Value.TryGetString(ObjectPath))
		{
			return FailExpected(Path, FString::Printf(TEXT("the path of a %s"), *ClassDisplayName(Property->PropertyClass)), Value);
		}
		ObjectPath = ObjectPath.TrimStartAndEnd();
		Property->SetSoftObjectPath(Data, IsNullReferenceText(ObjectPath) ? FSoftObjectPath() : FSoftObjectPath(ObjectPath));
		return true;
	}
}
