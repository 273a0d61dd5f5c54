#pragma once

// The reflected types: UField, UStruct (a list of properties), UScriptStruct (a record),
// UClass (an object class with functions), UFunction (a callable with its parameters as
// properties) and UEnum (named values with their metadata).

#include "Internationalization/Text.h"
#include "UObject/Object.h"
#include "UObject/ObjectMacros.h"

#include <memory>
#include <vector>

class FProperty;
class FReferenceCollector;

/** Verbatim specifiers and key-value metadata of one reflected declaration. */
class COREUOBJECT_API FReflectionMetaData
{
public:
	/** The specifiers as written in the macro ("EditAnywhere", "Category = \"Halcor\""). */
	const TArray<FString>& GetSpecifiers() const { return Specifiers; }
	/** True when a specifier's name (the part before any '=') equals Name, ignoring case. */
	bool HasSpecifier(const FString& Name) const;
	const FString& GetMetaData(const FName& Key) const;
	bool HasMetaData(const FName& Key) const { return MetaData.Contains(Key); }
	const TMap<FName, FString>& GetMetaDataMap() const { return MetaData; }

	void AddSpecifier(const FString& Specifier) { Specifiers.Add(Specifier); }
	void SetMetaData(const FName& Key, const FString& Value) { MetaData.Add(Key, Value); }

private:
	TArray<FString> Specifiers;
	TMap<FName, FString> MetaData;
};

class COREUOBJECT_API UField : public UObject
{
public:
	using Super = UObject;
	static UClass* StaticClass();

	FReflectionMetaData& GetReflectionData() { return Reflection; }
	const FReflectionMetaData& GetReflectionData() const { return Reflection; }
	const FString& GetMetaData(const FName& Key) const { return Reflection.GetMetaData(Key); }
	bool HasMetaData(const FName& Key) const { return Reflection.HasMetaData(Key); }
	void SetMetaData(const FName& Key, const FString& Value) { Reflection.SetMetaData(Key, Value); }

private:
	FReflectionMetaData Reflection;
};

class COREUOBJECT_API UStruct : public UField
{
public:
	using Super = UField;
	static UClass* StaticClass();
	~UStruct() override;

	UStruct* GetSuperStruct() const { return SuperStruct; }
	void SetSuperStruct(UStruct* InSuperStruct) { SuperStruct = InSuperStruct; }
	bool IsChildOf(const UStruct* SomeBase) const;

	/** Properties declared on this type itself, in declaration order. */
	const TArray<FProperty*>& GetOwnProperties() const { return OwnProperties; }
	/** Every property, the base type's first, each in declaration order. */
	TArray<FProperty*> GetProperties() const;
	/** Finds a property by name (ignoring case) here or in a base type. */
	FProperty* FindPropertyByName(FName Name) const;
	/** Takes ownership of Property and appends it to the own properties. */
	void AddProperty(std::unique_ptr<FProperty> Property);

	int32 GetPropertiesSize() const { return PropertiesSize; }
	int32 GetMinAlignment() const { return MinAlignment; }
	void SetSizeAndAlignment(int32 Size, int32 Alignment);

	/** Reports every object reference held in a value of this type to Collector. */
	void VisitReferences(void* Data, FReferenceCollector& Collector) const;
	bool ContainsObjectReference() const;

private:
	UStruct* SuperStruct = nullptr;
	TArray<FProperty*> OwnProperties;
	std::vector<std::unique_ptr<FProperty>> PropertyStorage;
	int32 PropertiesSize = 0;
	int32 MinAlignment = 1;
};

/** Construction, copy and destruction of a native record type, used where reflection handles values. */
struct COREUOBJECT_API ICppStructOps
{
	virtual ~ICppStructOps() = default;
	virtual void Construct(void* Dest) const = 0;
	virtual void Destruct(void* Dest) const = 0;
	virtual void Copy(void* Dest, const void* Src) const = 0;
};

class COREUOBJECT_API UScriptStruct : public UStruct
{
public:
	using Super = UStruct;
	static UClass* StaticClass();

	EStructFlags StructFlags = STRUCT_NoFlags;

	const ICppStructOps* GetCppStructOps() const { return CppStructOps.get(); }
	void SetCppStructOps(std::unique_ptr<ICppStructOps> Ops) { CppStructOps = std::move(Ops); }
	void InitializeStruct(void* Dest) const;
	void DestroyStruct(void* Dest) const;
	void CopyScriptStruct(void* Dest, const void* Src) const;
	/** The native name, with its F prefix. */
	FString GetStructCPPName() const;

private:
	std::unique_ptr<ICppStructOps> CppStructOps;
};

/** A native function thunk: calls the function on Context with the parameter block Parms. */
using FNativeFuncPtr = void (*)(UObject* Context, void* Parms);

class COREUOBJECT_API UFunction : public UStruct
{
public:
	using Super = UStruct;
	static UClass* StaticClass();

	EFunctionFlags FunctionFlags = FUNC_None;
	bool HasAnyFunctionFlags(EFunctionFlags Flags) const { return EnumHasAnyFlags(FunctionFlags, Flags); }
	bool HasAllFunctionFlags(EFunctionFlags Flags) const { return EnumHasAllFlags(FunctionFlags, Flags); }

	UClass* GetOwnerClass() const;
	/** The parameters in declaration order, the return value (if any) last. */
	TArray<FProperty*> GetParameters() const { return GetProperties(); }
	FProperty* GetReturnProperty() const;
	int32 NumParms() const { return GetOwnProperties().Num(); }
	int32 ParmsSize() const { return GetPropertiesSize(); }

	void SetNativeFunc(FNativeFuncPtr Func) { NativeFunc = Func; }
	FNativeFuncPtr GetNativeFunc() const { return NativeFunc; }
	/** Construction and destruction of the parameter block, which is ParmsSize() bytes. */
	void SetParmsLifetime(void (*Construct)(void*), void (*Destruct)(void*));
	void InitializeParms(void* Parms) const;
	void DestroyParms(void* Parms) const;
	/** Runs the native thunk; an event with no native implementation does nothing. */
	void Invoke(UObject* Context, void* Parms) const;

private:
	FNativeFuncPtr NativeFunc = nullptr;
	void (*ConstructParms)(void*) = nullptr;
	void (*DestructParms)(void*) = nullptr;
};

class COREUOBJECT_API UClass : public UStruct
{
public:
	using Super = UStruct;
	static UClass* StaticClass();

	using FClassConstructor = UObject* (*)(void* Memory, const FObjectInitializer& Initializer);
	using FAddReferencedObjects = void (*)(UObject* InThis, FReferenceCollector& Collector);

	EClassFlags ClassFlags = CLASS_None;
	bool HasAnyClassFlags(EClassFlags Flags) const { return EnumHasAnyFlags(ClassFlags, Flags); }

	UClass* GetSuperClass() const { return static_cast<UClass*>(GetSuperStruct()); }
	template <typename T>
	bool IsChildOf() const
	{
		return UStruct::IsChildOf(T::StaticClass());
	}
	using UStruct::IsChildOf;

	void SetNativeConstruction(FClassConstructor Constructor, FAddReferencedObjects AddReferenced);
	FClassConstructor GetClassConstructor() const { return ClassConstructor; }
	FAddReferencedObjects GetAddReferencedObjects() const { return ClassAddReferencedObjects; }

	void AddFunction(UFunction* Function);
	/** Finds a function by name (ignoring case), searching base classes unless told not to. */
	UFunction* FindFunctionByName(FName Name, bool bIncludeSuper = true) const;
	/** Functions declared on this class itself, in declaration order. */
	const TArray<UFunction*>& GetOwnFunctions() const { return Functions; }

	/** The class default object, made on first use and never collected. */
	UObject* GetDefaultObject() const;
	template <typename T>
	T* GetDefaultObject() const
	{
		return static_cast<T*>(GetDefaultObject());
	}
	/** Object references of instances, this class's and its bases' (cached for collection). */
	const TArray<FProperty*>& GetReferenceProperties() const;

private:
	FClassConstructor ClassConstructor = nullptr;
	FAddReferencedObjects ClassAddReferencedObjects = nullptr;
	TArray<UFunction*> Functions;
	mutable UObject* DefaultObject = nullptr;
	mutable TOptional<TArray<FProperty*>> ReferenceProperties;
};

namespace UEnum_Private
{
	struct FEnumEntry
	{
		FName Name;
		int64 Value;
		TMap<FName, FString> MetaData;
	};
}

class COREUOBJECT_API UEnum : public UField
{
public:
	using Super = UField;
	static UClass* StaticClass();

	enum class ECppForm : uint8
	{
		Regular,
		Namespaced,
		EnumClass,
	};

	ECppForm GetCppForm() const { return CppForm; }
	void SetCppForm(ECppForm Form) { CppForm = Form; }
	/** Replaces the entries; names are stored qualified ("EColor::Red") for enum classes, as the engine does. */
	void SetEnums(TArray<UEnum_Private::FEnumEntry> Entries);

	/** The number of entries, the generated _MAX entry included. */
	int32 NumEnums() const { return Entries.Num(); }
	FName GetNameByIndex(int32 Index) const;
	int64 GetValueByIndex(int32 Index) const;
	int32 GetIndexByValue(int64 Value) const;
	/** Accepts the qualified or the short name, ignoring case; INDEX_NONE if absent. */
	int32 GetIndexByName(FName Name) const;
	FName GetNameByValue(int64 Value) const;
	int64 GetValueByName(FName Name) const;
	bool IsValidEnumValue(int64 Value) const { return GetIndexByValue(Value) != INDEX_NONE; }
	/** The entry name without the enum prefix ("Red"). */
	FString GetNameStringByIndex(int32 Index) const;
	FString GetNameStringByValue(int64 Value) const;
	/** DisplayName metadata when present, else the short name. */
	FText GetDisplayNameTextByIndex(int32 Index) const;
	FText GetDisplayNameTextByValue(int64 Value) const;
	const FString& GetMetaData(const TCHAR* Key, int32 Index) const;
	bool HasMetaData(const TCHAR* Key, int32 Index) const;
	int64 GetMaxEnumValue() const;

private:
	ECppForm CppForm = ECppForm::EnumClass;
	TArray<UEnum_Private::FEnumEntry> Entries;
};

/** Reflected records for the engine's own value types (the math structs), which carry no generated code. */
template <typename T>
struct TBaseStructure;

#define VORPEX_DECLARE_BASE_STRUCTURE(Type)              \
	template <>                                          \
	struct COREUOBJECT_API TBaseStructure<Type>          \
	{                                                    \
		static UScriptStruct* Get();                     \
	};

VORPEX_DECLARE_BASE_STRUCTURE(FVector)
VORPEX_DECLARE_BASE_STRUCTURE(FVector2D)
VORPEX_DECLARE_BASE_STRUCTURE(FVector2f)
VORPEX_DECLARE_BASE_STRUCTURE(FVector3f)
VORPEX_DECLARE_BASE_STRUCTURE(FIntPoint)
VORPEX_DECLARE_BASE_STRUCTURE(FQuat)
VORPEX_DECLARE_BASE_STRUCTURE(FRotator)
VORPEX_DECLARE_BASE_STRUCTURE(FTransform)
VORPEX_DECLARE_BASE_STRUCTURE(FColor)
VORPEX_DECLARE_BASE_STRUCTURE(FLinearColor)
#undef VORPEX_DECLARE_BASE_STRUCTURE

/** The reflected record of T: T::StaticStruct() for reflected structs, TBaseStructure for the math types. */
template <typename T>
UScriptStruct* StaticStruct()
{
	if constexpr (requires { T::StaticStruct(); })
	{
		return T::StaticStruct();
	}
	else
	{
		return TBaseStructure<T>::Get();
	}
}
