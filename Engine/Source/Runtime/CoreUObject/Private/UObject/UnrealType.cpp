#include "UObject/UnrealType.h"

#include "UObject/GCObject.h"
#include "UObject/SoftObjectPtr.h"
#include "UObject/WeakObjectPtr.h"

namespace
{
	/** The engine's C++ prefix of a class: "A" for actors, "U" for every other object. */
	FString ClassCPPName(const UClass* Class)
	{
		for (const UClass* Base = Class; Base; Base = Base->GetSuperClass())
		{
			if (Base->GetName() == "Actor" && Base->GetOuter() && Base->GetOuter()->GetName() == "/Script/Engine")
			{
				return FString("A") + Class->GetName();
			}
		}
		return FString("U") + Class->GetName();
	}
}

FProperty::FProperty(FName InName, int32 InOffset, int32 InElementSize, EPropertyFlags InFlags)
	: Name(InName)
	, AuthoredName(InName.ToString())
	, Offset(InOffset)
	, ElementSize(InElementSize)
	, PropertyFlags(InFlags)
{
}

void FProperty::SetAuthoredName(const FString& InName)
{
	check(FName(InName) == Name);
	AuthoredName = InName;
}

FString FNumericProperty::GetNumericPropertyValueToString(const void* Data) const
{
	if (IsFloatingPoint())
	{
		return FString::SanitizeFloat(GetFloatingPointPropertyValue(Data));
	}
	return IsSigned() ? LexToString(GetSignedIntPropertyValue(Data)) : LexToString(GetUnsignedIntPropertyValue(Data));
}

FString FByteProperty::GetCPPType() const
{
	return Enum ? FString::Printf(TEXT("TEnumAsByte<%s>"), *Enum->GetName()) : FString("uint8");
}

FEnumProperty::FEnumProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, std::unique_ptr<FNumericProperty> InUnderlying, UEnum* InEnum)
	: FProperty(InName, InOffset, InUnderlying->GetSize(), InFlags)
	, Underlying(std::move(InUnderlying))
	, Enum(InEnum)
{
	// The underlying property reads the same bytes as this one.
	check(Underlying->GetOffset_ForInternal() == InOffset);
}

FString FEnumProperty::GetCPPType() const
{
	return Enum ? Enum->GetName() : Underlying->GetCPPType();
}

FStructProperty::FStructProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UScriptStruct* InStruct)
	: FProperty(InName, InOffset, InStruct->GetPropertiesSize(), InFlags)
	, Struct(InStruct)
{
}

FString FStructProperty::GetCPPType() const
{
	return Struct->GetStructCPPName();
}

bool FStructProperty::ContainsObjectReference() const
{
	return Struct->ContainsObjectReference();
}

void FStructProperty::VisitReferences(void* Value, FReferenceCollector& Collector) const
{
	Struct->VisitReferences(Value, Collector);
}

FArrayProperty::FArrayProperty(FName InName, int32 InOffset, int32 InSize, EPropertyFlags InFlags, std::unique_ptr<FProperty> InInner,
	std::unique_ptr<IScriptArrayOps> InOps)
	: FProperty(InName, InOffset, InSize, InFlags)
	, Inner(InInner.get())
	, InnerStorage(std::move(InInner))
	, Ops(std::move(InOps))
{
}

FString FArrayProperty::GetCPPType() const
{
	return FString::Printf(TEXT("TArray<%s>"), *Inner->GetCPPType());
}

void FArrayProperty::VisitReferences(void* Value, FReferenceCollector& Collector) const
{
	const int32 Num = Ops->Num(Value);
	for (int32 Index = 0; Index < Num; ++Index)
	{
		Inner->VisitReferences(Ops->GetElement(Value, Index), Collector);
	}
}

FMapProperty::FMapProperty(FName InName, int32 InOffset, int32 InSize, EPropertyFlags InFlags, std::unique_ptr<FProperty> InKey,
	std::unique_ptr<FProperty> InValue, std::unique_ptr<IScriptMapOps> InOps)
	: FProperty(InName, InOffset, InSize, InFlags)
	, KeyProp(InKey.get())
	, ValueProp(InValue.get())
	, KeyStorage(std::move(InKey))
	, ValueStorage(std::move(InValue))
	, Ops(std::move(InOps))
{
}

FString FMapProperty::GetCPPType() const
{
	return FString::Printf(TEXT("TMap<%s, %s>"), *KeyProp->GetCPPType(), *ValueProp->GetCPPType());
}

namespace
{
	/**
	 * Reports the references in a map key or set element without letting the collector change
	 * them in place: the container hashes the element. A reference the collector
	 * clears (its object is garbage) is remembered instead, and the entry is removed.
	 */
	class FKeyReferenceCollector final : public FReferenceCollector
	{
	public:
		explicit FKeyReferenceCollector(FReferenceCollector& InTarget) : Target(InTarget) {}
		void AddReferencedObject(UObject*& Object, const UObject* ReferencingObject) override
		{
			UObject* Reported = Object;
			Target.AddReferencedObject(Reported, ReferencingObject);
			bCleared |= Object && !Reported;
		}

		/** Visits Key's references; true when the collector cleared one, so the entry must go. */
		bool VisitClears(const FProperty& KeyProperty, void* Key)
		{
			bCleared = false;
			KeyProperty.VisitReferences(Key, *this);
			return bCleared;
		}

	private:
		FReferenceCollector& Target;
		bool bCleared = false;
	};
}

void FMapProperty::VisitReferences(void* Value, FReferenceCollector& Collector) const
{
	FKeyReferenceCollector KeyCollector(Collector);
	Ops->RemoveIf(Value, [&](void* Key, void* PairValue) {
		// A pair keyed by a garbage object goes whole, so its value keeps nothing alive either.
		if (KeyProp->ContainsObjectReference() && KeyCollector.VisitClears(*KeyProp, Key))
		{
			return true;
		}
		if (ValueProp->ContainsObjectReference())
		{
			ValueProp->VisitReferences(PairValue, Collector);
		}
		return false;
	});
}

FSetProperty::FSetProperty(FName InName, int32 InOffset, int32 InSize, EPropertyFlags InFlags, std::unique_ptr<FProperty> InElement,
	std::unique_ptr<IScriptSetOps> InOps)
	: FProperty(InName, InOffset, InSize, InFlags)
	, ElementProp(InElement.get())
	, ElementStorage(std::move(InElement))
	, Ops(std::move(InOps))
{
}

FString FSetProperty::GetCPPType() const
{
	return FString::Printf(TEXT("TSet<%s>"), *ElementProp->GetCPPType());
}

void FSetProperty::VisitReferences(void* Value, FReferenceCollector& Collector) const
{
	FKeyReferenceCollector KeyCollector(Collector);
	Ops->RemoveIf(Value, [&](const void* Element) { return KeyCollector.VisitClears(*ElementProp, const_cast<void*>(Element)); });
}

FObjectPropertyBase::FObjectPropertyBase(FName InName, int32 InOffset, int32 InSize, EPropertyFlags InFlags, UClass* InPropertyClass)
	: FProperty(InName, InOffset, InSize, InFlags)
	, PropertyClass(InPropertyClass)
{
}

FObjectProperty::FObjectProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UClass* InPropertyClass, bool bInObjectPtr)
	: FObjectPropertyBase(InName, InOffset, sizeof(UObject*), InFlags, InPropertyClass)
	, bObjectPtr(bInObjectPtr)
{
}

FString FObjectProperty::GetCPPType() const
{
	const FString Name = ClassCPPName(PropertyClass);
	return bObjectPtr ? FString::Printf(TEXT("TObjectPtr<%s>"), *Name) : Name + "*";
}

void FObjectProperty::VisitReferences(void* Value, FReferenceCollector& Collector) const
{
	Collector.AddReferencedObject(*static_cast<UObject**>(Value));
}

FClassProperty::FClassProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UClass* InMetaClass, bool bInSubclassOf)
	: FObjectProperty(InName, InOffset, InFlags, UClass::StaticClass(), false)
	, MetaClass(InMetaClass)
	, bSubclassOf(bInSubclassOf)
{
}

FString FClassProperty::GetCPPType() const
{
	return bSubclassOf ? FString::Printf(TEXT("TSubclassOf<%s>"), *ClassCPPName(MetaClass)) : FString("UClass*");
}

FWeakObjectProperty::FWeakObjectProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UClass* InPropertyClass)
	: FObjectPropertyBase(InName, InOffset, sizeof(FWeakObjectPtr), InFlags, InPropertyClass)
{
}

FString FWeakObjectProperty::GetCPPType() const
{
	return FString::Printf(TEXT("TWeakObjectPtr<%s>"), *ClassCPPName(PropertyClass));
}

UObject* FWeakObjectProperty::GetObjectPropertyValue(const void* Value) const
{
	return static_cast<const FWeakObjectPtr*>(Value)->Get();
}

void FWeakObjectProperty::SetObjectPropertyValue(void* Value, UObject* NewValue) const
{
	*static_cast<FWeakObjectPtr*>(Value) = NewValue;
}

FSoftObjectProperty::FSoftObjectProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UClass* InPropertyClass)
	: FObjectPropertyBase(InName, InOffset, sizeof(FSoftObjectPtr), InFlags, InPropertyClass)
{
}

FString FSoftObjectProperty::GetCPPType() const
{
	return FString::Printf(TEXT("TSoftObjectPtr<%s>"), *ClassCPPName(PropertyClass));
}

UObject* FSoftObjectProperty::GetObjectPropertyValue(const void* Value) const
{
	return static_cast<const FSoftObjectPtr*>(Value)->Get();
}

void FSoftObjectProperty::SetObjectPropertyValue(void* Value, UObject* NewValue) const
{
	*static_cast<FSoftObjectPtr*>(Value) = FSoftObjectPtr(NewValue);
}

const FSoftObjectPath& FSoftObjectProperty::GetSoftObjectPath(const void* Value) const
{
	return static_cast<const FSoftObjectPtr*>(Value)->ToSoftObjectPath();
}

void FSoftObjectProperty::SetSoftObjectPath(void* Value, const FSoftObjectPath& Path) const
{
	*static_cast<FSoftObjectPtr*>(Value) = FSoftObjectPtr(Path);
}
