#include "UObject/Class.h"

#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

bool FReflectionMetaData::HasSpecifier(const FString& Name) const
{
	return Specifiers.ContainsByPredicate([&Name](const FString& Specifier) {
		FString Key = Specifier;
		Specifier.Split("=", &Key, nullptr);
		return Key.TrimStartAndEnd() == Name;
	});
}

const FString& FReflectionMetaData::GetMetaData(const FName& Key) const
{
	static const FString Empty;
	const FString* Value = MetaData.Find(Key);
	return Value ? *Value : Empty;
}

UStruct::~UStruct() = default;

bool UStruct::IsChildOf(const UStruct* SomeBase) const
{
	for (const UStruct* Struct = this; Struct; Struct = Struct->GetSuperStruct())
	{
		if (Struct == SomeBase)
		{
			return true;
		}
	}
	return false;
}

TArray<FProperty*> UStruct::GetProperties() const
{
	TArray<FProperty*> Properties = SuperStruct ? SuperStruct->GetProperties() : TArray<FProperty*>();
	Properties.Append(OwnProperties);
	return Properties;
}

FProperty* UStruct::FindPropertyByName(FName Name) const
{
	for (const UStruct* Struct = this; Struct; Struct = Struct->GetSuperStruct())
	{
		for (FProperty* Property : Struct->OwnProperties)
		{
			if (Property->GetFName() == Name)
			{
				return Property;
			}
		}
	}
	return nullptr;
}

void UStruct::AddProperty(std::unique_ptr<FProperty> Property)
{
	check(Property != nullptr);
	Property->SetOwnerStruct(this);
	OwnProperties.Add(Property.get());
	PropertyStorage.push_back(std::move(Property));
}

void UStruct::SetSizeAndAlignment(int32 Size, int32 Alignment)
{
	check(Size >= 0 && Alignment >= 1);
	PropertiesSize = Size;
	MinAlignment = Alignment;
}

void UStruct::VisitReferences(void* Data, FReferenceCollector& Collector) const
{
	for (const UStruct* Struct = this; Struct; Struct = Struct->GetSuperStruct())
	{
		for (const FProperty* Property : Struct->OwnProperties)
		{
			if (Property->ContainsObjectReference())
			{
				Property->VisitReferences(Property->ContainerPtrToValuePtr(Data), Collector);
			}
		}
	}
}

bool UStruct::ContainsObjectReference() const
{
	for (const UStruct* Struct = this; Struct; Struct = Struct->GetSuperStruct())
	{
		if (Struct->OwnProperties.ContainsByPredicate([](const FProperty* Property) { return Property->ContainsObjectReference(); }))
		{
			return true;
		}
	}
	return false;
}

void UScriptStruct::InitializeStruct(void* Dest) const
{
	check(CppStructOps != nullptr);
	CppStructOps->Construct(Dest);
}

void UScriptStruct::DestroyStruct(void* Dest) const
{
	check(CppStructOps != nullptr);
	CppStructOps->Destruct(Dest);
}

void UScriptStruct::CopyScriptStruct(void* Dest, const void* Src) const
{
	check(CppStructOps != nullptr);
	CppStructOps->Copy(Dest, Src);
}

FString UScriptStruct::GetStructCPPName() const
{
	return FString("F") + GetName();
}

UClass* UFunction::GetOwnerClass() const
{
	return GetTypedOuter<UClass>();
}

FProperty* UFunction::GetReturnProperty() const
{
	for (FProperty* Property : GetOwnProperties())
	{
		if (Property->HasAnyPropertyFlags(CPF_ReturnParm))
		{
			return Property;
		}
	}
	return nullptr;
}

void UFunction::SetParmsLifetime(void (*Construct)(void*), void (*Destruct)(void*))
{
	ConstructParms = Construct;
	DestructParms = Destruct;
}

void UFunction::InitializeParms(void* Parms) const
{
	check(ConstructParms != nullptr);
	ConstructParms(Parms);
}

void UFunction::DestroyParms(void* Parms) const
{
	check(DestructParms != nullptr);
	DestructParms(Parms);
}

void UFunction::Invoke(UObject* Context, void* Parms) const
{
	checkf(Context != nullptr || HasAnyFunctionFlags(FUNC_Static), TEXT("%s needs an object to run on"), *GetName());
	if (NativeFunc)
	{
		NativeFunc(Context, Parms);
	}
}

void UClass::SetNativeConstruction(FClassConstructor Constructor, FAddReferencedObjects AddReferenced)
{
	ClassConstructor = Constructor;
	ClassAddReferencedObjects = AddReferenced;
}

void UClass::AddFunction(UFunction* Function)
{
	check(Function != nullptr);
	Functions.Add(Function);
}

UFunction* UClass::FindFunctionByName(FName Name, bool bIncludeSuper) const
{
	for (const UClass* Class = this; Class; Class = bIncludeSuper ? Class->GetSuperClass() : nullptr)
	{
		for (UFunction* Function : Class->Functions)
		{
			if (Function->GetFName() == Name)
			{
				return Function;
			}
		}
	}
	return nullptr;
}

UObject* UClass::GetDefaultObject() const
{
	if (!DefaultObject && ClassConstructor && !HasAnyClassFlags(CLASS_Abstract))
	{
		DefaultObject = StaticConstructObject_Internal(this, GetOuter(), FName(*(FString("Default__") + GetName())),
			RF_Public | RF_ClassDefaultObject | RF_MarkAsRootSet);
	}
	return DefaultObject;
}

const TArray<FProperty*>& UClass::GetReferenceProperties() const
{
	if (!ReferenceProperties.IsSet())
	{
		ReferenceProperties = GetProperties().FilterByPredicate([](const FProperty* Property) { return Property->ContainsObjectReference(); });
	}
	return ReferenceProperties.GetValue();
}
