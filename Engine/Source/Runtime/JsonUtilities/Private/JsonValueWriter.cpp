#include "JsonValueWriter.h"

#include "Dom/JsonObject.h"
#include "JsonPropertyKind.h"
#include "UObject/Class.h"
#include "UObject/SoftObjectPath.h"
#include "UObject/UnrealType.h"

#include <charconv>
#include <cmath>

namespace UE::JsonUtilities::Private
{
	namespace
	{
		/** The largest magnitude up to which every integer is a double, and so a JSON number read back exactly. */
		constexpr uint64 MaxExactInteger = uint64(1) << 53;

		TSharedPtr<FJsonValue> MakeString(FString Text)
		{
			return MakeShared<FJsonValueString>(std::move(Text)).ToSharedPtr();
		}

		TSharedPtr<FJsonValue> MakeNumber(double Number)
		{
			return MakeShared<FJsonValueNumber>(Number).ToSharedPtr();
		}

		TSharedPtr<FJsonValue> MakeNull()
		{
			return MakeShared<FJsonValueNull>().ToSharedPtr();
		}

		/**
		 * The double whose shortest text is the float's shortest text, so 0.1f is written "0.1"
		 * rather than "0.10000000149011612"; it reads back as the same float.
		 */
		double FloatToShortestDouble(float Value)
		{
			if (!std::isfinite(Value))
			{
				return Value;
			}
			char Buffer[32];
			const std::to_chars_result Written = std::to_chars(Buffer, Buffer + sizeof(Buffer), Value);
			double Result = Value;
			std::from_chars(Buffer, Written.ptr, Result);
			return Result;
		}

		TSharedPtr<FJsonValue> WriteNumber(const FNumericProperty* Property, EJsonPropertyKind Kind, const void* Data)
		{
			if (Kind == EJsonPropertyKind::FloatingPoint)
			{
				const double Number = Property->GetFloatingPointPropertyValue(Data);
				return MakeNumber(Property->GetSize() == sizeof(float) ? FloatToShortestDouble(static_cast<float>(Number)) : Number);
			}
			// Integers a double cannot hold exactly go out as their digits, which read back exactly.
			if (Kind == EJsonPropertyKind::SignedInteger)
			{
				const int64 Number = Property->GetSignedIntPropertyValue(Data);
				const uint64 Magnitude = Number < 0 ? uint64(0) - static_cast<uint64>(Number) : static_cast<uint64>(Number);
				return Magnitude <= MaxExactInteger ? MakeNumber(static_cast<double>(Number)) : MakeString(LexToString(Number));
			}
			const uint64 Number = Property->GetUnsignedIntPropertyValue(Data);
			return Number <= MaxExactInteger ? MakeNumber(static_cast<double>(Number)) : MakeString(LexToString(Number));
		}

		TSharedPtr<FJsonValue> WriteEnum(const FProperty* Property, const void* Data)
		{
			const FNumericProperty* Storage = nullptr;
			UEnum* Enum = nullptr;
			if (const FEnumProperty* EnumProperty = CastField<FEnumProperty>(Property))
			{
				Storage = EnumProperty->GetUnderlyingProperty();
				Enum = EnumProperty->GetEnum();
			}
			else
			{
				Storage = CastField<FNumericProperty>(Property);
				Enum = Storage->GetIntPropertyEnum();
			}
			const int64 Value = Storage->IsSigned() ? Storage->GetSignedIntPropertyValue(Data)
													: static_cast<int64>(Storage->GetUnsignedIntPropertyValue(Data));
			// A value that is no entry keeps its number rather than turning into an empty name.
			if (!Enum || !Enum->IsValidEnumValue(Value))
			{
				return MakeNumber(static_cast<double>(Value));
			}
			return MakeString(Enum->GetNameStringByValue(Value));
		}

		TSharedPtr<FJsonValue> WriteReference(const UObject* Object)
		{
			return Object ? MakeString(Object->GetPathName()) : MakeNull();
		}
	}

	FJsonValueWriter::FJsonValueWriter(int64 InCheckFlags, int64 InSkipFlags, const FJsonObjectConverter::CustomExportCallback* InExportCb,
		EJsonObjectConversionFlags InConversionFlags)
		: CheckFlags(InCheckFlags)
		// As the engine does, with no skip flags given, deprecated and transient properties
		// are not written: they are not part of what a record's data says.
		, SkipFlags(InSkipFlags != 0 ? InSkipFlags : static_cast<int64>(CPF_Deprecated | CPF_Transient))
		, ExportCb(InExportCb)
		, ConversionFlags(InConversionFlags)
	{
	}

	bool FJsonValueWriter::IsVisited(const FProperty* Property) const
	{
		const uint64 Flags = static_cast<uint64>(Property->GetPropertyFlags());
		return (CheckFlags == 0 || (Flags & static_cast<uint64>(CheckFlags)) != 0) && (Flags & static_cast<uint64>(SkipFlags)) == 0;
	}

	TSharedPtr<FJsonValue> FJsonValueWriter::Fail(const FProperty* Property, const FString& Reason)
	{
		if (Error.IsEmpty())
		{
			Error = FString::Printf(TEXT("Unable to write '%s': %s"), *Property->GetAuthoredName(), *Reason);
		}
		return TSharedPtr<FJsonValue>();
	}

	bool FJsonValueWriter::WriteStruct(const UStruct* Struct, const void* Data, TMap<FString, TSharedPtr<FJsonValue>>& OutMembers)
	{
		if (const UStruct* Super = Struct->GetSuperStruct())
		{
			if (!WriteStruct(Super, Data, OutMembers))
			{
				return false;
			}
		}
		const bool bStandardize = !EnumHasAnyFlags(ConversionFlags, EJsonObjectConversionFlags::SkipStandardizeCase);
		for (const FProperty* Property : Struct->GetOwnProperties())
		{
			if (!IsVisited(Property))
			{
				continue;
			}
			TSharedPtr<FJsonValue> Value = WriteProperty(Property, Property->ContainerPtrToValuePtr<void>(Data));
			if (!Value.IsValid())
			{
				return false;
			}
			const FString Name = Property->GetAuthoredName();
			OutMembers.Add(bStandardize ? FJsonObjectConverter::StandardizeCase(Name) : Name, std::move(Value));
		}
		return true;
	}

	TSharedPtr<FJsonValue> FJsonValueWriter::WriteProperty(const FProperty* Property, const void* Data)
	{
		if (ExportCb && *ExportCb)
		{
			if (TSharedPtr<FJsonValue> Custom = (*ExportCb)(const_cast<FProperty*>(Property), Data); Custom.IsValid())
			{
				return Custom;
			}
		}
		return WriteValue(Property, Data);
	}

	TSharedPtr<FJsonValue> FJsonValueWriter::WriteValue(const FProperty* Property, const void* Data)
	{
		const EJsonPropertyKind Kind = ClassifyProperty(Property);
		switch (Kind)
		{
		case EJsonPropertyKind::Bool:
			return MakeShared<FJsonValueBoolean>(static_cast<const FBoolProperty*>(Property)->GetPropertyValue(Data)).ToSharedPtr();
		case EJsonPropertyKind::SignedInteger:
		case EJsonPropertyKind::UnsignedInteger:
		case EJsonPropertyKind::FloatingPoint:
			return WriteNumber(static_cast<const FNumericProperty*>(Property), Kind, Data);
		case EJsonPropertyKind::Enum:
			return WriteEnum(Property, Data);
		case EJsonPropertyKind::String:
			return MakeString(static_cast<const FStrProperty*>(Property)->GetPropertyValue(Data));
		case EJsonPropertyKind::Name:
			return MakeString(static_cast<const FNameProperty*>(Property)->GetPropertyValue(Data).ToString());
		case EJsonPropertyKind::Text:
			return MakeString(static_cast<const FTextProperty*>(Property)->GetPropertyValue(Data).ToString());
		case EJsonPropertyKind::Struct:
		{
			TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
			if (!WriteStruct(static_cast<const FStructProperty*>(Property)->Struct, Data, Object->Values))
			{
				return TSharedPtr<FJsonValue>();
			}
			return MakeShared<FJsonValueObject>(Object.ToSharedPtr()).ToSharedPtr();
		}
		case EJsonPropertyKind::Array:
		case EJsonPropertyKind::Set:
		case EJsonPropertyKind::Map:
			return WriteContainer(Property, Data);
		case EJsonPropertyKind::Object:
		case EJsonPropertyKind::Class:
			return WriteReference(static_cast<const FObjectPropertyBase*>(Property)->GetObjectPropertyValue(Data));
		case EJsonPropertyKind::SoftObject:
		{
			const FSoftObjectPath& Path = static_cast<const FSoftObjectProperty*>(Property)->GetSoftObjectPath(Data);
			return Path.IsNull() ? MakeNull() : MakeString(Path.ToString());
		}
		case EJsonPropertyKind::Unsupported:
			break;
		}
		return Fail(Property, FString::Printf(TEXT("properties of type %s cannot be written as JSON"), *Property->GetCPPType()));
	}

	TSharedPtr<FJsonValue> FJsonValueWriter::WriteContainer(const FProperty* Property, const void* Data)
	{
		bool bFailed = false;
		if (const FArrayProperty* Array = CastField<FArrayProperty>(Property))
		{
			const IScriptArrayOps& Ops = Array->GetOps();
			TArray<TSharedPtr<FJsonValue>> Items;
			Items.Reserve(Ops.Num(Data));
			for (int32 Index = 0; Index < Ops.Num(Data) && !bFailed; ++Index)
			{
				TSharedPtr<FJsonValue> Item = WriteProperty(Array->Inner, Ops.GetElement(Data, Index));
				bFailed = !Item.IsValid();
				Items.Add(std::move(Item));
			}
			return bFailed ? TSharedPtr<FJsonValue>() : MakeShared<FJsonValueArray>(std::move(Items)).ToSharedPtr();
		}
		if (const FSetProperty* Set = CastField<FSetProperty>(Property))
		{
			TArray<TSharedPtr<FJsonValue>> Items;
			Set->GetOps().ForEachElement(Data, [&](const void* Element) {
				if (!bFailed)
				{
					TSharedPtr<FJsonValue> Item = WriteProperty(Set->ElementProp, Element);
					bFailed = !Item.IsValid();
					Items.Add(std::move(Item));
				}
			});
			return bFailed ? TSharedPtr<FJsonValue>() : MakeShared<FJsonValueArray>(std::move(Items)).ToSharedPtr();
		}
		const FMapProperty* Map = static_cast<const FMapProperty*>(Property);
		TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
		// The map operations visit pairs through a mutable pointer; nothing here changes them.
		Map->GetOps().ForEachPair(const_cast<void*>(Data), [&](void* Key, void* Value) {
			if (bFailed)
			{
				return;
			}
			const TSharedPtr<FJsonValue> KeyValue = WriteProperty(Map->KeyProp, Key);
			FString KeyText;
			if (KeyValue.IsValid() && KeyValue->IsNull())
			{
				KeyText = TEXT("None");
			}
			else if (!KeyValue.IsValid() || KeyValue->Type == EJson::Array || KeyValue->Type == EJson::Object || !KeyValue->TryGetString(KeyText))
			{
				bFailed = true;
				if (KeyValue.IsValid())
				{
					Fail(Property, FString::Printf(TEXT("keys of type %s cannot be JSON object keys"), *Map->KeyProp->GetCPPType()));
				}
				return;
			}
			TSharedPtr<FJsonValue> Item = WriteProperty(Map->ValueProp, Value);
			bFailed = !Item.IsValid();
			Object->Values.Add(std::move(KeyText), std::move(Item));
		});
		return bFailed ? TSharedPtr<FJsonValue>() : MakeShared<FJsonValueObject>(Object.ToSharedPtr()).ToSharedPtr();
	}
}
